// Test fixture: shows one message box of KMsgBox from its arguments and reports, as JSON lines
// on standard output, what the box looks like once it is up ("layout") and what it answered
// ("result"). The box itself is driven from outside, through the GUI probe.
//
//   boxtool.exe [--font FACE SIZE CHARSET] show HEADING TIMEOUT FLAGS CHARSET CAPTION TEXT [BUTTONS]
//       (BUTTONS: the button-text list, the built-in one when left out)
//   boxtool.exe [--font FACE SIZE CHARSET] confirm TIMEOUT TEXT
//   boxtool.exe extent TEXT        width of TEXT and the line height in the default box font
//
// --quit-after MS (before the command) posts a quit message with exit value 5 while the box is
// up; the result line then tells the quit message that was still waiting after the box.
//
// FLAGS is a number (0x prefix for hexadecimal). Exit code 0 when the box was shown, 2 for a
// usage error.
#include "KMsgBox.h"
#include "KMsgBoxText.h"
#include "UtilsWin.h"

#include "FixtureJson.h"

#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Number(long long n) { return std::to_string(n); }

void Print(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// A child's rectangle in its parent's client coordinates.
std::string ClientRect(HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return "[" + Number(r.left) + "," + Number(r.top) + "," + Number(r.right) + "," + Number(r.bottom) + "]";
}

// The bold runs the control shows, found character by character.
std::string BoldRuns(HWND text)
{
    const std::string shown = WindowText(text);
    const int length = static_cast<int>(shown.size());
    std::string runs = "[";
    int start = -1;
    for (int i = 0; i <= length; ++i) {
        bool bold = false;
        // Line ends carry the paragraph's format, not a character's: they count as plain.
        if (i < length && shown[i] != '\r' && shown[i] != '\n') {
            CHARRANGE one{i, i + 1};
            SendMessageA(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
            CHARFORMATA format{};
            format.cbSize = sizeof format;
            SendMessageA(text, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
            bold = (format.dwMask & CFM_BOLD) && (format.dwEffects & CFE_BOLD);
        }
        if (bold && start < 0)
            start = i;
        if (!bold && start >= 0) {
            runs += std::string(runs.size() > 1 ? "," : "") + "[" + Number(start) + "," + Number(i) + "]";
            start = -1;
        }
    }
    SendMessageA(text, EM_SETSEL, 0, 0);
    return runs + "]";
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

std::string ChildJson(HWND child)
{
    char cls[64];
    GetClassNameA(child, cls, sizeof cls);
    std::string json = "{\"class\":" + Json(cls) + ",\"text\":" + Json(WindowText(child)) +
                       ",\"rect\":" + ClientRect(child) + ",\"style\":" + Number(GetWindowLongA(child, GWL_STYLE)) +
                       ",\"exstyle\":" + Number(GetWindowLongA(child, GWL_EXSTYLE)) +
                       ",\"focused\":" + (GetFocus() == child ? "true" : "false");
    if (lstrcmpiA(cls, "RICHEDIT") == 0)
        json += ",\"bold\":" + BoldRuns(child);
    return json + "}";
}

BOOL CALLBACK FindBox(HWND window, LPARAM out)
{
    char cls[16];
    if (GetClassNameA(window, cls, sizeof cls) && lstrcmpA(cls, "KMsgBox") == 0) {
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
    }
    return TRUE;
}

HWND BoxOfThisThread()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs inside the box's message loop, once the box is laid out.
void CALLBACK ReportLayout(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND box = BoxOfThisThread();
    if (!box)
        return;
    KillTimer(nullptr, timer);
    RECT window, client;
    GetWindowRect(box, &window);
    GetClientRect(box, &client);
    const UINT close = GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND);
    std::vector<HWND> children;
    EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&children));
    std::string list;
    for (HWND child : children)
        list += (list.empty() ? "" : ",") + ChildJson(child);
    Print("{\"layout\":{\"title\":" + Json(WindowText(box)) + ",\"width\":" + Number(window.right - window.left) +
          ",\"height\":" + Number(window.bottom - window.top) + ",\"client\":[" + Number(client.right) + "," +
          Number(client.bottom) + "],\"closegreyed\":" + ((close & MF_GRAYED) ? "true" : "false") +
          ",\"exstyle\":" + Number(GetWindowLongA(box, GWL_EXSTYLE)) + ",\"frame\":[" +
          Number(GetSystemMetrics(SM_CXFRAME)) + "," + Number(GetSystemMetrics(SM_CYFRAME)) + "," +
          Number(GetSystemMetrics(SM_CYCAPTION)) + "],\"children\":[" + list + "]}}");
}

int Extent(const std::string& text)
{
    const HFONT font = CreateFontA(-PointsToPixels(8), 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, "Tahoma");
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    Print("{\"extent\":" + Number(size.cx) + ",\"line\":" + Number(metrics.tmHeight + metrics.tmExternalLeading) + "}");
    return 0;
}

void CALLBACK PostQuit(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    PostQuitMessage(5);
}

std::string WaitingQuit()
{
    MSG msg;
    if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return ",\"quit\":" + Number(static_cast<long long>(msg.wParam));
    return {};
}

template <typename Show>
int Shown(Show show, int quitAfterMs)
{
    SetTimer(nullptr, 0, 100, ReportLayout);
    if (quitAfterMs > 0)
        SetTimer(nullptr, 0, static_cast<UINT>(quitAfterMs), PostQuit);
    const DWORD start = GetTickCount();
    const long long result = show();
    const DWORD ms = GetTickCount() - start;
    Print("{\"result\":" + Number(result) + ",\"ms\":" + Number(ms) + WaitingQuit() + "}");
    return 0;
}

long long NumberArg(const char* text) { return std::strtoll(text, nullptr, 0); }

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 4 && args[0] == "--font") {
        MsgBoxSetFont(args[1], static_cast<int>(NumberArg(args[2].c_str())), static_cast<int>(NumberArg(args[3].c_str())));
        args.erase(args.begin(), args.begin() + 4);
    }
    int quitAfterMs = 0;
    if (args.size() >= 2 && args[0] == "--quit-after") {
        quitAfterMs = static_cast<int>(NumberArg(args[1].c_str()));
        args.erase(args.begin(), args.begin() + 2);
    }
    const auto arg = [&args](std::size_t i) { return args[i].c_str(); };
    if (args.size() == 2 && args[0] == "extent")
        return Extent(args[1]);
    if ((args.size() == 7 || args.size() == 8) && args[0] == "show")
        return Shown([&] {
            return MsgBoxShow(static_cast<std::intptr_t>(NumberArg(arg(1))), args[6], args[5],
                              static_cast<int>(NumberArg(arg(2))), static_cast<std::uint32_t>(NumberArg(arg(3))),
                              static_cast<std::uint8_t>(NumberArg(arg(4))), args.size() == 8 ? args[7] : std::string(DefaultButtonTexts));
        }, quitAfterMs);
    if (args.size() == 3 && args[0] == "confirm")
        return Shown([&] { return MsgBoxConfirm(1, args[2], "", static_cast<int>(NumberArg(arg(1))), 0, "") ? 1 : 0; },
                     quitAfterMs);
    std::fputs("usage: boxtool [--font FACE SIZE CHARSET] show|confirm|extent ...\n", stderr);
    return 2;
}
