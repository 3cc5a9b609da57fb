#include "KProgBar.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What the observer saw, and the window messages handled between the calls, in their order.
std::vector<std::string> events;

void Record(int event, int second, int maximum, int position, int step, const std::string& text)
{
    events.push_back("observer " + std::to_string(event) + " " + std::to_string(second) + " " + std::to_string(maximum) +
                     " " + std::to_string(position) + " " + std::to_string(step) + " " + text);
}

const UINT Mark = WM_APP + 1;

LRESULT CALLBACK MarkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == Mark) {
        events.push_back("message " + std::to_string(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class ProgBar : public testing::Test {
protected:
    HWND window = nullptr;
    void SetUp() override
    {
        events.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = MarkProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ProgBarTestWindow";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { DestroyWindow(window); }
    void Post(int n) { PostMessageA(window, Mark, n, 0); }
};

TEST_F(ProgBar, EventsReachTheObserverWithMessagesHandledAroundThem)
{
    {
        TProgBar bar(Record);
        Post(1);
        bar.Start(1, 6);
        Post(2);
        bar.Step("12 KB");
        Post(3);
        bar.Caption("file.exe");
        Post(4);
    }
    const std::vector<std::string> expected{
        "message 1", "observer 0 0 6 1 1 ", "message 2", "observer 1 0 0 0 0 12 KB", "message 3",
        "message 4", "observer 0 0 0 0 1 ", // freeing the object finishes it
    };
    EXPECT_EQ(events, expected);
}

TEST_F(ProgBar, MessagesPostedByTheObserverAreHandledBeforeTheEventReturns)
{
    static HWND target;
    target = window;
    TProgBar bar([](int, int, int, int, int, const std::string&) {
        events.push_back("observer");
        PostMessageA(target, Mark, 9, 0);
    });
    bar.Step("");
    const std::vector<std::string> expected{"observer", "message 9"};
    EXPECT_EQ(events, expected);
}

TEST_F(ProgBar, WithoutObserverOnlyMessagesAreHandled)
{
    TProgBar bar(nullptr);
    Post(5);
    bar.Start(0, 10);
    bar.Step("x");
    bar.Finish();
    EXPECT_FALSE(bar.Cancelled);
    const std::vector<std::string> expected{"message 5"};
    EXPECT_EQ(events, expected);
}

} // namespace
