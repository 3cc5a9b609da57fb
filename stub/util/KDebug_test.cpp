#include "KDebug.h"

#include "Files.h"
#include "UtilsWin.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A ".KDebug." window in the test's own thread: the driver's send calls it directly.
std::vector<std::string> received;
UINT debugMessage = 0;

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == debugMessage && wParam == 1) {
        char text[300];
        const UINT n = GlobalGetAtomNameA(static_cast<ATOM>(lParam), text, sizeof text);
        received.emplace_back(text, n);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class DebugViewerWindow {
public:
    DebugViewerWindow()
    {
        debugMessage = RegisterWindowMessageA(".K_DebugMsg.");
        WNDCLASSA wc{};
        wc.lpfnWndProc = ViewerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = ".KDebug.";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(0, wc.lpszClassName, "viewer", 0, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
        received.clear();
    }
    ~DebugViewerWindow() { DestroyWindow(window_); }
    HWND Get() const { return window_; }

private:
    HWND window_;
};

TEST(DebugOutput, LongLineReachesTheViewerInThreePieces)
{
    const DebugViewerWindow viewer;
    ASSERT_NE(viewer.Get(), nullptr);
    const std::string line(300, 'k');
    DebugWriteLine(line);
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0], line.substr(0, 128));
    EXPECT_EQ(received[1], line.substr(128, 128));
    EXPECT_EQ(received[2], line.substr(256) + "\r\n");
    EXPECT_EQ(GlobalFindAtomA(received[2].c_str()), 0) << "the atom outlived the send";
}

TEST(DebugOutput, PartsOfALineWaitForItsEnd)
{
    const DebugViewerWindow viewer;
    DebugWrite("4711 ");
    DebugWrite("Start: ");
    EXPECT_TRUE(received.empty());
    DebugWriteLine("TRUE");
    EXPECT_EQ(received, (std::vector<std::string>{"4711 Start: TRUE\r\n"}));
}

TEST(DebugOutput, WithoutViewerTextIsDropped)
{
    ASSERT_EQ(FindWindowA(".KDebug.", nullptr), nullptr);
    DebugWriteLine("nobody listens");
    DebugWriteLine(std::string(1000, 'n'));
    const DebugViewerWindow viewer;
    DebugWriteLine("later");
    EXPECT_EQ(received, (std::vector<std::string>{"later\r\n"}));
}

TEST(RunLog, LinesGoNextToTheProgramOnlyWhenEnabled)
{
    const std::string path = RunLogPath();
    EXPECT_EQ(path, ProgramFolder(true) + "X_kdebug_test.log");
    DeleteFileA(path.c_str());
    WriteRunLog("not enabled");
    EXPECT_FALSE(FileExists(path));
    SetRunLogEnabled(true);
    WriteRunLog("first");
    SetRunLogIndent(" X ");
    WriteRunLog("second");
    SetRunLogEnabled(false);
    const std::string log = ReadFileBytes(path, 0, 0);
    DeleteFileA(path.c_str());
    const std::string thread = std::to_string(GetCurrentThreadId());
    const std::string id = std::string(thread.size() < 5 ? 5 - thread.size() : 0, ' ') + thread;
    const std::size_t end = log.find("\r\n") + 2;
    const std::string lines[] = {log.substr(0, end), log.substr(end)};
    EXPECT_EQ(lines[0].substr(17), " " + id + "   first\r\n");
    EXPECT_EQ(lines[1].substr(17), " " + id + " X second\r\n");
    for (const std::string& line : lines) {
        ASSERT_GT(line.size(), 17u) << log;
        const std::string stamp = line.substr(0, 17); // dd/mm/yy HH:NN:SS
        for (std::size_t i : {2u, 5u})
            EXPECT_EQ(stamp[i], '/') << stamp;
        for (std::size_t i : {11u, 14u})
            EXPECT_EQ(stamp[i], ':') << stamp;
        EXPECT_EQ(stamp[8], ' ') << stamp;
    }
}

TEST(Partner, StatusCodesArePostedOnlyWhenRegistered)
{
    const HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    MSG msg;
    PostToPartner(40, 1);
    EXPECT_FALSE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    SetPartner(window, WM_APP + 7);
    PostToPartner(41, 2);
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_APP + 7, WM_APP + 7, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 41u);
    EXPECT_EQ(msg.lParam, 2);
    SetPartner(window, 0);
    PostToPartner(42, 1);
    EXPECT_FALSE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    DestroyWindow(window);
}

} // namespace
