#include "PathText.h"

#include <gtest/gtest.h>

namespace {

// Every shaping function here takes a path and a flag.
using PathShaper = std::string (*)(std::string_view, bool);

struct PathCase {
    PathShaper shape;
    const char* name;
    const char* path;
    bool flag;
    const char* expected;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name << "(\"" << c.path << "\", " << c.flag << ")"; }

class PathShaping : public testing::TestWithParam<PathCase> {};
TEST_P(PathShaping, GivesExpectedPath)
{
    const PathCase& c = GetParam();
    EXPECT_EQ(c.shape(c.path, c.flag), c.expected);
}

#define CASE(f, ...) PathCase{f, #f, __VA_ARGS__}

INSTANTIATE_TEST_SUITE_P(FileNames, PathShaping, testing::Values(
    CASE(FileNameWithoutExt, "C:\\x\\setup.tar.gz", false, "setup.tar"),
    CASE(FileNameWithoutExt, "C:\\x\\setup.tar.gz", true, "setup"),
    CASE(FileNameWithoutExt, "C:\\dir.d\\readme", false, "readme"),   // a dot in the folder is no extension
    CASE(FileNameWithoutExt, "setup.exe", false, "setup"),
    CASE(FileNameWithoutExt, "C:setup.exe", false, "setup"),
    CASE(FileNameWithoutExt, "", true, "")));

INSTANTIATE_TEST_SUITE_P(DriveRoots, PathShaping, testing::Values(
    CASE(DriveRootOf, "C:/data/x", false, "C:\\data"),
    CASE(DriveRootOf, "C:/data/x", true, "C:\\"),
    CASE(DriveRootOf, "d:\\data", true, "D:\\"),
    CASE(DriveRootOf, "C:\\data", false, "C:\\data"),   // no separator after the fourth character
    CASE(DriveRootOf, "C:\\", false, "C:\\"),
    CASE(DriveRootOf, "e:", false, "E:\\"),             // shorter than three characters
    CASE(DriveRootOf, "\\\\srv\\share\\x", false, "\\\\srv"),
    CASE(DriveRootOf, "", true, ""),
    CASE(DriveRootOf, "", false, "")));

INSTANTIATE_TEST_SUITE_P(TrailingBackslashes, PathShaping, testing::Values(
    CASE(SetTrailingBackslash, "C:\\", false, "C:"),
    CASE(SetTrailingBackslash, "C:\\", true, "C:\\"),
    CASE(SetTrailingBackslash, "C:\\temp", true, "C:\\temp\\"),
    CASE(SetTrailingBackslash, "C:\\temp\\", true, "C:\\temp\\"),
    CASE(SetTrailingBackslash, "C:\\temp\\", false, "C:\\temp"),
    CASE(SetTrailingBackslash, "C:", true, "C:\\"),
    CASE(SetTrailingBackslash, "a\\", false, "a\\"),             // two characters are never shortened
    CASE(SetTrailingBackslash, "", true, "\\")));

INSTANTIATE_TEST_SUITE_P(DoubledBackslashes, PathShaping, testing::Values(
    CASE(CollapseBackslashes, "C:\\a\\\\b", false, "C:\\a\\b"),
    CASE(CollapseBackslashes, "C:\\a\\\\\\\\b\\\\c", false, "C:\\a\\b\\c"),
    CASE(CollapseBackslashes, "C:\\\\a", false, "C:\\a"),
    CASE(CollapseBackslashes, "\\\\srv\\\\share", false, "\\\\srv\\share"), // the UNC pair stays
    CASE(CollapseBackslashes, "\\\\\\srv", false, "\\\\srv"),
    CASE(CollapseBackslashes, "C:\\a\\", true, "C:\\a"),
    CASE(CollapseBackslashes, "C:\\a\\\\", false, "C:\\a\\\\"),        // the last pair is never looked at
    CASE(CollapseBackslashes, "C:\\a\\\\", true, "C:\\a\\"),
    CASE(CollapseBackslashes, "ab", false, "ab"),
    CASE(CollapseBackslashes, "\\", true, "")));

#undef CASE

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
