#include "Utils.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(UtilsSearch, Positions)
{
    EXPECT_EQ(PosIgnoreCase("bc", "aBCd"), 2u);
    EXPECT_EQ(PosIgnoreCase("x", "abc"), 0u);
    EXPECT_EQ(PosIgnoreCase("", "abc"), 0u);
    EXPECT_EQ(PosFrom("a", "abca", 2, false), 4u);
    EXPECT_EQ(PosFrom("A", "abca", 0, true), 1u);
    EXPECT_EQ(PosFrom("A", "abca", 2, false), 0u);
    EXPECT_EQ(PosFrom("a", "abca", 5, false), 0u);   // text shorter than start
    EXPECT_EQ(LastPos("ab", "abxab"), 4u);
    EXPECT_EQ(LastPos("q", "abxab"), 0u);
}

TEST(UtilsSearch, HeadsTailsAndTrimmedComparison)
{
    EXPECT_TRUE(StartsWith("ab", "ABC", true));
    EXPECT_FALSE(StartsWith("ab", "ABC", false));
    EXPECT_FALSE(StartsWith("abcd", "abc", true));
    EXPECT_TRUE(EndsWith(".EXE", "setup.exe", true));
    EXPECT_FALSE(EndsWith(".EXE", "setup.exe", false));
    EXPECT_FALSE(EndsWith("long tail", "tail", true));
    EXPECT_TRUE(SameTextTrimmed("  Setup ", "setup"));
    EXPECT_FALSE(SameTextTrimmed("set up", "setup"));
}

TEST(UtilsSearch, TextBeforeAndAfter)
{
    EXPECT_EQ(TextBefore("12:34:56", ":", "d"), "12");
    EXPECT_EQ(TextAfter("12:34:56", ":", "d"), "34:56");
    EXPECT_EQ(TextBefore("1234", ":", "d"), "d");
    EXPECT_EQ(TextAfter("1234", ":", "d"), "d");
    EXPECT_EQ(TextAfter("1234:", ":", "d"), "");
}

struct ReplaceCase {
    const char* text;
    const char* find;
    const char* replacement;
    int first, last;
    const char* expected;
};

class UtilsReplace : public testing::TestWithParam<ReplaceCase> {};

TEST_P(UtilsReplace, ReplacesChosenOccurrences)
{
    const ReplaceCase& c = GetParam();
    EXPECT_EQ(ReplaceText(c.text, c.find, c.replacement, c.first, c.last), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Occurrences, UtilsReplace, testing::Values(
    ReplaceCase{"aaa", "a", "aa", 0, 0, "aaaaaa"},           // replacements are never searched again
    ReplaceCase{"a-a-a-a", "a", "X", 0, 0, "X-X-X-X"},
    ReplaceCase{"a-a-a-a", "a", "X", 2, 0, "a-X-a-a"},       // only the 2nd
    ReplaceCase{"a-a-a-a", "a", "X", 0, 2, "X-X-a-a"},       // the first two
    ReplaceCase{"a-a-a-a", "a", "X", 1, 2, "X-X-a-a"},
    ReplaceCase{"a-a-a-a", "a", "X", 2, 3, "a-X-X-a"},
    ReplaceCase{"a-a-a", "a", "bbb", 2, 2, "a-bbb-a"},       // skipped occurrences keep positions
    ReplaceCase{"abc", "x", "y", 0, 0, "abc"},
    ReplaceCase{"abc", "", "y", 0, 0, "abc"},
    ReplaceCase{"Abc", "a", "y", 0, 0, "Abc"}));              // letter case matters

TEST(UtilsReplace, IgnoringCase)
{
    EXPECT_EQ(ReplaceTextIgnoreCase("one<P>two<p>three", "<p>", "\r\n"), "one\r\ntwo\r\nthree");
    EXPECT_EQ(ReplaceTextIgnoreCase("xAx", "a", "bb", 1, 1), "xbbx");
}

TEST(UtilsReplace, CharactersAndReverse)
{
    EXPECT_EQ(ReplaceChar("a/b/c", '/', '\\'), "a\\b\\c");
    EXPECT_EQ(ReplaceChar("abc", 'a', 'a'), "abc");
    EXPECT_EQ(ReverseText("abc"), "cba");
    EXPECT_EQ(ReverseText(""), "");
}

struct UnquoteCase {
    const char* text;
    bool force, once;
    const char* expected;
};

class UtilsUnquote : public testing::TestWithParam<UnquoteCase> {};

TEST_P(UtilsUnquote, StripsQuotes)
{
    const UnquoteCase& c = GetParam();
    EXPECT_EQ(UnquoteText(c.text, '"', c.force, c.once), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, UtilsUnquote, testing::Values(
    UnquoteCase{"\"", false, false, ""},
    UnquoteCase{"\"abc\"", false, false, "abc"},
    UnquoteCase{"\"abc", false, false, "\"abc"},         // one side only, not forced
    UnquoteCase{"\"abc", true, false, "abc"},
    UnquoteCase{"\"\"abc\"\"", false, false, "abc"},
    UnquoteCase{"\"\"abc\"\"", false, true, "\"abc\""},
    UnquoteCase{"\"\"", false, false, ""},
    UnquoteCase{"abc", true, false, "abc"}));

TEST(UtilsShaping, DequoteTrimsFirst)
{
    EXPECT_EQ(DequoteText("  \"C:\\Program Files\\x.exe\"  ", false), "C:\\Program Files\\x.exe");
    EXPECT_EQ(DequoteText(" \"open ", false), "\"open");
    EXPECT_EQ(DequoteText(" \"open ", true), "open");
}

TEST(UtilsShaping, SmallTexts)
{
    EXPECT_EQ(IfThenText(true, "a", "b"), "a");
    EXPECT_EQ(IfThenText(false, "a", "b"), "b");
    EXPECT_EQ(BoolText(true), "TRUE");
    EXPECT_EQ(BoolText(false), "FALSE");
    EXPECT_EQ(Trim(" \t ab c \r\n"), "ab c");
}

TEST(UtilsShaping, Padding)
{
    EXPECT_EQ(PadLeft("7", 5, ' '), "    7");
    EXPECT_EQ(PadLeft("abcdef", -4, ' '), "abc.");
    EXPECT_EQ(PadLeft("abc", -4, '*'), "*abc");
    EXPECT_EQ(PadLeft("abcdef", 4, ' '), "abcdef");
    EXPECT_EQ(PadLeft("abcdef", -2, ' '), "abcdef");
    EXPECT_EQ(ZeroPad("42", 4), "0042");
    EXPECT_EQ(IntToZeroPadded(5, 2), "05");
    EXPECT_EQ(IntToZeroPadded(123, 2), "123");
}

TEST(UtilsShaping, ThousandsSeparators)
{
    EXPECT_EQ(InsertThousandsSeparators("1234567"), "1,234,567");
    EXPECT_EQ(InsertThousandsSeparators("1234.5"), "1,234.5");
    EXPECT_EQ(InsertThousandsSeparators("123"), "123");
    EXPECT_EQ(InsertThousandsSeparators("1234"), "1,234");
    EXPECT_EQ(InsertThousandsSeparators("123456.75"), "123,456.75");
    EXPECT_EQ(InsertThousandsSeparators(""), "");
}

TEST(UtilsShaping, FormatSize)
{
    EXPECT_EQ(FormatSize(1025, 1024, false, false), "2");
    EXPECT_EQ(FormatSize(1025, 1024, true, false), "1.0");
    EXPECT_EQ(FormatSize(1024, 1024, false, false), "1");
    EXPECT_EQ(FormatSize(0, 1024, true, false), "0.0");
    EXPECT_EQ(FormatSize(0, 1048576, false, false), "0");
    EXPECT_EQ(FormatSize(1264200000, 1048576, true, true), "1,205.6");
    EXPECT_EQ(FormatSize(5000LL * 1048576, 1048576, false, true), "5,000");
}

TEST(UtilsNumbers, DecimalParsing)
{
    EXPECT_EQ(StrToInt64Def("-42", 7), -42);
    EXPECT_EQ(StrToInt64Def("+42", 7), 42);
    EXPECT_EQ(StrToInt64Def("9223372036854775807", 7), INT64_MAX);
    EXPECT_EQ(StrToInt64Def("-9223372036854775808", 7), INT64_MIN);
    EXPECT_EQ(StrToInt64Def("9223372036854775808", 7), 7);
    for (const char* bad : {"", "-", "TRUE", "12a", " 12", "1.5"})
        EXPECT_EQ(StrToInt64Def(bad, 7), 7) << bad;
    EXPECT_EQ(StrToIntDef("2147483648", 3), 3);
    EXPECT_EQ(StrToIntDef("-2147483648", 3), INT32_MIN);
}

TEST(UtilsRandom, StaysInRangeAndDiffersWithinOneTick)
{
    std::set<std::int64_t> seen;
    for (int i = 0; i < 200; ++i) {
        const std::int64_t v = RandomInRange(10, 20);
        EXPECT_GE(v, 10);
        EXPECT_LE(v, 20);
        seen.insert(v);
    }
    EXPECT_GT(seen.size(), 5u);
    // Two wide draws in immediate succession (one clock tick) must not repeat.
    EXPECT_NE(RandomInRange(0, INT64_MAX - 1), RandomInRange(0, INT64_MAX - 1));
    EXPECT_EQ(RandomInRange(5, 5), 5);
    EXPECT_EQ(RandomText(3, 3), "3");
}

TEST(UtilsDates, Texts)
{
    const TDateTime t = EncodeDateTime({2013, 3, 5, 14, 5, 9});
    EXPECT_EQ(DateText(t), "05-MAR-2013");
    EXPECT_EQ(DateTimeText(t), "05-MAR-2013 14:05:09");
    // Wine's default user locale and the "C" locale both separate with "/" and ":".
    EXPECT_EQ(ShortDateTimeText(t), "05/03/13 14:05:09");
    EXPECT_EQ(ShortDateTimeText(t, true), "05/03/2013 14:05:09");
    EXPECT_EQ(DateText(EncodeDateTime({1999, 12, 31, 0, 0, 0})), "31-DEC-1999");
}

TEST(UtilsDates, EpochAndRoundTrip)
{
    EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 30, 0, 0, 0}), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({1970, 1, 1, 12, 0, 0}), 25569.5);
    const DateTimeParts p = DecodeDateTime(EncodeDateTime({2024, 2, 29, 23, 59, 59}));
    EXPECT_EQ(p.year, 2024);
    EXPECT_EQ(p.month, 2);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 23);
    EXPECT_EQ(p.minute, 59);
    EXPECT_EQ(p.second, 59);
    // 23:59:59.9996 rounds into the next day, not to second 60.
    EXPECT_EQ(DateTimeText(EncodeDateTime({2013, 3, 5, 23, 59, 59}) + 0.9996 / 86400), "06-MAR-2013 00:00:00");
}

TEST(UtilsDates, NowIsAfter2020)
{
    EXPECT_GT(LocalNow(), EncodeDateTime({2020, 1, 1, 0, 0, 0}));
}

TEST(UtilsHex, ParsingAndDumping)
{
    EXPECT_EQ(ParseBase(" ff ", 16), 255);
    EXPECT_EQ(ParseBase("777", 8), 511);
    EXPECT_EQ(ParseBase("G", 16), -1);    // outside the table counts as -1
    EXPECT_EQ(HexToInt("0x1A"), 26);
    EXPECT_EQ(HexToInt("0X1a"), 26);
    EXPECT_EQ(HexToInt("1A"), 26);
    EXPECT_EQ(HexDump("\x01\xAB", false, false), "01AB");
    EXPECT_EQ(HexDump("\x01\xAB", true, true), "0x01 0xAB ");
    EXPECT_EQ(HexDump(std::string(9, '\0'), true, false), "00 00 00 00 00 00 00 00  00 ");
    EXPECT_EQ(HexToText("41424"), "AB");  // a final single digit is ignored
    EXPECT_EQ(HexToText("ff00"), std::string("\xFF\0", 2));
}

TEST(UtilsScramble, RoundTripsForEveryKey)
{
    const std::string texts[] = {"x", "Token 1234", std::string("\0\xFF\x80 binary", 10), std::string(300, 'z')};
    for (const std::string& text : texts)
        for (int i = 0; i < 50; ++i) {
            const std::string encoded = ScrambleText(text, true, false);
            ASSERT_EQ(encoded.substr(0, 12), "Scrambled=01");
            const int key = static_cast<unsigned char>(encoded[12]);
            EXPECT_GE(key, 33);
            EXPECT_LE(key, 122);
            EXPECT_EQ(ScrambleText(encoded, false, false), text);
            const std::string hex = ScrambleText(text, true, true);
            EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
            EXPECT_EQ(ScrambleText(hex, false, true), text);
        }
}

TEST(UtilsScramble, KnownBytes)
{
    // Key 65 ("A"): byte 1 XOR 66, byte 2 XOR (2 - 65) & 255 = 193, byte 3 XOR 68.
    const std::string encoded = std::string("Scrambled=01A") + char('a' ^ 66) + char('b' ^ 193) + char('c' ^ 68);
    EXPECT_EQ(ScrambleText(encoded, false, false), "abc");
    EXPECT_EQ(ScrambleTextWithKey("abc", 65), encoded);
    EXPECT_EQ(ScrambleTextWithKey(encoded, 70), encoded);  // already carries the marker
}

TEST(UtilsScramble, LeavesWrongDirectionUnchanged)
{
    EXPECT_EQ(ScrambleText("", true, false), "");
    EXPECT_EQ(ScrambleText("plain", false, false), "plain");
    EXPECT_EQ(ScrambleText("Scrambled=01Axyz", true, false), "Scrambled=01Axyz");
    EXPECT_EQ(ScrambleText("Scrambled=01", false, false), "");  // a bare marker carries no key
}

struct ParameterCase {
    const char* commandLine;
    const char* delimitedKey;
    const char* expected;
};

class UtilsParameterList : public testing::TestWithParam<ParameterCase> {};

TEST_P(UtilsParameterList, ReadsKey)
{
    const ParameterCase& c = GetParam();
    EXPECT_EQ(ParameterListValueIn(c.commandLine, c.delimitedKey, "dflt"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, UtilsParameterList, testing::Values(
    ParameterCase{"engine.exe /TH_ID=_5 /OriginExe=\"C:\\Program Files\\setup.exe\" /x", "/OriginExe",
                  "C:\\Program Files\\setup.exe"},
    ParameterCase{"engine.exe /originexe=C:\\a.exe", "/OriginExe", "C:\\a.exe"},
    ParameterCase{"engine.exe /OriginExe= /x", "/OriginExe", ""},
    ParameterCase{"engine.exe /x", "/OriginExe", "dflt"},
    ParameterCase{"engine.exe /OriginExe=C:\\a.exe", "", "dflt"}));

TEST(UtilsParameterList, OwnCommandLineNamesThisProgram)
{
    EXPECT_NE(ProgramCommandLine().find("stubtext_test"), std::string::npos) << ProgramCommandLine();
}

#ifdef _WIN32
TEST(UtilsSystem, WindowsUpperCasesAnsiLetters)
{
    EXPECT_EQ(AnsiUpperCase("abc\xE9"), "ABC\xC9");  // e acute in code page 1252
    EXPECT_EQ(PosIgnoreCase("\xC9", "caf\xE9"), 4u);
}
#else
TEST(UtilsSystem, NativeUpperCasesAsciiOnly)
{
    EXPECT_EQ(AnsiUpperCase("abc\xE9"), "ABC\xE9");
}
#endif

} // namespace
