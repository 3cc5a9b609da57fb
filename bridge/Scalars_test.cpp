#include "BridgeTest.h"

namespace {

class BridgeScalars : public BridgeTest {
protected:
    void SetUp() override
    {
        BridgeTest::SetUp();
        OpenKernel();
    }
};

TEST_F(BridgeScalars, RealValuesRoundTrip)
{
    for (double v : {2.5, -0.0, 1e300, -7.25e-12}) {
        double value = v, back = 99;
        EXPECT_EQ(api->mpl_valput(&status, "x", &value), 0);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(api->mpl_valget(&status, "x", &back), 0);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(back, v);
    }
    EXPECT_EQ(boxes.Take(), Boxes{});
}

TEST_F(BridgeScalars, ComplexValuesRoundTripThroughZzreal)
{
    double re = 1, im = -2, outRe = 0, outIm = 0, scratch = 0;
    api->mpl_output(&status, "on", "");
    EXPECT_EQ(api->mpl_valputc(&status, "z", &re, &im), 0);
    EXPECT_EQ(api->mpl_valgetc(&status, "z", &outRe, &outIm), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(outRe, 1);
    EXPECT_EQ(outIm, -2);
    api->mpl_valget(&status, "_zzreal", &scratch);
    EXPECT_EQ(scratch, -2);
    // Both statements end with ";": their results pass the text callback.
    EXPECT_EQ(ReadFileText(folder.File("magout.txt")), "_zzreal := 1.  \n\n_zzreal := -2.  \n\n");
}

TEST_F(BridgeScalars, ValueThatIsNoHardwareFloatReadsAsZeroWithAnError)
{
    double value = 7;
    EXPECT_EQ(api->mpl_valget(&status, "undefined", &value), 0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError("mpl_valget", "unable to evaluate undefined in hardware floats")});
}

TEST_F(BridgeScalars, ComplexPartsOfSymbolsStayUntouched)
{
    double re = 5, im = 6;
    EXPECT_EQ(api->mpl_valgetc(&status, "w", &re, &im), 0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(re, 5);
    EXPECT_EQ(im, 6);
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError("mpl_valgetc", "unable to evaluate w in hardware floats")});
}

TEST_F(BridgeScalars, StringsAndTheirSize)
{
    double length = -1;
    char text[16] = "";
    for (const char* s : {"", "hello", "with \"quotes\""}) {
        EXPECT_EQ(api->mpl_strput(&status, "s", s), 0);
        EXPECT_EQ(api->mpl_strsize(&status, "s", &length), 0);
        EXPECT_EQ(length, std::string(s).size());
        EXPECT_EQ(api->mpl_strget(&status, "s", text), 0);
        EXPECT_EQ(std::string(text), s);
        EXPECT_EQ(status, 0);
    }
}

TEST_F(BridgeScalars, StrgetOfWhatIsNoStringLeavesTheBufferAlone)
{
    double v = 2.5;
    api->mpl_valput(&status, "n", &v);
    char text[8] = "~~~";
    EXPECT_EQ(api->mpl_strget(&status, "n", text), 0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(std::string(text), "~~~");
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError("mpl_strget", "2.5 is not a string")});
}

TEST_F(BridgeScalars, GetCopiesTheCaptureOnlyWhenItFitsAndReportsItsLength)
{
    char text[8] = "~";
    double size = 0;
    EXPECT_EQ(api->mpl_get(&status, "12345;", text, &size), 0);
    EXPECT_EQ(std::string(text), "~");
    EXPECT_EQ(size, 5);
    size = 5;
    api->mpl_get(&status, "12345;", text, &size);
    EXPECT_EQ(std::string(text), "~");
    EXPECT_EQ(status, 0);
    size = 6;
    api->mpl_get(&status, "x := 1:", text, &size);   // prints nothing: the earlier text again
    EXPECT_EQ(std::string(text), "12345");
    EXPECT_EQ(size, 5);
}

TEST_F(BridgeScalars, GetReportsErrorsOfItsStatement)
{
    char text[8] = "";
    double size = sizeof text;
    EXPECT_EQ(api->mpl_get(&status, "Re(\"a\");", text, &size), 0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(),
              Boxes{ComputationError("mpl_get", "Re expects an algebraic expression, received \"a\"")});
}

// Names spliced into a fixed statement buffer: the longest that fits works, one more character is
// refused without cutting the name.
struct NameCase {
    const char* operation;
    std::size_t longest;
    int (*call)(const BridgeExports& e, double* status, const char* name);
};

const NameCase NameCases[] = {
    {"mpl_strsize", 118, [](const BridgeExports& e, double* s, const char* name) {
         double length = -1;
         const int r = e.mpl_strsize(s, name, &length);
         return length == 3 ? r : r + 100;
     }},
    {"mpl_valgetc", 241, [](const BridgeExports& e, double* s, const char* name) {
         double re = 0, im = 0;
         const int r = e.mpl_valgetc(s, name, &re, &im);
         return re == 1 && im == -2 ? r : r + 100;
     }},
};

class BridgeNames : public BridgeScalars, public testing::WithParamInterface<NameCase> {
protected:
    void Assign(const std::string& name)
    {
        double re = 1, im = -2;
        if (std::string(GetParam().operation) == "mpl_strsize")
            api->mpl_strput(&status, name.c_str(), "abc");
        else
            api->mpl_valputc(&status, name.c_str(), &re, &im);
        ASSERT_EQ(status, 0);
    }
};

TEST_P(BridgeNames, LongestNameFits)
{
    const std::string name(GetParam().longest, 'n');
    Assign(name);
    EXPECT_EQ(GetParam().call(*api, &status, name.c_str()), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(boxes.Take(), Boxes{});
}

TEST_P(BridgeNames, LongerNameIsRefused)
{
    const std::string name(GetParam().longest + 1, 'n');
    Assign(name);
    EXPECT_EQ(GetParam().call(*api, &status, name.c_str()), 100);   // outputs untouched
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError(GetParam().operation, "Name too long")});
    api->mpl_exec(&status, "1;");
    EXPECT_EQ(boxes.Take(), Boxes{ProgramError});   // the refusal set the error flag
}

INSTANTIATE_TEST_SUITE_P(Buffers, BridgeNames, testing::ValuesIn(NameCases),
                         [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.operation); });

TEST_F(BridgeScalars, NamesPassedAsNamesHaveNoLengthLimit)
{
    const std::string name(1000, 'v');
    double value = 4.5, back = 0;
    api->mpl_valput(&status, name.c_str(), &value);
    api->mpl_valget(&status, name.c_str(), &back);
    EXPECT_EQ(back, 4.5);
    EXPECT_EQ(status, 0);
}

}
