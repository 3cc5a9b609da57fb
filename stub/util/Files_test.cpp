#include "Files.h"

#include "ScratchFolder.h"
#include "Utils.h"
#include "UtilsWin.h"

#include <gtest/gtest.h>

namespace {

std::string Pattern(std::size_t size)
{
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        text[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return text;
}

class FileBytes : public testing::Test {
protected:
    ScratchFolder folder{"bytes"};
    const std::string file = folder / "data.bin";
};

TEST_F(FileBytes, ReadRanges)
{
    const std::string content("0123\0" "56789", 10);
    ASSERT_TRUE(WriteFileBytes(file, content, 0, false));
    const struct {
        std::size_t count;
        std::int64_t offset;
        std::string expected;
    } cases[] = {
        {0, 0, content},
        {0, 10, ""},          // offset at the end
        {0, 11, ""},
        {3, 3, std::string("3\0" "5", 3)},
        {100, 8, "89"},       // count past the end reads to the end
        {0, 7, "789"},
        {2, -1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadFileBytes(file, c.count, c.offset), c.expected) << c.count << " " << c.offset;
    EXPECT_EQ(ReadFileBytes(folder / "missing.bin", 0, 0), "");
}

TEST_F(FileBytes, WriteAppendAndTruncate)
{
    EXPECT_TRUE(WriteFileBytes(file, "", 0, false));
    EXPECT_TRUE(FileExists(file));
    EXPECT_EQ(FileSizeOfPath(file), 0);
    EXPECT_TRUE(WriteFileBytes(file, "abc", 0, true));
    EXPECT_TRUE(WriteFileBytes(file, "def", 0, true));
    EXPECT_TRUE(AppendFileBytes(file, "gh", 0));
    EXPECT_EQ(ReadFileBytes(file, 0, 0), "abcdefgh");
    EXPECT_TRUE(WriteFileBytes(file, "xy", 0, false));
    EXPECT_EQ(ReadFileBytes(file, 0, 0), "xy");
    EXPECT_TRUE(AppendFileBytes(folder / "new.log", "line\r\n", 0));
    EXPECT_EQ(ReadFileBytes(folder / "new.log", 0, 0), "line\r\n");
    EXPECT_FALSE(WriteFileBytes(folder / "no such folder\\x.bin", "abc", 0, false));
    EXPECT_FALSE(AppendFileBytes(folder / "no such folder\\x.bin", "abc", 0));
}

TEST_F(FileBytes, LargeTextsArriveWhole)
{
    for (std::size_t size : {std::size_t{3000000}, std::size_t{20000000}}) {
        const std::string text = Pattern(size);
        ASSERT_TRUE(WriteFileBytes(file, text, 0, false)) << size;
        EXPECT_EQ(FileSizeOfPath(file), static_cast<std::int64_t>(size));
        EXPECT_TRUE(ReadFileBytes(file, 0, 0) == text) << size;
    }
}

TEST_F(FileBytes, DateIsSetWhenGiven)
{
    // 5 March 2013 14:06:10: year 33 since 1980, month 3, day 5; 14 h, 6 min, 10 s / 2.
    const std::uint32_t dosDate = ((33u << 9 | 3u << 5 | 5u) << 16) | (14u << 11 | 6u << 5 | 5u);
    ASSERT_TRUE(WriteFileBytes(file, "dated", dosDate, false));
    EXPECT_EQ(FileDosDate(file), dosDate);
    ASSERT_TRUE(AppendFileBytes(file, " too", 0));
    EXPECT_NE(FileDosDate(file), dosDate); // 0 leaves the date to the system
    ASSERT_TRUE(AppendFileBytes(file, "!", dosDate));
    EXPECT_EQ(FileDosDate(file), dosDate);
}

TEST_F(FileBytes, OpeningModesShareAsIntended)
{
    ASSERT_TRUE(WriteFileBytes(file, "shared", 0, false));
    {
        const WinHandle reader = OpenForReading(file);
        ASSERT_TRUE(reader.Valid());
        EXPECT_TRUE(OpenForReading(file).Valid());
        EXPECT_TRUE(OpenForWriting(file).Valid());
        EXPECT_FALSE(CreateForWriting(file).Valid()); // the creator wants the file alone
    }
    {
        const WinHandle creator = CreateForWriting(file);
        ASSERT_TRUE(creator.Valid());
        EXPECT_FALSE(OpenForReading(file).Valid());
    }
    EXPECT_FALSE(OpenForReading(folder / "missing").Valid());
    EXPECT_FALSE(OpenForWriting(folder / "missing").Valid());
}

TEST_F(FileBytes, SeekAndSizesBeyondFourGigabytes)
{
    ASSERT_TRUE(WriteFileBytes(file, "0123456789", 0, false));
    const WinHandle handle = OpenForWriting(file);
    ASSERT_TRUE(handle.Valid());
    EXPECT_EQ(FileSizeOfHandle(handle.Get()), 10);
    EXPECT_EQ(FileSeek64(handle.Get(), 4, 0), 4);
    EXPECT_EQ(FileSeek64(handle.Get(), 2, 1), 6);
    EXPECT_EQ(FileSeek64(handle.Get(), -1, 2), 9);
    const std::int64_t beyond = (5LL << 30) + 7;
    EXPECT_EQ(FileSeek64(handle.Get(), beyond, 0), beyond);
    ASSERT_TRUE(SetEndOfFile(handle.Get())); // a sparse file: no space is taken
    EXPECT_EQ(FileSizeOfHandle(handle.Get()), beyond);
    EXPECT_EQ(FileSizeOfPath(file), beyond);
    EXPECT_EQ(FileSizeOfPath(folder / "missing"), 0);
}

// ---- Trees --------------------------------------------------------------------------------

class Trees : public testing::Test {
protected:
    ScratchFolder folder{"tree"};
    void SetUp() override
    {
        for (const char* sub : {"a", "a\\Deep", "a\\Deep\\deeper", "b"})
            ASSERT_TRUE(CreateDirectoryA((folder / sub).c_str(), nullptr)) << sub;
        for (const char* f : {"top.txt", "a\\one.tmp", "a\\two.tmp", "a\\keep.txt", "a\\Deep\\deeper\\needle.dat"})
            ASSERT_TRUE(WriteFileBytes(folder / f, f, 0, false)) << f;
    }
};

TEST_F(Trees, FindFileAndFolder)
{
    EXPECT_EQ(FindFileInTree(folder.Path(), "needle.dat"), folder / "a\\Deep\\deeper\\needle.dat");
    EXPECT_EQ(FindFileInTree(folder.Path(), "top.txt"), folder / "top.txt");
    EXPECT_EQ(FindFileInTree(folder.Path(), "nothing.dat"), "");
    EXPECT_EQ(FindFolderInTree(folder.Path(), "deep"), folder / "a\\Deep");
    EXPECT_EQ(FindFolderInTree(folder.Path(), "nowhere"), "");
    const std::string deep = folder / "a\\Deep";
    EXPECT_EQ(FindFolderOnDrives(deep, DRIVE_FIXED), deep);
    EXPECT_EQ(FindFolderOnDrives(deep, DRIVE_CDROM), "");
    EXPECT_EQ(FindFolderOnDrives(folder / "nowhere", DRIVE_FIXED), "");
    EXPECT_EQ(FindFileOnDrives("needle.dat", DRIVE_CDROM), "");
}

TEST_F(Trees, DeleteFilesByMask)
{
    EXPECT_TRUE(DeleteFilesByMask(folder / "a\\*.tmp", false));
    EXPECT_FALSE(FileExists(folder / "a\\one.tmp"));
    EXPECT_FALSE(FileExists(folder / "a\\two.tmp"));
    EXPECT_TRUE(FileExists(folder / "a\\keep.txt"));
    EXPECT_TRUE(FolderExists(folder / "a\\Deep"));
    EXPECT_FALSE(DeleteFilesByMask(folder / "a\\*.tmp", false));
}

TEST_F(Trees, DeleteFolderTreeClearsReadOnlyFilesOnlyWhenAsked)
{
    const std::string locked = folder / "a\\Deep\\deeper\\needle.dat";
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(DeleteFolderTree(folder / "a", false));
    EXPECT_TRUE(FileExists(locked));
    EXPECT_FALSE(FileExists(folder / "a\\keep.txt"));
    EXPECT_TRUE(DeleteFolderTree(folder / "a", true));
    EXPECT_FALSE(FolderExists(folder / "a"));
    EXPECT_TRUE(FolderExists(folder / "b"));
}

TEST_F(Trees, CreateFolderPathMakesEveryMissingLevel)
{
    EXPECT_TRUE(CreateFolderPath(folder / "new\\two\\three\\"));
    EXPECT_TRUE(FolderExists(folder / "new\\two\\three"));
    EXPECT_TRUE(CreateFolderPath(folder / "a\\Deep")) << "an existing folder";
    EXPECT_FALSE(CreateFolderPath(folder / "top.txt\\below")) << "a file is in the way";
    EXPECT_FALSE(CreateFolderPath(""));
}

TEST_F(Trees, AFileTakesAnotherFilesDate)
{
    const std::uint32_t dosDate = ((33u << 9 | 3u << 5 | 5u) << 16) | (14u << 11 | 6u << 5 | 5u);
    ASSERT_TRUE(WriteFileBytes(folder / "top.txt", "dated", dosDate, false));
    EXPECT_TRUE(CopyLastWriteTime(folder / "top.txt", folder / "b\\..\\a\\keep.txt"));
    EXPECT_EQ(FileDosDate(folder / "a\\keep.txt"), dosDate);
    EXPECT_FALSE(CopyLastWriteTime(folder / "missing.txt", folder / "a\\keep.txt"));
    EXPECT_FALSE(CopyLastWriteTime(folder / "top.txt", folder / "missing.txt"));
    EXPECT_EQ(FileDosDate(folder / "missing.txt"), 0u);
}

TEST_F(Trees, DeleteFolderTreeOfNothing)
{
    EXPECT_FALSE(DeleteFolderTree(folder / "missing", true));
    EXPECT_FALSE(DeleteFolderTree("", true));
    EXPECT_TRUE(DeleteFolderTree(folder / "b\\", false)); // a trailing backslash names the same folder
}

// ---- Drives and self-removal --------------------------------------------------------------

TEST(Drives, FreeSpaceAndEject)
{
    EXPECT_GT(DiskFreeBytes(TempFolder(true)), 0.0);
    EXPECT_GT(DiskFreeBytes("c"), 0.0);
    EXPECT_EQ(DiskFreeBytes("Q:\\nowhere"), -1.0);
    for (const char* path : {"C:\\windows", "", "1:\\", "Q:\\nowhere"})
        EXPECT_FALSE(EjectCdDrive(path)) << path;
}

TEST(SelfRemoval, ScriptQuotesLongNames)
{
    const std::string q = "\"";
    const std::string batch = TempFolder(true) + "_DEL_ME_.BAT";
    EXPECT_EQ(SelfRemovalScriptFor(true, false),
              ":START\r\nDEL " + q + ProgramFilePath(false) + q + "\r\nIF exist " + q + ProgramFilePath(false) + q +
                  " GOTO START\r\nRD " + q + ProgramFolder(false) + q + "\r\nDEL " + q + batch + q + "\r\n");
}

TEST(SelfRemoval, ScriptWithShortNamesLeavesNoFileBehind)
{
    const std::string batch = TempFolder(true) + "_DEL_ME_.BAT";
    DeleteFileA(batch.c_str());
    const std::string script = SelfRemovalScriptFor(false, true);
    EXPECT_FALSE(FileExists(batch));
    const std::string program = ShortPathName(ProgramFilePath(false));
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(script, ":START\r\nDEL " + program + "\r\nIF exist " + program + " GOTO START\r\nDEL " +
                          ShortPathName(TempFolder(false)) + "\\_DEL_ME_.BAT\r\n");
    EXPECT_EQ(script.find('"'), std::string::npos);
}

} // namespace
