#include "Errors.h"
#include "Numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kernel {
namespace {

Number Int(std::int64_t n) { return Number::Of(Real::Int(n)); }
Number Frac(std::int64_t n, std::int64_t d) { return Number::Of(Real::Frac(n, d)); }
Number Flt(double v) { return Number::Of(Real::Flt(v)); }
Number Cx(std::int64_t re, std::int64_t im) { return {Real::Int(re), Real::Int(im)}; }

TEST(KernelNumbers, ExactArithmeticStaysExact)
{
    EXPECT_EQ(FormatNumber(Add(Frac(1, 3), Frac(1, 6))), "1/2");
    EXPECT_EQ(FormatNumber(Divide(Int(6), Int(3))), "2");
    EXPECT_EQ(FormatNumber(Divide(Int(1), Int(-2))), "-1/2");
    EXPECT_EQ(FormatNumber(Multiply(Cx(1, 2), Cx(3, -1))), "5+5*I");
    EXPECT_EQ(FormatNumber(Divide(Cx(1, 0), Cx(0, 1))), "-I");
    EXPECT_EQ(FormatNumber(*Power(Int(2), Int(-2))), "1/4");
    EXPECT_EQ(FormatNumber(*Power(Cx(0, 1), Int(2))), "-1");
    EXPECT_FALSE(Power(Int(2), Frac(1, 2)).has_value());   // stays symbolic
}

TEST(KernelNumbers, FloatsTakeOverAndPrintWithAPoint)
{
    EXPECT_EQ(FormatNumber(Multiply(Flt(2.5), Int(2))), "5.");
    EXPECT_EQ(FormatNumber(Flt(1e-20)), "1.e-20");
    EXPECT_EQ(FormatNumber(Flt(0.25)), "0.25");
    EXPECT_EQ(FormatNumber(Add(Frac(1, 4), Flt(0))), "0.25");
    EXPECT_EQ(FormatNumber(*Power(Int(4), Flt(0.5))), "2.");
    EXPECT_EQ(FormatNumber(Flt(std::numeric_limits<double>::infinity())), "Float(infinity)");
    EXPECT_EQ(FormatNumber(Flt(std::nan(""))), "Float(undefined)");
    // A float zero imaginary part keeps the number complex; an exact zero makes it real.
    EXPECT_FALSE((Number{Real::Flt(1), Real::Flt(0)}).IsReal());
    EXPECT_EQ(FormatNumber({Real::Flt(1), Real::Flt(-2)}), "1.-2.*I");
}

TEST(KernelNumbers, OverflowAndDivisionByZeroAreErrors)
{
    EXPECT_THROW(Multiply(Int(INT64_MAX), Int(2)), ComputationError);
    EXPECT_THROW(Add(Int(INT64_MAX), Int(1)), ComputationError);
    EXPECT_THROW(Negate(Int(INT64_MIN)), ComputationError);
    EXPECT_THROW(Divide(Int(1), Int(0)), ComputationError);
    EXPECT_THROW(Divide(Flt(1), Flt(0)), ComputationError);
    EXPECT_THROW(Power(Int(0), Int(-1)), ComputationError);
    EXPECT_EQ(FormatNumber(*Power(Int(2), Int(62))), "4611686018427387904");
    EXPECT_THROW(Power(Int(2), Int(64)), ComputationError);
}

}
}
