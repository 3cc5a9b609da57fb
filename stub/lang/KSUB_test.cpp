#include "KSUB.h"

#include <gtest/gtest.h>

namespace {

struct FieldCase {
    const char* list;
    int index;
    const char* defaultText;
    const char* expected;
};

class SubField : public testing::TestWithParam<FieldCase> {};

TEST_P(SubField, ReadsFieldOrDefault)
{
    const FieldCase& c = GetParam();
    EXPECT_EQ(SUB::Field(c.list, c.index, c.defaultText), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Lists, SubField, testing::Values(
    FieldCase{"|a|b|c|", 0, "x", "a"},
    FieldCase{"|a|b|c|", 2, "x", "c"},
    FieldCase{"|a|b|c|", 3, "x", "x"},
    FieldCase{"|a||c|", 1, "x", "x"},        // empty field gives the default
    FieldCase{"|a|b", 1, "x", "x"},          // field 1 has no closing delimiter
    FieldCase{"|a|b", 0, "", "a"},
    FieldCase{"", 0, "x", "x"},
    FieldCase{" ", 0, "x", "x"},             // a single blank is an empty list
    FieldCase{"| a |b|", 0, "", " a "},      // never trimmed
    FieldCase{"|a|b|", -1, "x", "x"},
    FieldCase{"\x02" "one\x02" "two\x02", 1, "", "two"}));

TEST(SubFields, AllFieldsOfAWellFormedList)
{
    using Fields = std::vector<std::string>;
    EXPECT_EQ(SUB::Fields("|a||c|"), (Fields{"a", "", "c"}));
    EXPECT_EQ(SUB::Fields("\x02" "one\x02" "two\x02"), (Fields{"one", "two"}));
    EXPECT_EQ(SUB::Fields("||"), (Fields{""}));
    EXPECT_EQ(SUB::Fields("|a|b"), Fields{});  // not well formed: no fields, as Count says
    EXPECT_EQ(SUB::Fields(""), Fields{});
}

TEST(SubCount, CountsOnlyWellFormedLists)
{
    EXPECT_EQ(SUB::Count("|a|b|c|"), 3);
    EXPECT_EQ(SUB::Count("||"), 1);
    EXPECT_EQ(SUB::Count("|"), 0);
    EXPECT_EQ(SUB::Count("|a|b"), 0);
    EXPECT_EQ(SUB::Count(""), 0);
    EXPECT_EQ(SUB::Count("*a|b*"), 1);
}

TEST(SubFieldInt, ConvertsDecimalOrGivesDefault)
{
    EXPECT_EQ(SUB::FieldInt("|12|-7|x|", 0, 5), 12);
    EXPECT_EQ(SUB::FieldInt("|12|-7|x|", 1, 5), -7);
    EXPECT_EQ(SUB::FieldInt("|12|-7|x|", 2, 5), 5);
    EXPECT_EQ(SUB::FieldInt("|12|-7|x|", 3, 5), 5);
    EXPECT_EQ(SUB::FieldInt("|99999999999|", 0, 5), 5);
}

struct ValueCase {
    const char* list;
    const char* name;
    const char* defaultText;
    const char* ifEmpty;
    const char* expected;
};

class SubValue : public testing::TestWithParam<ValueCase> {};

TEST_P(SubValue, FindsKeyIgnoringCase)
{
    const ValueCase& c = GetParam();
    EXPECT_EQ(SUB::Value(c.list, c.name, c.defaultText, c.ifEmpty), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Lists, SubValue, testing::Values(
    ValueCase{"|Charset =178|FontSize=8|", "charset", "0", "", "178"},
    ValueCase{"|Charset= 178|", "Charset", "0", "", " 178"},
    ValueCase{"| Charset=5|", "Charset", "0", "", "5"},      // first blank after a delimiter goes
    ValueCase{"|Charset=0|FontSize=8|", "FontSize=", "0", "", "8"},
    ValueCase{"|Charset=0|", "FontName", "Arial", "", "Arial"},
    ValueCase{"|FontName=|", "FontName", "Arial", "Tahoma", "Tahoma"},
    ValueCase{"|FontName=|", "FontName", "Arial", "", ""},
    ValueCase{"||", "a", "dflt", "", "dflt"},                 // two characters
    ValueCase{"|a=1", "a", "dflt", "", "dflt"},               // first and last differ
    ValueCase{"|a=1|a=2|", "A", "", "", "1"},
    ValueCase{"|xa=1|a=2|", "a", "", "", "2"}));              // the key starts at a delimiter

TEST(SubSetField, ReplacesAndGrows)
{
    EXPECT_EQ(SUB::SetField("|a|b|", 3, "z"), "|a|b||z|");
    EXPECT_EQ(SUB::SetField("|a|b|", 1, "z"), "|a|z|");
    EXPECT_EQ(SUB::SetField("", 0, "z"), "|z|");
    EXPECT_EQ(SUB::SetField("/a/b/", 0, "c"), "/c/b/");
}

TEST(SubSetField, ChangesDelimiterWhenTextHoldsIt)
{
    EXPECT_EQ(SUB::SetField("|a|b|", 0, "c|d"), "*c|d*b*");
    EXPECT_EQ(SUB::SetField("|a|b|", 0, "|*^"), "!|*^!b!");
    const std::string all = "|*^!~@#$&\xFF";
    const std::string kept = SUB::SetField("|a|", 0, all);
    EXPECT_EQ(kept, std::string(1, '\0') + all + std::string(1, '\0'));
}

} // namespace
