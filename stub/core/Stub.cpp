#include "Stub.h"

#include "Files.h"
#include "KDebug.h"
#include "KMsgBox.h"
#include "PathText.h"
#include "Process.h"
#include "StubAU.h"
#include "StubParams.h"
#include "StubRoles.h"
#include "StubSetup.h"
#include "StubWin.h"
#include "Utils.h"
#include "UtilsWin.h"

#include <memory>

namespace {

struct ProcessState {
    std::unique_ptr<TGFileInfo> ownInfo;
    bool autoUpdateProg = false;
    std::string windowClassName = "packstub";
    int exitCode = 0;
};

ProcessState state;

// The three role facts, from the agent file name of the own package.
std::string AgentFileName() { return OwnInfo().AgentFileName(); }

bool X_ExeIsRunning() { return FindWindowA(XAgentWindowClass(AgentFileName()).c_str(), nullptr) != nullptr; }

bool ThisIs_Plain_AutoUpdate_Exe()
{
    return state.autoUpdateProg && IsPlainAgentName(FileNameOf(ProgramFilePath(false)), AgentFileName());
}

bool ThisIs_X_AutoUpdate_Exe()
{
    return state.autoUpdateProg && IsXAgentName(FileNameOf(ProgramFilePath(false)), AgentFileName());
}

bool SameProgramRuns() { return FindWindowA(state.windowClassName.c_str(), nullptr) != nullptr; }

void LogRoleFacts(bool wasRunning)
{
    WriteRunLog("X_ExeIsRunning=" + BoolText(wasRunning));
    WriteRunLog("ThisIs_Plain_AutoUpdate_Exe=" + BoolText(ThisIs_Plain_AutoUpdate_Exe()));
    WriteRunLog("ThisIs_X_AutoUpdate_Exe=" + BoolText(ThisIs_X_AutoUpdate_Exe()));
}

void RunXAgent()
{
    WriteRunLog("CheckTestMode");
    CheckTestMode(true);
    WriteRunLog("WinMain");
    StubWin::WinMain();
    WriteRunLog("DeleteMySelf");
    DeleteMySelf(false);
}

void RunSetupStub()
{
    StubWin::WinMain();
    if (IntParam("/SpanCdLvl=", 1) == 2)
        DeleteMySelf(true);
}

// Started hidden, without inherited handles; the path is quoted so that a path with blanks can
// never be taken for a shorter program path.
void StartHidden(const std::string& commandLine)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

void WaitForXAgentStart(const std::string& xPath)
{
    const std::int64_t end = MillisecondClock() + 3000;
    do
        WaitWithMessagePump(0, 200);
    while (!IsProgramRunning(xPath) && MillisecondClock() <= end);
}

void StartXAgent()
{
    DebugPidLine("CreateAndRun_X_Exe-2");
    const std::int64_t wait = IntParam("/WAIT=", 0);
    WriteRunLog("Wait " + std::to_string(wait) + " SEC");
    if (wait > 0)
        WaitWithMessagePump(0, wait * 1000);
    const std::string program = ProgramFilePath(false);
    const std::string xPath = XCopyPath(program);
    CopyFileA(program.c_str(), xPath.c_str(), FALSE);
    WriteRunLog("Create X_ File ");
    const std::string commandLine = "\"" + xPath + "\"" + XCopyParameters(TextParam("/TRANSIENT="), TextParam("/DELAY="));
    WriteRunLog("WinExec: " + commandLine);
    StartHidden(commandLine);
    if (!ParamText().empty())
        WaitForXAgentStart(xPath);
}

} // namespace

const TGFileInfo& OwnInfo()
{
    static const TGFileInfo none("");
    return state.ownInfo ? *state.ownInfo : none;
}

bool AutoUpdateProg() { return state.autoUpdateProg; }

const std::string& WindowClassName() { return state.windowClassName; }

void SetStubExitCode(int code) { state.exitCode = code; }

void DebugPidLine(std::string_view text) { DebugWriteLine(std::to_string(CurrentProcessId()) + " " + std::string(text)); }

void DeleteMySelf(bool removeFolder) { ScheduleSelfRemoval(removeFolder, false); }

void CreateAndRun_X_Exe()
{
    WriteRunLog("CreateAndRun_X_Exe() --- Start");
    const std::string zz = TextParam("/_ZZ=");
    DebugPidLine("CreateAndRun_X_Exe-1 " + zz);
    if (state.autoUpdateProg && !(X_ExeIsRunning() && zz != "99") && ThisIs_Plain_AutoUpdate_Exe())
        StartXAgent();
    WriteRunLog("CreateAndRun_X_Exe() --- End");
}

void DoRunStubWin()
{
    WriteRunLog("DoRunStubWin() --- Start");
    state.windowClassName = WindowClassNameFor(state.autoUpdateProg, ProgramFilePath(false));
    const bool wasRunning = X_ExeIsRunning();
    LogRoleFacts(wasRunning);
    if (!SameProgramRuns()) {
        if (ThisIs_Plain_AutoUpdate_Exe())
            CreateAndRun_X_Exe();
        else if (ThisIs_X_AutoUpdate_Exe())
            RunXAgent();
        else if (OwnInfo().SpannedCdSet() && IntParam("/SpanCdLvl=", 1) == 1)
            StartFromCopy();
        else
            RunSetupStub();
    }
    if (ThisIs_Plain_AutoUpdate_Exe())
        HandleParamOK(wasRunning);
    WriteRunLog("DoRunStubWin() --- End");
}

int ProgramStart()
{
    RestrictLibrarySearch();
    PreloadMsgBoxLibraries();
    const std::string commandLine = ProgramCommandLine();
    const std::string program = ProgramFilePath(false);
    DebugPidLine("==== STUB START ====> " + commandLine + "<");
    state.ownInfo = std::make_unique<TGFileInfo>(program);
    state.autoUpdateProg = state.ownInfo->AutoUpdateProg();
    SetRunLogEnabled(state.autoUpdateProg && state.ownInfo->DebugLog());
    if (ThisIs_X_AutoUpdate_Exe())
        SetRunLogIndent(" X ");
    WriteRunLog("");
    WriteRunLog("");
    WriteRunLog("=== START === " + program);
    WriteRunLog("CommandLine=" + commandLine);
    WriteRunLog("Agent Version=" + FileVersionText(""));
    DebugPidLine("==== ThisIs_AutoUpdateProg=" + BoolText(state.autoUpdateProg));
    DoRunStubWin();
    state.ownInfo.reset();
    DebugPidLine("==== STUB END ====> " + commandLine + "<");
    DebugWriteLine("");
    WriteRunLog("=== EXIT === " + program);
    WriteRunLog("");
    ReleaseMsgBoxLibrary();
    return state.exitCode;
}
