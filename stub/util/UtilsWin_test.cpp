#include "UtilsWin.h"

#include "Files.h"
#include "ScratchFolder.h"
#include "Utils.h"

#include <gtest/gtest.h>

namespace {

// ---- INI files ----------------------------------------------------------------------------

class IniFiles : public testing::Test {
protected:
    ScratchFolder folder{"ini"};
    const std::string file = folder / "settings.ini";
    void Write(const std::string& text) { ASSERT_TRUE(WriteFileBytes(file, text, 0, false)); }
};

TEST_F(IniFiles, EmptySectionReadsTheDefaultEvenWhenTheFileHasTheKey)
{
    Write("[]\r\nkey=found\r\n[S]\r\nkey=found\r\n");
    EXPECT_EQ(ReadIniString(file, "", "key", "default"), "default");
    EXPECT_EQ(ReadIniString(file, "S", "key", "default"), "found");
}

TEST_F(IniFiles, MissingAndEmptyValuesReadTheDefault)
{
    Write("[S]\r\nempty=\r\nnumber=12x\r\n");
    EXPECT_EQ(ReadIniString(file, "S", "empty", "d"), "d");
    EXPECT_EQ(ReadIniString(file, "S", "absent", "d"), "d");
    EXPECT_EQ(ReadIniString(file, "Other", "empty", "d"), "d");
    EXPECT_EQ(ReadIniString(folder / "missing.ini", "S", "empty", "d"), "d");
    EXPECT_EQ(ReadIniInt(file, "S", "number", -7), -7);
    EXPECT_EQ(ReadIniInt(file, "S", "absent", 9000000000LL), 9000000000LL);
}

TEST_F(IniFiles, LongValueIsCutTo10240Characters)
{
    std::string value;
    for (int i = 0; value.size() < 12000; ++i)
        value += std::to_string(i % 10);
    Write("[S]\r\nlong=" + value + "\r\n");
    const std::string read = ReadIniString(file, "S", "long", "d");
    EXPECT_EQ(read.size(), 10240u);
    EXPECT_EQ(read, value.substr(0, 10240));
}

TEST_F(IniFiles, WrittenValuesReadBack)
{
    EXPECT_TRUE(WriteIniString(file, "Agent", "Name", "Kestix update"));
    EXPECT_TRUE(WriteIniInt(file, "Agent", "Stamp", -4611686018427387904LL));
    EXPECT_EQ(ReadIniString(file, "Agent", "Name", ""), "Kestix update");
    EXPECT_EQ(ReadIniInt(file, "Agent", "Stamp", 0), -4611686018427387904LL);
    EXPECT_FALSE(WriteIniString(folder / "no such folder\\x.ini", "S", "k", "v"));
}

// ---- Registry -----------------------------------------------------------------------------

class Registry : public testing::Test {
protected:
    const std::string subkey = "Software\\Kestix tests\\" + std::to_string(GetCurrentProcessId());
    HKEY key = nullptr;

    void SetUp() override
    {
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegCloseKey(key);
        RegDeleteKeyA(HKEY_CURRENT_USER, subkey.c_str());
    }
    void Set(const char* name, DWORD type, const std::string& data)
    {
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }
};

TEST_F(Registry, ValuesReadAsText)
{
    Set("Largest", REG_DWORD, std::string(4, '\xFF'));
    Set("Pair", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    Set("OnlyEnd", REG_MULTI_SZ, std::string("\0\0", 2));
    Set("Text", REG_SZ, std::string("hello\0", 6));
    Set("", REG_SZ, std::string("default value\0", 14));
    Set("TooLarge", REG_BINARY, std::string(10242, 'x'));
    const std::string path = "HKEY_CURRENT_USER\\" + subkey;
    const struct {
        std::string path;
        const char* name;
        const char* expected;
    } cases[] = {
        {path, "Largest", "4294967295"},
        {path, "Pair", "a<0>b"},
        {path, "OnlyEnd", ""},
        {"hkcu\\" + subkey, "Text", "hello"},
        {subkey, "Text", "hello"},            // no root name: the current user
        {path, "", "default value"},
        {path, "TooLarge", "fallback"},
        {path, "Absent", "fallback"},
        {path + "\\Absent", "Text", "fallback"},
        {"HKLM\\" + subkey, "Text", "fallback"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RegReadString(c.path, c.name, "fallback"), c.expected) << c.path << " " << c.name;
}

// A 32-bit program sees its own copy of HKLM\Software unless it asks for the 64-bit view; a
// 64-bit program has the one view.
TEST(RegistryView, SixtyFourBitViewOnlyWhenAsked)
{
    const std::string ownView = sizeof(void*) == 8 ? "native" : "fallback";
    const std::string subkey = "Software\\Kestix tests 64\\" + std::to_string(GetCurrentProcessId());
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char data[] = "native";
    RegSetValueExA(key, "View", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data);
    RegCloseKey(key);
    const std::string path = "HKLM\\" + subkey;
    EXPECT_EQ(RegReadString(path, "View", "fallback", true), "native");
    EXPECT_EQ(RegReadString(path, "View", "fallback", false), ownView);
    EXPECT_EQ(RegReadString(path, "View", "fallback"), ownView);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), KEY_WOW64_64KEY, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "Software\\Kestix tests 64", KEY_WOW64_64KEY, 0);
}

// ---- Waits and the clock ------------------------------------------------------------------

int dispatched = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP + 1)
        ++dispatched;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MessageWindow()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "UtilsWinTestCounter";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

TEST(Waits, WaitDispatchesMessagesForItsWholeTime)
{
    const HWND window = MessageWindow();
    ASSERT_NE(window, nullptr);
    dispatched = 0;
    PostMessageA(window, WM_APP + 1, 0, 0);
    PostMessageA(window, WM_APP + 1, 0, 0);
    const std::int64_t start = MillisecondClock();
    WaitWithMessagePump(0, 100);
    const std::int64_t elapsed = MillisecondClock() - start;
    EXPECT_EQ(dispatched, 2);
    EXPECT_GE(elapsed, 100);
    EXPECT_LT(elapsed, 1000);
    DestroyWindow(window);
}

TEST(Waits, ShortWaitPumpsAtLeastOnce)
{
    const HWND window = MessageWindow();
    dispatched = 0;
    PostMessageA(window, WM_APP + 1, 0, 0);
    WaitWithMessagePump(0, 0);
    EXPECT_EQ(dispatched, 1);
    DestroyWindow(window);
}

TEST(Waits, QuitRequestSurvivesThePump)
{
    PostQuitMessage(15);
    PumpMessages(0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 15u);
}

TEST(Waits, MillisecondClockFollowsSleep)
{
    const std::int64_t start = MillisecondClock();
    Sleep(50);
    const std::int64_t elapsed = MillisecondClock() - start;
    EXPECT_GE(elapsed, 45);
    EXPECT_LT(elapsed, 1000);
}

// ---- Screen, texts and services -----------------------------------------------------------

TEST(Placement, CenterInWorkArea)
{
    RECT area;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    const int width = area.right - area.left, height = area.bottom - area.top;
    const POINT wide = CenterInWorkArea(width + 20, 100);
    EXPECT_EQ(wide.x, area.left - 10);
    EXPECT_EQ(wide.y, area.top + (height - 100) / 2);
    const POINT small = CenterInWorkArea(200, 100);
    EXPECT_EQ(small.x, area.left + (width - 200) / 2);
    EXPECT_EQ(PointsToPixels(72), ScreenPixelsPerInch());
    EXPECT_GT(ScreenPixelsPerInch(), 0);
}

TEST(Services, WindowTexts)
{
    EXPECT_EQ(WindowText(nullptr), "");
    const HWND window = CreateWindowExA(0, "STATIC", "Kestix title", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowText(window), "Kestix title");
    DestroyWindow(window);
}

TEST(Services, SystemErrorText)
{
    SetLastError(ERROR_FILE_NOT_FOUND);
    const std::string known = SystemErrorText();
    EXPECT_FALSE(known.empty());
    EXPECT_EQ(known.find("unavailable"), std::string::npos) << known;
    EXPECT_NE(known.back(), '\n');
    SetLastError(0x2345678);
    EXPECT_NE(SystemErrorText().find("unavailable"), std::string::npos);
}

TEST(Services, IdentityAndSystem)
{
    EXPECT_FALSE(UserLoginName().empty());
    EXPECT_FALSE(ComputerName().empty());
    EXPECT_TRUE(IsWindowsNT());
}

TEST(Services, DeveloperSwitchIsReadOnce)
{
    SetEnvironmentVariableA("DVX", "586");
    EXPECT_TRUE(DeveloperMode());
    SetEnvironmentVariableA("DVX", "5860");
    EXPECT_TRUE(DeveloperMode());
}

TEST(Services, QueryCancelAutoPlayRegistration)
{
    EXPECT_EQ(QueryCancelAutoPlayId(), 0);
    RegisterQueryCancelAutoPlay(true);
    EXPECT_EQ(QueryCancelAutoPlayId(), RegisterWindowMessageA("QueryCancelAutoPlay"));
    EXPECT_NE(QueryCancelAutoPlayId(), 0);
    RegisterQueryCancelAutoPlay(false);
    EXPECT_EQ(QueryCancelAutoPlayId(), 0);
}

TEST(Services, LoadFunction)
{
    HMODULE library = nullptr;
    const FARPROC tick = LoadFunction("kernel32.dll", "GetTickCount", library);
    EXPECT_NE(library, nullptr);
    EXPECT_EQ(tick, GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount"));
    EXPECT_EQ(LoadFunction("kernel32.dll", "NoSuchFunctionAnywhere"), nullptr);
    EXPECT_EQ(LoadFunction("no-such-library-anywhere.dll", "GetTickCount", library), nullptr);
    EXPECT_EQ(library, nullptr);
}

// A library beside the program that a plain search finds first: a copy of the test program
// itself serves as one.
class LibraryBesideProgram : public testing::Test {
protected:
    const std::string name = "beside" + std::to_string(GetCurrentProcessId()) + ".dll";
    const std::string path = ProgramFolder(true) + name;
    void SetUp() override
    {
        ASSERT_TRUE(CopyFileA(ProgramFilePath(false).c_str(), path.c_str(), FALSE));
    }
    void TearDown() override { DeleteFileA(path.c_str()); }
    bool PlainSearchFindsIt()
    {
        const HMODULE found = LoadLibraryA(name.c_str());
        if (found)
            FreeLibrary(found);
        return found != nullptr;
    }
};

TEST_F(LibraryBesideProgram, IsNotLoadedByBareName)
{
    ASSERT_TRUE(PlainSearchFindsIt());
    HMODULE library = nullptr;
    EXPECT_EQ(LoadFunction(name, "main", library), nullptr);
    EXPECT_EQ(library, nullptr);
    EXPECT_EQ(LoadSystemLibrary(name), nullptr);
    EXPECT_NE(LoadSystemLibrary("kernel32.dll"), nullptr);
    // Named with its folder it is still loaded.
    LoadFunction(path, "main", library);
    EXPECT_NE(library, nullptr);
    FreeLibrary(library);
}

TEST_F(LibraryBesideProgram, IsNotFoundByAnyBareLoadOnceTheSearchIsRestricted)
{
    ASSERT_TRUE(PlainSearchFindsIt());
    RestrictLibrarySearch();
    EXPECT_FALSE(PlainSearchFindsIt());
    EXPECT_NE(LoadLibraryA("user32.dll"), nullptr);
}

TEST(Services, FileVersionText)
{
    EXPECT_EQ(FileVersionText(""), "6.3.1.42");
    EXPECT_EQ(FileVersionText(ProgramFilePath(false)), "6.3.1.42");
    ScratchFolder folder("version");
    ASSERT_TRUE(WriteFileBytes(folder / "plain.txt", "no resource", 0, false));
    EXPECT_EQ(FileVersionText(folder / "plain.txt"), "");
}

TEST(Folders, ProgramAndStandardFolders)
{
    const std::string program = ProgramFilePath(false);
    EXPECT_TRUE(EndsWith("\\stubsys_test.exe", program, true)) << program;
    EXPECT_EQ(ProgramFilePath(true), "stubsys_test");
    EXPECT_EQ(ProgramFolder(true) + "stubsys_test.exe", program);
    EXPECT_EQ(ProgramFolder(false) + "\\stubsys_test.exe", program);
    for (const std::string& folder : {TempFolder(false), WindowsFolder(false), SystemFolder(false)}) {
        EXPECT_NE(folder.back(), '\\') << folder;
        EXPECT_TRUE(FolderExists(folder)) << folder;
    }
    EXPECT_EQ(TempFolder(true), TempFolder(false) + "\\");
}

TEST(Folders, ShortPathName)
{
    ScratchFolder folder("a rather long folder name");
    ASSERT_TRUE(WriteFileBytes(folder / "long file name.text", "x", 0, false));
    const std::string shortPath = ShortPathName(folder / "long file name.text");
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
    EXPECT_EQ(ReadFileBytes(shortPath, 0, 0), "x");
    EXPECT_EQ(ShortPathName(folder / "missing.txt"), "");
}

} // namespace
