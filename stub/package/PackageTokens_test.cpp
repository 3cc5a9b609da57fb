#include "PackageTokens.h"

#include "Utils.h"

#include <gtest/gtest.h>

#include <set>

namespace {

bool IsRandomDecimal(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos && std::stoi(text) <= 99998;
}

// Bytes 10 02 02 A9 4B 6A 85 13 worked out by hand: key 0x10 ^ 0x13 = 3, filler lengths 1 and 1,
// one filler byte, "Hi", the sum byte 0x85; every hex digit shifted up by 50.
const char HandMadeToken[] = "cbbdbdskfthsjgce";

TEST(PackageTokens, DescramblesAHandMadeToken)
{
    EXPECT_EQ(DescrambleToken(HandMadeToken), "Hi");
    // Lower-case hex digits read the same.
    std::string lower = "100202a94b6a8513";
    for (char& c : lower)
        c = static_cast<char>(c + 50);
    EXPECT_EQ(DescrambleToken(lower), "Hi");
}

TEST(PackageTokens, ScrambledTokensDescrambleForEverySeed)
{
    const std::string tokens[] = {"", "A", "product-2024-build-0042", std::string("\0\xFF\x80\x01", 4), std::string(300, 't')};
    for (const std::string& token : tokens)
        for (std::uint32_t seed = 0; seed < 200; ++seed) {
            const std::string stored = ScrambleToken(token, seed * 2654435761u);
            ASSERT_EQ(stored.find_first_not_of("bcdefghijkstuvwx"), std::string::npos) << stored;
            ASSERT_EQ(DescrambleToken(stored), token) << "seed " << seed;
        }
}

TEST(PackageTokens, SameSeedSameTextOtherSeedOtherText)
{
    EXPECT_EQ(ScrambleToken("abc", 7), ScrambleToken("abc", 7));
    EXPECT_NE(ScrambleToken("abc", 7), ScrambleToken("abc", 8));
}

TEST(PackageTokens, MalformedTokensGiveRandomDecimalTexts)
{
    std::string badSum = HandMadeToken;
    badSum[2] = 'c';  // one byte changed: the sum byte no longer matches
    const std::string malformed[] = {"", "bbbbbbbb" /* four bytes */, badSum, "not a token at all"};
    for (const std::string& text : malformed)
        EXPECT_TRUE(IsRandomDecimal(DescrambleToken(text))) << text;
}

TEST(PackageTokens, MalformedTokensReadTogetherStillDiffer)
{
    std::set<std::string> seen;
    for (int i = 0; i < 20; ++i)
        seen.insert(DescrambleToken("bbbbbbbb"));
    EXPECT_GT(seen.size(), 1u);
}

TEST(PackageTokens, FillerLengthsBeyondTheEndGiveEmptyText)
{
    // Five bytes 00 05 05 0A 00: key 0, filler lengths 5 and 5 leave no room for a token, and the
    // sum byte 0x0A matches.
    std::string stored = "0005050A00";
    for (char& c : stored)
        c = static_cast<char>(c + 50);
    EXPECT_EQ(DescrambleToken(stored), "");
}

struct InformCase {
    const char* text;
    const char* body;
};

TEST(PackageInform, BodyIsEverythingAfterTheFourthBar)
{
    const InformCase cases[] = {
        {"ignored|tok|f2|f3|Body <B>with</B> | bars|", "Body <B>with</B> | bars|"},
        {"|tok|||", ""},
        {"|tok|f2|f3", ""},  // only three "|"
        {"no bars", ""},
    };
    for (const InformCase& c : cases)
        EXPECT_EQ(SplitInformDocument(c.text).body, c.body) << c.text;
}

TEST(PackageInform, TokenAndBodyRoundTripInBothForms)
{
    for (const bool scrambled : {false, true}) {
        const std::string text = MakeInformDocument("tok-1", "<P>New | version</P>", scrambled, 99);
        EXPECT_EQ(StartsWith("Scrambled=01", text, false), scrambled);
        const InformDocument document = SplitInformDocument(text);
        EXPECT_EQ(document.token, "tok-1");
        EXPECT_EQ(document.body, "<P>New | version</P>");
    }
    const std::string text = "x|" + ScrambleToken("secret", 5) + "|a|b|body";
    EXPECT_EQ(SplitInformDocument(text).token, "secret");
    EXPECT_TRUE(IsRandomDecimal(SplitInformDocument("||||body").token));
}

} // namespace
