#include "SLangId.h"

#include "KSUB.h"
#include "Platform.h"

#include <gtest/gtest.h>

namespace {

TEST(SLangId, TableHoldsFiftyOneEntriesInItsStoredSpelling)
{
    EXPECT_EQ(SUB::Count(SLangId), 51);
    EXPECT_EQ(LanguageNameOf(56), "FAEROESE");
    EXPECT_EQ(LanguageNameOf(3098), "SERBIAN(CYRILIC)");
}

TEST(SLangId, NameOfTheFirstEntryHoldingTheCode)
{
    const std::pair<int, const char*> cases[] = {
        {7, "GERMAN"},
        {9, "ENGLISH"},
        {1, "ARABIC"},
        {26, "CROATIAN"},              // never SERBIAN, which comes later with the same number
        {52, "CHINESE(SIMPLIFIED)"},   // no two-digit entry holds 52, "2052" does
        {10, "SPANISH"},
        {2070, "PORTUGUESE(PORTUGAL)"},
        {0, ""},
        {99, ""},
    };
    for (const auto& [id, name] : cases)
        EXPECT_EQ(LanguageNameOf(id), name) << id;
}

TEST(SLangId, KnowsTheNamesOfTheTable)
{
    for (const char* name : {"English", " german ", "Chinese(Simplified)", "SERBIAN(CYRILIC)"})
        EXPECT_TRUE(IsLanguageName(name)) << name;
    for (const char* name : {"", "Klingon", "Serbian(Cyrillic)", "CHINESE(SIMPLIFIED)  = 2052"})
        EXPECT_FALSE(IsLanguageName(name)) << name;
}

std::string Entry(const std::string& name, const std::string& items)
{
    return "\x01" + name + "\x01" + items + "\x01";
}

std::string Block(std::initializer_list<std::string> entries)
{
    std::string block = "\x02";
    for (const std::string& e : entries)
        block += e + "\x02";
    return block;
}

TEST(SLangId, ChoosesTheUsersEntryThenTheOnlyOneThenEnglish)
{
    const std::string german = Entry("German", "s0=Installation"), english = Entry("English", "s0=Setup"),
                      arabic = Entry("Arabic", "s0=x"), french = Entry("French", "s0=y"),
                      japanese = Entry("Japanese", "s0=z"), spaced = Entry("  eNGLISH ", "s0=w");
    struct Case {
        std::string block;
        int language;
        std::string chosen;
    };
    const Case cases[] = {
        {Block({english, german}), 7, german},
        {Block({arabic, english}), 7, english},   // no entry for the user's language
        {Block({french}), 7, french},             // the only entry, whatever the language
        {Block({japanese}), 9, japanese},
        {Block({german, french}), 9, "*"},        // neither the user's language nor English
        {Block({german, spaced}), 12, spaced},    // names compared trimmed, without letter case
        {Block({german, english}), 99, english},  // a language the table does not know
        {"", 9, "*"},
        {"\x02\x02", 9, "*"},                     // one empty entry
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseLanguageEntryFor(c.block, c.language), c.chosen) << c.language;
}

class SLangIdLocale : public testing::Test {
protected:
    void SetUp() override { saved_ = ThreadLocaleId(); }
    void TearDown() override { SetThreadLocaleId(saved_); }

private:
    std::uint32_t saved_ = 0;
};

TEST_F(SLangIdLocale, UserLanguageComesFromTheThreadLocale)
{
    const std::string block = Block({Entry("English", "s0=a"), Entry("German", "s0=b"), Entry("Croatian", "s0=c")});
    SetThreadLocaleId(0x0407);  // German (Germany)
    EXPECT_EQ(UserPrimaryLanguageId(), 7);
    EXPECT_EQ(ChooseLanguageEntry(block), Entry("German", "s0=b"));
    SetThreadLocaleId(0x041A);  // Croatian (Croatia)
    EXPECT_EQ(UserPrimaryLanguageId(), 26);
    EXPECT_EQ(ChooseLanguageEntry(block), Entry("Croatian", "s0=c"));
}

TEST_F(SLangIdLocale, NoLocaleMeansEnglish)
{
    if (ThreadLocaleId() != 0)
        GTEST_SKIP() << "a Windows thread always has a locale";
    EXPECT_EQ(UserPrimaryLanguageId(), 9);
}

} // namespace
