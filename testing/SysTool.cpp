// Test fixture: runs one operation of the system modules, so integration tests can drive them
// from another process. Results go to standard output, one line each.
//
//   systool.exe [--toolhelp] findprocess PATH [pathonly]    process id, 0 for none
//   systool.exe findmain PATH [pathonly]                     main window handle, 0 for none
//   systool.exe running PATH                                 TRUE or FALSE
//   systool.exe close|quit|terminate PATH [pathonly]         TRUE or FALSE
//   systool.exe [--toolhelp] waitend PATH TIMEOUT_MS         milliseconds the wait took
//   systool.exe waitwindow CLASS [TITLE]                     milliseconds until it was gone
//   systool.exe pids                                         the system's process list, in order
//   systool.exe selfremove REMOVEFOLDER SHORTNAMES           0 or 1 each; schedules and ends
//   systool.exe debug TEXT                                   TEXT as one line of debug output
//   systool.exe runlog MESSAGE [INDENT]                      log path and thread id, then logs
//   systool.exe shortpath PATH                               the 8.3 form, empty when missing
//   systool.exe tempfolder                                   the temporary folder
//   systool.exe deletetree FOLDER [clear]                    TRUE or FALSE
//   systool.exe findfile FOLDER NAME                         the path found, empty for none
//
// --toolhelp makes the process search use the Windows 9x process list.
#include "Files.h"
#include "KDebug.h"
#include "Process.h"
#include "Utils.h"
#include "UtilsWin.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Print(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

bool Flag(const std::vector<std::string>& args, std::size_t i) { return i < args.size() && args[i] == "pathonly"; }

int Elapsed(std::int64_t start)
{
    Print(std::to_string(MillisecondClock() - start));
    return 0;
}

int PrintProcessIds()
{
    std::vector<DWORD> ids(4096);
    DWORD bytes = 0;
    if (!EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes))
        return 1;
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i)
        Print(std::to_string(ids[i]));
    return 0;
}

int Run(const std::vector<std::string>& args)
{
    const std::string& command = args[0];
    const std::string path = args.size() > 1 ? args[1] : "";
    if (command == "findprocess")
        return Print(std::to_string(FindProcess(path, Flag(args, 2)))), 0;
    if (command == "findmain")
        return Print(std::to_string(reinterpret_cast<UINT_PTR>(FindMainWindow(path, Flag(args, 2))))), 0;
    if (command == "running")
        return Print(BoolText(IsProgramRunning(path))), 0;
    if (command == "close")
        return Print(BoolText(CloseProgram(path, Flag(args, 2)))), 0;
    if (command == "quit")
        return Print(BoolText(QuitProgram(path, Flag(args, 2)))), 0;
    if (command == "terminate")
        return Print(BoolText(TerminateProgram(path, Flag(args, 2)))), 0;
    if (command == "pids")
        return PrintProcessIds();
    if (command == "waitend" && args.size() > 2) {
        const std::int64_t start = MillisecondClock();
        WaitProgramEnd(path, static_cast<std::uint32_t>(std::strtoul(args[2].c_str(), nullptr, 10)));
        return Elapsed(start);
    }
    if (command == "waitwindow") {
        const std::int64_t start = MillisecondClock();
        WaitWhileWindowExists(path.c_str(), args.size() > 2 ? args[2].c_str() : nullptr);
        return Elapsed(start);
    }
    if (command == "selfremove" && args.size() > 2) {
        ScheduleSelfRemoval(args[1] == "1", args[2] == "1");
        return 0;
    }
    if (command == "debug") {
        DebugWriteLine(path);
        return 0;
    }
    if (command == "runlog") {
        SetRunLogEnabled(true);
        if (args.size() > 2)
            SetRunLogIndent(args[2]);
        Print(RunLogPath());
        Print(std::to_string(GetCurrentThreadId()));
        WriteRunLog(path);
        return 0;
    }
    if (command == "shortpath")
        return Print(ShortPathName(path)), 0;
    if (command == "findfile" && args.size() > 2)
        return Print(FindFileInTree(path, args[2])), 0;
    if (command == "deletetree")
        return Print(BoolText(DeleteFolderTree(path, args.size() > 2 && args[2] == "clear"))), 0;
    if (command == "tempfolder")
        return Print(TempFolder(false)), 0;
    std::fputs("systool: unknown command or missing argument\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "--toolhelp") {
        UseToolHelpProcessList(true);
        args.erase(args.begin());
    }
    if (args.empty()) {
        std::fputs("usage: systool [--toolhelp] COMMAND ARGS...\n", stderr);
        return 2;
    }
    return Run(args);
}
