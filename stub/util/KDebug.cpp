#include "KDebug.h"

#include "Files.h"
#include "KDebugCore.h"
#include "UtilsWin.h"

#include <exception>

namespace {

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter() { EnterCriticalSection(&section_); }
    void Leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class Lock {
public:
    explicit Lock(CriticalSection& section) : section_(section) { section_.Enter(); }
    ~Lock() { section_.Leave(); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CriticalSection& section_;
};

// The viewer reads the atom's text while it handles the message, so the atom can go as soon as
// the send returns.
void ForwardToViewer(std::string_view piece)
{
    try {
        const HWND viewer = FindWindowA(".KDebug.", nullptr);
        if (!viewer)
            return;
        static const UINT message = RegisterWindowMessageA(".K_DebugMsg.");
        const ATOM atom = GlobalAddAtomA(ViewerText(piece).c_str());
        if (!atom)
            return;
        SendMessageA(viewer, message, 1, atom);
        GlobalDeleteAtom(atom);
    } catch (const std::exception&) {
    }
}

struct DebugOutput {
    CriticalSection section;
    DebugPieceBuffer buffer{ForwardToViewer};
};

DebugOutput& Output()
{
    static DebugOutput output;
    return output;
}

struct RunLogState {
    bool enabled = false;
    std::string indent = "   ";
};

RunLogState runLog;

struct Partner {
    HWND window = nullptr;
    UINT message = 0;
};

Partner partner;

} // namespace

void DebugWrite(std::string_view text)
{
    DebugOutput& out = Output();
    Lock lock(out.section);
    out.buffer.Write(text);
}

void DebugWriteLine(std::string_view text)
{
    DebugOutput& out = Output();
    Lock lock(out.section);
    out.buffer.WriteLine(text);
}

void SetRunLogEnabled(bool enabled) { runLog.enabled = enabled; }

std::string RunLogPath()
{
    static const std::string path = ProgramFolder(true) + RunLogFileName(ProgramFilePath(false));
    return path;
}

void SetRunLogIndent(std::string_view indent) { runLog.indent = indent; }

void WriteRunLog(std::string_view message)
{
    if (!runLog.enabled)
        return;
    AppendFileBytes(RunLogPath(), RunLogLine(LocalNow(), GetCurrentThreadId(), runLog.indent, message), 0);
}

void SetPartner(HWND window, UINT message)
{
    partner.window = window;
    partner.message = message;
}

void PostToPartner(WPARAM code, LPARAM value)
{
    if (partner.window && partner.message)
        PostMessageA(partner.window, partner.message, code, value);
}
