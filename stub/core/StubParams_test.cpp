#include "StubParams.h"

#include <gtest/gtest.h>

namespace {

const char Program[] = "C:\\Program Files\\Acme\\Setup.exe";

struct ParamTextCase {
    const char* commandLine;
    const char* expected;
};

class ParamTextTest : public testing::TestWithParam<ParamTextCase> {};

TEST_P(ParamTextTest, DropsThePartThatNamesTheProgram)
{
    EXPECT_EQ(ParamTextOf(GetParam().commandLine, Program), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, ParamTextTest, testing::Values(
    ParamTextCase{"\"C:\\Program Files\\Acme\\Setup.exe\" /hide", "/hide"},
    ParamTextCase{"\"C:\\Program Files\\Acme\\SETUP.EXE\"   /WAIT=5  ", "/WAIT=5"},
    // A stray quote after the unquoted path, or a single character, is no parameter text.
    ParamTextCase{"C:\\Program Files\\Acme\\Setup.exe\"", ""},
    ParamTextCase{"C:\\Program Files\\Acme\\Setup.exe \"", ""},
    ParamTextCase{"\"C:\\Program Files\\Acme\\Setup.exe\" x", ""},
    ParamTextCase{"\"C:\\Program Files\\Acme\\Setup.exe\" xy", "xy"},
    ParamTextCase{"C:\\Program Files\\Acme\\Setup.exe /a /b", "/a /b"},
    // Started through its short name: neither name occurs, so the text stays whole.
    ParamTextCase{"C:\\PROGRA~1\\Acme\\SETUP~1.EXE /a", "C:\\PROGRA~1\\Acme\\SETUP~1.EXE /a"},
    ParamTextCase{"", ""}));

struct TextParamCase {
    const char* paramText;
    const char* name;
    const char* expected;
};

class TextParamTest : public testing::TestWithParam<TextParamCase> {};

TEST_P(TextParamTest, ReadsTheValue)
{
    EXPECT_EQ(TextParamIn(GetParam().paramText, GetParam().name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, TextParamTest, testing::Values(
    TextParamCase{"/WAIT=5 /TEST=1", "/WAIT=", "5"},
    TextParamCase{"/WAIT=5 /TEST=1", "/TEST=", "1"},
    TextParamCase{"/wait=7", "/WAIT=", "7"},
    TextParamCase{"/a=1/b=2", "/a=", "1"},
    TextParamCase{"/SpanDiskFName1=\"C:\\My Disk\\set.001\" /x", "/SpanDiskFName1=", "C:\\My Disk\\set.001"},
    TextParamCase{"/SpanDiskFName1=\"  open end", "/SpanDiskFName1=", "open end"},
    TextParamCase{"/TEST=1 /WM_MSG=", "/WM_MSG=", "TRUE"},
    TextParamCase{"/STOP= /TEST=1", "/STOP=", ""},
    TextParamCase{"/TRANSIENTx=|1|", "/TRANSIENT=", ""},
    TextParamCase{"/TRANSIENTx=|1| /TRANSIENT=|2|", "/TRANSIENT=", "|2|"},
    TextParamCase{"/_ZZ=99 /_ZZ=1", "/_ZZ=", "99"},
    TextParamCase{"", "/WAIT=", ""}));

struct IntParamCase {
    const char* paramText;
    const char* name;
    std::int64_t defaultValue;
    std::int64_t expected;
};

class IntParamTest : public testing::TestWithParam<IntParamCase> {};

TEST_P(IntParamTest, ReadsTheNumberOrTheDefault)
{
    EXPECT_EQ(IntParamIn(GetParam().paramText, GetParam().name, GetParam().defaultValue), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Numbers, IntParamTest, testing::Values(
    IntParamCase{"/WAIT=5 /TEST=1", "/WAIT=", 0, 5},
    IntParamCase{"/SleepX=-4", "/SleepX=", -1, -4},
    IntParamCase{"/WAIT=abc", "/WAIT=", 0, 0},
    IntParamCase{"/STOP= /TEST=1", "/STOP=", -1, -1},
    IntParamCase{"/STOP=", "/STOP=", -1, -1},
    IntParamCase{"/TEST=9223372036854775807", "/TEST=", -1, 9223372036854775807LL},
    IntParamCase{"/TEST=9223372036854775808", "/TEST=", -1, -1},
    IntParamCase{"/SpanCdLvl=2", "/SPANCDLVL=", 1, 2},
    IntParamCase{"", "/SpanCdLvl=", 1, 1}));

TEST(HasParam, FindsTheSwitchAnywhere)
{
    EXPECT_TRUE(HasParamIn("/x=1 /HIDE", "/hide"));
    EXPECT_TRUE(HasParamIn("/x=\"a/hide\"", "/hide"));
    EXPECT_FALSE(HasParamIn("/hid", "/hide"));
}

struct RemoveCase {
    const char* commandLine;
    const char* name;
    const char* expected;
};

class RemoveParamTest : public testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveParamTest, RemovesUpToTheNextSlash)
{
    EXPECT_EQ(RemoveParam(GetParam().commandLine, GetParam().name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Items, RemoveParamTest, testing::Values(
    RemoveCase{"E.exe /SpanCdLvl=2 /TH_ID=_5", "/SpanCdLvl=", "E.exe /TH_ID=_5"},
    RemoveCase{"E.exe /TH_ID=_5 /SpanCdLvl=2", "/SpanCdLvl=", "E.exe /TH_ID=_5 "},
    RemoveCase{"E.exe /SpanDiskFName1=\"C:\\a b\\s.001\" /OriginExe=\"x\"", "/SpanDiskFName1=",
               "E.exe /OriginExe=\"x\""},
    // A "/" inside the value ends the removal there: the rest of the value stays.
    RemoveCase{"E.exe /SpanDiskFName1=\"C:/a/s.001\" /x", "/SpanDiskFName1=", "E.exe /a/s.001\" /x"},
    RemoveCase{"E.exe /spancdlvl=2", "/SpanCdLvl=", "E.exe /spancdlvl=2"},
    RemoveCase{"E.exe /x", "", "E.exe /x"}));

} // namespace
