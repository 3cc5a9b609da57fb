#include "SetupBuilder.h"

#include "FileInfo.h"
#include "KSUB.h"
#include "PackageLayout.h"
#include "SLangId.h"
#include "SetupInspect.h"
#include "SetupTestFolder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <map>

namespace fs = std::filesystem;

namespace {

using namespace setuptest;

class BuilderTest : public SetupTestFolder {
protected:
    void SetUp() override
    {
        SetupTestFolder::SetUp();
        AddPayload("Engine.exe", Pattern(5000, 1));
        AddPayload("data.bin", "X");
        AddPayload("readme.txt", std::string(1000, 'r'));
        TGFileInfo::ForgetLanguageChoice();
    }
    void TearDown() override
    {
        SetupTestFolder::TearDown();
        TGFileInfo::ForgetLanguageChoice();
    }
};

const char FullDescription[] = R"(
[setup]
stub = stub.exe
output = out/Setup.exe
always-show-temp-notice = yes
show-activity-bar = yes
debug-log = yes
web-setup = yes
ask-before-download = yes
write-agent = yes
auto-update-prog = yes

[agent]
location = http://updates.example/prod
info-file = Prod.v2.info
agent-file = ProdAgent.exe
token = agent-token-1
hidden = yes

[web]
location = http://dl.example/files
file = RealSetup.exe
skip-local = yes
token = web-token-2
size = 123456

[language English]
s0 = "  My Setup  "
BtnText = |&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|
s2 =

[language German]
s0 = Mein Setup
Charset = 161
FontSize = 10
FontName = Arial

[files]
compress = payload/Engine.exe
store = payload/data.bin
compress = payload/readme.txt
run = engine.exe
run-arguments = /S /lang=en
)";

struct ReadRecord {
    std::int32_t length;
    FileRecord record;
    std::string content;
};

// Every file record of a package file, decompressed.
std::vector<ReadRecord> Records(const std::string& path, int textBlocks)
{
    const auto file = OpenPackageSource(path);
    const TTrailer trailer = ReadTrailer(*file);
    const std::uint64_t end = PackageEnd(*file);
    std::vector<ReadRecord> records;
    std::uint64_t at = trailer.FirstBlockOffset();
    for (int block = 0; MoreBlocksBefore(end, at); ++block) {
        PackageBlock b = ReadBlock(*file, at, end);
        at = b.next;
        if (block < textBlocks)
            continue;
        ReadRecord r{b.length, {}, b.data};
        if (!b.Stored()) {
            uLongf size = 64 << 20;
            r.content.assign(size, '\0');
            EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(r.content.data()), &size, reinterpret_cast<const Bytef*>(b.data.data()),
                                 static_cast<uLong>(b.data.size())), Z_OK);
            r.content.resize(size);
        }
        records.push_back(std::move(r));
    }
    for (ReadRecord& r : records)
        r.record = ParseFileRecord(r.content);
    return records;
}

TEST_F(BuilderTest, EveryFieldReadsBack)
{
    const auto written = Build(FullDescription);
    ASSERT_EQ(written.size(), 1u);
    const std::string setup = Path("out/Setup.exe");
    const TGFileInfo info(setup);
    const TTrailer& t = info.Trailer();
    EXPECT_TRUE(t.HasMagic());
    EXPECT_EQ(t.TextBlockCount(), 3);
    EXPECT_EQ(t.FirstBlockOffset(), 1024u);
    EXPECT_EQ(t.FilesCount(), 3u);
    EXPECT_EQ(t.Checksum(), PackageChecksum(setup, 74));
    EXPECT_NE(t.Checksum(), ChecksumOff);
    EXPECT_EQ(t.TrailerLength(), 74u);
    // Sizes 5000, 1 and 1000: exact, then every file rounded up to the entry's cluster size.
    const std::uint32_t space[SpaceEntries] = {6001, 5120 + 512 + 1024, 5120 + 1024 + 1024, 6144 + 2048 + 2048,
                                               8192 + 4096 + 4096, 8192 + 8192 + 8192, 16384 * 3, 32768 * 3, 65536 * 3};
    for (int i = 0; i < SpaceEntries; ++i)
        EXPECT_EQ(t.SpaceRequired(i), space[i]) << "entry " << i;
    EXPECT_TRUE(info.AlwaysShowTempNotice());
    EXPECT_FALSE(info.SpannedCdSet());
    EXPECT_TRUE(info.ShowActivityBar());
    EXPECT_TRUE(info.DebugLog());
    EXPECT_FALSE(t.HasFlags(FlagMorePartsFollow));
    EXPECT_TRUE(info.WebSetup());
    EXPECT_TRUE(info.AskBeforeDownload());
    EXPECT_TRUE(info.WriteAgent());
    EXPECT_TRUE(info.AutoUpdateProg());

    EXPECT_EQ(info.AgentLocation(), "http://updates.example/prod");
    EXPECT_EQ(info.InfoFileName(), "Prod.v2.info");
    EXPECT_EQ(info.OriginalFileName(), "Prod.original");
    EXPECT_EQ(info.AgentFileName(), "ProdAgent.exe");
    EXPECT_EQ(info.AgentToken(true), "agent-token-1");
    EXPECT_NE(info.AgentToken(false), "agent-token-1");
    EXPECT_TRUE(info.HiddenSetup());
    EXPECT_EQ(info.WebLocation(), "http://dl.example/files");
    EXPECT_EQ(info.WebFileName(), "RealSetup.exe");
    EXPECT_TRUE(info.WebSkipLocal());
    EXPECT_EQ(info.WebToken(true), "web-token-2");
    EXPECT_EQ(info.WebFileSize(), "123456");

    EXPECT_EQ(ChooseLanguageEntryFor(info.LanguageBlock(), 7).substr(0, 8), "\x01German\x01");
    EXPECT_EQ(info.Text("s0"), "  My Setup  ");  // quotes keep the blanks
    EXPECT_EQ(info.Text("s2", "default"), "");
    EXPECT_EQ(info.Text("BtnText"), "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|");
    EXPECT_EQ(info.Text("s9", "nine"), "nine");

    const auto records = Records(setup, 3);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_GT(records[0].length, 0);
    EXPECT_EQ(records[0].record.name, "Engine.exe");
    EXPECT_EQ(records[0].record.runName, "Engine.exe*/S /lang=en");
    EXPECT_LT(records[1].length, 0);  // stored
    EXPECT_EQ(records[1].record.name, "data.bin");
    EXPECT_EQ(records[2].record.name, "readme.txt");
    for (const ReadRecord& r : records) {
        EXPECT_EQ(r.record.body, payload_[r.record.name]) << r.record.name;
        EXPECT_EQ(r.record.dosDate, MarchDos) << r.record.name;
    }
    // The stub bytes where an end mark would be read are cleared.
    EXPECT_EQ(ReadPackageEnd(*OpenPackageSource(setup)), 0u);
}

TEST_F(BuilderTest, OutputFolderIsMadeWhenMissing)
{
    const auto written = Build("[setup]\nstub = stub.exe\noutput = new/sub/s.exe\n[files]\ncompress = payload/data.bin\n");
    ASSERT_EQ(written.size(), 1u);
    EXPECT_TRUE(ReadTrailer(*OpenPackageSource(Path("new/sub/s.exe"))).HasMagic());
}

TEST_F(BuilderTest, ChecksumCanBeSwitchedOff)
{
    Build("[setup]\nstub = stub.exe\noutput = out/s.exe\nchecksum = no\n[files]\ncompress = payload/data.bin\n");
    EXPECT_EQ(ReadTrailer(*OpenPackageSource(Path("out/s.exe"))).Checksum(), ChecksumOff);
}

TEST_F(BuilderTest, EndMarkWithAnAppendedSignature)
{
    Write(dir_ / "sig.bin", std::string(5000, 'S'));
    Build("[setup]\nstub = stub.exe\noutput = out/s.exe\nend-mark = yes\nappend = sig.bin\n[files]\ncompress-folder = payload\n");
    const std::string setup = Path("out/s.exe");
    const std::string bytes = ReadFileBytes(setup);
    const auto file = OpenPackageSource(setup);
    const std::uint64_t mark = ReadPackageEnd(*file);
    EXPECT_EQ(mark, bytes.size() - 5000);
    EXPECT_EQ(bytes.substr(mark), std::string(5000, 'S'));
    const TTrailer t = ReadTrailer(*file);
    EXPECT_TRUE(t.HasMagic());
    EXPECT_EQ(t.Checksum(), PackageChecksum(*file, 74));
    EXPECT_EQ(Records(setup, 2).size(), 3u);
    EXPECT_TRUE(InspectPackage(setup).sound);
}

TEST_F(BuilderTest, InspectCountsTextBlocksAsTheExtractionDoes)
{
    Build("[setup]\nstub = stub.exe\noutput = out/s.exe\n[files]\ncompress-folder = payload\n");
    const std::string setup = Path("out/s.exe");
    const auto recordNames = [&] {
        std::string names;
        for (const std::string& line : SUB::Fields("\n" + InspectPackage(setup).text))
            if (line.starts_with("record: name="))
                names += line.substr(13, line.find(' ', 13) - 13) + " ";
        return names;
    };
    EXPECT_EQ(recordNames(), "Engine.exe data.bin readme.txt ");
    // With a count of 4 the extraction takes the first two records for text blocks too.
    std::string bytes = ReadFileBytes(setup);
    bytes[bytes.size() - TrailerSize + TTrailer::OffTextBlockCount] = 4;
    Write(setup, bytes);
    EXPECT_EQ(recordNames(), "readme.txt ");
}

// Joins the records of a set by name in order, as the extraction appends them.
std::map<std::string, std::string> Extracted(const std::vector<fs::path>& parts, std::size_t firstWithRecords)
{
    std::map<std::string, std::string> files;
    for (std::size_t i = firstWithRecords; i < parts.size(); ++i)
        for (const ReadRecord& r : Records(parts[i].string(), i == firstWithRecords ? 2 : 0))
            files[r.record.name] += r.record.body;
    return files;
}

TEST_F(BuilderTest, SpannedSetCutsFilesAtPartBoundaries)
{
    AddPayload("big.bin", Pattern(40000, 7));
    for (const char* mode : {"compress", "store"}) {
        const auto parts = Build(std::string("[setup]\nstub = stub.exe\noutput = out/Split.exe\npart-size = 6000\n[files]\n") + mode +
                                 "-folder = payload\n");
        ASSERT_GT(parts.size(), 2u) << mode;
        EXPECT_EQ(parts[0], dir_ / "out/Split.exe");
        EXPECT_EQ(parts[1], dir_ / "out/Split.exe.002");
        std::uint32_t records = 0;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const std::string part = parts[i].string();
            EXPECT_LE(fs::file_size(part), 6000u) << part;
            const TTrailer t = ReadTrailer(*OpenPackageSource(part));
            EXPECT_EQ(t.HasFlags(FlagMorePartsFollow), i + 1 < parts.size()) << part;
            EXPECT_EQ(t.FirstBlockOffset(), i == 0 ? 1024u : 0u) << part;
            EXPECT_EQ(t.Checksum(), PackageChecksum(part, 74)) << part;
            records += static_cast<std::uint32_t>(Records(part, i == 0 ? 2 : 0).size());
        }
        EXPECT_EQ(ReadTrailer(*OpenPackageSource(parts[0].string())).FilesCount(), records);
        EXPECT_EQ(Extracted(parts, 0), payload_) << mode;
    }
}

TEST_F(BuilderTest, SpannedCdSetHasALauncherAndNumberedParts)
{
    Write(dir_ / "sig.bin", "SIG");
    const auto parts = Build("[setup]\nstub = stub.exe\noutput = out/Cd.exe\nspanned-cd-set = yes\npart-size = 4000\n"
                             "end-mark = yes\nappend = sig.bin\n[language English]\ns0 = CD\n[files]\nstore-folder = payload\n");
    ASSERT_GE(parts.size(), 3u);
    EXPECT_EQ(parts[0], dir_ / "out/Cd.exe");
    EXPECT_EQ(parts[1], dir_ / "out/Cd.exe.001");
    EXPECT_EQ(parts[2], dir_ / "out/Cd.exe.002");
    const TGFileInfo launcher(parts[0].string());
    EXPECT_TRUE(launcher.SpannedCdSet());
    EXPECT_FALSE(launcher.Trailer().HasFlags(FlagMorePartsFollow));
    EXPECT_EQ(launcher.Text("s0"), "CD");
    EXPECT_TRUE(Records(parts[0].string(), 2).empty());
    EXPECT_EQ(ReadFileBytes(parts[0]).substr(ReadPackageEnd(*OpenPackageSource(parts[0].string()))), "SIG");
    // The first part carries the image and the texts again (the agent file is cut from it), but
    // no end mark.
    const TGFileInfo first(parts[1].string());
    EXPECT_EQ(first.Trailer().FirstBlockOffset(), 1024u);
    EXPECT_EQ(first.LanguageBlock(), launcher.LanguageBlock());
    EXPECT_EQ(ReadPackageEnd(*OpenPackageSource(parts[1].string())), 0u);
    EXPECT_EQ(Extracted(parts, 1), payload_);
}

TEST_F(BuilderTest, SameInputsGiveTheSameBytes)
{
    const std::string description = std::string(FullDescription);
    Build(description);
    const std::string first = ReadFileBytes(dir_ / "out/Setup.exe");
    fs::remove(dir_ / "out/Setup.exe");
    Build(description);
    EXPECT_EQ(ReadFileBytes(dir_ / "out/Setup.exe"), first);
}

TEST(RecordRoom, WhatIsLeftBeforeTheTrailerAndNeverMoreThanALengthFieldStates)
{
    struct Case {
        std::uint64_t partSize, used, room;
    };
    const std::uint64_t lengthLimit = 0x7FFFFFFF;
    for (const Case c : {Case{0, 0, lengthLimit}, Case{0, 5'000'000'000, lengthLimit}, Case{6000, 1024, 6000 - 1024 - 78},
                         Case{6000, 5922, 0}, Case{6000, 5923, 0}, Case{6000, 9000, 0},
                         Case{3ull << 30, 1024, lengthLimit}, Case{lengthLimit + 1000, 1000 - 78 - 4, lengthLimit},
                         Case{lengthLimit + 1000, 1000, lengthLimit - 78}})
        EXPECT_EQ(RecordRoom(c.partSize, c.used), c.room) << c.partSize << " " << c.used;
}

struct ErrorCase {
    const char* name;
    std::string description;
    const char* message;  // a part of the expected message
};

TEST_F(BuilderTest, BadInputIsRejectedAndLeavesNoOutput)
{
    Write(dir_ / "notpe.exe", std::string(600, 'x'));
    Write(dir_ / "pe-at-128.exe", StubImage(1024, 128));
    fs::create_directories(dir_ / "nested" / "sub");
    const std::string head = "[setup]\nstub = stub.exe\noutput = out/s.exe\n";
    const std::string files = "[files]\ncompress = payload/data.bin\n";
    const ErrorCase cases[] = {
        {"missing input file", head + "[files]\ncompress = payload/missing.bin\n", "cannot read"},
        {"missing stub", "[setup]\nstub = nothere.exe\noutput = out/s.exe\n" + files, "cannot read"},
        {"stub not PE", "[setup]\nstub = notpe.exe\noutput = out/s.exe\n" + files, "not a PE file"},
        {"end mark without PE at 256", "[setup]\nstub = pe-at-128.exe\noutput = out/s.exe\nend-mark = yes\n" + files, "offset 256"},
        {"append without end mark", head + "append = stub.exe\n" + files, "end-mark"},
        {"no equals sign", head + "checksum\n" + files, "test.desc:4: expected 'key = value'"},
        {"unknown key", head + "colour = blue\n" + files, "test.desc:4: unknown key 'colour'"},
        {"unknown section", head + "[extras]\n", "unknown section"},
        {"section twice", head + "[setup]\n", "appears twice"},
        {"bad yes/no", head + "end-mark = perhaps\n" + files, "expected yes or no"},
        {"bad size", head + "part-size = lots\n" + files, "expected a size"},
        {"unknown language", head + "[language Klingon]\ns0 = x\n" + files, "unknown language"},
        {"unknown text key", head + "[language English]\ns9 = x\n" + files, "unknown text key 's9'"},
        {"blank before = in a text", head + "[language English]\ns4 = Size = <SPACE_REQ> MB\n" + files,
         "the stub would show 'Size= <SPACE_REQ> MB'"},
        {"bar in a record field", head + "[agent]\nlocation = a|b\n" + files, "'|' separates"},
        {"item before a section", "stub = stub.exe\n", "before the first section"},
        {"no output", "[setup]\nstub = stub.exe\n" + files, "no output"},
        {"subfolder in a packed folder", head + "[files]\ncompress-folder = nested\n", "not a plain file"},
        {"same name twice", head + "[files]\ncompress = payload/data.bin\nstore = payload/DATA.BIN\n", "two files"},
        {"run not packed", head + files + "run = Setup.exe\n", "not among the packed files"},
        {"part size too small for the trailer", head + "part-size = 1100\n" + files, "too small"},
    };
    for (const ErrorCase& c : cases) {
        std::string message;
        try {
            Build(c.description);
        } catch (const BuildError& e) {
            message = e.what();
        }
        EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
        EXPECT_TRUE(fs::is_empty(dir_ / "out")) << c.name;
    }
}

} // namespace
