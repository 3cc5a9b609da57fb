#include "Errors.h"
#include "Parser.h"
#include "Printer.h"

#include <gtest/gtest.h>

namespace kernel {
namespace {

struct ReadCase {
    const char* text;
    const char* expected;   // each statement as target, ":=" and expression, then ":" or ";"
};

std::string Shown(const std::vector<Statement>& statements)
{
    std::string out;
    for (const Statement& s : statements)
        out += (s.target.empty() ? "" : s.target + ":=") + Print(s.expression) + (s.show ? ";" : ":");
    return out;
}

class KernelParserReads : public testing::TestWithParam<ReadCase> {};

TEST_P(KernelParserReads, Statements)
{
    EXPECT_EQ(Shown(ParseStatements(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, KernelParserReads, testing::Values(
    ReadCase{"x := 1: y := 2;", "x:=1:y:=2;"},
    ReadCase{"1+2*3;", "1+2*3;"},
    ReadCase{"(1+2)*3;", "(1+2)*3;"},
    ReadCase{"-2^2;", "-2^2;"},
    ReadCase{"a-b-c;", "a-b-c;"},
    ReadCase{"a-(b-c);", "a-(b-c);"},
    ReadCase{"1.5e3; .5; 2.; 1E-2; 7;", "1500.;0.5;2.;0.01;7;"},
    ReadCase{"2*I; true;", "2*I;true;"},
    ReadCase{"_zzreal := \"a \\\"b\\\"\";", "_zzreal:=\"a \\\"b\\\"\";"},
    ReadCase{"LinearAlgebra[Dimension](v);", "LinearAlgebra[Dimension](v);"},
    ReadCase{"[1, [2, 3]][2];", "[1, [2, 3]][2];"},
    ReadCase{"`a b` := 1;", "a b:=1;"},      // the quotes are not part of the name
    ReadCase{";;x; # a comment\n:", "x;"},
    ReadCase{"", ""}));

struct SyntaxCase {
    const char* text;
    std::size_t offset;
};

class KernelParserRefuses : public testing::TestWithParam<SyntaxCase> {};

TEST_P(KernelParserRefuses, AtTheOffsetWhereReadingStopped)
{
    try {
        ParseStatements(GetParam().text);
        FAIL() << "no syntax error";
    } catch (const SyntaxError& e) {
        EXPECT_EQ(e.offset, GetParam().offset) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, KernelParserRefuses, testing::Values(
    SyntaxCase{"x := ;", 5},
    SyntaxCase{"1 +* 2;", 3},
    SyntaxCase{"x := 1", 6},          // no terminator
    SyntaxCase{"x := 3 4;", 7},
    SyntaxCase{"f(1,;", 4},
    SyntaxCase{"a := \"open;", 5},
    SyntaxCase{"a ? b;", 2},
    SyntaxCase{"99999999999999999999;", 0},
    SyntaxCase{"x := 1: y := );", 13}));

TEST(KernelParser, RefusesExpressionsTooDeepForTheStack)
{
    EXPECT_THROW(ParseStatements(std::string(600, '(') + "1" + std::string(600, ')') + ";"), SyntaxError);
    std::string chain = "1";
    for (int i = 0; i < 600; ++i)
        chain += "+1";
    EXPECT_THROW(ParseStatements(chain + ";"), SyntaxError);
    EXPECT_NO_THROW(ParseStatements(std::string(100, '(') + "1" + std::string(100, ')') + ";"));
}

}
}
