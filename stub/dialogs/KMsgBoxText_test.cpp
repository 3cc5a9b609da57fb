#include "KMsgBoxText.h"

#include <gtest/gtest.h>

namespace {

struct MarkupCase {
    const char* markup;
    const char* plain;
    std::vector<BoldRange> bold;
};

void PrintTo(const MarkupCase& c, std::ostream* out) { *out << '"' << c.markup << '"'; }

class MarkupTest : public testing::TestWithParam<MarkupCase> {};

TEST_P(MarkupTest, GivesPlainTextAndBoldRanges)
{
    const PlainText plain = MarkupToPlain(GetParam().markup);
    EXPECT_EQ(plain.text, GetParam().plain);
    EXPECT_EQ(plain.bold, GetParam().bold);
}

INSTANTIATE_TEST_SUITE_P(Markup, MarkupTest, testing::Values(
    MarkupCase{"<b>Error</b>", "Error", {{0, 5}}},
    MarkupCase{"a</B>b<B>c</B>", "abc", {}},
    MarkupCase{"x<B>bold</b> and <b>more</B>!", "xbold and more!", {{1, 5}, {10, 14}}},
    MarkupCase{"<B>open", "open", {}},
    MarkupCase{"<B></B>x", "x", {}},
    // Nested runs: each range still covers its own characters once the inner tags are gone.
    MarkupCase{"<B>a<B>b</B>c</B>d", "abcd", {{0, 2}, {1, 3}}},
    MarkupCase{"<B>a</B>b</B>c<B>d</B>", "abcd", {{0, 1}}},
    // Offsets count CR LF as two characters.
    MarkupCase{"line<P><B>two</B>", "line\r\ntwo", {{6, 9}}},
    MarkupCase{"a<p>b<T>c<t>d", "a\r\nb\tc\td", {}},
    MarkupCase{"a\\\\nb\\\\tc", "a\r\nb\tc", {}},
    MarkupCase{"a\\nb\\\\Nc", "a\\nb\\\\Nc", {}},
    MarkupCase{"<<b>HEAD</b>", "HEAD", {{0, 4}}},
    MarkupCase{"<<B>x", "<x", {}},
    MarkupCase{"<DRIVE> is full", "<DRIVE> is full", {}},
    MarkupCase{"", "", {}}));

TEST(MsgBoxHeader, UpperCasesOnlyTheBuiltInCaptions)
{
    EXPECT_EQ(WithCaptionHeader("Disk full", "Error"), "<<b>ERROR</b><P><P>Disk full<P>");
    EXPECT_EQ(WithCaptionHeader("t", "Update"), "<<b>Update</b><P><P>t<P>");
    EXPECT_EQ(WithCaptionHeader("t", "error"), "<<b>error</b><P><P>t<P>");
    EXPECT_EQ(WithCaptionHeader("t", "Err"), "<<b>ERR</b><P><P>t<P>");
    EXPECT_EQ(WithCaptionHeader("t", ""), "<<b></b><P><P>t<P>");
    const PlainText plain = MarkupToPlain(WithCaptionHeader("Disk full", "Error"));
    EXPECT_EQ(plain.text, "ERROR\r\n\r\nDisk full\r\n");
    ASSERT_EQ(plain.bold.size(), 1u);
    EXPECT_EQ(plain.bold[0].end, 5);
}

// Ten pixels per character stand in for the font.
int TenPerChar(std::string_view line) { return static_cast<int>(line.size()) * 10; }

struct MeasureCase {
    std::string plain;
    int width, height;
};

class MeasureTest : public testing::TestWithParam<MeasureCase> {};

TEST_P(MeasureTest, WidestLineAndRows)
{
    const TextSize size = MeasurePlainText(GetParam().plain, 13, TenPerChar);
    EXPECT_EQ(size.width, GetParam().width);
    EXPECT_EQ(size.height, GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(Lines, MeasureTest, testing::Values(
    MeasureCase{"", 20, 13},                        // measured as one blank
    MeasureCase{"abc", 40, 13},
    MeasureCase{"abc\r\nabcdefg", 80, 26},
    MeasureCase{"abc\r\n", 40, 13},                 // a final line break adds no line
    MeasureCase{"a\r\n\r\nb", 20, 39},              // an empty line inside counts
    MeasureCase{std::string(200, 'x'), 600, 52},    // 2,000 pixels: four rows, width capped
    MeasureCase{std::string(59, 'x'), 600, 13},
    MeasureCase{std::string(60, 'x'), 600, 26}));

TEST(MsgBoxMeasure, LineHeight)
{
    EXPECT_EQ(MsgBoxLineHeight(13, 0, "Tahoma"), 13);
    EXPECT_EQ(MsgBoxLineHeight(12, 2, " ms pgothic "), 15);
}

struct ButtonSetCase {
    std::uint32_t flags;
    std::vector<int> fields, results;
};

class ButtonSetTest : public testing::TestWithParam<ButtonSetCase> {};

TEST_P(ButtonSetTest, FieldsAndResults)
{
    std::vector<int> fields, results;
    for (const BoxButton& b : ButtonSetOf(GetParam().flags)) {
        fields.push_back(b.textField);
        results.push_back(b.result);
    }
    EXPECT_EQ(fields, GetParam().fields);
    EXPECT_EQ(results, GetParam().results);
}

INSTANTIATE_TEST_SUITE_P(Sets, ButtonSetTest, testing::Values(
    ButtonSetCase{0x10, {0}, {1}},
    ButtonSetCase{0x21, {0, 1}, {1, 2}},
    ButtonSetCase{0x2, {4, 5, 6}, {3, 4, 5}},
    ButtonSetCase{0x3, {2, 3, 1}, {6, 7, 2}},
    ButtonSetCase{0x24, {2, 3}, {6, 7}},
    ButtonSetCase{0x5, {5, 1}, {4, 2}},
    ButtonSetCase{0x6, {}, {}}));

TEST(MsgBoxFlags, DefaultButtonIsTakenModuloTheCount)
{
    EXPECT_EQ(DefaultButtonIndex(0x503, 3), 2);
    EXPECT_EQ(DefaultButtonIndex(0x100, 2), 1);
    EXPECT_EQ(DefaultButtonIndex(0x200, 1), 0);
    EXPECT_EQ(DefaultButtonIndex(0x100, 0), -1);
}

TEST(MsgBoxFlags, HeadingModeAndCharset)
{
    EXPECT_EQ(EffectiveBoxFlags(0x24, 1, 0), 0x24u);
    EXPECT_EQ(EffectiveBoxFlags(0x24, 2, 1), 0x24u | BoxNoClose);
    EXPECT_EQ(EffectiveBoxFlags(0, 0, 177), BoxRight | BoxRtlReading);
    EXPECT_EQ(EffectiveBoxFlags(0, 0, 178), BoxRight | BoxRtlReading);
    EXPECT_EQ(EffectiveBoxFlags(0, 0, 161), 0u);
}

TEST(MsgBoxFlags, Icons)
{
    EXPECT_EQ(BoxIconId(0x10), 32513);
    EXPECT_EQ(BoxIconId(0x24), 32514);
    EXPECT_EQ(BoxIconId(0x30), 32515);
    EXPECT_EQ(BoxIconId(0x40), 32516);
    EXPECT_EQ(BoxIconId(0x50), 0);
    EXPECT_EQ(BoxIconId(0), 0);
}

struct WindowSizeCase {
    int rw, rh, width, height;
};

class WindowSizeTest : public testing::TestWithParam<WindowSizeCase> {};

TEST_P(WindowSizeTest, MarginsAndMinimum)
{
    const TextSize size = BoxWindowSize(GetParam().rw, GetParam().rh, FrameMetrics{4, 4, 19});
    EXPECT_EQ(size.width, GetParam().width);
    EXPECT_EQ(size.height, GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WindowSizeTest, testing::Values(
    WindowSizeCase{100, 13, 360, 13 + 36 + 90 + 8 + 19},        // 64-pixel margins, 360 minimum
    WindowSizeCase{199, 38, 199 + 54 + 128 + 8, 38 + 36 + 90 + 27},
    WindowSizeCase{200, 39, 360, 39 + 36 + 64 + 27},
    WindowSizeCase{610, 52, 610 + 54 + 64 + 8, 52 + 36 + 64 + 27}));

TEST(MsgBoxLayout, ControlAndButtons)
{
    const ControlPlace place = TextControlPlace(400, 150, 100, 26);
    EXPECT_EQ(place.x, 54 + (400 - 54 - 100) / 2);
    EXPECT_EQ(place.y, (150 - 36 - 26) / 2);
    EXPECT_EQ(place.height, 150 - place.y - 39);
    EXPECT_EQ(ButtonLeft(2, 3, 400), 320);
    EXPECT_EQ(ButtonLeft(1, 3, 400), 250);
    EXPECT_EQ(ButtonLeft(0, 3, 400), 180);
    EXPECT_EQ(ButtonLeft(0, 1, 400), 320);
    EXPECT_EQ(ButtonTop(150), 121);
}

const std::vector<std::string> OkCancel{"&OK", "&Cancel"};
const std::vector<std::string> SameLetters{"&Yes", "Y&es", "Yes"};

TEST(MsgBoxKeys, AltCharacterPicksTheLeftmostMatch)
{
    EXPECT_EQ(AltCharButton(OkCancel, 'o'), 0);
    EXPECT_EQ(AltCharButton(OkCancel, 'C'), 1);
    EXPECT_EQ(AltCharButton(OkCancel, 'x'), -1);
    // The second character, whether or not "&" leads: "Y&es" has "&", "Yes" has "e".
    EXPECT_EQ(AltCharButton(SameLetters, 'e'), 2);
    EXPECT_EQ(AltCharButton(SameLetters, 'y'), 0);
}

TEST(MsgBoxKeys, LetterKeyPicksTheRightmostMatch)
{
    EXPECT_EQ(LetterKeyButton(OkCancel, 'C'), 1);
    EXPECT_EQ(LetterKeyButton(OkCancel, 'O'), 0);
    EXPECT_EQ(LetterKeyButton(OkCancel, 'Q'), -1);
    EXPECT_EQ(LetterKeyButton(SameLetters, 'Y'), 2);
    EXPECT_EQ(LetterKeyButton(SameLetters, 'E'), 1);
    // Key codes that only upper-case to a letter (the numeric keypad's 0x61 is "a") are no letters.
    EXPECT_EQ(LetterKeyButton({"&Abort"}, 0x61), -1);
    EXPECT_EQ(LetterKeyButton({"", "&"}, 'A'), -1);
}

TEST(MsgBoxKeys, FocusWraps)
{
    EXPECT_EQ(MovedFocus(0, 3, true), 1);
    EXPECT_EQ(MovedFocus(2, 3, true), 0);
    EXPECT_EQ(MovedFocus(0, 3, false), 2);
    EXPECT_EQ(MovedFocus(-1, 3, false), 2);
    EXPECT_EQ(MovedFocus(-1, 3, true), 0);
    EXPECT_EQ(MovedFocus(-1, 0, true), -1);
}

} // namespace
