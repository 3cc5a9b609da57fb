#include "StubWin.h"

#include "FileInfo.h"
#include "InetHTTP.h"
#include "KDebug.h"
#include "KMsgBox.h"
#include "StubAU.h"
#include "StubParams.h"
#include "StubSetup.h"
#include "Stub.h"
#include "UtilsWin.h"

#include <commctrl.h>

#include <memory>

namespace {

const int MainWidth = 492;
const int MainHeight = 110;
const UINT_PTR StartTimer = 1;

struct ControlRect {
    int x, y, width, height;
};

// Character sets 177 (Hebrew) and 178 (Arabic) read right to left.
bool RightToLeft(int charset) { return charset == 177 || charset == 178; }

ControlRect StatusLineRect(bool rightToLeft) { return {rightToLeft ? 122 : 70, 20, 340, 18}; }
const ControlRect MainBarRect{70, 38, 392, 13};
ControlRect ActivityBarRect(bool rightToLeft) { return {rightToLeft ? 70 : 416, 20, 46, 13}; }

struct MainWindowState {
    HWND window = nullptr;
    HWND statusLine = nullptr;
    HWND mainBar = nullptr;
    HWND activityBar = nullptr;
    HFONT statusFont = nullptr;
    bool destroyed = false;
    int activity = 0;
    bool answerAutoPlay = false;
};

MainWindowState mainWindow;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

HICON MainIcon() { return LoadIconA(Instance(), "MainIcon"); }

HWND CreateChild(const char* cls, DWORD style, const ControlRect& r)
{
    return CreateWindowExA(0, cls, "", style, r.x, r.y, r.width, r.height, mainWindow.window, nullptr, Instance(),
                           nullptr);
}

void ReplaceStatusFont(HFONT font)
{
    SendMessageA(mainWindow.statusLine, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (mainWindow.statusFont)
        DeleteObject(mainWindow.statusFont);
    mainWindow.statusFont = font;
}

HFONT CreateStatusFont(int height, int charset, const std::string& face)
{
    return CreateFontA(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, static_cast<BYTE>(charset),
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face.c_str());
}

void CreateControls(HWND window)
{
    mainWindow.window = window;
    const bool rtl = RightToLeft(OwnInfo().Charset());
    mainWindow.statusLine = CreateChild("Static", WS_CHILD | WS_VISIBLE, StatusLineRect(rtl));
    mainWindow.mainBar = CreateChild(PROGRESS_CLASSA, WS_CHILD | WS_VISIBLE, MainBarRect);
    mainWindow.activityBar = CreateChild(PROGRESS_CLASSA, WS_CHILD, ActivityBarRect(rtl));
    ReplaceStatusFont(CreateStatusFont(-11, 0, "Tahoma"));
    SetTimer(window, StartTimer, 1000, nullptr);
}

void PaintMainWindow(HWND window)
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    DrawIcon(dc, 18, 20, MainIcon());
    EndPaint(window, &paint);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateControls(window);
        break;
    case WM_PAINT:
        PaintMainWindow(window);
        break;
    case WM_TIMER:
        if (AutoUpdateProg())
            AutoUpdateTick(window);
        else
            StartSetup(window);
        break;
    case WM_CLOSE:
        if (!CloseMainWindow())
            return 0;
        break;
    case WM_DESTROY:
        DebugWriteLine("- wm_Destroy -");
        DestroyMainWindow();
        break;
    case WM_QUIT:
        DebugWriteLine("- wm_Quit -");
        DestroyMainWindow();
        break;
    case wm_ShutDown:
    case wm_LocalMsg:
        AgentWindowMessage(window, message, wParam, lParam);
        break;
    case wm_AgentMsg:
        return AgentWindowMessage(window, message, wParam, lParam);
    default:
        if (mainWindow.answerAutoPlay && message == QueryCancelAutoPlayId())
            return 1;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The progress bar class lives in the common controls library, taken from the system folder.
void InitCommonControlsFromSystem()
{
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = FunctionAs<InitFn>(LoadFunction("comctl32.dll", "InitCommonControlsEx"));
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    if (init)
        init(&classes);
}

bool RegisterMainClass()
{
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = Instance();
    wc.hIcon = MainIcon();
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = WindowClassName().c_str();
    return RegisterClassA(&wc) != 0;
}

void CreateMainWindow()
{
    const std::string caption = TGFileInfo(ProgramFilePath(false)).Text("s0");
    const POINT at = CenterInWorkArea(MainWidth, MainHeight);
    CreateWindowExA(0, WindowClassName().c_str(), caption.c_str(), WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, at.x,
                    at.y, MainWidth, MainHeight, nullptr, nullptr, Instance(), nullptr);
}

void RunMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (mainWindow.destroyed)
            break;
    }
}

void SendToBar(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) { SendMessageA(bar, message, wParam, lParam); }

// A range above 16 bits needs the 32-bit form of the range message.
void SetMainBarRange(int second, int maximum)
{
    if (maximum >= 0 && maximum <= 0xFFFF)
        SendToBar(mainWindow.mainBar, PBM_SETRANGE, static_cast<WPARAM>(second), MAKELPARAM(0, maximum));
    else
        SendToBar(mainWindow.mainBar, PBM_SETRANGE32, 0, maximum);
}

void StartProgress(int second, int maximum, int position, int step)
{
    SetMainBarRange(second, maximum);
    SendToBar(mainWindow.mainBar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    SendToBar(mainWindow.mainBar, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
    SendToBar(mainWindow.activityBar, PBM_SETRANGE, 0, MAKELPARAM(0, 5));
    SendToBar(mainWindow.activityBar, PBM_SETPOS, 0, 0);
    SendToBar(mainWindow.activityBar, PBM_SETSTEP, 1, 0);
    mainWindow.activity = 0;
}

void StepProgress()
{
    SendToBar(mainWindow.mainBar, PBM_STEPIT, 0, 0);
    mainWindow.activity = mainWindow.activity >= 5 ? 0 : mainWindow.activity + 1;
    SendToBar(mainWindow.activityBar, PBM_SETPOS, static_cast<WPARAM>(mainWindow.activity), 0);
}

} // namespace

void StubWin::WinMain()
{
    const std::int64_t sleep = IntParam("/SleepX=", -1);
    if (sleep >= 0)
        AutoUpdateTimerCount = static_cast<std::int32_t>(-sleep);
    InitCommonControlsFromSystem();
    if (RegisterMainClass())
        CreateMainWindow();
    MsgBoxSetFont(OwnInfo().FontName(), OwnInfo().FontSize(), OwnInfo().Charset());
    ShowMainWindow(false);
    if (mainWindow.window)
        RunMessageLoop();
    KillTimer(mainWindow.window, StartTimer);
    DownloadAbortFlag = true;
    ReleaseWinINet();
    PostToPartner(43, 0);
    if (mainWindow.window && !mainWindow.destroyed)
        DestroyWindow(mainWindow.window);
    ReplaceStatusFont(nullptr);
    UnregisterClassA(WindowClassName().c_str(), Instance());
}

HWND MainWindow() { return mainWindow.window; }

void ShowMainWindow(bool show) { ShowWindow(mainWindow.window, show ? SW_SHOW : SW_HIDE); }

void ShowActivityBar(bool show) { ShowWindow(mainWindow.activityBar, show ? SW_SHOW : SW_HIDE); }

void SetStatusText(const std::string& text, const std::string& fontName, int charset, int fontSize)
{
    const bool rtl = RightToLeft(charset);
    SetWindowLongA(mainWindow.statusLine, GWL_EXSTYLE, rtl ? WS_EX_RTLREADING : 0);
    SetWindowLongA(mainWindow.statusLine, GWL_STYLE, WS_CHILD | WS_VISIBLE | (rtl ? SS_RIGHT : 0));
    ReplaceStatusFont(CreateStatusFont(-MulDiv(fontSize, ScreenPixelsPerInch(), 72), charset, fontName));
    SetWindowTextA(mainWindow.statusLine, text.c_str());
}

void ProgressCallback(int event, int second, int maximum, int position, int step, const std::string&)
{
    if (event == 0)
        StartProgress(second, maximum, position, step);
    else if (event == 1)
        StepProgress();
}

TProgBar& DownloadProgress()
{
    static const std::unique_ptr<TProgBar> progress = std::make_unique<TProgBar>(ProgressCallback);
    return *progress;
}

void AnswerQueryCancelAutoPlay()
{
    RegisterQueryCancelAutoPlay(true);
    mainWindow.answerAutoPlay = true;
}

bool CloseMainWindow()
{
    WriteRunLog(".. CloseMainWindow() - Start");
    const bool allow = DownloadAbortFlag;
    DownloadAbortFlag = true;
    WriteRunLog(".. CloseMainWindow() - End");
    return allow;
}

void DestroyMainWindow()
{
    WriteRunLog(".. DestroyMainWindow() - Start");
    DownloadAbortFlag = true;
    RemoveExtractFolder();
    PostQuitMessage(0);
    mainWindow.destroyed = true;
    WriteRunLog(".. DestroyMainWindow() - End");
}
