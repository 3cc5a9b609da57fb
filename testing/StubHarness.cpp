// Test fixture: packstub's program start and status window with the timer's work replaced by a
// script, so that a test can look at the window for as long as it needs. Built from the same
// modules as packstub.exe, except those of the setup launch and the update agent.
//
//   stubharness.exe /REPORT=FILE [/PROGRESS=POSITION:TOTAL[:STEPS]] [/STATUS=TEXT] [/AUTOPLAY] [/SHOW]
//                   [/SleepX=N]
//
// On the first timer tick (setup or agent alike) the harness stops the start timer, writes one
// JSON line to FILE with the agent tick count, the work area, the client area's screen origin and
// the bars' state, runs the progress object
// through Start(POSITION, TOTAL) and STEPS steps (TOTAL when not given; a line after each), sets
// the status line to TEXT in the package's font, with /AUTOPLAY asks the window the shell's
// "QueryCancelAutoPlay" before and after turning the answer on (a line with both answers), shows
// the window and its activity bar with /SHOW, and writes "ready". The window then stays until it is closed; a line
// "abort" tells when DownloadAbortFlag is set and "removed" when the extraction folder would go.
#include "Files.h"
#include "InetHTTP.h"
#include "Stub.h"
#include "StubAU.h"
#include "StubParams.h"
#include "StubSetup.h"
#include "StubWin.h"
#include "Utils.h"
#include "UtilsWin.h"

#include <commctrl.h>

#include <string>

std::int32_t AutoUpdateTimerCount = -3;

namespace {

bool started = false;
bool abortReported = false;

void Report(const std::string& line) { AppendFileBytes(TextParam("/REPORT="), line + "\n", 0); }

std::string Range(HWND bar)
{
    return "[" + std::to_string(SendMessageA(bar, PBM_GETRANGE, TRUE, 0)) + "," +
           std::to_string(SendMessageA(bar, PBM_GETRANGE, FALSE, 0)) + "]";
}

std::string Bars(const char* event)
{
    const HWND main = FindWindowExA(MainWindow(), nullptr, PROGRESS_CLASSA, nullptr);
    const HWND activity = FindWindowExA(MainWindow(), main, PROGRESS_CLASSA, nullptr);
    return "{\"event\":\"" + std::string(event) + "\",\"main\":" + Range(main) +
           ",\"pos\":" + std::to_string(SendMessageA(main, PBM_GETPOS, 0, 0)) + ",\"activity\":" + Range(activity) +
           ",\"apos\":" + std::to_string(SendMessageA(activity, PBM_GETPOS, 0, 0)) + "}";
}

void RunScript()
{
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    POINT client{0, 0};
    ClientToScreen(MainWindow(), &client);
    Report("{\"ticks\":" + std::to_string(AutoUpdateTimerCount) + ",\"workarea\":[" + std::to_string(area.left) + "," +
           std::to_string(area.top) + "," + std::to_string(area.right) + "," + std::to_string(area.bottom) +
           "],\"client\":[" + std::to_string(client.x) + "," + std::to_string(client.y) + "],\"bars\":" +
           Bars("before") + "}");
    const std::string progress = TextParam("/PROGRESS=");
    if (!progress.empty()) {
        const std::string counts = TextAfter(progress, ":", "0");
        const int total = StrToIntDef(TextBefore(counts, ":", counts), 0);
        const int steps = StrToIntDef(TextAfter(counts, ":", counts), 0);
        DownloadProgress().Start(StrToIntDef(TextBefore(progress, ":", "0"), 0), total);
        Report(Bars("start"));
        for (int i = 0; i < steps; ++i) {
            DownloadProgress().Step("step");
            Report(Bars("step"));
        }
    }
    const std::string status = TextParam("/STATUS=");
    if (!status.empty())
        SetStatusText(status, OwnInfo().FontName(), OwnInfo().Charset(), OwnInfo().FontSize());
    if (HasParam("/AUTOPLAY")) {
        const UINT query = RegisterWindowMessageA("QueryCancelAutoPlay");
        const LRESULT before = SendMessageA(MainWindow(), query, 0, 0);
        AnswerQueryCancelAutoPlay();
        Report("{\"autoplay\":[" + std::to_string(before) + "," + std::to_string(SendMessageA(MainWindow(), query, 0, 0)) +
               "]}");
    }
    if (HasParam("/SHOW")) {
        ShowMainWindow(true);
        ShowActivityBar(true);
    }
    Report("ready");
}

void Tick(HWND window)
{
    if (!started) {
        started = true;
        KillTimer(window, 1);
        RunScript();
        SetTimer(window, 2, 50, nullptr);
    } else if (DownloadAbortFlag && !abortReported) {
        abortReported = true;
        Report("abort");
    }
}

} // namespace

void StartSetup(HWND window) { Tick(window); }
void AutoUpdateTick(HWND window) { Tick(window); }
void StartFromCopy() {}
void RemoveExtractFolder() { Report("removed"); }
bool CheckTestMode(bool) { return false; }
LRESULT AgentWindowMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }
bool HandleParamOK(bool) { return false; }
