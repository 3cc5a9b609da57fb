#include "StubGlobCore.h"

#include "Utils.h"

#include <gtest/gtest.h>

namespace {

TEST(StubGlobCore, KeyTextsBecomeValues)
{
    const struct {
        const TSettingKey& key;
        const char* text;
        std::int64_t value;
    } numbers[] = {
        {Keys::ProbeSecondsInterval, "86400", 86400},
        {Keys::ProbeSecondsInterval, "-1", -1},
        {Keys::ProbeSecondsInterval, "9223372036854775807", INT64_MAX},
        {Keys::ProbeSecondsInterval, "1e3", 0},
        {Keys::ProbeSecondsInterval, "12 sec", 0},
        {Keys::AutoInform, "01", 1},
        {Keys::AutoInformW, "wide", 360},
        {Keys::FontSize, "", 8},
    };
    for (const auto& c : numbers)
        EXPECT_EQ(IntSettingOf(c.key, c.text), c.value) << c.key.name << "=" << c.text;

    const struct {
        const char* text;
        std::int32_t value;
    } low32[] = {{"4294967297", 1}, {"2147483648", INT32_MIN}, {"-1", -1}, {"7", 7}};
    for (const auto& c : low32)
        EXPECT_EQ(Int32SettingOf(Keys::VersionOriginal, c.text), c.value) << c.text;

    for (const char* off : {"0", "yes", "true", "01", "1 ", "on", ""})
        EXPECT_FALSE(SwitchSettingOf(off)) << off;
    EXPECT_TRUE(SwitchSettingOf("1"));
}

TEST(StubGlobCore, TimeValuesAreSecondsSinceTheEpochOfDates)
{
    const TDateTime march = EncodeDateTime({2013, 3, 5, 14, 5, 9});
    const std::int64_t seconds = AgentSecondsOf(march);
    EXPECT_EQ(seconds, (41338LL * 86400) + 14 * 3600 + 5 * 60 + 9);
    EXPECT_EQ(AgentSecondsText(seconds), "05-MAR-2013 14:05:09");
    EXPECT_EQ(AgentSecondsOf(march + 0.6 / 86400), seconds + 1) << "rounded to the nearest second";
    EXPECT_EQ(AgentSecondsOf(0), 0);
}

TEST(StubGlobCore, OverrideListText)
{
    TOverrides overrides;
    EXPECT_EQ(overrides.ListText(), "|255|255|255|255|255|255|255|255|");
    overrides.Apply("|255|1|255|255|255|0|255|255|");
    EXPECT_EQ(overrides.Get(OverrideConfirmDownload), 1);
    EXPECT_EQ(overrides.Get(OverrideRestartProcess), 0);
    EXPECT_FALSE(overrides.IsSet(OverrideAskBeforeCheck));
    EXPECT_EQ(overrides.ListText(), "|255|1|255|255|255|0|255|255|");

    // Missing, empty and non-numeric fields keep what was there.
    overrides.Apply("|1||x|");
    EXPECT_EQ(overrides.ListText(), "|1|1|255|255|255|0|255|255|");
    overrides.Apply("");
    EXPECT_EQ(overrides.ListText(), "|1|1|255|255|255|0|255|255|");
}

TEST(StubGlobCore, MessageTextsWithABuiltInDefault)
{
    EXPECT_EQ(BuiltInMessageText("s3"), "File Download Aborted!");
    EXPECT_EQ(BuiltInMessageText("s34"), "New Version");
    EXPECT_EQ(BuiltInMessageText("s2"), "");
}

} // namespace
