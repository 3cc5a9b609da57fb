#include "Process.h"

#include "PathText.h"
#include "Utils.h"
#include "UtilsWin.h"
#include "WinHandle.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Module paths longer than the classic 256 bytes still have to match in full.
const DWORD ModuleNameBuffer = 1024;

bool toolHelpList = false;

bool UseNtProcessList() { return IsWindowsNT() && !toolHelpList; }

struct Wanted {
    std::string path;
    std::string shortPath; // empty when the file does not exist
    bool pathOnly;
};

// A comparison that does not apply is skipped rather than made with a stand-in text, which a
// caller's path could equal.
bool Matches(const Wanted& wanted, const std::string& fullPath, const std::string& baseName)
{
    return SameTextTrimmed(fullPath, wanted.path) || (!wanted.pathOnly && SameTextTrimmed(baseName, wanted.path)) ||
           (!wanted.shortPath.empty() && SameTextTrimmed(ShortPathName(fullPath), wanted.shortPath));
}

std::vector<DWORD> ProcessIds()
{
    DWORD bytes = 1024;
    for (;;) {
        std::vector<DWORD> ids(bytes / sizeof(DWORD));
        DWORD returned = 0;
        if (!EnumProcesses(ids.data(), bytes, &returned))
            return {};
        if (returned < bytes) {
            ids.resize(returned / sizeof(DWORD));
            return ids;
        }
        bytes += 1024;
    }
}

struct ProcessFile {
    std::string path, name;
};

// The program file of a process as its first module names it; empty when it cannot be read.
ProcessFile FirstModuleFile(HANDLE process)
{
    HMODULE module;
    DWORD needed;
    char path[ModuleNameBuffer], name[ModuleNameBuffer];
    if (!EnumProcessModules(process, &module, sizeof module, &needed) ||
        !GetModuleFileNameExA(process, module, path, sizeof path) ||
        !GetModuleBaseNameA(process, module, name, sizeof name))
        return {};
    return {path, name};
}

// The modules of a 64-bit process are closed to a 32-bit program; the system still names the
// process's image (where it has the call), so a running 64-bit program is not taken for ended.
ProcessFile ImageFile(HANDLE process)
{
    using QueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    static const auto query = FunctionAs<QueryImageName>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA"));
    char path[ModuleNameBuffer];
    DWORD size = sizeof path;
    if (!query || !query(process, 0, path, &size))
        return {};
    return {std::string(path, size), FileNameOf(std::string_view(path, size))};
}

bool ProcessMatches(DWORD id, const Wanted& wanted)
{
    const WinHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
    if (!process.Valid())
        return false;
    ProcessFile file = FirstModuleFile(process.Get());
    if (file.path.empty())
        file = ImageFile(process.Get());
    return !file.path.empty() && Matches(wanted, file.path, file.name);
}

DWORD FindInProcessList(const Wanted& wanted)
{
    const std::vector<DWORD> ids = ProcessIds();
    const auto found = std::find_if(ids.rbegin(), ids.rend(), [&](DWORD id) { return ProcessMatches(id, wanted); });
    return found == ids.rend() ? 0 : *found;
}

DWORD FindInSnapshot(const Wanted& wanted)
{
    const WinHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.Valid())
        return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry))
        if (Matches(wanted, entry.szExeFile, FileNameOf(entry.szExeFile)))
            found = entry.th32ProcessID;
    return found;
}

bool IsListed(DWORD id)
{
    const std::vector<DWORD> ids = ProcessIds();
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool PastDeadline(std::uint32_t timeoutMs, std::int64_t deadline)
{
    return timeoutMs > 0 && MillisecondClock() > deadline;
}

} // namespace

// ---- TAnalizer ----------------------------------------------------------------------------

TAnalizer::TAnalizer(DWORD processId) : Windows{}, Scores{}, Count(0), ProcessId(processId) {}

BOOL CALLBACK TAnalizer::RecordWindow(HWND window, LPARAM self)
{
    auto& analizer = *reinterpret_cast<TAnalizer*>(self);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == analizer.ProcessId && analizer.Count < MaxWindows)
        analizer.Windows[analizer.Count++] = window;
    return TRUE;
}

void TAnalizer::CollectWindows() { EnumWindows(RecordWindow, reinterpret_cast<LPARAM>(this)); }

HWND TAnalizer::RootOwner(HWND window)
{
    // Owner chains are short; the bound only guards against a chain that never ends.
    for (int depth = 0; depth < 1000; ++depth) {
        const HWND owner = GetWindow(window, GW_OWNER);
        if (!owner)
            break;
        window = owner;
    }
    return window;
}

void TAnalizer::ScoreWindows()
{
    for (int i = 0; i < Count; ++i) {
        if (!GetWindow(Windows[i], GW_OWNER))
            continue;
        const HWND root = RootOwner(Windows[i]);
        for (int j = 0; j < Count; ++j)
            if (Windows[j] == root)
                ++Scores[j];
    }
    for (int i = 0; i < Count; ++i) {
        Scores[i] = static_cast<std::uint16_t>(Scores[i] << 2);
        if (!WindowText(Windows[i]).empty())
            Scores[i] += 2;
        if (IsWindowVisible(Windows[i]))
            Scores[i] += 1;
    }
}

HWND TAnalizer::MainWindow() const
{
    int best = -1;
    for (int i = 0; i < Count; ++i)
        if (Scores[i] > 0 && (best < 0 || Scores[i] > Scores[best]))
            best = i;
    return best < 0 ? nullptr : Windows[best];
}

// ---- Processes ----------------------------------------------------------------------------

DWORD FindProcess(const std::string& path, bool pathOnly)
{
    if (path.empty())
        return 0;
    const Wanted wanted{path, ShortPathName(path), pathOnly};
    return UseNtProcessList() ? FindInProcessList(wanted) : FindInSnapshot(wanted);
}

bool IsProgramRunning(const std::string& path) { return FindProcess(DequoteText(path, false), false) != 0; }

void WaitProgramEnd(const std::string& path, std::uint32_t timeoutMs)
{
    const std::string program = DequoteText(path, false);
    const std::int64_t deadline = MillisecondClock() + timeoutMs;
    WaitWithMessagePump(0, 1000);
    if (UseNtProcessList()) {
        const DWORD id = FindProcess(program, false);
        if (id == 0)
            return;
        do
            WaitWithMessagePump(0, 1000);
        while (!PastDeadline(timeoutMs, deadline) && IsListed(id));
    } else {
        do
            WaitWithMessagePump(0, 1000);
        while (!PastDeadline(timeoutMs, deadline) && FindProcess(program, false) != 0);
    }
}

HWND FindMainWindow(const std::string& path, bool pathOnly)
{
    const DWORD id = FindProcess(path, pathOnly);
    if (id == 0)
        return nullptr;
    const auto analizer = std::make_unique<TAnalizer>(id);
    analizer->CollectWindows();
    analizer->ScoreWindows();
    return analizer->MainWindow();
}

bool PostToMainWindow(const std::string& path, bool pathOnly, UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = FindMainWindow(path, pathOnly);
    if (!window)
        return false;
    PostMessageA(window, message, wParam, lParam);
    return true;
}

bool CloseProgram(const std::string& path, bool pathOnly) { return PostToMainWindow(path, pathOnly, WM_CLOSE, 15, 255); }

bool QuitProgram(const std::string& path, bool pathOnly) { return PostToMainWindow(path, pathOnly, WM_QUIT, 15, 255); }

bool TerminateProgram(const std::string& path, bool pathOnly)
{
    const DWORD id = FindProcess(path, pathOnly);
    if (id == 0)
        return false;
    const WinHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
    return process.Valid() && TerminateProcess(process.Get(), 0);
}

void WaitWhileWindowExists(const char* className, const char* title)
{
    while (FindWindowA(className, title)) {
        PumpMessages(0);
        Sleep(100);
    }
}

void UseToolHelpProcessList(bool on) { toolHelpList = on; }
