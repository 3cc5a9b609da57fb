#include "BridgeTest.h"

namespace {

// The outputs of mpl_syminfo; every one starts at 77, so that an output left alone shows.
struct Info {
    double kind = 77, code = 77, rows = 77, cols = 77, length = 77, complex = 77;
    bool operator==(const Info&) const = default;
};

void PrintTo(const Info& i, std::ostream* os)
{
    *os << "kind " << i.kind << ", code " << i.code << ", rows " << i.rows << ", cols " << i.cols << ", length "
        << i.length << ", complex " << i.complex;
}

class BridgeSymbols : public BridgeTest {
protected:
    void SetUp() override
    {
        BridgeTest::SetUp();
        OpenKernel();
    }

    Info SymInfo(const std::string& name, int expectedResult = 0)
    {
        Info i;
        EXPECT_EQ(api->mpl_syminfo(&status, name.c_str(), &i.kind, &i.code, &i.rows, &i.cols, &i.length, &i.complex),
                  expectedResult);
        return i;
    }
};

struct SymbolCase {
    const char* statement;
    const char* name;
    Info expected;
};

class BridgeClassCodes : public BridgeSymbols, public testing::WithParamInterface<SymbolCase> {};

TEST_P(BridgeClassCodes, DescribeTheVariable)
{
    api->mpl_exec(&status, GetParam().statement);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(SymInfo(GetParam().name), GetParam().expected);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(boxes.Take(), Boxes{});
}

INSTANTIATE_TEST_SUITE_P(Values, BridgeClassCodes, testing::Values(
    SymbolCase{"x := 2.5:", "x", {6, 0, 1, 1, 0, 0}},
    SymbolCase{"z := 1+2*I:", "z", {6, 0, 1, 1, 0, 1}},
    SymbolCase{"y := a+1:", "y", {5, 0, 1, 1, 0, 0}},
    SymbolCase{"v := vector([1,2,3]):", "v", {6, 11, 3, 1, 0, 0}},
    SymbolCase{"V := Vector[row]([1,2,3,4]):", "V", {6, 12, 4, 1, 0, 0}},
    SymbolCase{"A := matrix([[1,2,3],[4,5,6]]):", "A", {6, 20, 2, 3, 0, 0}},
    SymbolCase{"M := Matrix([[1,I],[2,3]]):", "M", {6, 20, 2, 2, 0, 1}},
    SymbolCase{"S := matrix([[a,b],[1,2]]):", "S", {5, 20, 2, 2, 0, 0}},
    SymbolCase{"s := \"hello\":", "s", {13, 30, 77, 77, 5, 0}},    // rows and columns left alone
    SymbolCase{"e := \"\":", "e", {13, 30, 77, 77, 0, 0}},
    SymbolCase{"A := matrix([[1,2]]): E := A + A:", "E", {6, 40, 1, 2, 0, 0}}));

TEST_F(BridgeSymbols, MatrixExpressionIsReplacedByItsMatrix)
{
    api->mpl_exec(&status, "A := matrix([[1,2]]): E := 2*A:");
    SymInfo("E");
    EXPECT_EQ(Printed("type(E, matrix);"), "true");
    EXPECT_EQ(Printed("evalm(E);"), "matrix([[2, 4]])");
    EXPECT_EQ(SymInfo("E"), (Info{6, 20, 1, 2, 0, 0}));
}

TEST_F(BridgeSymbols, UnknownClassCodeIsAnErrorThatStopsWhatFollows)
{
    api->mpl_exec(&status, "L := [1,2]:");
    EXPECT_EQ(SymInfo("L"), (Info{0, 5, 0, 0, 0, 0}));
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError("mpl_syminfo", "Unrecognized type")});
    EXPECT_EQ(api->mpl_exec(&status, "1;"), 1);
    EXPECT_EQ(boxes.Take(), Boxes{ProgramError});
}

TEST_F(BridgeSymbols, WithoutTheHostLibraryTheProceduresAreMissing)
{
    api->mpl_close(&status);
    OpenKernel(false);
    api->mpl_exec(&status, "x := 1:");
    EXPECT_EQ(SymInfo("x"), Info{});
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError("mpl_syminfo", "`vinfo` is not a known function")});
}

TEST_F(BridgeSymbols, ResultsLandInNrNcAndLen)
{
    api->mpl_exec(&status, "A := matrix([[1,2,3],[4,5,6]]): s := \"abcd\":");
    SymInfo("A");
    EXPECT_EQ(Printed("nc;"), "3");
    EXPECT_EQ(Printed("nr;"), "2");   // rowdim's answer, the last one given to nr
    SymInfo("s");
    EXPECT_EQ(Printed("len;"), "4");
    EXPECT_EQ(Printed("nr;"), "2");   // a string is not asked isNumeric
}

TEST_F(BridgeSymbols, MatrixExpressionNamesMustFitTwiceIntoTheStatement)
{
    for (const std::size_t length : {122u, 123u}) {
        api->mpl_restart(&status);
        const std::string name(length, 'e');
        api->mpl_exec(&status, ("A := matrix([[1]]): " + name + " := A + A:").c_str());
        const Info i = SymInfo(name);
        EXPECT_EQ(i.code, 40);
        EXPECT_EQ(status, length == 122 ? 0 : 1) << length;
        EXPECT_EQ(boxes.Take(), length == 122 ? Boxes{} : Boxes{ComputationError("mpl_syminfo", "Name too long")});
    }
}

}
