// Numbers of the stand-in kernel: exact integers and fractions (64-bit, an overflow is an error
// rather than a wrong result), hardware floats with IEEE arithmetic (an overflow gives infinity, as
// in the host), and complex numbers made of two such parts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kernel {

struct Real {
    enum class Type { Integer, Fraction, Float };
    Type type = Type::Integer;
    std::int64_t num = 0;   // Integer and Fraction
    std::int64_t den = 1;   // Fraction: always > 1 and prime to num
    double value = 0;       // Float

    static Real Int(std::int64_t n);
    // Reduced to lowest terms; an Integer when the denominator divides the numerator.
    static Real Frac(std::int64_t num, std::int64_t den);
    static Real Flt(double v);

    bool IsFloat() const { return type == Type::Float; }
    bool IsExactZero() const { return type == Type::Integer && num == 0; }
    bool IsZero() const { return IsFloat() ? value == 0 : num == 0; }
    bool IsNegative() const { return IsFloat() ? value < 0 : num < 0; }
    double ToDouble() const;
};

// A complex number; a real one has an exact zero imaginary part. A float zero imaginary part
// keeps the number complex, as the result of Complex(x, 0.) is.
struct Number {
    Real re;
    Real im;

    static Number Of(Real re) { return {re, Real::Int(0)}; }
    bool IsReal() const { return im.IsExactZero(); }
    bool IsExact() const { return !re.IsFloat() && !im.IsFloat(); }
};

Real Negate(const Real& a);
Real Add(const Real& a, const Real& b);
Real Subtract(const Real& a, const Real& b);
Real Multiply(const Real& a, const Real& b);
Real Divide(const Real& a, const Real& b);
Real ToFloat(const Real& a);

Number Negate(const Number& a);
Number Add(const Number& a, const Number& b);
Number Subtract(const Number& a, const Number& b);
Number Multiply(const Number& a, const Number& b);
Number Divide(const Number& a, const Number& b);
// No value when the exact result is not a number of this kernel (2^(1/2) stays symbolic).
std::optional<Number> Power(const Number& base, const Number& exponent);
Number ToFloat(const Number& a);

std::string FormatReal(const Real& a);
std::string FormatNumber(const Number& a);

}
