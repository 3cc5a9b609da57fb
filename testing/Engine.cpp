// The setup engine stand-in: the program a setup package names to run after extraction. It does
// the hand-shake with the setup launch and reports what it found, so that tests can check the
// command line the launch built, the folder it ran in and the files extracted there.
//
//   Engine.exe /TH_ID=_N [/ENGINE_REPORT="FILE"] [/ENGINE_EXIT=CODE] [/ENGINE_KEEP_ATOM]
//              [/ENGINE_COPY_TO="FOLDER"] [/ENGINE_RUN_MS=MS] [/ENGINE_DIALOG_MS=MS] [/ENGINE_SHOW_MS=MS]
//
// Its options come as items of its own command line, carried by the package's run name or by
// the parameters the user gave the setup. It appends one JSON line to FILE: its command line,
// its folder, the files there (name, size, DOS date), the thread tag, whether the completion
// atom existed, whether it deleted it. With a FOLDER it copies the files it found there, so that
// a test can compare them after the extraction folder has gone. It deletes the atom unless told to keep it, optionally
// runs for a while, shows a visible window with what it found, or leaves a window of the dialog
// class behind it (held by a second process of its own) for a while after it has ended, and then
// exits with CODE.
#include "FixtureJson.h"
#include "StubParams.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char AtomPrefix[] = "HtusZzmojuRhbwDkaloGjBdemtr";
const char DialogPrefix[] = ".SDialog_Class_Name.";
// The helper process that holds the dialog window: its item carries the class name.
const char HoldDialog[] = "/ENGINE_HOLD_DIALOG=";

std::string params;

std::string Option(const char* name) { return TextParamIn(params, name); }
int IntOption(const char* name, int defaultValue) { return static_cast<int>(IntParamIn(params, name, defaultValue)); }

std::string ProgramPath()
{
    char path[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

void Report(const std::string& line)
{
    const std::string file = Option("/ENGINE_REPORT=");
    if (file.empty())
        return;
    const HANDLE out = CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(out);
}

std::uint32_t DosDateOf(const WIN32_FIND_DATAA& entry)
{
    FILETIME local;
    WORD date = 0, time = 0;
    if (FileTimeToLocalFileTime(&entry.ftLastWriteTime, &local))
        FileTimeToDosDateTime(&local, &date, &time);
    return static_cast<std::uint32_t>(date) << 16 | time;
}

struct FoundFile {
    std::string name;
    std::uint64_t size;
    std::uint32_t date;
};

// The files of the folder, by name; with copyTo, each is copied there too.
std::vector<FoundFile> FilesIn(const std::string& folder, const std::string& copyTo)
{
    std::vector<FoundFile> files;
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            if (!copyTo.empty())
                CopyFileA((folder + "\\" + entry.cFileName).c_str(), (copyTo + "\\" + entry.cFileName).c_str(), FALSE);
            files.push_back({entry.cFileName, static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32 | entry.nFileSizeLow,
                             DosDateOf(entry)});
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    std::sort(files.begin(), files.end(), [](const FoundFile& a, const FoundFile& b) { return a.name < b.name; });
    return files;
}

std::string FilesJson(const std::vector<FoundFile>& files)
{
    std::string list;
    for (const FoundFile& file : files)
        list += std::string(list.empty() ? "" : ",") + "{\"name\":" + Json(file.name) + ",\"size\":" +
                std::to_string(file.size) + ",\"date\":" + std::to_string(file.date) + "}";
    return "[" + list + "]";
}

std::string FilesText(const std::vector<FoundFile>& files)
{
    std::string text;
    for (const FoundFile& file : files)
        text += "    " + file.name + "   " + std::to_string(file.size) + " bytes\r\n";
    return text;
}

void PumpFor(int milliseconds)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(20);
    }
}

HWND ShowWindowOfClass(const std::string& className, const std::string& title, const std::string& text, bool visible)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className.c_str();
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, 60, 60, 640, 360,
                                        nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!text.empty())
        CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE, 10, 10, 610, 310, window, nullptr,
                        windowClass.hInstance, nullptr);
    if (visible)
        ShowWindow(window, SW_SHOW);
    return window;
}

// The second process: holds a window of the dialog class after the engine itself has ended.
int HoldDialogWindow(const std::string& className)
{
    const HWND window = ShowWindowOfClass(className, "Setup dialog", "", true);
    PumpFor(IntOption("/ENGINE_DIALOG_MS=", 1000));
    const std::string folder = FolderOf(ProgramPath());
    Report("{\"dialog\":\"closing\",\"folderPresent\":" +
           std::string(GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES ? "true" : "false") + "}");
    DestroyWindow(window);
    return 0;
}

void LeaveDialogBehind(const std::string& className)
{
    std::string command = "\"" + ProgramPath() + "\" " + HoldDialog + "\"" + className + "\" /ENGINE_DIALOG_MS=" +
                          std::to_string(IntOption("/ENGINE_DIALOG_MS=", 1000)) + " /ENGINE_REPORT=\"" +
                          Option("/ENGINE_REPORT=") + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    for (int i = 0; i < 250 && !FindWindowA(className.c_str(), nullptr); ++i)
        Sleep(20);
}

int RunEngine()
{
    const std::string tag = Option("/TH_ID=");
    const std::string atomName = AtomPrefix + tag;
    const ATOM atom = GlobalFindAtomA(atomName.c_str());
    const bool keep = HasParamIn(params, "/ENGINE_KEEP_ATOM");
    if (atom && !keep)
        GlobalDeleteAtom(atom);
    const std::string folder = FolderOf(ProgramPath());
    const std::vector<FoundFile> files = FilesIn(folder, Option("/ENGINE_COPY_TO="));
    Report("{\"commandLine\":" + Json(GetCommandLineA()) + ",\"folder\":" + Json(folder) + ",\"threadTag\":" +
           Json(tag) + ",\"atomFound\":" + (atom ? "true" : "false") + ",\"atomDeleted\":" +
           (atom && !keep ? "true" : "false") + ",\"files\":" + FilesJson(files) + "}");
    if (const int show = IntOption("/ENGINE_SHOW_MS=", 0); show > 0) {
        const std::string text = "Setup engine stand-in, running in\r\n    " + folder + "\r\n\r\nCommand line:\r\n    " +
                                 GetCommandLineA() + "\r\n\r\nFiles found:\r\n" + FilesText(files);
        const HWND window = ShowWindowOfClass("EngineStandIn", "Setup engine stand-in", text, true);
        PumpFor(show);
        DestroyWindow(window);
    }
    PumpFor(IntOption("/ENGINE_RUN_MS=", 0));
    if (IntOption("/ENGINE_DIALOG_MS=", 0) > 0)
        LeaveDialogBehind(DialogPrefix + tag);
    return IntOption("/ENGINE_EXIT=", 0);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    params = ParamTextOf(GetCommandLineA(), ProgramPath());
    const std::string dialogClass = Option(HoldDialog);
    return dialogClass.empty() ? RunEngine() : HoldDialogWindow(dialogClass);
}
