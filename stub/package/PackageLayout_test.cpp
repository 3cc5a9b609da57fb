#include "PackageLayout.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace {

// A 74-byte trailer with every field set by hand at its offset, so a wrong offset shows.
std::string HandMadeTrailer()
{
    std::string t(TrailerSize, '\0');
    t[0] = 1;
    t[1] = 3;                                  // TextBlockCount
    t.replace(4, 4, "\x00\xFA\x02\x00", 4);    // FirstBlockOffset 195,072
    t.replace(8, 4, "\xF9\x00\x00\x00", 4);    // FilesCount 249
    t.replace(12, 4, "\x1D\x2C\x3B\x4A", 4);   // Magic
    t.replace(16, 4, "\x78\x56\x34\x12", 4);   // Checksum
    for (int i = 0; i < 9; ++i)
        t[28 + 4 * i] = static_cast<char>(10 + i);  // SpaceRequired entry i
    t[65] = 0x1D;                              // flags 0, 2, 3, 4
    t[66] = 1;
    t[67] = 2;
    t[68] = 0;
    t[69] = 5;
    t.replace(70, 4, "\x4A\x00\x00\x00", 4);   // 74
    return t;
}

std::string WithLength(std::string trailer, std::uint32_t length)
{
    std::string out;
    AppendU32(out, length);
    trailer.replace(trailer.size() - 4, 4, out);
    return trailer;
}

// "MZ" ... "PE" at 256, with the end mark at 248.
std::string PeImage(std::uint64_t mark, std::size_t size = 512)
{
    std::string image(size, '\0');
    image.replace(0, 2, "MZ");
    image.replace(PeSignatureOffset, 4, std::string("PE\0\0", 4));
    image.replace(PackageEndOffset, 8, EncodePackageEnd(mark));
    return image;
}

TEST(PackageTrailer, ReadsEveryFieldAtItsOffset)
{
    const std::string file = std::string(100, 'x') + HandMadeTrailer();
    const TTrailer t = ReadTrailer(MemorySource(file));
    EXPECT_EQ(t.TextBlockCount(), 3);
    EXPECT_EQ(t.FirstBlockOffset(), 195072u);
    EXPECT_EQ(t.FilesCount(), 249u);
    EXPECT_TRUE(t.HasMagic());
    EXPECT_EQ(t.Checksum(), 0x12345678u);
    for (int i = 0; i < SpaceEntries; ++i)
        EXPECT_EQ(t.SpaceRequired(i), static_cast<std::uint32_t>(10 + i));
    EXPECT_TRUE(t.HasFlags(FlagAlwaysShowTempNotice | FlagSpannedCdSet | FlagShowActivityBar | FlagDebugLog));
    EXPECT_FALSE(t.HasFlags(FlagMorePartsFollow));
    EXPECT_TRUE(t.ByteSet(TTrailer::OffWebSetup));
    EXPECT_TRUE(t.ByteSet(TTrailer::OffAskBeforeDownload));
    EXPECT_FALSE(t.ByteSet(TTrailer::OffWriteAgent));
    EXPECT_TRUE(t.ByteSet(TTrailer::OffAutoUpdateProg));
    EXPECT_EQ(t.TrailerLength(), 74u);
    EXPECT_EQ(EncodeTrailer(t), HandMadeTrailer());
}

TEST(PackageTrailer, ShortLengthFieldTakesOnlyWhatItCovers)
{
    // A trailer of 70 bytes: 66 bytes are taken, the bytes from offset 66 on (WebSetup to
    // AutoUpdateProg) read as 0 and TrailerLength as 70.
    std::string file = std::string(20, 'x') + HandMadeTrailer().substr(0, 66);
    AppendU32(file, 70);
    const TTrailer t = ReadTrailer(MemorySource(file));
    EXPECT_EQ(t.TrailerLength(), 70u);
    EXPECT_TRUE(t.HasMagic());
    EXPECT_EQ(t.Flags(), 0x1D);
    for (std::size_t offset = TTrailer::OffWebSetup; offset <= TTrailer::OffAutoUpdateProg; ++offset)
        EXPECT_FALSE(t.ByteSet(offset)) << offset;
}

TEST(PackageTrailer, LongLengthFieldReadsFromFurtherBack)
{
    const std::string file = HandMadeTrailer() + std::string(22, 'y') + WithLength(std::string(4, '\0'), 100);
    const TTrailer t = ReadTrailer(MemorySource(file));
    EXPECT_TRUE(t.HasMagic());
    EXPECT_EQ(t.FilesCount(), 249u);
    EXPECT_EQ(t.TrailerLength(), 74u);
}

TEST(PackageTrailer, ZeroTextBlockCountReadsAsTwo)
{
    std::string trailer = HandMadeTrailer();
    trailer[1] = 0;
    const TTrailer t = ReadTrailer(MemorySource(trailer));
    EXPECT_EQ(t.TextBlockCount(), 2);
    EXPECT_EQ(t.bytes[1], 0);  // the stored byte travels unchanged
}

TEST(PackageTrailer, ImpossibleLengthsGiveAZeroRecord)
{
    const std::string trailer = HandMadeTrailer();
    const std::string files[] = {
        "",
        "\x4A\x00",                               // shorter than a length field
        WithLength(trailer, 0),
        WithLength(trailer, 3),                   // cannot hold itself
        WithLength(trailer, 75),                  // reaches before the start of the file
        WithLength(trailer, 0xFFFFFFFF),
    };
    for (const std::string& file : files) {
        const TTrailer t = ReadTrailer(MemorySource(file));
        EXPECT_EQ(t.bytes, TTrailer{}.bytes) << "file of " << file.size() << " bytes";
    }
}

TEST(PackageEndMark, FindsTheTrailerAtTheMarkBeforeAnAppendedSignature)
{
    std::string file = PeImage(0) + std::string(40, 'd') + HandMadeTrailer();
    const std::uint64_t end = file.size();
    file.replace(PackageEndOffset, 8, EncodePackageEnd(end));
    file += std::string(3000, 'S');  // a signature after the package
    const MemorySource source(file);
    EXPECT_TRUE(IsPeFile(source));
    EXPECT_EQ(ReadPackageEnd(source), end);
    EXPECT_EQ(PackageEnd(source), end);
    EXPECT_TRUE(ReadTrailer(source).HasMagic());
}

TEST(PackageEndMark, IsReadOnlyWithBothSignaturesAtTheirFixedPlaces)
{
    const std::uint64_t mark = 0x0000000200000010ULL;
    std::string notMz = PeImage(mark);
    notMz[0] = 'X';
    std::string peElsewhere = PeImage(mark);
    peElsewhere.replace(PeSignatureOffset, 2, "xx");
    peElsewhere.replace(128, 2, "PE");  // where the header's own pointer might point
    EXPECT_EQ(ReadPackageEnd(MemorySource(PeImage(mark))), mark);  // high half first
    EXPECT_EQ(ReadPackageEnd(MemorySource(notMz)), 0u);
    EXPECT_EQ(ReadPackageEnd(MemorySource(peElsewhere)), 0u);
    EXPECT_FALSE(IsPeFile(MemorySource(std::string("MZ"))));
    EXPECT_EQ(PackageEnd(MemorySource(PeImage(0, 600))), 600u);  // no mark: the end of the file
}

TEST(PackageChecksum, SumsGroupsAndAddsPerReadWhileMoreThanFourBytesRemain)
{
    // 16 bytes, trailer length 4: only the first group is added, and no read adds 1234.
    EXPECT_EQ(PackageChecksum(MemorySource(std::string("\x01\x02\x00\x00" "abcdefghijkl", 16)), 4), 0x0201u);
    // 8,292 bytes of 0x01, trailer length 74: 2,053 groups are added, and the two full reads
    // each add 1234 (value worked out by hand and by a separate script).
    EXPECT_EQ(PackageChecksum(MemorySource(std::string(4096 * 2 + 100, '\x01')), 74), 218961577u);
}

TEST(PackageChecksum, WithAnEndMarkSkipsTheHeaderAndCountsTheLastEmptyRead)
{
    // 8,704 bytes with a mark beyond the file: the walk starts at 512, reads 4,096 twice and then
    // nothing, and each of these three reads adds 1234 because the mark says more remains.
    std::string file = PeImage(20000) + std::string(8192, '\0');
    EXPECT_EQ(PackageChecksum(MemorySource(file), 74), 3u * 1234u);
    // The header bytes (with the mark) are outside the sum: changing them changes nothing.
    file[300] = 'z';
    EXPECT_EQ(PackageChecksum(MemorySource(file), 74), 3u * 1234u);
}

TEST(PackageChecksum, PassesOnEqualityOrTheSwitchOffValue)
{
    EXPECT_TRUE(ChecksumPasses(7, 7));
    EXPECT_TRUE(ChecksumPasses(ChecksumOff, 7));
    EXPECT_TRUE(ChecksumPasses(7, ChecksumOff));
    EXPECT_FALSE(ChecksumPasses(7, 8));
}

class SparseFile {
public:
    explicit SparseFile(std::uint64_t size)
        : path_((std::filesystem::temp_directory_path() / ("sparse-" + std::to_string(size) + "-" +
                 std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".bin")).string())
    {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        std::fclose(f);
        std::filesystem::resize_file(path_, size);
    }
    ~SparseFile() { std::filesystem::remove(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

TEST(PackageChecksum, FiftyMebibytesAreCheckedAndOneByteMoreIsNot)
{
    // All zero: only the per-read 1234s count, for the 12,799 reads after which more than 4 bytes
    // remain before the trailer.
    const SparseFile limit(ChecksumSizeLimit);
    EXPECT_EQ(PackageChecksum(limit.Path(), 74), 12799u * 1234u);
    const SparseFile over(ChecksumSizeLimit + 1);
    EXPECT_EQ(PackageChecksum(over.Path(), 74), ChecksumOff);
}

TEST(PackageSpace, EntryFollowsTheClusterSize)
{
    const std::pair<std::uint64_t, int> cases[] = {
        {0, 0}, {511, 0}, {512, 1}, {1023, 1}, {1024, 2}, {4096, 4}, {32768, 7}, {65535, 7}, {65536, 8}, {1 << 20, 8}};
    for (const auto& [cluster, entry] : cases)
        EXPECT_EQ(SpaceEntryForCluster(cluster), entry) << cluster;
    EXPECT_EQ(SpaceEntryCluster(1), 512u);
    EXPECT_EQ(SpaceEntryCluster(8), 65536u);
}

std::string Block(std::uint32_t length, std::string_view data)
{
    std::string out;
    AppendU32(out, length);
    out.append(data);
    return out;
}

TEST(PackageBlocks, ReadsCompressedAndStoredBlocks)
{
    std::string file;
    AppendBlock(file, "zlib bytes");
    AppendBlock(file, "stored bytes", true);
    const MemorySource source(file);
    const PackageBlock first = ReadBlock(source, 0, file.size());
    EXPECT_EQ(first.length, 10);
    EXPECT_FALSE(first.Stored());
    EXPECT_EQ(first.data, "zlib bytes");
    EXPECT_TRUE(first.complete);
    const PackageBlock second = ReadBlock(source, first.next, file.size());
    EXPECT_EQ(second.length, -12);
    EXPECT_TRUE(second.Stored());
    EXPECT_EQ(second.data, "stored bytes");
    EXPECT_EQ(second.next, file.size());
}

TEST(PackageBlocks, UntrustedLengthsNeverReachPastTheLimit)
{
    struct Case {
        std::uint32_t length;
        std::uint64_t next;
    };
    const std::string data(20, 'q');
    for (const Case c : {Case{0x7FFFFFFF, 4 + 0x7FFFFFFFull}, Case{0x80000000, 4 + 0x80000000ull}, Case{0xFFFFFFFF, 5}, Case{21, 25}}) {
        const std::string file = Block(c.length, data) + "TRAILER";
        // The limit is the package end: the trailer bytes behind it are not handed out either.
        const PackageBlock block = ReadBlock(MemorySource(file), 0, 24);
        EXPECT_LE(block.data.size(), 20u);
        EXPECT_EQ(block.next, c.next);
        EXPECT_EQ(block.complete, c.length == 0xFFFFFFFF);
    }
    const PackageBlock nothing = ReadBlock(MemorySource(Block(5, "abcde")), 6, 9);  // no room for a length
    EXPECT_FALSE(nothing.complete);
    EXPECT_TRUE(nothing.data.empty());
    EXPECT_EQ(nothing.next, 9u);  // a walk over the blocks ends there
    const PackageBlock beyond = ReadBlock(MemorySource(Block(5, "abcde")), 20, 9);
    EXPECT_EQ(beyond.data, "");
    EXPECT_EQ(beyond.next, 9u);
}

TEST(PackageBlocks, AnEndMarkBeyondTheFileDoesNotWidenTheLimit)
{
    std::string file = PeImage(0x7FFFFFFF);
    AppendU32(file, 0x7FFFFFF0);
    file += "short";
    const MemorySource source(file);
    const PackageBlock block = ReadBlock(source, 512, PackageEnd(source));
    EXPECT_EQ(block.data, "short");
    EXPECT_FALSE(block.complete);
    // Past the end of the file the walk ends at once, not in steps of four bytes up to the mark.
    EXPECT_EQ(ReadBlock(source, block.next, PackageEnd(source)).next, PackageEnd(source));
}

TEST(PackageBlocks, ReportsEveryChunkOfALargeBlock)
{
    const std::string file = Block(150000, std::string(150000, 'c'));
    int chunks = 0;
    const PackageBlock block = ReadBlock(MemorySource(file), 0, file.size(), [&] { ++chunks; });
    EXPECT_EQ(chunks, 3);
    EXPECT_EQ(block.data.size(), 150000u);
}

TEST(PackageBlocks, ReadingGoesOnWhileMoreThanTheTrailerRemains)
{
    EXPECT_TRUE(MoreBlocksBefore(1000, 1000 - 75));
    EXPECT_FALSE(MoreBlocksBefore(1000, 1000 - 74));
    EXPECT_FALSE(MoreBlocksBefore(1000, 2000));
}

struct RecordCase {
    std::string content;
    bool valid;
    std::string name, runName;
    std::uint32_t date;
    std::string body;
};

TEST(PackageRecords, SplitsHeaderAndBody)
{
    using namespace std::string_literals;
    const RecordCase cases[] = {
        {"|readme.txt|1113944228|\0hello"s, true, "readme.txt", "", 1113944228, "hello"},
        {"|Engine.exe*/S /lang=de|0|\0MZ"s, true, "Engine.exe", "Engine.exe*/S /lang=de", 0, "MZ"},
        {"|Engine.exe*|12|\0"s, true, "Engine.exe", "Engine.exe*", 12, ""},
        {"|a.bin|soon|\0\0\0"s, true, "a.bin", "", 0, "\0\0"s},  // date not a number; NULs in the body
        {"|a.bin|99999999999|\0x"s, true, "a.bin", "", 0, "x"},    // date beyond 32 bits
        {"|a.bin|*|\0x"s, true, "a.bin", "|a.bin|*|", 0, "x"},     // "*" outside the name field
        {"|a.bin|12|"s, false, "", "", 0, ""},                     // no NUL
        {"\0body"s, false, "", "", 0, ""},                         // empty header
    };
    for (const RecordCase& c : cases) {
        const FileRecord r = ParseFileRecord(c.content);
        EXPECT_EQ(r.valid, c.valid) << c.content;
        EXPECT_EQ(r.name, c.name) << c.content;
        EXPECT_EQ(r.runName, c.runName) << c.content;
        EXPECT_EQ(r.dosDate, c.date) << c.content;
        EXPECT_EQ(r.body, c.body) << c.content;
    }
}

TEST(PackageRecords, WrittenHeaderReadsBack)
{
    const std::string content = FileRecordHeader("Engine.exe* /x", 77) + "body";
    const FileRecord r = ParseFileRecord(content);
    EXPECT_EQ(r.name, "Engine.exe");
    EXPECT_EQ(r.runName, "Engine.exe* /x");
    EXPECT_EQ(r.dosDate, 77u);
    EXPECT_EQ(r.body, "body");
}

TEST(PackageNames, PlainFileNames)
{
    for (const char* good : {"Engine.exe", "read me.txt", "a", "data.tar.gz", "CONSOLE.txt", "COM10", ".hidden", "nul x.txt", "LPTX"})
        EXPECT_TRUE(IsPlainFileName(good)) << good;
    for (const char* bad : {"", ".", "..", "..\\evil.exe", "sub/file", "sub\\file", "C:file", "a*b", "a|b", "a?b",
                            "a\"b", "a<b", "tab\there", "trailing.", "trailing ", "CON", "nul.txt", "com1", "LPT9.log",
                            "nul .txt", "Aux  .tar.gz", "COM0", "lpt0.log", "COM\xB9.txt", "LPT\xB3"})
        EXPECT_FALSE(IsPlainFileName(bad)) << bad;
}

TEST(PackageNames, PartFilesHaveAtLeastThreeDigits)
{
    EXPECT_EQ(PartFileName("setup.exe", 1), "setup.exe.001");
    EXPECT_EQ(PartFileName("setup.exe", 12), "setup.exe.012");
    EXPECT_EQ(PartFileName("D:\\set", 1000), "D:\\set.1000");
}

TEST(PackageDates, DosDateTimeValues)
{
    const DateTimeParts march{2013, 3, 5, 14, 5, 8};
    EXPECT_EQ(DosDateTimeOf(march), 1113944228u);
    const DateTimeParts back = PartsOfDosDateTime(1113944228u);
    EXPECT_EQ(std::tie(back.year, back.month, back.day, back.hour, back.minute, back.second),
              std::tie(march.year, march.month, march.day, march.hour, march.minute, march.second));
    EXPECT_EQ(DosDateTimeOf({2013, 3, 5, 14, 5, 9}), 1113944228u);  // two-second steps
    EXPECT_EQ(DosDateTimeOf({1979, 12, 31, 23, 59, 59}), 0u);
    EXPECT_EQ(DosDateTimeOf({2108, 1, 1, 0, 0, 0}), 0u);
}

} // namespace
