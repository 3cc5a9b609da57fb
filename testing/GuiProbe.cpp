// Test fixture: the GUI probe, a console program that finds top-level windows and reports or
// drives them. Every report is one JSON object per line on standard output.
//
//   guiprobe.exe list  [SELECTOR]                 every matching top-level window
//   guiprobe.exe show  SELECTOR                   the first match with all its child controls
//   guiprobe.exe click SELECTOR --button TEXT|--id N   press a button of the window
//   guiprobe.exe key   SELECTOR --vk N            press a key in the window's focused control
//   guiprobe.exe key   SELECTOR --syschar C       type character C with Alt held down there
//   guiprobe.exe close SELECTOR                   post a close request
//   guiprobe.exe wait  SELECTOR [--gone] [--timeout MS]   wait until it appears (or goes)
//
// SELECTOR: --class NAME, --title TEXT (exact), --title-has TEXT, --pid N, --hwnd N, --visible;
// all given parts must match, names and texts without regard to letter case. Exit code 0 when
// done, 1 when no window matched or the wait timed out, 2 for a usage error.
#include "FixtureJson.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Selector {
    std::string className, title, titleHas;
    DWORD pid = 0;
    HWND hwnd = nullptr;
    bool visibleOnly = false;
};

struct Options {
    std::string command;
    Selector selector;
    std::string button;
    int id = -1, vk = -1;
    char sysChar = 0;
    bool gone = false;
    DWORD timeout = 10000;
};

std::string Upper(std::string text)
{
    if (!text.empty())
        CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Text of a window in any process: WM_GETTEXT is carried across processes by the system.
std::string TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return {};
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             2000, &copied))
        return {};
    text.resize(copied);
    return text;
}

std::string ClassOf(HWND window)
{
    char name[256];
    const int n = GetClassNameA(window, name, sizeof name);
    return std::string(name, n > 0 ? n : 0);
}

std::string Handle(HWND window) { return std::to_string(reinterpret_cast<UINT_PTR>(window)); }

std::string RectJson(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "]";
}

std::string CommonFields(HWND window)
{
    return "\"hwnd\":" + Handle(window) + ",\"class\":" + Json(ClassOf(window)) + ",\"text\":" + Json(TextOf(window)) +
           ",\"rect\":" + RectJson(window) + ",\"style\":" + std::to_string(GetWindowLongA(window, GWL_STYLE)) +
           ",\"exstyle\":" + std::to_string(GetWindowLongA(window, GWL_EXSTYLE)) +
           ",\"visible\":" + (IsWindowVisible(window) ? "true" : "false");
}

std::string ChildJson(HWND child)
{
    std::string json = "{" + CommonFields(child) + ",\"id\":" + std::to_string(GetDlgCtrlID(child)) +
                       ",\"parent\":" + Handle(GetParent(child));
    if (Upper(ClassOf(child)) == Upper(PROGRESS_CLASSA)) {
        const LRESULT low = SendMessageA(child, PBM_GETRANGE, TRUE, 0);
        const LRESULT high = SendMessageA(child, PBM_GETRANGE, FALSE, 0);
        const LRESULT pos = SendMessageA(child, PBM_GETPOS, 0, 0);
        json += ",\"range\":[" + std::to_string(low) + "," + std::to_string(high) + "],\"pos\":" + std::to_string(pos);
    }
    return json + "}";
}

BOOL CALLBACK CollectHandle(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ChildrenOf(HWND window)
{
    std::vector<HWND> children;
    EnumChildWindows(window, CollectHandle, reinterpret_cast<LPARAM>(&children));
    return children;
}

std::string WindowJson(HWND window, bool withChildren)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    std::string json = "{" + CommonFields(window) + ",\"title\":" + Json(TextOf(window)) + ",\"pid\":" +
                       std::to_string(pid) + ",\"owner\":" + Handle(GetWindow(window, GW_OWNER));
    if (withChildren) {
        json += ",\"children\":[";
        const std::vector<HWND> children = ChildrenOf(window);
        for (std::size_t i = 0; i < children.size(); ++i)
            json += (i ? "," : "") + ChildJson(children[i]);
        json += "]";
    }
    return json + "}";
}

bool MatchesSelector(HWND window, const Selector& s)
{
    if (s.hwnd && window != s.hwnd)
        return false;
    if (s.visibleOnly && !IsWindowVisible(window))
        return false;
    if (s.pid) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != s.pid)
            return false;
    }
    if (!s.className.empty() && Upper(ClassOf(window)) != Upper(s.className))
        return false;
    if (!s.title.empty() || !s.titleHas.empty()) {
        const std::string title = Upper(TextOf(window));
        if (!s.title.empty() && title != Upper(s.title))
            return false;
        if (!s.titleHas.empty() && title.find(Upper(s.titleHas)) == std::string::npos)
            return false;
    }
    return true;
}

std::vector<HWND> TopLevelWindows()
{
    std::vector<HWND> windows;
    EnumWindows(CollectHandle, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> Matching(const Selector& s)
{
    std::vector<HWND> found;
    for (HWND window : TopLevelWindows())
        if (MatchesSelector(window, s))
            found.push_back(window);
    return found;
}

HWND FirstMatch(const Selector& s)
{
    const std::vector<HWND> found = Matching(s);
    return found.empty() ? nullptr : found.front();
}

std::string WithoutAmpersands(std::string text)
{
    std::string out;
    for (char c : text)
        if (c != '&')
            out += c;
    return out;
}

HWND FindButton(HWND window, const Options& o)
{
    for (HWND child : ChildrenOf(window)) {
        if (o.id >= 0 ? GetDlgCtrlID(child) == o.id
                      : Upper(WithoutAmpersands(TextOf(child))) == Upper(WithoutAmpersands(o.button)))
            return child;
    }
    return nullptr;
}

void Print(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

int List(const Options& o)
{
    const std::vector<HWND> found = Matching(o.selector);
    for (HWND window : found)
        Print(WindowJson(window, false));
    return found.empty() ? 1 : 0;
}

int Show(const Options& o)
{
    const HWND window = FirstMatch(o.selector);
    if (!window)
        return 1;
    Print(WindowJson(window, true));
    return 0;
}

int Click(const Options& o)
{
    const HWND window = FirstMatch(o.selector);
    const HWND button = window ? FindButton(window, o) : nullptr;
    if (!button)
        return 1;
    // The parent learns of the press as from the button itself; posting keeps the probe free of
    // whatever modal loop the press opens.
    PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    Print(ChildJson(button));
    return 0;
}

int Key(const Options& o)
{
    const HWND window = FirstMatch(o.selector);
    if (!window || (o.vk < 0 && !o.sysChar))
        return window ? 2 : 1;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus &&
        (info.hwndFocus == window || IsChild(window, info.hwndFocus)))
        target = info.hwndFocus;
    if (o.sysChar) {
        // The context bit says that Alt is down, as for a typed Alt+character.
        PostMessageA(target, WM_SYSCHAR, static_cast<unsigned char>(o.sysChar), 1 | (1u << 29));
    } else {
        const UINT scan = MapVirtualKeyA(static_cast<UINT>(o.vk), 0);
        PostMessageA(target, WM_KEYDOWN, o.vk, 1 | (scan << 16));
        PostMessageA(target, WM_KEYUP, o.vk, 1 | (scan << 16) | (3u << 30));
    }
    Print(WindowJson(target, false));
    return 0;
}

int Close(const Options& o)
{
    const HWND window = FirstMatch(o.selector);
    if (!window)
        return 1;
    PostMessageA(window, WM_CLOSE, 0, 0);
    Print(WindowJson(window, false));
    return 0;
}

int Wait(const Options& o)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const HWND window = FirstMatch(o.selector);
        if (o.gone ? window == nullptr : window != nullptr) {
            if (window)
                Print(WindowJson(window, false));
            return 0;
        }
        if (GetTickCount() - start >= o.timeout)
            return 1;
        Sleep(50);
    }
}

bool ParseOptions(int argc, char** argv, Options& o)
{
    if (argc < 2)
        return false;
    o.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string flag = argv[i];
        const bool hasValue = i + 1 < argc;
        const auto value = [&] { return std::string(argv[++i]); };
        if (flag == "--visible")
            o.selector.visibleOnly = true;
        else if (flag == "--gone")
            o.gone = true;
        else if (!hasValue)
            return false;
        else if (flag == "--class")
            o.selector.className = value();
        else if (flag == "--title")
            o.selector.title = value();
        else if (flag == "--title-has")
            o.selector.titleHas = value();
        else if (flag == "--pid")
            o.selector.pid = std::strtoul(value().c_str(), nullptr, 10);
        else if (flag == "--hwnd")
            o.selector.hwnd = reinterpret_cast<HWND>(std::strtoull(value().c_str(), nullptr, 0));
        else if (flag == "--button")
            o.button = value();
        else if (flag == "--id")
            o.id = std::atoi(value().c_str());
        else if (flag == "--vk")
            o.vk = std::atoi(value().c_str());
        else if (flag == "--syschar")
            o.sysChar = value()[0];
        else if (flag == "--timeout")
            o.timeout = std::strtoul(value().c_str(), nullptr, 10);
        else
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fputs("usage: guiprobe list|show|click|key|close|wait [selector] [options]\n", stderr);
        return 2;
    }
    const struct {
        const char* name;
        int (*run)(const Options&);
    } commands[] = {{"list", List}, {"show", Show}, {"click", Click}, {"key", Key}, {"close", Close}, {"wait", Wait}};
    for (const auto& command : commands)
        if (o.command == command.name)
            return command.run(o);
    std::fputs("guiprobe: unknown command\n", stderr);
    return 2;
}
