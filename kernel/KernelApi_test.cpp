#include "MapleKernel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Heard {
    std::vector<std::string> texts;
    std::vector<int> tags;
    std::vector<std::pair<int32_t, std::string>> errors;
    bool interrupt = false;
};

void OnText(void* data, int tag, const char* output)
{
    static_cast<Heard*>(data)->texts.push_back(output);
    static_cast<Heard*>(data)->tags.push_back(tag);
}

void OnError(void* data, int32_t offset, const char* message)
{
    static_cast<Heard*>(data)->errors.emplace_back(offset, message);
}

MapleBool OnQuery(void* data) { return static_cast<Heard*>(data)->interrupt ? 1 : 0; }

void SetVariable(const char* name, const char* value)
{
#ifdef _WIN32
    _putenv((std::string(name) + "=" + value).c_str());
#else
    if (*value)
        setenv(name, value, 1);
    else
        unsetenv(name);
#endif
}

class KernelApi : public testing::Test {
protected:
    void SetUp() override
    {
        callbacks.text = OnText;
        callbacks.error = OnError;
        callbacks.query_interrupt = OnQuery;
        kernel = StartMaple(0, nullptr, &callbacks, &heard, nullptr, errorText);
        ASSERT_NE(kernel, nullptr);
    }
    void TearDown() override { StopMaple(kernel); }

    MapleValue Name(const char* n) { return ToMapleName(kernel, n, 1); }

    MapleCallbackVector callbacks{};
    Heard heard;
    char errorText[MAPLE_ERROR_TEXT_SIZE] = "";
    MapleKernel kernel = nullptr;
};

TEST_F(KernelApi, StatementsReportOutputAndErrorsThroughTheCallbacks)
{
    EXPECT_NE(EvalMapleStatement(kernel, "x := 2: x + 1; print(x);"), nullptr);
    EXPECT_EQ(heard.texts, (std::vector<std::string>{"3", "2"}));
    EXPECT_EQ(heard.tags, (std::vector<int>{MAPLE_TEXT_RESULT, MAPLE_TEXT_PRINT}));
    EXPECT_EQ(EvalMapleStatement(kernel, "x := ;"), nullptr);
    EXPECT_EQ(EvalMapleStatement(kernel, "foo(x);"), nullptr);
    ASSERT_EQ(heard.errors.size(), 2u);
    EXPECT_EQ(heard.errors[0].first, 5);
    EXPECT_LT(heard.errors[1].first, 0);
}

TEST_F(KernelApi, AnInterruptStopsTheStatements)
{
    heard.interrupt = true;
    EXPECT_EQ(EvalMapleStatement(kernel, "y := 1:"), nullptr);
    ASSERT_EQ(heard.errors.size(), 1u);
    EXPECT_EQ(heard.errors[0].second, "interrupted");
}

TEST_F(KernelApi, ScalarsAndStringsRoundTrip)
{
    MapleAssign(kernel, Name("a"), ToMapleFloat(kernel, 2.5));
    EXPECT_EQ(MapleEvalhf(kernel, Name("a")), 2.5);
    MapleAssign(kernel, Name("c"), ToMapleComplex(kernel, 1, -2));
    EXPECT_EQ(MapleToFloat64(kernel, EvalMapleStatement(kernel, "Im(c):")), -2);
    MapleAssign(kernel, Name("s"), ToMapleString(kernel, "hello"));
    EXPECT_STREQ(MapleToString(kernel, MapleEval(kernel, Name("s"))), "hello");
    EXPECT_EQ(MapleToFloat64(kernel, EvalMapleStatement(kernel, "1/4:")), 0.25);
    EXPECT_TRUE(heard.errors.empty());
}

struct ConversionCase {
    const char* statement;
    bool converts;
    double expected;
};

class KernelApiConversions : public KernelApi, public testing::WithParamInterface<ConversionCase> {};

TEST_P(KernelApiConversions, ToInteger16)
{
    const int16_t n = MapleToInteger16(kernel, EvalMapleStatement(kernel, GetParam().statement));
    EXPECT_EQ(heard.errors.empty(), GetParam().converts);
    EXPECT_EQ(n, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, KernelApiConversions, testing::Values(
    ConversionCase{"32767:", true, 32767},
    ConversionCase{"-32768:", true, -32768},
    ConversionCase{"40.:", true, 40},
    ConversionCase{"32768:", false, 0},
    ConversionCase{"2.5:", false, 0},
    ConversionCase{"1/2:", false, 0},
    ConversionCase{"x:", false, 0},
    ConversionCase{"\"12\":", false, 0}));

TEST_F(KernelApi, ConversionsOfTheWrongKindReportAndAnswerNothing)
{
    EXPECT_EQ(MapleToString(kernel, ToMapleFloat(kernel, 1)), nullptr);
    EXPECT_EQ(MapleToFloat64(kernel, ToMapleString(kernel, "1")), 0);
    EXPECT_EQ(MapleToFloat64(kernel, EvalMapleStatement(kernel, "1+I:")), 0);
    EXPECT_EQ(MapleEvalhf(kernel, Name("unassigned")), 0);
    EXPECT_EQ(MapleToM_BOOL(kernel, ToMapleFloat(kernel, 1)), 0);
    EXPECT_EQ(MapleToFloat64(kernel, nullptr), 0);
    EXPECT_EQ(heard.errors.size(), 6u);
    EXPECT_EQ(MapleToM_BOOL(kernel, EvalMapleStatement(kernel, "type(1, scalar):")), 1);
}

TEST_F(KernelApi, ValuesStayValidForTheKeptNumberOfLaterValues)
{
    const MapleValue s = ToMapleString(kernel, "kept");
    for (int i = 0; i < MAPLE_VALUE_KEEP - 1; ++i)
        ToMapleFloat(kernel, i);
    EXPECT_STREQ(MapleToString(kernel, s), "kept");
}

TEST_F(KernelApi, RestartForgetsAssignments)
{
    EvalMapleStatement(kernel, "x := 1:");
    EXPECT_EQ(RestartMaple(kernel, errorText), 1);
    EvalMapleStatement(kernel, "x;");
    EXPECT_EQ(heard.texts, std::vector<std::string>{"x"});
}

TEST_F(KernelApi, LibraryPathIsSetAndAnswered)
{
    EXPECT_STREQ(MapleToString(kernel, MapleLibName(kernel, nullptr)), "");
    EXPECT_EQ(EvalMapleStatement(kernel, "vinfo(1):"), nullptr);
    const MapleValue now = MapleLibName(kernel, ToMapleString(kernel, HOST_LIBRARY_DIR));
    EXPECT_STREQ(MapleToString(kernel, now), HOST_LIBRARY_DIR);
    EXPECT_EQ(MapleToInteger16(kernel, EvalMapleStatement(kernel, "vinfo(\"s\"):")), 30);
}

TEST(KernelApiControl, StartAndRestartFailWithTheTextOfTheEnvironment)
{
    char text[MAPLE_ERROR_TEXT_SIZE] = "";
    SetVariable("STANDIN_KERNEL_START_ERROR", "no licence");
    EXPECT_EQ(StartMaple(0, nullptr, nullptr, nullptr, nullptr, text), nullptr);
    EXPECT_STREQ(text, "no licence");
    SetVariable("STANDIN_KERNEL_START_ERROR", std::string(5000, 'x').c_str());
    EXPECT_EQ(StartMaple(0, nullptr, nullptr, nullptr, nullptr, text), nullptr);
    EXPECT_EQ(std::string(text), std::string(MAPLE_ERROR_TEXT_SIZE - 1, 'x'));   // cut to the buffer
    SetVariable("STANDIN_KERNEL_START_ERROR", "");

    const MapleKernel k = StartMaple(0, nullptr, nullptr, nullptr, nullptr, text);
    ASSERT_NE(k, nullptr);
    SetVariable("STANDIN_KERNEL_RESTART_ERROR", "cannot restart");
    EXPECT_EQ(RestartMaple(k, text), 0);
    EXPECT_STREQ(text, "cannot restart");
    SetVariable("STANDIN_KERNEL_RESTART_ERROR", "");
    EXPECT_EQ(RestartMaple(k, text), 1);
    StopMaple(k);
}

class KernelApiRTables : public KernelApi {
protected:
    MapleValue Create(int subtype, int dims, void* data, std::vector<int64_t> bounds, bool foreign = true,
                      int order = MAPLE_RT_ORDER_FORTRAN)
    {
        MapleRTableSettings s;
        RTableGetDefaults(kernel, &s);
        s.data_type = MAPLE_RT_DATA_FLOAT64;
        s.subtype = subtype;
        s.num_dimensions = dims;
        s.foreign = foreign;
        s.order = order;
        return RTableCreate(kernel, &s, data, bounds.data());
    }
    double At(const char* name, std::vector<int64_t> index)
    {
        return RTableSelect(kernel, Name(name), index.data()).float64;
    }
};

TEST_F(KernelApiRTables, ForeignDataIsReadWhereTheCallerKeepsIt)
{
    double block[6] = {1, 2, 3, 4, 5, 6};
    MapleAssign(kernel, Name("m"), Create(MAPLE_RT_SUBTYPE_MATRIX, 2, block, {1, 2, 1, 3}));
    EXPECT_EQ(IsMapleRTable(kernel, Name("m")), 1);
    EXPECT_EQ(RTableNumDimensions(kernel, Name("m")), 2);
    EXPECT_EQ(RTableUpperBound(kernel, Name("m"), 1), 2);
    EXPECT_EQ(RTableUpperBound(kernel, Name("m"), 2), 3);
    EXPECT_EQ(At("m", {1, 2}), 3);   // column-major: (1,2) is the third element
    block[2] = 30;
    EXPECT_EQ(At("m", {1, 2}), 30);
    MapleRTableSettings s;
    RTableGetSettings(kernel, &s, Name("m"));
    EXPECT_EQ(s.data_type, MAPLE_RT_DATA_FLOAT64);
    EXPECT_EQ(s.subtype, MAPLE_RT_SUBTYPE_MATRIX);
    EXPECT_EQ(s.foreign, 1);
    EXPECT_TRUE(heard.errors.empty());
}

TEST_F(KernelApiRTables, OwnedAndRowMajorData)
{
    double block[6] = {1, 2, 3, 4, 5, 6};
    MapleAssign(kernel, Name("c"), Create(MAPLE_RT_SUBTYPE_MATRIX, 2, block, {1, 2, 1, 3}, false, MAPLE_RT_ORDER_C));
    block[1] = 0;
    EXPECT_EQ(At("c", {1, 2}), 2);
    EXPECT_EQ(At("c", {2, 1}), 4);
    EvalMapleStatement(kernel, "c;");
    EXPECT_EQ(heard.texts.back(), "Matrix([[1., 2., 3.], [4., 5., 6.]], datatype = float[8])");
}

TEST_F(KernelApiRTables, StatementsWorkOnCreatedRTables)
{
    double block[3] = {1, 2, 3};
    MapleAssign(kernel, Name("v"), Create(MAPLE_RT_SUBTYPE_ROW, 1, block, {1, 3}));
    EvalMapleStatement(kernel, "v := convert(evalm(v),vector): vectdim(v); v;");
    EXPECT_EQ(heard.texts, (std::vector<std::string>{"3", "v"}));
    EXPECT_EQ(IsMapleRTable(kernel, Name("v")), 0);
    const MapleValue z = EvalMapleStatement(kernel, "_zz := evalhf(convert(v, Matrix)):");
    RTableGetSettings(kernel, nullptr, z);
    EXPECT_EQ(RTableUpperBound(kernel, z, 1), 3);
    EXPECT_EQ(RTableUpperBound(kernel, z, 2), 1);
    EXPECT_EQ(At("_zz", {3, 1}), 3);
}

struct BadRTable {
    int subtype, dims;
    std::vector<int64_t> bounds;
    bool withData;
};

class KernelApiRefusedRTables : public KernelApiRTables, public testing::WithParamInterface<BadRTable> {};

TEST_P(KernelApiRefusedRTables, AreReportedAndNotMade)
{
    double block[4] = {};
    const BadRTable& c = GetParam();
    EXPECT_EQ(Create(c.subtype, c.dims, c.withData ? block : nullptr, c.bounds), nullptr);
    EXPECT_EQ(heard.errors.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Settings, KernelApiRefusedRTables, testing::Values(
    BadRTable{MAPLE_RT_SUBTYPE_MATRIX, 1, {1, 4}, true},        // a matrix has two dimensions
    BadRTable{MAPLE_RT_SUBTYPE_COLUMN, 2, {1, 2, 1, 2}, true},  // a vector one
    BadRTable{7, 1, {1, 4}, true},
    BadRTable{MAPLE_RT_SUBTYPE_ARRAY, 3, {1, 1, 1, 1, 1, 4}, true},
    BadRTable{MAPLE_RT_SUBTYPE_ARRAY, 1, {1, -5}, true},
    BadRTable{MAPLE_RT_SUBTYPE_ARRAY, 2, {1, INT64_MAX / 2, 1, 4}, true},
    BadRTable{MAPLE_RT_SUBTYPE_ARRAY, 1, {1, 4}, false}));       // foreign without data

TEST_F(KernelApiRTables, CallsOnWhatIsNoRTableReport)
{
    EvalMapleStatement(kernel, "A := matrix([[1]]): x := 1:");
    EXPECT_EQ(IsMapleRTable(kernel, Name("A")), 0);
    EXPECT_EQ(RTableNumDimensions(kernel, Name("A")), 0);
    EXPECT_EQ(RTableUpperBound(kernel, Name("x"), 1), 0);
    EXPECT_EQ(At("nothing", {1}), 0);
    EXPECT_EQ(heard.errors.size(), 3u);
}

}
