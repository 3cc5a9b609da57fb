#include "StubGlob.h"

#include "Files.h"
#include "ScratchFolder.h"
#include "UtilsWin.h"

#include <gtest/gtest.h>

namespace {

class StubGlobTest : public testing::Test {
protected:
    void SetUp() override { RunTimeOverrides() = TOverrides(); }
    void TearDown() override { RunTimeOverrides() = TOverrides(); }

    void WriteFiles(const std::string& original, const std::string& info)
    {
        if (!original.empty()) {
            ASSERT_TRUE(WriteFileBytes(settings_.Path(SettingsFile::Original), original, 0, false));
        }
        if (!info.empty()) {
            ASSERT_TRUE(WriteFileBytes(settings_.Path(SettingsFile::Info), info, 0, false));
        }
    }

    ScratchFolder folder_{"settings"};
    TSettings settings_{folder_ / "product.original", folder_ / "product.info"};
};

TEST_F(StubGlobTest, ReadingRules)
{
    WriteFiles("[MsgBox]\r\nCharSet=\r\nFontName=\r\nFontSize=12\r\nError=Fehler\r\n"
               "[OriginalSetup]\r\nVersionOriginal=4294967299\r\nProbeSecondsInterval=-1\r\n",
               "[NewSetup]\r\nRestartProcess=yes\r\nInformFinish=true\r\nBackgroundUpdate=1\r\n"
               "RequestConfirmationBeforeInstall= 1 \r\nSizeOfUpdateFile=12x\r\n"
               "[General]\r\nAutoInform=01\r\n[AutoInform]\r\nAutoInformW=2\r\n");
    EXPECT_EQ(settings_.Read(Keys::CharSet), 0) << "empty value: the default";
    EXPECT_EQ(settings_.Read(Keys::FontName), "Tahoma");
    EXPECT_EQ(settings_.Read(Keys::FontSize), 12);
    EXPECT_EQ(settings_.Read(Keys::ErrorCaption), "Fehler");
    EXPECT_EQ(settings_.Read(Keys::ConfirmCaption), "Confirm");
    EXPECT_EQ(settings_.Read(Keys::BtnText), "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|");
    EXPECT_EQ(settings_.Read(Keys::VersionOriginal), 3) << "low 32 bits";
    EXPECT_EQ(settings_.Read(Keys::ProbeSecondsInterval), -1);
    EXPECT_FALSE(settings_.Read(Keys::RestartProcess)) << "only 1 is on";
    EXPECT_FALSE(settings_.Read(Keys::InformFinish));
    EXPECT_TRUE(settings_.Read(Keys::BackgroundUpdate));
    EXPECT_TRUE(settings_.Read(Keys::RequestConfirmationBeforeInstall)) << "the profile reader drops the blanks";
    EXPECT_EQ(settings_.Read(Keys::SizeOfUpdateFile), 0);
    EXPECT_EQ(settings_.Read(Keys::AutoInform), 1);
    EXPECT_EQ(settings_.Read(Keys::AutoInformW), 2);
    EXPECT_EQ(settings_.Read(Keys::AutoInformH), 360);
}

TEST_F(StubGlobTest, MissingFilesReadAsDefaults)
{
    EXPECT_EQ(settings_.Read(Keys::VersionOriginal), 0);
    EXPECT_EQ(settings_.Read(Keys::AttentionCaption), "Attention");
    EXPECT_EQ(settings_.Read(Keys::ShutDownMethod), "");
    EXPECT_FALSE(settings_.Read(Keys::RemoveStartUpShortcut));
    EXPECT_EQ(settings_.MessageText("s3"), "File Download Aborted!");
    EXPECT_EQ(settings_.MessageText("s16"), "");
    EXPECT_EQ(settings_.MessageText("s16", "done"), "done");
}

TEST_F(StubGlobTest, OverridesStandInForTheirKeys)
{
    WriteFiles("", "[NewSetup]\r\nRequestConfirmationBeforeDownload=1\r\nRestartProcess=1\r\n");
    RunTimeOverrides().Apply("|255|0|255|255|255|255|255|255|");
    EXPECT_FALSE(settings_.Read(Keys::RequestConfirmationBeforeDownload));
    EXPECT_TRUE(settings_.Read(Keys::RestartProcess));
    RunTimeOverrides().Apply("|255|255|255|255|255|0|255|255|");
    EXPECT_FALSE(settings_.Read(Keys::RestartProcess));
    RunTimeOverrides().Set(OverrideConfirmInstallForce, 1);
    EXPECT_TRUE(settings_.Read(Keys::RequestConfirmationBeforeInstallForce));

    // Ask-before-check has no key: off unless forced on.
    EXPECT_FALSE(settings_.Read(Keys::AskBeforeCheck));
    RunTimeOverrides().Set(OverrideAskBeforeCheck, 1);
    EXPECT_TRUE(settings_.Read(Keys::AskBeforeCheck));
}

TEST_F(StubGlobTest, WritesCreateTheFileAndTimesCarryAReadableCopy)
{
    const std::int64_t march = AgentSecondsOf(EncodeDateTime({2013, 3, 5, 14, 5, 9}));
    ASSERT_TRUE(settings_.Write(Keys::ProbeSecondsLast, march));
    ASSERT_TRUE(settings_.Write(Keys::VersionOriginal, 7));
    EXPECT_EQ(settings_.Read(Keys::ProbeSecondsLast), march);
    EXPECT_EQ(ReadIniString(settings_.Path(SettingsFile::Original), "OriginalSetup", "__ProbeSecondsLast", ""),
              "05-MAR-2013 14:05:09");
    EXPECT_EQ(settings_.Read(Keys::VersionOriginal), 7);
    EXPECT_FALSE(FileExists(settings_.Path(SettingsFile::Info)));
}

} // namespace
