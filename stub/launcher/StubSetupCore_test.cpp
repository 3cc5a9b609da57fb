#include "StubSetupCore.h"

#include <gtest/gtest.h>

namespace {

TEST(StubSetupCore, FormatMegabytes)
{
    const struct {
        double bytes;
        const char* text;
    } cases[] = {
        {10485760, "10.00"}, {10485761, "10.0"},  {524288, "0.500"}, {2428504, "2.32"},  {1572864, "1.50"},
        {1048575, "1.000"},  {1048576, "1.00"},   {0, "0.000"},      {-4096, "0.000"},   {5e12, "4768371.6"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatMegabytes(c.bytes), c.text) << c.bytes;
}

TEST(StubSetupCore, SpaceQuestion)
{
    const TSpaceTexts texts{"notice <DRIVE>|", "warning <DRIVE>|", "need <SPACE_REQ>|", "free <SPACE_AVAIL>|",
                            "go on <drive>?"};
    const double mib = 1048576;
    const struct {
        const char* name;
        bool always;
        double need, freeBytes;
        const char* question;
    } cases[] = {
        {"plenty of space", false, 2 * mib, 3000 * mib, ""},
        {"always asks", true, 2 * mib, 3000 * mib, "notice D:|need 2.00|free 3000.0|go on <drive>?"},
        {"short of space", false, 30 * mib, 0.5 * mib, "warning D:|need 30.0|free 0.500|go on <drive>?"},
        {"just as much as is free", false, mib, mib, "warning D:|need 1.00|free 1.00|go on <drive>?"},
        {"always asks, short of space", true, 30 * mib, 20 * mib, "warning D:|need 30.0|free 20.0|go on <drive>?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpaceQuestion(c.always, c.need, c.freeBytes, "D:", texts), c.question) << c.name;
    EXPECT_EQ(SpaceQuestion(false, 2, 1, "D:", TSpaceTexts{"n", "", "r", "a", "q"}), "")
        << "an empty warning text asks nothing";
    EXPECT_EQ(DriveOfFolder("d:\\temp\\SETUP_1"), "D:");
    EXPECT_EQ(DriveOfFolder(""), "");
}

TEST(StubSetupCore, NamesOfALaunch)
{
    EXPECT_EQ(ExtractFolderPathFor("C:\\TEMP\\", 0x12345678), "C:\\TEMP\\SETUP_22136");
    EXPECT_EQ(YCopyPathFor("C:\\TEMP\\SETUP_1", "D:\\disk one\\Setup.exe"), "C:\\TEMP\\SETUP_1\\Y_Setup.exe");
    const std::string tag = ThreadTagOf(412);
    EXPECT_EQ(tag, "_412");
    EXPECT_EQ(CompletionAtomName(tag), "HtusZzmojuRhbwDkaloGjBdemtr_412");
    EXPECT_EQ(DialogClassName(tag), ".SDialog_Class_Name._412");
}

TEST(StubSetupCore, EngineCommandLine)
{
    const std::string dir = "C:\\TEMP\\SETUP_9";
    const std::string origin = " /OriginExe=\"D:\\Setup.exe\"";
    const struct {
        const char* name;
        std::string runName, params;
        bool agent;
        std::string command;
    } cases[] = {
        {"run name with arguments, given parameters", "Engine.exe*/silent", "/x", false,
         dir + "\\Engine.exe /x /silent /TH_ID=_7" + origin},
        {"run name without arguments", "Engine.exe*", "", false, dir + "\\Engine.exe /TH_ID=_7" + origin},
        {"blanks around the parts", " Engine.exe * /a /b ", "  ", false, dir + "\\Engine.exe /a /b /TH_ID=_7" + origin},
        {"no star", "Engine.exe", "/x", false, dir + "\\Engine.exe /x /TH_ID=_7" + origin},
        {"an /OriginExe= of the caller", "Engine.exe*", "/OriginExe=\"E:\\cd\\Setup.exe\"", false,
         dir + "\\Engine.exe /OriginExe=\"E:\\cd\\Setup.exe\" /TH_ID=_7"},
        {"an agent", "Engine.exe*", "/OriginalInfoFile=\"C:\\a\\p.info\"", true,
         dir + "\\Engine.exe /OriginalInfoFile=\"C:\\a\\p.info\" /TH_ID=_7" + origin + " /AutoUpdateProg"},
        {"spanned-set items removed", "Engine.exe*", "/SpanCdLvl=2 /SpanDiskFName1=\"D:\\Setup.exe.001\" /q", false,
         dir + "\\Engine.exe /q /TH_ID=_7" + origin},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EngineCommandLine(dir + "\\", c.runName, c.params, "_7", "D:\\Setup.exe", c.agent), c.command) << c.name;
}

TEST(StubSetupCore, YCopyCommandLine)
{
    EXPECT_EQ(YCopyCommandLine("C:\\T\\Y_Setup.exe", "/x /lang=de", "D:\\Setup.exe"),
              "C:\\T\\Y_Setup.exe /x /lang=de /SpanCdLvl=2 /SpanDiskFName1=\"D:\\Setup.exe.001\" "
              "/OriginExe=\"D:\\Setup.exe\"");
    EXPECT_EQ(YCopyCommandLine("C:\\T\\Y_Setup.exe", "", "D:\\cd 1\\Setup.exe"),
              "C:\\T\\Y_Setup.exe /SpanCdLvl=2 /SpanDiskFName1=\"D:\\cd 1\\Setup.exe.001\" "
              "/OriginExe=\"D:\\cd 1\\Setup.exe\"");
}

TEST(StubSetupCore, WebAgentImage)
{
    const auto program = [](std::size_t size, std::uint32_t mark) {
        std::string bytes(size, 'p');
        for (int i = 0; i < 4; ++i)
            bytes[252 + i] = static_cast<char>(mark >> (8 * i));
        return bytes;
    };
    const struct {
        const char* name;
        std::size_t size;
        std::uint32_t mark;
        std::size_t agentSize;
    } cases[] = {
        {"signature after the package", 50000, 45000, 45000},
        {"10,000 bytes after the mark", 60000, 50000, 60000},
        {"mark at the end", 50000, 50000, 50000},
        {"no mark", 5000, 0, 5000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string agent = WebAgentImage(program(c.size, c.mark));
        ASSERT_EQ(agent.size(), c.agentSize);
        EXPECT_EQ(agent[agent.size() - 5], 1) << "AutoUpdateProg";
        EXPECT_EQ(agent.substr(0, agent.size() - 5), program(c.size, c.mark).substr(0, agent.size() - 5));
    }
    EXPECT_EQ(WebAgentImage("abc"), "abc");
}

} // namespace
