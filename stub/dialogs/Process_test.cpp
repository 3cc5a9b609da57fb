#include "Process.h"

#include "Platform.h"
#include "UtilsWin.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Top-level windows of the test's own process, destroyed at the end of each case.
class OwnWindows {
public:
    ~OwnWindows()
    {
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
            DestroyWindow(*it);
    }
    HWND Make(const char* title, bool visible, HWND owner = nullptr)
    {
        const HWND w = CreateWindowExA(0, "STATIC", title, WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, 20, 20, owner,
                                       nullptr, nullptr, nullptr);
        windows_.push_back(w);
        return w;
    }

private:
    std::vector<HWND> windows_;
};

HWND OwnMainWindow()
{
    TAnalizer analizer(GetCurrentProcessId());
    analizer.CollectWindows();
    analizer.ScoreWindows();
    return analizer.MainWindow();
}

TEST(MainWindowScoring, HiddenOwnerOutranksTheVisibleDialogItOwns)
{
    OwnWindows w;
    const HWND owner = w.Make("", false);
    w.Make("Dialog", true, owner);
    EXPECT_EQ(OwnMainWindow(), owner);
}

TEST(MainWindowScoring, OwnerOfAChainCollectsEveryOwnedWindow)
{
    OwnWindows w;
    const HWND visibleTitled = w.Make("Visible", true);
    const HWND root = w.Make("", false);
    const HWND middle = w.Make("Middle", true, root);
    w.Make("Leaf", true, middle);
    ASSERT_NE(visibleTitled, nullptr);
    EXPECT_EQ(OwnMainWindow(), root);
}

// The system may give the process windows of its own (an input-method window, hidden and
// titled), so these cases name the window that must win or the ones that must not.
TEST(MainWindowScoring, TitleCountsMoreThanVisibility)
{
    OwnWindows w;
    const HWND untitledVisible = w.Make("", true);
    const HWND titledVisible = w.Make("Visible", true);
    const HWND titledHidden = w.Make("Hidden", false);
    EXPECT_EQ(OwnMainWindow(), titledVisible);
    DestroyWindow(titledVisible);
    const HWND chosen = OwnMainWindow();
    EXPECT_NE(chosen, untitledVisible);
    EXPECT_EQ(WindowText(chosen).empty(), false);
    EXPECT_FALSE(IsWindowVisible(chosen));
    ASSERT_NE(titledHidden, nullptr);
}

TEST(MainWindowScoring, UntitledHiddenWindowIsNeverChosen)
{
    OwnWindows w;
    const HWND untitledHidden = w.Make("", false);
    ASSERT_NE(untitledHidden, nullptr);
    EXPECT_NE(OwnMainWindow(), untitledHidden);
}

TEST(Processes, FindsItselfByPathAndByName)
{
    const std::string self = ProgramFilePath(false);
    const DWORD found = FindProcess(self, true);
    ASSERT_NE(found, 0u);
    // Another copy of this program may run at the same time; the match must run this file.
    EXPECT_NE(FindProcess("  " + AnsiUpperCase(self) + " ", true), 0u);
    EXPECT_NE(FindProcess(ShortPathName(self), true), 0u);
    EXPECT_NE(FindProcess("stubsys_test.exe", false), 0u);
    EXPECT_EQ(FindProcess("stubsys_test.exe", true), 0u);
    EXPECT_EQ(FindProcess("", false), 0u);
    EXPECT_EQ(FindProcess("C:\\nowhere\\nothing.exe", false), 0u);
    EXPECT_TRUE(IsProgramRunning("\" " + self + " \""));
    EXPECT_FALSE(IsProgramRunning("\"C:\\nowhere\\nothing.exe\""));
}

// On an NT system the snapshot names each process by its bare file name, so there the path
// comparisons of this list meet only bare names.
TEST(Processes, ToolHelpListFindsByName)
{
    UseToolHelpProcessList(true);
    const DWORD byName = FindProcess("STUBSYS_TEST.EXE", false);
    const DWORD otherFolder = FindProcess("C:\\nowhere\\stubsys_test.exe", true);
    const DWORD nothing = FindProcess("nothing.exe", false);
    UseToolHelpProcessList(false);
    EXPECT_NE(byName, 0u);
    EXPECT_EQ(otherFolder, 0u);
    EXPECT_EQ(nothing, 0u);
}

// Texts that stand in for a comparison that is skipped must not match as paths themselves.
TEST(Processes, StandInTextsMatchNoProcess)
{
    for (const bool toolHelp : {false, true}) {
        UseToolHelpProcessList(toolHelp);
        const DWORD name = FindProcess("*X*", true), shortPath = FindProcess("*XX*", false);
        UseToolHelpProcessList(false);
        EXPECT_EQ(name, 0u) << toolHelp;
        EXPECT_EQ(shortPath, 0u) << toolHelp;
    }
}

TEST(Processes, NothingToStopForAProgramThatDoesNotRun)
{
    const std::string nothing = "C:\\nowhere\\nothing.exe";
    EXPECT_EQ(FindMainWindow(nothing, false), nullptr);
    EXPECT_FALSE(CloseProgram(nothing, true));
    EXPECT_FALSE(QuitProgram(nothing, true));
    EXPECT_FALSE(TerminateProgram(nothing, true));
    EXPECT_FALSE(PostToMainWindow(nothing, false, WM_APP, 0, 0));
}

std::int64_t MillisecondsOfWaitForNothing()
{
    const std::int64_t start = MillisecondClock();
    WaitProgramEnd("\"C:\\nowhere\\nothing.exe\"", 0);
    return MillisecondClock() - start;
}

TEST(Processes, WaitForAProgramThatDoesNotRun)
{
    const std::int64_t nt = MillisecondsOfWaitForNothing();
    EXPECT_GE(nt, 1000);
    EXPECT_LT(nt, 1700);
    UseToolHelpProcessList(true);
    const std::int64_t toolHelp = MillisecondsOfWaitForNothing();
    UseToolHelpProcessList(false);
    EXPECT_GE(toolHelp, 2000);
    EXPECT_LT(toolHelp, 2900);
}

HWND timedWindow = nullptr;
void CALLBACK DestroyTimedWindow(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    DestroyWindow(timedWindow);
}

TEST(Windows, WaitWhileWindowExistsKeepsTimersRunning)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ProcessTestEngineDialog";
    RegisterClassA(&wc);
    timedWindow = CreateWindowExA(0, wc.lpszClassName, "Engine", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(timedWindow, nullptr);
    SetTimer(nullptr, 0, 300, DestroyTimedWindow);
    const std::int64_t start = MillisecondClock();
    WaitWhileWindowExists("ProcessTestEngineDialog", nullptr);
    const std::int64_t elapsed = MillisecondClock() - start;
    EXPECT_EQ(FindWindowA("ProcessTestEngineDialog", nullptr), nullptr);
    EXPECT_GE(elapsed, 280);
    EXPECT_LT(elapsed, 3000);
    WaitWhileWindowExists("ProcessTestNoSuchClass", "none");
}

} // namespace
