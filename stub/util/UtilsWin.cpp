#include "UtilsWin.h"

#include "KDebug.h"
#include "PathText.h"
#include "Utils.h"
#include "WinHandle.h"

#include <shellapi.h>

#include <cmath>
#include <exception>
#include <vector>

namespace {

const DWORD IniValueBuffer = 10241;
const DWORD RegValueBuffer = 10241;

std::uint16_t queryCancelAutoPlay = 0;

// A system call that fills a buffer of the given size and answers the length it wrote.
template <typename Fill>
std::string FilledText(DWORD size, Fill fill)
{
    std::string text(size, '\0');
    const DWORD n = fill(text.data(), size);
    text.resize(n < size ? n : 0);
    return text;
}

std::string FolderText(UINT (WINAPI* query)(LPSTR, UINT), bool withBackslash)
{
    return SetTrailingBackslash(FilledText(261, [query](char* b, DWORD n) { return query(b, n); }), withBackslash);
}

} // namespace

// ---- INI files ----------------------------------------------------------------------------

std::string ReadIniString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& defaultText)
{
    if (section.empty())
        return defaultText;
    try {
        std::string value(IniValueBuffer, '\0');
        const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(), value.data(),
                                                 IniValueBuffer, file.c_str());
        if (n == 0)
            return defaultText;
        value.resize(n);
        return value;
    } catch (const std::exception&) {
        DebugWriteLine("EXCEPTION --- Utils.ReadIniString()  " + SystemErrorText());
        return defaultText;
    }
}

std::int64_t ReadIniInt(const std::string& file, const std::string& section, const std::string& key,
                        std::int64_t defaultValue)
{
    return StrToInt64Def(ReadIniString(file, section, key, std::to_string(defaultValue)), defaultValue);
}

bool WriteIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value)
{
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

bool WriteIniInt(const std::string& file, const std::string& section, const std::string& key, std::int64_t value)
{
    return WriteIniString(file, section, key, std::to_string(value));
}

// ---- Registry -----------------------------------------------------------------------------

HKEY RegRootKey(RegRoot root)
{
    switch (root) {
    case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegRoot::Users: return HKEY_USERS;
    case RegRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
    case RegRoot::DynData: return HKEY_DYN_DATA;
    case RegRoot::CurrentUser: break;
    }
    return HKEY_CURRENT_USER;
}

std::string RegReadString(std::string_view path, const std::string& valueName, const std::string& defaultText,
                          bool use64BitView)
{
    const RegPath split = RegSplitPath(path);
    RegKey key;
    const REGSAM access = KEY_READ | (use64BitView ? KEY_WOW64_64KEY : 0);
    if (RegOpenKeyExA(RegRootKey(split.root), split.subkey.c_str(), 0, access, key.Receive()) != ERROR_SUCCESS)
        return defaultText;
    std::string data(RegValueBuffer, '\0');
    DWORD type = 0, size = RegValueBuffer;
    if (RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return defaultText;
    data.resize(size);
    return RegValueText(type, data);
}

std::string GetRegisteredOwner()
{
    return Trim(RegReadString(WindowsVersionKey(IsWindowsNT()), "RegisteredOwner", UserLoginName()));
}

std::string GetRegisteredOrganization()
{
    return Trim(RegReadString(WindowsVersionKey(IsWindowsNT()), "RegisteredOrganization", ""));
}

// ---- Identity and texts -------------------------------------------------------------------

std::string UserLoginName()
{
    char name[256];
    DWORD size = sizeof name;
    return GetUserNameA(name, &size) ? Trim(name) : std::string();
}

std::string ComputerName()
{
    char name[256];
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? Trim(name) : std::string();
}

std::string UserDomainName()
{
    const std::string login = UserLoginName();
    DWORD sidSize = 0, domainSize = 0;
    SID_NAME_USE use;
    LookupAccountNameA(nullptr, login.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
    std::vector<BYTE> sid(sidSize ? sidSize : 1);
    std::string domain(domainSize ? domainSize : 1, '\0');
    if (!LookupAccountNameA(nullptr, login.c_str(), sid.data(), &sidSize, domain.data(), &domainSize, &use))
        return {};
    domain.resize(domainSize);
    return domain;
}

std::string WindowText(HWND window)
{
    if (!window)
        return {};
    char text[1024];
    const int n = GetWindowTextA(window, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

std::string SystemErrorText()
{
    const DWORD code = GetLastError();
    try {
        char* buffer = nullptr;
        const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                           FORMAT_MESSAGE_IGNORE_INSERTS,
                                       nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
        std::string text = n && buffer ? Trim(std::string(buffer, n)) : std::string();
        LocalFree(buffer);
        if (!text.empty())
            return text;
    } catch (const std::exception&) {
    }
    return "The system error text is unavailable (code " + std::to_string(code) + ").";
}

// ---- Time and waits -----------------------------------------------------------------------

std::int64_t MillisecondClock()
{
    static const double factor = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return 1000.0 / static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return std::llround(static_cast<double>(counter.QuadPart) * factor);
}

void DispatchPendingMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Swallowed here, the quit request would never reach the message loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PumpMessages(DWORD sleepMs)
{
    DispatchPendingMessages();
    Sleep(sleepMs);
}

void WaitWithMessagePump(std::uint32_t stepMs, std::int64_t totalMs)
{
    const DWORD step = PumpStepMs(stepMs, totalMs);
    const std::int64_t end = MillisecondClock() + totalMs;
    do
        PumpMessages(step);
    while (MillisecondClock() < end);
}

void RegisterQueryCancelAutoPlay(bool on)
{
    queryCancelAutoPlay = on ? static_cast<std::uint16_t>(RegisterWindowMessageA("QueryCancelAutoPlay")) : 0;
}

std::uint16_t QueryCancelAutoPlayId() { return queryCancelAutoPlay; }

// ---- Screen and placement -----------------------------------------------------------------

int ScreenPixelsPerInch()
{
    static const int ppi = [] {
        HDC screen = GetDC(nullptr);
        const int value = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return value;
    }();
    return ppi;
}

int PointsToPixels(int points) { return MulDiv(points, ScreenPixelsPerInch(), 72); }

POINT CenterInWorkArea(int width, int height)
{
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return {CenteredStart(area.left, area.right - area.left, width), CenteredStart(area.top, area.bottom - area.top, height)};
}

bool ShellOpen(const std::string& file, const std::string& parameters, int showCommand)
{
    const HINSTANCE result = ShellExecuteA(GetDesktopWindow(), nullptr, file.c_str(),
                                           parameters.empty() ? nullptr : parameters.c_str(), nullptr, showCommand);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

HMODULE LoadSystemLibrary(const std::string& name)
{
    // The altered search path makes the library's own dependencies come from its folder too.
    return LoadLibraryExA((SystemFolder(true) + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void RestrictLibrarySearch()
{
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    if (auto setDirectory = FunctionAs<SetDllDirectoryFn>(GetProcAddress(kernel, "SetDllDirectoryA")))
        setDirectory("");
    if (auto setDefault = FunctionAs<SetDefaultDllDirectoriesFn>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

FARPROC LoadFunction(const std::string& library, const std::string& function, HMODULE& handle)
{
    const bool bareName = library.find_first_of("\\/:") == std::string::npos;
    handle = bareName ? LoadSystemLibrary(library) : LoadLibraryA(library.c_str());
    if (reinterpret_cast<UINT_PTR>(handle) < 33)
        return nullptr;
    return GetProcAddress(handle, function.c_str());
}

FARPROC LoadFunction(const std::string& library, const std::string& function)
{
    HMODULE handle;
    return LoadFunction(library, function, handle);
}

std::string FileVersionText(const std::string& path)
{
    // Bound at run time rather than imported: an imported version.dll would be looked for in the
    // program's folder first, before any of the program's code runs.
    static const auto sizeOf =
        FunctionAs<decltype(&GetFileVersionInfoSizeA)>(LoadFunction("version.dll", "GetFileVersionInfoSizeA"));
    static const auto infoOf = FunctionAs<decltype(&GetFileVersionInfoA)>(LoadFunction("version.dll", "GetFileVersionInfoA"));
    static const auto query = FunctionAs<decltype(&VerQueryValueA)>(LoadFunction("version.dll", "VerQueryValueA"));
    if (!sizeOf || !infoOf || !query)
        return {};
    const std::string file = path.empty() ? ProgramFilePath(false) : path;
    DWORD ignored = 0;
    const DWORD size = sizeOf(file.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!infoOf(file.c_str(), 0, size, data.data()) ||
        !query(data.data(), "\\", reinterpret_cast<void**>(&info), &infoSize) || infoSize < sizeof *info)
        return {};
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info->dwFileVersionLS)) + "." + std::to_string(LOWORD(info->dwFileVersionLS));
}

bool IsWindowsNT()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool DeveloperMode()
{
    static const bool on = [] {
        char value[8];
        const DWORD n = GetEnvironmentVariableA("DVX", value, sizeof value);
        return n == 3 && std::string_view(value, n) == "586";
    }();
    return on;
}

// ---- The program's file and the standard folders ------------------------------------------

std::string ProgramFilePath(bool nameOnly)
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return nameOnly ? FileNameWithoutExt(path, false) : path;
}

std::string ProgramFolder(bool withBackslash)
{
    const std::string path = ProgramFilePath(false);
    return SetTrailingBackslash(path.substr(0, path.find_last_of('\\') + 1), withBackslash);
}

std::string WindowsFolder(bool withBackslash) { return FolderText(GetWindowsDirectoryA, withBackslash); }

std::string SystemFolder(bool withBackslash) { return FolderText(GetSystemDirectoryA, withBackslash); }

std::string TempFolder(bool withBackslash)
{
    return SetTrailingBackslash(FilledText(261, [](char* b, DWORD n) { return GetTempPathA(n, b); }), withBackslash);
}

std::string ShortPathName(const std::string& path)
{
    const DWORD size = GetShortPathNameA(path.c_str(), nullptr, 0);
    if (size == 0)
        return {};
    return FilledText(size, [&path](char* b, DWORD n) { return GetShortPathNameA(path.c_str(), b, n); });
}
