#include "BridgeTest.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

using Block = std::vector<double>;

class BridgeArrays : public BridgeTest {
protected:
    void SetUp() override
    {
        BridgeTest::SetUp();
        OpenKernel();
    }

    int MatPut(const char* name, Block block, double rows, double cols)
    {
        return api->mpl_matput(&status, name, block.data(), &rows, &cols);
    }

    int MatPutC(const char* name, Block re, Block im, double rows, double cols)
    {
        return api->mpl_matputc(&status, name, re.data(), im.data(), &rows, &cols);
    }

    // Rows and columns that mpl_rtcreate reports, starting from 9 and 9.
    std::pair<double, double> RtCreate(const char* name, double part)
    {
        double rows = 9, cols = 9;
        EXPECT_EQ(api->mpl_rtcreate(&status, name, &rows, &cols, &part), 0);
        return {rows, cols};
    }

    Block MatGet(const char* name, std::size_t count)
    {
        Block block(count, -1);
        EXPECT_EQ(api->mpl_matget(&status, name, block.data()), 0);
        return block;
    }
};

using Dims = std::pair<double, double>;

TEST_F(BridgeArrays, VecputMakesAVectorFromAColumnOrARow)
{
    for (const Dims& d : {Dims{3, 1}, Dims{1, 3}}) {
        Block block = {1, 2, 3};
        double d1 = d.first, d2 = d.second;
        EXPECT_EQ(api->mpl_vecput(&status, "v", block.data(), &d1, &d2), 0);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(Printed("type(v, vector);"), "true");
        EXPECT_EQ(Printed("evalm(v);"), "vector([1., 2., 3.])");
    }
    EXPECT_EQ(boxes.Take(), Boxes{});
}

TEST_F(BridgeArrays, MatputTakesTheBlockColumnByColumn)
{
    EXPECT_EQ(MatPut("m", {1, 2, 3, 4, 5, 6}, 2, 3), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Printed("type(m, matrix);"), "true");
    EXPECT_EQ(Printed("evalm(m);"), "matrix([[1., 3., 5.], [2., 4., 6.]])");
}

TEST_F(BridgeArrays, MatrixComesBackRowByRowThroughZz)
{
    MatPut("m", {1, 2, 3, 4, 5, 6}, 2, 3);
    EXPECT_EQ(RtCreate("m", 0), (Dims{2, 3}));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(MatGet("_zz", 6), (Block{1, 3, 5, 2, 4, 6}));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(RtCreate("m", 1), (Dims{2, 3}));   // the imaginary part of a real matrix
    EXPECT_EQ(MatGet("_zz", 6), Block(6, 0));
    EXPECT_EQ(boxes.Take(), Boxes{});
}

TEST_F(BridgeArrays, ScalarReportsOneByOneAndLeavesZzAlone)
{
    MatPut("m", {7, 8}, 1, 2);
    RtCreate("m", 0);
    double x = 2.5;
    api->mpl_valput(&status, "x", &x);
    EXPECT_EQ(RtCreate("x", 0), (Dims{1, 1}));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(MatGet("_zz", 2), (Block{7, 8}));
}

class BridgePartSelector : public BridgeArrays, public testing::WithParamInterface<double> {};

TEST_P(BridgePartSelector, OnlyExactlyOneSelectsTheImaginaryPart)
{
    MatPutC("c", {1, 2, 3, 4}, {5, 6, 7, 8}, 2, 2);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(RtCreate("c", GetParam()), (Dims{2, 2}));
    EXPECT_EQ(MatGet("_zz", 4), GetParam() == 1 ? (Block{5, 7, 6, 8}) : (Block{1, 3, 2, 4}));
    EXPECT_EQ(status, 0);
}

INSTANTIATE_TEST_SUITE_P(Parts, BridgePartSelector, testing::Values(1.0, 0.0, 2.0, 0.5, -1.0));

struct ExportCase {
    const char* statement;
    const char* name;
    Dims dims;
    Block entries;
};

class BridgeExportsShapes : public BridgeArrays, public testing::WithParamInterface<ExportCase> {};

TEST_P(BridgeExportsShapes, RowsAndColumnsFollowTheSubtype)
{
    const ExportCase& c = GetParam();
    api->mpl_exec(&status, c.statement);
    EXPECT_EQ(RtCreate(c.name, 0), c.dims);
    EXPECT_EQ(MatGet("_zz", c.entries.size()), c.entries);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(boxes.Take(), Boxes{});
}

INSTANTIATE_TEST_SUITE_P(Values, BridgeExportsShapes, testing::Values(
    ExportCase{"V := Vector([1,2,3]):", "V", {3, 1}, {1, 2, 3}},
    ExportCase{"R := Vector[row]([4,5]):", "R", {1, 2}, {4, 5}},
    ExportCase{"v := vector([1/2,2]):", "v", {2, 1}, {0.5, 2}},
    ExportCase{"M := Matrix([[1,2],[3,4]]):", "M", {2, 2}, {1, 2, 3, 4}}));

// A matrix without rows or without columns: the host sizes its block rows x columns, which is
// nothing, so mpl_matget must write nothing. The block has one sentinel element.
TEST_F(BridgeArrays, EmptyMatrixComesBackAsNothing)
{
    for (const auto& [statement, dims] :
         {std::pair{"E := Matrix(2,0):", Dims{2, 0}}, std::pair{"E := Matrix(0,3):", Dims{0, 3}}}) {
        api->mpl_exec(&status, statement);
        EXPECT_EQ(RtCreate("E", 0), dims);
        EXPECT_EQ(MatGet("_zz", 1), Block{-1}) << statement;
        EXPECT_EQ(status, 0);
        EXPECT_EQ(boxes.Take(), Boxes{}) << statement;
    }
}

TEST_F(BridgeArrays, ArrayIsNoMatrix)
{
    api->mpl_exec(&status, "A := Array([[1,2]]):");
    EXPECT_EQ(RtCreate("A", 0), (Dims{0, 0}));
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError("mpl_rtcreate", "A Maple array is not a matrix")});
}

TEST_F(BridgeArrays, ValueThatCannotBeExportedStopsBeforeTheSettings)
{
    api->mpl_exec(&status, "S := matrix([[a,1]]):");
    EXPECT_EQ(RtCreate("S", 0), (Dims{9, 9}));
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError("mpl_rtcreate", "unable to evaluate a in hardware floats")});
}

TEST_F(BridgeArrays, MatgetRefusesWhatHoldsNoHardwareFloats)
{
    for (const char* name : {"M", "x", "unassigned"}) {
        api->mpl_restart(&status);
        api->mpl_exec(&status, "M := Matrix([[1,2]]): x := 1:");
        EXPECT_EQ(MatGet(name, 2), (Block{-1, -1})) << name;
        EXPECT_EQ(status, 1);
        EXPECT_EQ(boxes.Take(), Boxes{ComputationError("mpl_matget", "Not an rtable of hardware floats")}) << name;
    }
}

TEST_F(BridgeArrays, ComplexMatrixGoesOverAsComplexEntries)
{
    EXPECT_EQ(MatPutC("c", {1, 2}, {-1, 0}, 1, 2), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Printed("evalm(c);"), "matrix([[1.-1.*I, 2.+0.*I]])");
}

TEST_F(BridgeArrays, MatputcWithoutAKernelStopsAfterTheFirstPut)
{
    api->mpl_close(&status);
    EXPECT_EQ(MatPutC("c", {1}, {2}, 1, 1), 0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{Warning("Maple must first be initialized.", "mpl_matput")});
}

TEST_F(BridgeArrays, MatputcAfterAnUnclearedErrorRunsNoZip)
{
    MatPutC("c", {1}, {2}, 1, 1);
    api->mpl_exec(&status, "x := ;");
    boxes.Take();
    api->mpl_output(&status, "on", "");
    EXPECT_EQ(MatPutC("c", {3}, {4}, 1, 1), 0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{});
    EXPECT_EQ(ReadFileText(folder.File("magout.txt")), "");   // the zip would have shown its result
}

// Dimensions the bridge refuses before it allocates anything.
struct BadDims {
    double first, second;
    const char* message;
};

class BridgeRefusedDims : public BridgeArrays, public testing::WithParamInterface<BadDims> {};

TEST_P(BridgeRefusedDims, ForVectorsAndMatrices)
{
    const BadDims& c = GetParam();
    double block[4] = {1, 2, 3, 4}, first = c.first, second = c.second;
    EXPECT_EQ(api->mpl_vecput(&status, "v", block, &first, &second), 0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError("mpl_vecput", c.message)});
    api->mpl_restart(&status);
    EXPECT_EQ(api->mpl_matput(&status, "m", block, &first, &second), 0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError("mpl_matput", c.message)});
}

const double Infinity = std::numeric_limits<double>::infinity();
const char* const NotWhole = "Dimensions must be positive whole numbers";

INSTANTIATE_TEST_SUITE_P(Dimensions, BridgeRefusedDims, testing::Values(
    BadDims{0, 3, NotWhole},
    BadDims{3, 0, NotWhole},
    BadDims{-2, 2, NotWhole},
    BadDims{2.5, 1, NotWhole},
    BadDims{1, 1.5, NotWhole},
    BadDims{std::nan(""), 1, NotWhole},
    BadDims{Infinity, 1, NotWhole},
    BadDims{1e10, 1e10, "Dimensions too large"},
    BadDims{4e18, 2, "Dimensions too large"}));

// The longest name each statement buffer takes, and one character more.
struct LongName {
    const char* operation;
    std::size_t longest;
};

class BridgeArrayNames : public BridgeArrays, public testing::WithParamInterface<LongName> {
protected:
    int Call(const std::string& name)
    {
        const std::string op = GetParam().operation;
        double block[1] = {1}, one = 1;
        if (op == "mpl_vecput")
            return api->mpl_vecput(&status, name.c_str(), block, &one, &one);
        if (op == "mpl_matput")
            return MatPut(name.c_str(), {1}, 1, 1);
        if (op == "mpl_matputc")
            return MatPutC(name.c_str(), {1}, {2}, 1, 1);
        api->mpl_exec(&status, (name + " := matrix([[1]]):").c_str());
        double rows = 0, cols = 0, part = 0;
        return api->mpl_rtcreate(&status, name.c_str(), &rows, &cols, &part);
    }
    // mpl_matputc names its own operation only through its puts.
    std::string Operation() const
    {
        return std::string(GetParam().operation) == "mpl_matputc" ? "mpl_matput" : GetParam().operation;
    }
};

TEST_P(BridgeArrayNames, LongestFitsAndOneMoreIsRefused)
{
    EXPECT_EQ(Call(std::string(GetParam().longest, 'n')), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(boxes.Take(), Boxes{});
    EXPECT_EQ(Call(std::string(GetParam().longest + 1, 'n')), 0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError(Operation(), "Name too long")});
}

INSTANTIATE_TEST_SUITE_P(Buffers, BridgeArrayNames, testing::Values(
    LongName{"mpl_vecput", 49}, LongName{"mpl_matput", 49}, LongName{"mpl_matputc", 223}, LongName{"mpl_rtcreate", 186}),
    [](const testing::TestParamInfo<LongName>& info) { return std::string(info.param.operation); });

}
