#include "StubRoles.h"

#include "StubParams.h"

#include <gtest/gtest.h>

namespace {

TEST(StubRoles, WindowClassNames)
{
    EXPECT_EQ(WindowClassNameFor(false, "C:\\Out\\Setup.exe"), "C:\\Out\\Setup.exe");
    EXPECT_EQ(WindowClassNameFor(true, "C:\\Prog\\X_Agent.v2.exe"), ".AutoUpdate.X_Agent.v2");
    EXPECT_EQ(XAgentWindowClass("Agent.exe"), ".AutoUpdate.X_Agent");
    // The X_ agent's own class is the class the plain agent looks for.
    EXPECT_EQ(WindowClassNameFor(true, XCopyPath("D:\\p\\Agent.exe")), XAgentWindowClass("Agent.exe"));
}

struct RoleCase {
    const char* programFile;
    const char* agentFile;
    bool plain, x;
};

class StubRoleNames : public testing::TestWithParam<RoleCase> {};

TEST_P(StubRoleNames, MatchByTrimmedNameWithoutCase)
{
    const RoleCase& c = GetParam();
    EXPECT_EQ(IsPlainAgentName(c.programFile, c.agentFile), c.plain);
    EXPECT_EQ(IsXAgentName(c.programFile, c.agentFile), c.x);
}

INSTANTIATE_TEST_SUITE_P(Names, StubRoleNames, testing::Values(
    RoleCase{"Agent.exe", "Agent.exe", true, false},
    RoleCase{"AGENT.EXE", " agent.exe ", true, false},
    RoleCase{"X_Agent.exe", "Agent.exe", false, true},
    RoleCase{"x_agent.EXE", "Agent.exe", false, true},
    RoleCase{"Setup.exe", "Agent.exe", false, false},
    RoleCase{"Setup.exe", "", false, false}));

TEST(StubRoles, XCopyPath)
{
    EXPECT_EQ(XCopyPath("C:\\Program Files\\Acme\\Agent.exe"), "C:\\Program Files\\Acme\\X_Agent.exe");
    EXPECT_EQ(XCopyPath("Agent.exe"), "X_Agent.exe");
}

struct XParamsCase {
    const char* transient;
    const char* delay;
    const char* expected;
};

class XCopyParams : public testing::TestWithParam<XParamsCase> {};

TEST_P(XCopyParams, PassOnWhatWasGiven)
{
    EXPECT_EQ(XCopyParameters(GetParam().transient, GetParam().delay), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Parameters, XCopyParams, testing::Values(
    XParamsCase{"", "", ""},
    XParamsCase{"|1|0|", "", " /TRANSIENTx=|1|0|"},
    XParamsCase{"", "30", " /SleepX=30"},
    XParamsCase{"|1|0|", "30", " /TRANSIENTx=|1|0| /SleepX=30"},
    XParamsCase{"|a b|c/d|", "", " /TRANSIENTx=\"|a b|c/d|\""}));

TEST(StubRoles, TheCopyReadsBackWhatItIsGiven)
{
    for (const char* list : {"|1|0|", "|a b|c/d|"}) {
        const std::string params = XCopyParameters(list, "7");
        EXPECT_EQ(TextParamIn(params, "/TRANSIENTx="), list);
        EXPECT_EQ(IntParamIn(params, "/SleepX=", -1), 7);
    }
}

} // namespace
