#include "StubSetup.h"

#include "Files.h"
#include "KDebug.h"
#include "KMsgBox.h"
#include "Process.h"
#include "Stub.h"
#include "StubAU.h"
#include "StubParams.h"
#include "StubSetupCore.h"
#include "StubWin.h"
#include "UnPack.h"
#include "Utils.h"
#include "UtilsWin.h"

namespace {

std::string extractFolder;
std::string alternateExtractFolder;

struct AlternateRoot {
    bool searched = false;
    std::string root;
};
AlternateRoot alternateRoot;

// Removes a folder of that name and makes it anew.
std::string MakeFreshFolder(const std::string& path)
{
    DeleteFolderTree(path, true);
    CreateFolderPath(path);
    return path;
}

// The free bytes of drive letter's TEMP folder when a file can be written there, else 0.
double WritableTempSpace(char letter)
{
    std::string probe = std::string(1, letter) + ":\\TEMP";
    if (FolderExists(probe))
        probe += "\\TEMP" + RandomText(10000, 100000);
    CreateFolderPath(probe);
    WriteFileBytes(probe + "\\~aa.tmp", "aa", 0, false);
    const double freeBytes = FileExists(probe + "\\~aa.tmp") ? DiskFreeBytes(probe) : 0;
    DeleteFolderTree(probe, true);
    return freeBytes;
}

std::string SearchAlternateTempRoot()
{
    const char letters[] = {'C', 'D', 'E'};
    const char current = AnsiUpperCase(TempFolder(false).substr(0, 1)).c_str()[0];
    char best = current;
    double bestFree = 0;
    for (const char letter : letters) {
        const std::string root = std::string(1, letter) + ":\\";
        if (GetDriveTypeA(root.c_str()) != DRIVE_FIXED)
            continue;
        const double freeBytes = WritableTempSpace(letter);
        if (freeBytes > bestFree) {
            bestFree = freeBytes;
            best = letter;
        }
    }
    if (best == current)
        return {};
    const std::string root = std::string(1, best) + ":\\TEMP";
    return FolderExists(root) ? root + "\\TEMP" : root;
}

std::uint32_t ProgramDosDate() { return FileDosDate(ProgramFilePath(false)); }

// The language texts of the package being launched.
struct TLaunchTexts {
    std::string diskPrompt, attention, buttons, error, badPackage;
    std::uint8_t charset;
    explicit TLaunchTexts(const TGFileInfo& info)
        : diskPrompt(info.Text("s8")), attention(info.Text("Attention")), buttons(info.Text("BtnText")),
          error(info.Text("Error")), badPackage(info.Text("s7")), charset(static_cast<std::uint8_t>(info.Charset()))
    {
    }
};

class TCompletionAtom {
public:
    explicit TCompletionAtom(const std::string& name) : name_(name) { GlobalAddAtomA(name_.c_str()); }
    ~TCompletionAtom() { Delete(); }
    TCompletionAtom(const TCompletionAtom&) = delete;
    TCompletionAtom& operator=(const TCompletionAtom&) = delete;

    bool Exists() const { return GlobalFindAtomA(name_.c_str()) != 0; }
    void Delete()
    {
        if (const ATOM atom = GlobalFindAtomA(name_.c_str()))
            GlobalDeleteAtom(atom);
    }

private:
    std::string name_;
};

void DeleteShortcutWhen(const TSettings& settings, const TSwitchKey& remove, const std::string& link)
{
    if (settings.Read(remove) && !link.empty() && FileExists(link))
        DeleteFileA(link.c_str());
}

// Starts the engine and waits for it and its dialog; true when the engine deleted the atom.
bool RunEngine(const std::string& commandLine, bool foregroundOp)
{
    const TSettings& settings = AgentSettings();
    const std::string startUpLink = settings.Read(Keys::StartUpLink);
    const std::string updateLink = settings.Read(Keys::CheckforNewUpdateLink);
    const std::string tag = ThreadTagOf(GetCurrentThreadId());
    DebugPidLine("==== WinExec(Engine.exe) >>" + commandLine + "<<");

    TCompletionAtom atom(CompletionAtomName(tag));
    const WinHandle engine = StartProcess(commandLine, foregroundOp ? SW_SHOW : SW_HIDE);
    ShowMainWindow(false);
    if (!engine.Valid()) {
        DebugPidLine("==== the setup engine could not be started: " + SystemErrorText());
        SetStubExitCode(ExitNotInstalled);
        return false;
    }
    WaitWithMessagePump(0, 1000);
    WaitForProcess(engine.Get());
    DWORD exitCode = 0;
    SetStubExitCode(GetExitCodeProcess(engine.Get(), &exitCode) ? static_cast<int>(exitCode) : 0);
    WaitWhileWindowExists(DialogClassName(tag).c_str(), nullptr);
    WaitWithMessagePump(0, 1000);

    const bool completed = !atom.Exists();
    if (completed) {
        DeleteShortcutWhen(settings, Keys::RemoveStartUpShortcut, startUpLink);
        DeleteShortcutWhen(settings, Keys::RemoveCheckForNewUpdateShortcut, updateLink);
    }
    return completed;
}

// The error box of a package that failed its checks, with zlib's text for a damaged stream.
void ReportBadPackage(const TLaunchTexts& texts, const std::string& zlibMessage)
{
    const std::string text = zlibMessage.empty() ? texts.badPackage : texts.badPackage + "<P><P>" + zlibMessage;
    MsgBoxError(0, text, texts.error, texts.charset, texts.buttons);
}

void RunWebSetup(const std::string&, const std::string&, const std::string&)
{
    DebugPidLine("RunWebSetup: web-delivered setups are not built yet; nothing was fetched or started");
    SetStubExitCode(ExitNotInstalled);
}

void WriteWebAgentFile(const std::string& agentName)
{
    const std::string program = ProgramFilePath(false);
    const std::string path = GetExtractFolder() + "\\" + agentName;
    if (WriteFileBytes(path, WebAgentImage(ReadFileBytes(program, 0, 0)), 0, false))
        CopyLastWriteTime(program, path);
}

} // namespace

void StartSetup(HWND window)
{
    KillTimer(window, 1);
    const TGFileInfo& own = OwnInfo();
    const std::string agentName = own.WriteAgent() ? own.AgentFileName() : "";
    if (own.WebSetup()) {
        if (!agentName.empty())
            WriteWebAgentFile(agentName);
        std::string location = own.WebLocation();
        if (!own.WebSkipLocal() && FileExists(ProgramFolder(true) + own.WebFileName()))
            location = ProgramFolder(false);
        RunWebSetup(GetExtractFolder(), location, own.WebFileName());
    } else {
        const std::string spanned = TextParam("/SpanDiskFName1=");
        const std::string source = spanned.empty() ? ProgramFilePath(false) : spanned;
        const bool hidden = HasParam("/hide") || own.HiddenSetup();
        LaunchSetup(GetExtractFolder(), source, agentName, ParamText(), !hidden);
    }
    RemoveExtractFolder();
    PostQuitMessage(0);
}

bool LaunchSetup(std::string destDir, const std::string& source, const std::string& agentName, std::string params,
                 bool foregroundOp)
{
    bool result = false;
    const TGFileInfo info(source);
    if (info.ShowActivityBar())
        ShowActivityBar(true);
    SetStatusText(info.Text("s1"), info.FontName(), info.Charset(), info.FontSize());
    if (!HasTempSpace(destDir, source) && FindAlternateTempRoot())
        destDir = GetAlternateExtractFolder();
    DebugWriteLine("========= ForegroundOp=" + BoolText(foregroundOp) + " ==========");

    if (foregroundOp && !ConfirmTempSpace(destDir, source, info)) {
        SetStubExitCode(ExitDeclined);
    } else {
        const TLaunchTexts texts(info);
        if (foregroundOp)
            ShowMainWindow(true);
        WaitWithMessagePump(0, 1000);
        bool checksumOK = false;
        std::string runName, zlibMessage;
        bool answer = true;
        try {
            answer = ExtractPackage(source, destDir, agentName, checksumOK, ProgressCallback, texts.diskPrompt,
                                    texts.attention, texts.buttons, texts.charset, ForcePrompt(), runName);
        } catch (const EZLibError& e) {
            checksumOK = false;
            zlibMessage = e.what();
        }
        WaitWithMessagePump(0, 1000);
        if (!runName.empty() && checksumOK)
            result = RunEngine(EngineCommandLine(destDir, runName, params, ThreadTagOf(GetCurrentThreadId()),
                                                 ProgramFilePath(false), AutoUpdateProg()),
                               foregroundOp);
        else
            SetStubExitCode(answer ? ExitNotInstalled : ExitDeclined);
        if (!checksumOK)
            ReportBadPackage(texts, zlibMessage);
    }
    RemoveAlternateExtractFolder();
    return result;
}

std::string GetExtractFolder()
{
    if (extractFolder.empty())
        extractFolder = MakeFreshFolder(ExtractFolderPathFor(TempFolder(true), ProgramDosDate()));
    return extractFolder;
}

void RemoveExtractFolder()
{
    if (!extractFolder.empty())
        DeleteFolderTree(extractFolder, true);
}

bool FindAlternateTempRoot()
{
    if (!alternateRoot.searched) {
        alternateRoot.root = SearchAlternateTempRoot();
        alternateRoot.searched = true;
    }
    return !alternateRoot.root.empty();
}

std::string GetAlternateExtractFolder()
{
    if (alternateExtractFolder.empty() && FindAlternateTempRoot())
        alternateExtractFolder = MakeFreshFolder(alternateRoot.root + "_" + RandomText(10000, 100000));
    return alternateExtractFolder;
}

void RemoveAlternateExtractFolder()
{
    if (!alternateExtractFolder.empty())
        DeleteFolderTree(alternateExtractFolder, true);
}

bool HasTempSpace(const std::string& dir, const std::string& source)
{
    return TGFileInfo(source).SpaceRequired(dir) < DiskFreeBytes(dir) && FolderExists(dir);
}

// The package is the one Info describes; its file is not read again.
bool ConfirmTempSpace(const std::string& dir, const std::string&, const TGFileInfo& info)
{
    const double need = info.SpaceRequired(dir);
    const TSpaceTexts texts{info.Text("s2"), info.Text("s3"), info.Text("s4"), info.Text("s5"), info.Text("s6")};
    const std::string question = SpaceQuestion(info.AlwaysShowTempNotice(), need, DiskFreeBytes(dir), DriveOfFolder(dir), texts);
    if (question.empty())
        return true;
    return MsgBoxConfirm(0, question, info.Text("Confirm"), 0, static_cast<std::uint8_t>(info.Charset()),
                         info.Text("BtnText"));
}

WinHandle StartProcess(const std::string& commandLine, int show)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION started{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return WinHandle();
    CloseHandle(started.hThread);
    return WinHandle(started.hProcess);
}

void WaitForProcess(HANDLE process)
{
    DWORD code = 0;
    while (GetExitCodeProcess(process, &code) && code == STILL_ACTIVE)
        WaitWithMessagePump(0, 500);
}

void StartFromCopy()
{
    const std::string program = ProgramFilePath(false);
    const std::string copy = YCopyPathFor(GetExtractFolder(), program);
    CopyFileA(program.c_str(), copy.c_str(), FALSE);
    StartProcess(YCopyCommandLine(copy, ParamText(), program), SW_HIDE);
}

bool ForcePrompt()
{
    return RegReadString("HKEY_CURRENT_USER\\Software\\Vandrel\\Kestix\\SpanDisk", "ForcePrompt", "0") == "1";
}
