#include "FileInfo.h"

#include "PackageTokens.h"
#include "Platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace {

// A language entry; "|" in items stands for the entry delimiter 0x01.
std::string Entry(const std::string& name, const std::string& items)
{
    std::string entry = "\x01" + name + "\x01" + items + "\x01";
    for (char& c : entry)
        if (c == '|')
            c = '\x01';
    return entry;
}

struct PackageParts {
    std::string image = "IMAGE-BYTES";
    std::string language;
    std::string agent = "||||||";
    std::string web;
    int textBlocks = 2;
    std::uint8_t flags = 0;
    bool magic = true;
};

std::string Package(const PackageParts& p)
{
    std::string file = p.image;
    AppendBlock(file, p.language);
    AppendBlock(file, p.agent);
    if (p.textBlocks >= 3)
        AppendBlock(file, p.web);
    AppendBlock(file, "|x.txt|0|" + std::string(1, '\0') + "data", true);
    TTrailer t;
    t.bytes[0] = 1;
    t.bytes[TTrailer::OffTextBlockCount] = static_cast<std::uint8_t>(p.textBlocks);
    t.SetU32(TTrailer::OffFirstBlockOffset, static_cast<std::uint32_t>(p.image.size()));
    t.SetU32(TTrailer::OffMagic, p.magic ? PackageMagic : 0);
    for (int i = 0; i < SpaceEntries; ++i)
        t.SetU32(TTrailer::OffSpaceRequired + 4 * i, 1000u * (i + 1));
    t.bytes[TTrailer::OffFlags] = p.flags;
    t.SetU32(TTrailer::OffTrailerLength, TrailerSize);
    return file + EncodeTrailer(t);
}

class FileInfoTest : public testing::Test {
protected:
    void SetUp() override
    {
        TGFileInfo::ForgetLanguageChoice();
        savedLocale_ = ThreadLocaleId();
        SetThreadLocaleId(0x0409);  // English (United States)
    }
    void TearDown() override
    {
        TGFileInfo::ForgetLanguageChoice();
        SetThreadLocaleId(savedLocale_);
    }

private:
    std::uint32_t savedLocale_ = 0;
};

TEST_F(FileInfoTest, AgentRecordFields)
{
    PackageParts p;
    p.agent = "|http://updates.example/prod|C:\\upd\\sub:Prod.v2.info|ProdAgent.exe|" + ScrambleToken("agent-tok", 3) + "|1|";
    const TGFileInfo info{MemorySource(Package(p))};
    EXPECT_EQ(info.AgentLocation(), "http://updates.example/prod");
    EXPECT_EQ(info.InfoFileName(), "Prod.v2.info");
    EXPECT_EQ(info.OriginalFileName(), "Prod.original");  // cut at the first dot
    EXPECT_EQ(info.AgentFileName(), "ProdAgent.exe");
    EXPECT_EQ(info.AgentToken(false), ScrambleToken("agent-tok", 3));
    EXPECT_EQ(info.AgentToken(true), "agent-tok");
    EXPECT_TRUE(info.HiddenSetup());
    EXPECT_EQ(info.WebLocation(), "");  // two text blocks: no web record
}

TEST_F(FileInfoTest, MissingFieldsReadEmpty)
{
    PackageParts p;
    p.agent = "|loc|info|";
    const TGFileInfo info{MemorySource(Package(p))};
    EXPECT_EQ(info.AgentLocation(), "loc");
    EXPECT_EQ(info.AgentFileName(), "");
    EXPECT_EQ(info.OriginalFileName(), "info.original");
    EXPECT_FALSE(info.HiddenSetup());
}

TEST_F(FileInfoTest, WebRecordOnlyWithThreeTextBlocks)
{
    PackageParts p;
    p.textBlocks = 3;
    p.web = "|http://dl.example/files|RealSetup.exe|1|" + ScrambleToken("web-tok", 9) + "|123456789|";
    const TGFileInfo info{MemorySource(Package(p))};
    EXPECT_EQ(info.WebLocation(), "http://dl.example/files");
    EXPECT_EQ(info.WebFileName(), "RealSetup.exe");
    EXPECT_TRUE(info.WebSkipLocal());
    EXPECT_EQ(info.WebToken(true), "web-tok");
    EXPECT_EQ(info.WebFileSize(), "123456789");

    const TGFileInfo same{MemorySource(Package(p))};
    EXPECT_TRUE(info.SameWebToken(same));
    p.textBlocks = 2;  // the third block is then a file record, not a web record
    const TGFileInfo noWeb{MemorySource(Package(p))};
    EXPECT_EQ(noWeb.WebRecord(), "");
    EXPECT_FALSE(noWeb.SameWebToken(TGFileInfo{MemorySource(Package(p))}));  // two random texts
}

TEST_F(FileInfoTest, FlagAccessors)
{
    struct Case {
        std::uint8_t flags;
        bool notice, spanned, activity, debug;
    };
    for (const Case c : {Case{0x01, true, false, false, false}, Case{0x02, false, false, false, false},
                         Case{0x04, false, true, false, false}, Case{0x08, false, false, true, false},
                         Case{0x10, false, false, false, true}, Case{0x1F, true, true, true, true}}) {
        PackageParts p;
        p.flags = c.flags;
        const TGFileInfo info{MemorySource(Package(p))};
        EXPECT_EQ(info.AlwaysShowTempNotice(), c.notice) << int(c.flags);
        EXPECT_EQ(info.SpannedCdSet(), c.spanned) << int(c.flags);
        EXPECT_EQ(info.ShowActivityBar(), c.activity) << int(c.flags);
        EXPECT_EQ(info.DebugLog(), c.debug) << int(c.flags);
    }
}

TEST_F(FileInfoTest, SpaceRequiredByClusterSize)
{
    const TGFileInfo info{MemorySource(Package(PackageParts{}))};
    EXPECT_EQ(info.SpaceRequiredForCluster(0), 1000.0);
    EXPECT_EQ(info.SpaceRequiredForCluster(4096), 5000.0);
    EXPECT_EQ(info.SpaceRequiredForCluster(1 << 20), 9000.0);
    // The drive of an existing folder has some cluster size, so some entry is taken.
    const double here = info.SpaceRequired(std::filesystem::temp_directory_path().string());
    EXPECT_GE(here, 1000.0);
    EXPECT_LE(here, 9000.0);
}

TEST_F(FileInfoTest, MissingFileOrMagicGivesEmptyTexts)
{
    const TGFileInfo missing("no/such/package.exe");
    EXPECT_EQ(missing.Trailer().bytes, TTrailer{}.bytes);
    EXPECT_EQ(missing.AgentRecord(), "");
    EXPECT_EQ(missing.AgentToken(false), "");
    EXPECT_NE(missing.AgentToken(true), "");  // a random decimal text

    PackageParts p;
    p.magic = false;
    p.flags = FlagShowActivityBar;
    p.language = "\x02" + Entry("English", "s0=Never read") + "\x02";
    const TGFileInfo noMagic{MemorySource(Package(p))};
    EXPECT_TRUE(noMagic.ShowActivityBar());  // the trailer stays as read
    EXPECT_EQ(noMagic.LanguageBlock(), "");
    EXPECT_EQ(noMagic.Text("s0"), "Kestix Installation Suite");
}

TEST_F(FileInfoTest, TextsFromTheChosenEntryWithTheirDefaults)
{
    PackageParts p;
    p.language = "\x02" + Entry("English", "s0=My Setup|s2=|Charset=178|FontSize=big") + "\x02";
    const TGFileInfo info{MemorySource(Package(p))};
    EXPECT_EQ(info.Text("s0", "d"), "My Setup");
    EXPECT_EQ(info.Text("S0", "d"), "My Setup");      // keys without letter case
    EXPECT_EQ(info.Text("s2", "d"), "");              // present but empty: not the default
    EXPECT_EQ(info.Text("s9", "nine"), "nine");       // no s9 key in any entry
    EXPECT_EQ(info.Text("s1"), "Extracting Files...");
    EXPECT_EQ(info.Charset(), 178);
    EXPECT_EQ(info.FontSize(), 8);                    // not a number
    EXPECT_EQ(info.FontName(), "Tahoma");
}

TEST_F(FileInfoTest, LanguageChoiceIsMadeOnceForTheProcess)
{
    PackageParts german, english;
    german.language = "\x02" + Entry("German", "s0=Deutsch") + "\x02" + Entry("French", "s0=Francais") + "\x02";
    english.language = "\x02" + Entry("English", "s0=English") + "\x02";
    const TGFileInfo first{MemorySource(Package(german))};
    const TGFileInfo second{MemorySource(Package(english))};
    // On an English system the German/French block has no entry to choose: the built-in texts
    // are used, also later when another package with an English entry is asked.
    EXPECT_EQ(first.Text("s0"), "Kestix Installation Suite");
    EXPECT_EQ(second.Text("s0"), "Kestix Installation Suite");

    TGFileInfo::ForgetLanguageChoice();
    SetThreadLocaleId(0x0407);
    EXPECT_EQ(first.Text("s0"), "Deutsch");
    SetThreadLocaleId(0x0409);
    EXPECT_EQ(second.Text("s0"), "Deutsch");  // the choice stays with the first lookup
}

TEST_F(FileInfoTest, SingleForeignEntryIsUsed)
{
    PackageParts p;
    p.language = "\x02" + Entry("Japanese", "s0=Nihongo") + "\x02";
    EXPECT_EQ(TGFileInfo{MemorySource(Package(p))}.Text("s0"), "Nihongo");
}

TEST_F(FileInfoTest, TruncatedTextBlocksStayWithinTheFile)
{
    std::string file = "IMG";
    AppendU32(file, 0x7FFFFFF0);  // a language block that claims far more than the file holds
    file += "\x02\x01" "English\x01s0=cut";
    TTrailer t;
    t.SetU32(TTrailer::OffFirstBlockOffset, 3);
    t.SetU32(TTrailer::OffMagic, PackageMagic);
    t.SetU32(TTrailer::OffTrailerLength, TrailerSize);
    file += EncodeTrailer(t);
    const TGFileInfo info{MemorySource(file)};
    EXPECT_EQ(info.LanguageBlock().size(), file.size() - 7);
    EXPECT_EQ(info.AgentRecord(), "");
}

TEST_F(FileInfoTest, ReadsAFileOnDisk)
{
    PackageParts p;
    p.agent = "|loc|prod.info|agent.exe||0|";
    const std::string path = (std::filesystem::temp_directory_path() / "fileinfo-test-package.exe").string();
    const std::string bytes = Package(p);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    const TGFileInfo info(path);
    std::filesystem::remove(path);
    EXPECT_TRUE(info.Trailer().HasMagic());
    EXPECT_EQ(info.AgentFileName(), "agent.exe");
}

} // namespace
