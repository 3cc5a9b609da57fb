#include "UnPackCore.h"

#include "PackageLayout.h"
#include "SetupBuilder.h"
#include "SetupTestFolder.h"
#include "ZLibOpen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

using namespace setuptest;

const std::string Disk = "D:\\disk\\";
const std::string Dest = "C:\\temp\\SETUP_1";

// A source that remembers its largest read, to show that records are read in pieces.
class WatchedSource final : public PackageSource {
public:
    WatchedSource(const std::string& bytes, std::size_t& largestRead) : bytes_(bytes), largestRead_(largestRead)
    {
        largestRead_ = 0;
    }
    std::uint64_t Size() const override { return bytes_.size(); }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const override
    {
        largestRead_ = std::max(largestRead_, count);
        return MemorySource(bytes_).ReadAt(offset, buffer, count);
    }

private:
    const std::string& bytes_;
    std::size_t& largestRead_;
};

struct MemoryFile {
    std::string bytes;
    std::uint32_t date = 0;
};

// The extraction's world in memory: package files on a "disk", the files it writes, and a log
// of what the user would have seen.
class MemoryHost final : public TExtractHost {
public:
    class File final : public TExtractFile {
    public:
        File(MemoryHost& host, MemoryFile& file, std::string path) : host_(host), file_(file), path_(std::move(path)) {}
        bool Write(std::string_view piece) override
        {
            host_.largestWrite = std::max(host_.largestWrite, piece.size());
            if (host_.failWriteOf.count(path_) && ++writes_ > 1)
                return false;
            file_.bytes.append(piece);
            return true;
        }
        void Close(std::uint32_t dosDate) override
        {
            if (dosDate != 0)
                file_.date = dosDate;
        }

    private:
        MemoryHost& host_;
        MemoryFile& file_;
        std::string path_;
        int writes_ = 0;
    };

    std::map<std::string, std::string> sources;
    std::map<std::string, MemoryFile> files;
    std::set<std::string> folders;
    std::set<std::string> cannotOpen, failWriteOf;
    std::vector<std::string> events;
    // Answers to disk prompts, in order; each may first put a part file in place.
    std::deque<std::function<bool()>> answers;
    std::map<std::string, std::string> agentDates;
    bool unscriptedAnswer = false;
    // Of the source opened last: the one the blocks are read from (the checksum has its own).
    std::size_t largestRead = 0;
    std::size_t largestWrite = 0;
    int pumps = 0;

    bool FileExists(const std::string& path) override { return sources.count(path) || files.count(path); }
    std::unique_ptr<PackageSource> OpenSource(const std::string& path) override
    {
        if (!sources.count(path))
            return nullptr;
        return std::make_unique<WatchedSource>(sources.at(path), largestRead);
    }
    void CreateFolders(const std::string& folder) override { folders.insert(folder); }
    std::unique_ptr<TExtractFile> OpenForAppend(const std::string& path) override
    {
        if (cannotOpen.count(path))
            return nullptr;
        return std::make_unique<File>(*this, files[path], path);
    }
    bool WriteWholeFile(const std::string& path, std::string_view bytes, const std::string& dateFrom) override
    {
        files[path] = MemoryFile{std::string(bytes), 0};
        agentDates[path] = dateFrom;
        return true;
    }
    std::uint64_t FileSize(const std::string& path) override { return files.count(path) ? files[path].bytes.size() : 0; }
    double FreeBytes(const std::string&) override { return 123456789.75; }
    std::string LastErrorText() override { return "Access is denied."; }
    void EjectDisk(const std::string& path) override { events.push_back("eject " + path); }
    bool AskForDisk(const std::string& text) override
    {
        events.push_back("prompt " + text);
        if (answers.empty())
            return unscriptedAnswer;
        const auto answer = answers.front();
        answers.pop_front();
        return answer();
    }
    void ShowError(const std::string& text) override { events.push_back("error " + text); }
    void AnswerAutoPlay() override { events.push_back("autoplay"); }
    void PumpMessages() override { ++pumps; }
    void Wait(int) override {}
    void ProgressStart(int total) override { events.push_back("start " + std::to_string(total)); }
    void ProgressStep() override { events.push_back("step"); }
    void Debug(const std::string& line) override { debug.push_back(line); }
    std::int64_t Milliseconds() override { return 0; }

    std::vector<std::string> debug;

    int Count(std::string_view prefix) const
    {
        return static_cast<int>(std::count_if(events.begin(), events.end(),
                                              [prefix](const std::string& e) { return e.starts_with(prefix); }));
    }
    std::vector<std::string> Prompts() const
    {
        std::vector<std::string> prompts;
        for (const std::string& e : events)
            if (e.starts_with("prompt "))
                prompts.push_back(e.substr(7));
        return prompts;
    }
};

class UnPackTest : public SetupTestFolder {
protected:
    void SetUp() override
    {
        SetupTestFolder::SetUp();
        AddPayload("Engine.exe", Pattern(5000, 1));
        AddPayload("data.bin", Pattern(3000, 2));
        AddPayload("readme.txt", std::string(1000, 'r'));
        ResetExtractWriteFailures();
    }

    // Builds a setup from the [setup] keys and [files] lines given and puts every file written on
    // the host's disk; returns their names there.
    std::vector<std::string> BuildOnDisk(const std::string& setupKeys, const std::string& files)
    {
        const auto written = Build("[setup]\nstub = stub.exe\noutput = out/Setup.exe\n" + setupKeys + "[files]\n" + files);
        std::vector<std::string> names;
        for (const fs::path& path : written) {
            names.push_back(Disk + path.filename().string());
            host_.sources[names.back()] = ReadFileBytes(path);
        }
        return names;
    }

    TExtractResult Extract(const std::string& source, const std::string& agentName = "", bool forcePrompt = false)
    {
        return ExtractPackageWith(host_, source, Dest, agentName,
                                  "Please insert <B>DISK #<DISK_NUM></B> and press OK to continue", forcePrompt);
    }

    std::map<std::string, std::string> Extracted() const
    {
        std::map<std::string, std::string> files;
        for (const auto& [path, file] : host_.files)
            if (path.starts_with(Dest + "\\"))
                files[path.substr(Dest.size() + 1)] = file.bytes;
        return files;
    }

    // Overwrites bytes of a package file on the host's disk where the text 'at' first occurs.
    void Patch(const std::string& name, std::string_view at, std::string_view with)
    {
        std::string& bytes = host_.sources[name];
        const std::size_t where = bytes.find(at);
        ASSERT_NE(where, std::string::npos) << at;
        bytes.replace(where, with.size(), with);
    }

    MemoryHost host_;
};

const char AllFiles[] = "compress = payload/Engine.exe\nstore = payload/data.bin\ncompress = payload/readme.txt\n"
                        "run = Engine.exe\nrun-arguments = /S /lang=en\n";

TEST_F(UnPackTest, ExtractsEveryRecordWithItsDateAndNamesTheProgramToRun)
{
    const auto setup = BuildOnDisk("", AllFiles);
    const TExtractResult result = Extract(setup[0]);
    EXPECT_TRUE(result.ChecksumOK);
    EXPECT_TRUE(result.Answer);
    EXPECT_EQ(result.RunName, "Engine.exe*/S /lang=en");
    EXPECT_EQ(Extracted(), payload_);
    for (const auto& [path, file] : host_.files)
        EXPECT_EQ(file.date, MarchDos) << path;
    EXPECT_EQ(host_.folders, std::set<std::string>{Dest});
    EXPECT_EQ(host_.events, (std::vector<std::string>{"start 0", "start 3", "step", "step", "step"}));
    EXPECT_EQ(host_.debug.front(), "FileInfo.FilesCount=3");
    EXPECT_EQ(host_.debug[1], "FileLen=" + std::to_string(host_.sources[setup[0]].size()));
    EXPECT_EQ(host_.debug[2], "UnCompressTime: 0 MS");
}

TEST_F(UnPackTest, TwoHundredFortyNineRecordsFillTheProgressAndASecondRunAppends)
{
    payload_.clear();
    fs::remove_all(dir_ / "payload");
    fs::create_directories(dir_ / "payload");
    for (int i = 0; i < 249; ++i)
        AddPayload("f" + std::to_string(i) + ".txt", "file " + std::to_string(i));
    const auto setup = BuildOnDisk("", "compress-folder = payload\n");

    Extract(setup[0]);
    EXPECT_EQ(host_.events.at(1), "start 249");
    EXPECT_EQ(host_.Count("step"), 249);
    EXPECT_EQ(Extracted(), payload_);

    host_.events.clear();
    const TExtractResult again = Extract(setup[0]);
    EXPECT_TRUE(again.ChecksumOK);
    EXPECT_EQ(host_.Count("step"), 0) << "every target existed";
    for (const auto& [name, bytes] : Extracted())
        EXPECT_EQ(bytes, payload_[name] + payload_[name]) << name;
}

TEST_F(UnPackTest, RecordsOfOneNameAreJoinedAcrossParts)
{
    AddPayload("big.bin", Pattern(40000, 7));
    for (const char* mode : {"compress", "store"}) {
        SCOPED_TRACE(mode);
        host_ = MemoryHost();
        const auto parts = BuildOnDisk("part-size = 6000\n", std::string(mode) + "-folder = payload\n");
        ASSERT_GE(parts.size(), 3u);
        EXPECT_EQ(parts[1], Disk + "Setup.exe.002");
        const TExtractResult result = Extract(parts[0]);
        EXPECT_TRUE(result.ChecksumOK);
        EXPECT_EQ(Extracted(), payload_);
        EXPECT_EQ(host_.Prompts().size(), 0u) << "every part lies beside the first";
        // A step for each new file and one for each part switch.
        EXPECT_EQ(host_.Count("step"), static_cast<int>(payload_.size() + parts.size() - 1));
        EXPECT_EQ(host_.Count("autoplay"), static_cast<int>(parts.size() - 1));
    }
}

TEST_F(UnPackTest, DiskPromptsOfASpannedSet)
{
    AddPayload("big.bin", Pattern(20000, 9));
    struct Answer {
        bool ok;
        bool insertThirdFirst;
    };
    struct Case {
        const char* name;
        bool forcePrompt;
        bool removeThird;
        std::vector<Answer> answers;  // a forced prompt answers OK without a script
        std::vector<int> prompts;     // empty with a forced prompt: one for every further part
        bool complete;
    };
    const Case cases[] = {
        {"parts beside the first", false, false, {}, {}, true},
        {"forced prompt, parts present", true, false, {}, {}, true},
        {"third part missing, Cancel", false, true, {{false, false}}, {3}, false},
        {"third part missing, OK until it is there", false, true, {{true, false}, {true, true}}, {3, 3}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host_ = MemoryHost();
        const auto parts = BuildOnDisk("spanned-cd-set = yes\npart-size = 8000\n", "store-folder = payload\nrun = Engine.exe\n");
        ASSERT_GE(parts.size(), 5u);
        ASSERT_EQ(parts[1], Disk + "Setup.exe.001");
        ASSERT_EQ(parts[3], Disk + "Setup.exe.003");
        const std::string thirdBytes = host_.sources[parts[3]];
        if (c.removeThird)
            host_.sources.erase(parts[3]);
        for (const Answer& a : c.answers)
            host_.answers.push_back([this, a, &parts, &thirdBytes] {
                if (a.insertThirdFirst)
                    host_.sources[parts[3]] = thirdBytes;
                return a.ok;
            });
        host_.unscriptedAnswer = c.forcePrompt;

        const TExtractResult result = Extract(parts[1], "", c.forcePrompt);
        std::vector<int> prompted = c.prompts;
        if (c.forcePrompt)
            for (int part = 2; part < static_cast<int>(parts.size()); ++part)
                prompted.push_back(part);
        std::vector<std::string> expected;
        for (const int part : prompted)
            expected.push_back("Please insert <B>DISK #" + std::to_string(part) + "</B> and press OK to continue");
        EXPECT_EQ(host_.Prompts(), expected);
        EXPECT_TRUE(result.ChecksumOK);
        EXPECT_EQ(result.Answer, c.complete);
        EXPECT_EQ(result.RunName, c.complete ? "Engine.exe*" : "");
        if (c.complete) {
            EXPECT_EQ(Extracted(), payload_);
        }
        // The disk is ejected once before each part that is asked for.
        const std::set<int> askedParts(prompted.begin(), prompted.end());
        EXPECT_EQ(host_.Count("eject "), static_cast<int>(askedParts.size()));
    }
}

TEST_F(UnPackTest, APartThatFailsItsChecksumStopsTheExtraction)
{
    AddPayload("big.bin", Pattern(40000, 3));
    const auto parts = BuildOnDisk("part-size = 6000\n", "store-folder = payload\n");
    ASSERT_GT(parts.size(), 3u);
    host_.sources[parts[2]][10] ^= 0x40;
    const TExtractResult result = Extract(parts[0]);
    EXPECT_FALSE(result.ChecksumOK);
    EXPECT_FALSE(Extracted().empty()) << "files of earlier parts stay";
    EXPECT_LT(Extracted()["big.bin"].size(), payload_["big.bin"].size());

    host_ = MemoryHost();
    const auto setup = BuildOnDisk("", AllFiles);
    host_.sources[setup[0]][2000] ^= 1;
    EXPECT_FALSE(Extract(setup[0]).ChecksumOK);
    EXPECT_TRUE(host_.files.empty());
    EXPECT_EQ(host_.events, std::vector<std::string>{"start 0"});

    host_ = MemoryHost();
    EXPECT_FALSE(Extract(Disk + "missing.exe").ChecksumOK);
    EXPECT_TRUE(host_.files.empty());
}

TEST_F(UnPackTest, NamesThatAreNotPlainFileNamesAreRefused)
{
    // Stored records without a checksum, so that a name can be changed in the package bytes.
    AddPayload("xxxxxxxxxxxxx.txt", "outside");
    AddPayload("zz.txt", "inside");
    const struct {
        std::string name;  // 17 characters, padded with "|" (an empty field)
        std::string path;
    } cases[] = {
        {"..\\outside.txt||", Dest + "\\..\\outside.txt"},
        {"sub\\outside.txt||", Dest + "\\sub\\outside.txt"},
        {"C:outside.txt||||", Dest + "\\C:outside.txt"},
        {"\\outside.txt|||||", Dest + "\\\\outside.txt"},
        {"/etc/outside.txt|", Dest + "\\/etc/outside.txt"},
        {"..|||||||||||||||", Dest + "\\.."},
        {"|||||||||||||||||", Dest + "\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host_ = MemoryHost();
        ResetExtractWriteFailures();
        const auto setup = BuildOnDisk("checksum = no\n", "store = payload/xxxxxxxxxxxxx.txt\nstore = payload/zz.txt\n"
                                                    "run = zz.txt\n");
        Patch(setup[0], "|xxxxxxxxxxxxx.txt|", "|" + c.name);
        const TExtractResult result = Extract(setup[0]);
        EXPECT_TRUE(result.ChecksumOK);
        EXPECT_EQ(Extracted(), (std::map<std::string, std::string>{{"zz.txt", "inside"}})) << "the extraction goes on";
        EXPECT_EQ(host_.files.size(), 1u) << "nothing is written anywhere else";
        EXPECT_EQ(host_.Count("error "), 1);
        EXPECT_EQ(host_.events.at(2),
                  "error " + c.path + "<P><P>Unable to save Extracted File!<P><P>The file name is not allowed.");
        EXPECT_EQ(ExtractWriteFailures(), 1);
    }
}

TEST_F(UnPackTest, ARefusedRecordNamesNoProgramToRun)
{
    AddPayload("xxxxxxxx.exe", "program");
    const auto setup = BuildOnDisk("checksum = no\n", "store = payload/xxxxxxxx.exe\nrun = xxxxxxxx.exe\n");
    Patch(setup[0], "|xxxxxxxx.exe*|", "|..\\evil1.exe*|");
    const TExtractResult result = Extract(setup[0]);
    EXPECT_EQ(result.RunName, "");
    EXPECT_TRUE(host_.files.empty());
}

TEST_F(UnPackTest, AFailedWriteIsShownOnceWithItsDiagnosisAndTheExtractionGoesOn)
{
    AddPayload("big.txt", Pattern(600000, 5));
    const auto setup = BuildOnDisk("", "compress = payload/big.txt\ncompress = payload/data.bin\ncompress = payload/readme.txt\n");
    host_.failWriteOf.insert(Dest + "\\big.txt");
    host_.cannotOpen.insert(Dest + "\\data.bin");
    Extract(setup[0]);
    EXPECT_EQ(host_.Count("error "), 1);
    const std::string written = host_.files[Dest + "\\big.txt"].bytes;
    EXPECT_LT(written.size(), payload_["big.txt"].size());
    EXPECT_EQ(host_.events.at(3), "error " + Dest + "\\big.txt<P><P>Unable to save Extracted File!<P><P>Access is denied.<P>"
                                  "  Data Size: <T>600000 Bytes<P>  File Size:  <T>" + std::to_string(written.size()) +
                                  " Bytes<P>  Bytes Free: <T>123456789 Bytes");
    EXPECT_EQ(host_.files[Dest + "\\big.txt"].date, 0u) << "the date is set only after the whole body";
    EXPECT_EQ(host_.files[Dest + "\\readme.txt"].bytes, payload_["readme.txt"]);
    EXPECT_EQ(ExtractWriteFailures(), 2);
}

TEST_F(UnPackTest, ALargeRecordIsStreamedInBoundedPieces)
{
    // 16 MiB of text-like bytes that compress very well: neither side may be held whole.
    std::string big;
    for (int i = 0; big.size() < (16u << 20); ++i)
        big += "line " + std::to_string(i % 1000) + " of a log file that repeats\n";
    AddPayload("big.log", big);
    const auto setup = BuildOnDisk("", "compress = payload/big.log\n");
    EXPECT_TRUE(Extract(setup[0]).ChecksumOK);
    EXPECT_TRUE(host_.files[Dest + "\\big.log"].bytes == big);
    EXPECT_LE(host_.largestRead, ExtractReadSize);
    EXPECT_LE(host_.largestWrite, 262144u);
    EXPECT_GE(host_.pumps, static_cast<int>(big.size() / 262144)) << "the window is served while the record is inflated";
}

TEST_F(UnPackTest, DamagedPackages)
{
    // A zlib stream with wrong bytes inside: EZLibError leaves the extraction.
    auto setup = BuildOnDisk("checksum = no\n", "compress = payload/data.bin\n");
    std::string& bytes = host_.sources[setup[0]];
    bytes[bytes.size() - 80] ^= 0x5A;
    EXPECT_THROW(Extract(setup[0]), EZLibError);

    // A block whose length runs past the end of the package: damaged, like a checksum failure.
    for (const std::int32_t length : {1 << 30, -(1 << 30), 5000}) {
        SCOPED_TRACE(length);
        host_ = MemoryHost();
        setup = BuildOnDisk("checksum = no\n", "store = payload/readme.txt\nstore = payload/data.bin\n");
        std::string& package = host_.sources[setup[0]];
        const std::size_t field = package.find("|data.bin|") - 4;
        std::string raw;
        AppendU32(raw, static_cast<std::uint32_t>(length));
        package.replace(field, 4, raw);
        const TExtractResult result = Extract(setup[0]);
        EXPECT_FALSE(result.ChecksumOK);
        EXPECT_EQ(Extracted(), (std::map<std::string, std::string>{{"readme.txt", payload_["readme.txt"]}}));
    }
}

TEST_F(UnPackTest, UpdateAgentFileForExecutableSources)
{
    const struct {
        const char* output;
        const char* agentName;
        bool spanned;
        bool written;
    } cases[] = {
        {"Setup.exe", "Agent.exe", false, true},
        {"SETUP.EXE", "C:\\somewhere\\Agent.exe", false, true},
        {"Setup.exe", "Agent.exe", true, true},  // extracted from Setup.exe.001
        {"Setup.bin", "Agent.exe", false, false},
        {"Setup.exe", "", false, false},
        {"Setup.exe", "C:\\folder\\", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.output) + " " + c.agentName);
        host_ = MemoryHost();
        const auto written = Build(std::string("[setup]\nstub = stub.exe\nend-mark = yes\noutput = out/") + c.output +
                                   "\n" + (c.spanned ? "spanned-cd-set = yes\npart-size = 4000\n" : "") +
                                   "[agent]\nagent-file = Agent.exe\n[files]\ncompress-folder = payload\n");
        const fs::path first = written[c.spanned ? 1 : 0];
        const std::string source = Disk + first.filename().string();
        for (const fs::path& path : written)
            host_.sources[Disk + path.filename().string()] = ReadFileBytes(path);
        Extract(source, c.agentName);

        const std::string agentPath = Dest + "\\Agent.exe";
        ASSERT_EQ(host_.files.count(agentPath), c.written ? 1u : 0u);
        if (!c.written)
            continue;
        const std::string& package = host_.sources[source];
        const MemorySource sourceBytes(package);
        const TTrailer sourceTrailer = ReadTrailer(sourceBytes);
        const std::string agent = host_.files[agentPath].bytes;
        // Image and text blocks, with no end mark, then the trailer of an agent.
        const std::size_t headerEnd = agent.size() - TrailerSize;
        EXPECT_EQ(agent.substr(0, 252), package.substr(0, 252));
        EXPECT_EQ(agent.substr(252, 4), std::string(4, '\0'));
        EXPECT_EQ(agent.substr(256, headerEnd - 256), package.substr(256, headerEnd - 256));
        const MemorySource agentBytes(agent);
        const TTrailer trailer = ReadTrailer(agentBytes);
        EXPECT_EQ(ReadPackageEnd(agentBytes) >> 32, ReadPackageEnd(sourceBytes) >> 32) << "only the low half is cleared";
        EXPECT_EQ(static_cast<std::uint32_t>(ReadPackageEnd(agentBytes)), 0u);
        EXPECT_TRUE(trailer.ByteSet(TTrailer::OffAutoUpdateProg));
        EXPECT_EQ(trailer.TrailerLength(), TrailerSize);
        EXPECT_EQ(trailer.Checksum(), sourceTrailer.Checksum()) << "carried over as read";
        for (std::size_t i = 0; i < TrailerSize - 4; ++i)
            if (i != TTrailer::OffAutoUpdateProg) {
                EXPECT_EQ(trailer.bytes[i], sourceTrailer.bytes[i]) << "trailer byte " << i;
            }
        // The agent file ends right after its text blocks.
        const PackageBlock languages = ReadBlock(agentBytes, trailer.FirstBlockOffset(), headerEnd);
        EXPECT_EQ(ReadBlock(agentBytes, languages.next, headerEnd).next, headerEnd);
        EXPECT_EQ(host_.agentDates[agentPath], source);
    }
}

} // namespace
