#include "PathText.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* path;
    bool flag;
    const char* expected;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << '"' << c.path << "\" flag " << c.flag; }

class FileNameWithoutExtCase : public testing::TestWithParam<PathCase> {};
TEST_P(FileNameWithoutExtCase, DropsExtensions)
{
    EXPECT_EQ(FileNameWithoutExt(GetParam().path, GetParam().flag), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Paths, FileNameWithoutExtCase, testing::Values(
    PathCase{"C:\\x\\setup.tar.gz", false, "setup.tar"},
    PathCase{"C:\\x\\setup.tar.gz", true, "setup"},
    PathCase{"C:\\dir.d\\readme", false, "readme"},   // a dot in the folder is no extension
    PathCase{"setup.exe", false, "setup"},
    PathCase{"C:setup.exe", false, "setup"},
    PathCase{"", true, ""}));

class DriveRootOfCase : public testing::TestWithParam<PathCase> {};
TEST_P(DriveRootOfCase, GivesRoot)
{
    EXPECT_EQ(DriveRootOf(GetParam().path, GetParam().flag), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Paths, DriveRootOfCase, testing::Values(
    PathCase{"C:/data/x", false, "C:\\data"},
    PathCase{"C:/data/x", true, "C:\\"},
    PathCase{"d:\\data", true, "D:\\"},
    PathCase{"C:\\data", false, "C:\\data"},   // no separator after the fourth character
    PathCase{"C:\\", false, "C:\\"},
    PathCase{"e:", false, "E:\\"},             // shorter than three characters
    PathCase{"\\\\srv\\share\\x", false, "\\\\srv"},
    PathCase{"", true, ""},
    PathCase{"", false, ""}));

class SetTrailingBackslashCase : public testing::TestWithParam<PathCase> {};
TEST_P(SetTrailingBackslashCase, EndsInExactlyOneOrNone)
{
    EXPECT_EQ(SetTrailingBackslash(GetParam().path, GetParam().flag), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Paths, SetTrailingBackslashCase, testing::Values(
    PathCase{"C:\\", false, "C:"},
    PathCase{"C:\\", true, "C:\\"},
    PathCase{"C:\\temp", true, "C:\\temp\\"},
    PathCase{"C:\\temp\\", true, "C:\\temp\\"},
    PathCase{"C:\\temp\\", false, "C:\\temp"},
    PathCase{"C:", true, "C:\\"},
    PathCase{"a\\", false, "a\\"},             // two characters are never shortened
    PathCase{"", true, "\\"}));

struct CollapseCase {
    const char* path;
    bool removeTrailing;
    const char* expected;
};
void PrintTo(const CollapseCase& c, std::ostream* os) { *os << '"' << c.path << "\" " << c.removeTrailing; }

class CollapseBackslashesCase : public testing::TestWithParam<CollapseCase> {};
TEST_P(CollapseBackslashesCase, LeavesSingleSeparators)
{
    EXPECT_EQ(CollapseBackslashes(GetParam().path, GetParam().removeTrailing), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Paths, CollapseBackslashesCase, testing::Values(
    CollapseCase{"C:\\a\\\\b", false, "C:\\a\\b"},
    CollapseCase{"C:\\a\\\\\\\\b\\\\c", false, "C:\\a\\b\\c"},
    CollapseCase{"C:\\\\a", false, "C:\\a"},
    CollapseCase{"\\\\srv\\\\share", false, "\\\\srv\\share"}, // the UNC pair stays
    CollapseCase{"\\\\\\srv", false, "\\\\srv"},
    CollapseCase{"C:\\a\\", true, "C:\\a"},
    CollapseCase{"C:\\a\\\\", false, "C:\\a\\\\"},        // the last pair is never looked at
    CollapseCase{"C:\\a\\\\", true, "C:\\a\\"},
    CollapseCase{"ab", false, "ab"},
    CollapseCase{"\\", true, ""}));

TEST(PathText, RemoveTrailingBackslash)
{
    EXPECT_EQ(RemoveTrailingBackslash("\\"), "");
    EXPECT_EQ(RemoveTrailingBackslash("C:\\"), "C:");
    EXPECT_EQ(RemoveTrailingBackslash("C:\\x\\"), "C:\\x");
    EXPECT_EQ(RemoveTrailingBackslash("C:\\x"), "C:\\x");
    EXPECT_EQ(RemoveTrailingBackslash(""), "");
}

TEST(PathText, FileNameOf)
{
    EXPECT_EQ(FileNameOf("C:\\a\\b.exe"), "b.exe");
    EXPECT_EQ(FileNameOf("C:/a/b.exe"), "b.exe");
    EXPECT_EQ(FileNameOf("C:b.exe"), "b.exe");
    EXPECT_EQ(FileNameOf("b.exe"), "b.exe");
    EXPECT_EQ(FileNameOf("C:\\a\\"), "");
}

} // namespace
