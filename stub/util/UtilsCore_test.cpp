#include "UtilsCore.h"

#include <gtest/gtest.h>

namespace {

TEST(UtilsCoreRegistry, SplitPath)
{
    const struct {
        const char* path;
        RegRoot root;
        const char* subkey;
    } cases[] = {
        {"hklm\\Software\\X", RegRoot::LocalMachine, "Software\\X"},
        {"Software\\X", RegRoot::CurrentUser, "Software\\X"},
        {"HKXX\\Y", RegRoot::CurrentUser, "Y"},
        {"HKLM", RegRoot::LocalMachine, ""},
        {"  HKEY_CLASSES_ROOT\\.txt  ", RegRoot::ClassesRoot, ".txt"},
        {"HKEY_USERS\\.DEFAULT", RegRoot::Users, ".DEFAULT"},
        {"hkcc\\System", RegRoot::CurrentConfig, "System"},
        {"HKEY_DYN_DATA\\PerfStats", RegRoot::DynData, "PerfStats"},
        {"HKU\\S-1\\Software", RegRoot::Users, "S-1\\Software"},
        {"", RegRoot::CurrentUser, ""},
    };
    for (const auto& c : cases) {
        const RegPath p = RegSplitPath(c.path);
        EXPECT_EQ(p.root, c.root) << c.path;
        EXPECT_EQ(p.subkey, c.subkey) << c.path;
    }
}

TEST(UtilsCoreRegistry, RootNames)
{
    EXPECT_EQ(RegRootFromName("HKEY_CURRENT_USER"), RegRoot::CurrentUser);
    EXPECT_EQ(RegRootFromName("hkey_local_machine"), RegRoot::LocalMachine);
    EXPECT_EQ(RegRootFromName("HKCR"), RegRoot::ClassesRoot);
    EXPECT_EQ(RegRootFromName("HKEY_LOCAL"), RegRoot::CurrentUser);
}

std::string Bytes(std::initializer_list<unsigned char> b) { return std::string(b.begin(), b.end()); }

TEST(UtilsCoreRegistry, ValueTexts)
{
    const struct {
        std::uint32_t type;
        std::string data, text;
    } cases[] = {
        {RegTypeDword, Bytes({0xFF, 0xFF, 0xFF, 0xFF}), "4294967295"},
        {RegTypeDword, Bytes({0x2A, 0, 0, 0}), "42"},
        {RegTypeDword, Bytes({0x41, 0x42, 0}), "AB"},               // wrong size: read as bytes
        {RegTypeMultiText, std::string("a\0b\0\0", 5), "a<0>b"},
        {RegTypeMultiText, std::string("\0\0", 2), ""},
        {RegTypeMultiText, std::string("abc\0\0\0\0", 7), "abc"},
        {RegTypeMultiText, std::string("\0\0\0", 3), ""},
        {1, std::string("text\0rest", 9), "text"},
        {1, "no terminator", "no terminator"},
        {3, "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RegValueText(c.type, c.data), c.text) << c.text;
}

TEST(UtilsCore, WindowsVersionKey)
{
    EXPECT_EQ(WindowsVersionKey(true), "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    EXPECT_EQ(WindowsVersionKey(false), "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
}

TEST(UtilsCore, PumpSteps)
{
    const struct {
        std::uint32_t step;
        std::int64_t total;
        std::uint32_t expected;
    } cases[] = {
        {0, 100, 10}, {0, 5, 1}, {0, 1000, 25}, {0, 0, 1}, {0, 249, 24}, {7, 100, 7}, {500, 10, 500},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PumpStepMs(c.step, c.total), c.expected) << c.step << " " << c.total;
}

TEST(UtilsCore, CenteredStart)
{
    EXPECT_EQ(CenteredStart(0, 1280, 280), 500);
    EXPECT_EQ(CenteredStart(40, 1000, 301), 389);
    EXPECT_EQ(CenteredStart(0, 1280, 1300), -10);   // wider than the room: left of it
    EXPECT_EQ(CenteredStart(0, 1280, 1281), 0);     // -1 / 2 truncates toward zero
    EXPECT_EQ(CenteredStart(10, 100, 103), 9);
}

} // namespace
