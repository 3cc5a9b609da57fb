#include "Numeric.h"

#include "Errors.h"

#include <charconv>
#include <cmath>
#include <complex>
#include <numeric>

namespace kernel {
namespace {

std::int64_t Checked(__int128 value)
{
    if (value > INT64_MAX || value < INT64_MIN)
        throw ComputationError("integer overflow: the result needs more than 64 bits");
    return static_cast<std::int64_t>(value);
}

Real FracWide(__int128 num, __int128 den)
{
    if (den == 0)
        throw ComputationError("numeric exception: division by zero");
    if (den < 0) {
        num = -num;
        den = -den;
    }
    __int128 a = num < 0 ? -num : num, b = den;
    while (b != 0) {
        const __int128 r = a % b;
        a = b;
        b = r;
    }
    if (a > 1) {
        num /= a;
        den /= a;
    }
    Real r;
    r.num = Checked(num);
    r.den = Checked(den);
    r.type = r.den == 1 ? Real::Type::Integer : Real::Type::Fraction;
    return r;
}

std::complex<double> ToComplex(const Number& a) { return {a.re.ToDouble(), a.im.ToDouble()}; }

bool IsExactInteger(const Number& a) { return a.IsReal() && a.re.type == Real::Type::Integer; }

Number FromComplex(std::complex<double> z) { return {Real::Flt(z.real()), Real::Flt(z.imag())}; }

Number PowerByInteger(Number base, std::int64_t exponent)
{
    const bool invert = exponent < 0;
    std::uint64_t e = invert ? 0 - static_cast<std::uint64_t>(exponent) : static_cast<std::uint64_t>(exponent);
    Number result = Number::Of(base.IsExact() ? Real::Int(1) : Real::Flt(1));
    while (e != 0) {
        if (e & 1)
            result = Multiply(result, base);
        e >>= 1;
        if (e != 0)
            base = Multiply(base, base);
    }
    return invert ? Divide(Number::Of(Real::Int(1)), result) : result;
}

}

Real Real::Int(std::int64_t n)
{
    Real r;
    r.num = n;
    return r;
}

Real Real::Frac(std::int64_t num, std::int64_t den) { return FracWide(num, den); }

Real Real::Flt(double v)
{
    Real r;
    r.type = Type::Float;
    r.value = v;
    return r;
}

double Real::ToDouble() const
{
    switch (type) {
    case Type::Integer: return static_cast<double>(num);
    case Type::Fraction: return static_cast<double>(num) / static_cast<double>(den);
    case Type::Float: return value;
    }
    return 0;
}

Real Negate(const Real& a)
{
    if (a.IsFloat())
        return Real::Flt(-a.value);
    return FracWide(-static_cast<__int128>(a.num), a.den);
}

Real Add(const Real& a, const Real& b)
{
    if (a.IsFloat() || b.IsFloat())
        return Real::Flt(a.ToDouble() + b.ToDouble());
    return FracWide(static_cast<__int128>(a.num) * b.den + static_cast<__int128>(b.num) * a.den,
                    static_cast<__int128>(a.den) * b.den);
}

Real Subtract(const Real& a, const Real& b) { return Add(a, Negate(b)); }

Real Multiply(const Real& a, const Real& b)
{
    if (a.IsFloat() || b.IsFloat())
        return Real::Flt(a.ToDouble() * b.ToDouble());
    return FracWide(static_cast<__int128>(a.num) * b.num, static_cast<__int128>(a.den) * b.den);
}

Real Divide(const Real& a, const Real& b)
{
    if (b.IsZero())
        throw ComputationError("numeric exception: division by zero");
    if (a.IsFloat() || b.IsFloat())
        return Real::Flt(a.ToDouble() / b.ToDouble());
    return FracWide(static_cast<__int128>(a.num) * b.den, static_cast<__int128>(a.den) * b.num);
}

Real ToFloat(const Real& a) { return Real::Flt(a.ToDouble()); }

Number Negate(const Number& a) { return {Negate(a.re), a.IsReal() ? a.im : Negate(a.im)}; }

Number Add(const Number& a, const Number& b) { return {Add(a.re, b.re), Add(a.im, b.im)}; }

Number Subtract(const Number& a, const Number& b) { return {Subtract(a.re, b.re), Subtract(a.im, b.im)}; }

Number Multiply(const Number& a, const Number& b)
{
    if (a.IsReal() && b.IsReal())
        return Number::Of(Multiply(a.re, b.re));
    return {Subtract(Multiply(a.re, b.re), Multiply(a.im, b.im)),
            Add(Multiply(a.re, b.im), Multiply(a.im, b.re))};
}

Number Divide(const Number& a, const Number& b)
{
    if (b.IsReal())
        return {Divide(a.re, b.re), a.IsReal() ? a.im : Divide(a.im, b.re)};
    const Real norm = Add(Multiply(b.re, b.re), Multiply(b.im, b.im));
    return {Divide(Add(Multiply(a.re, b.re), Multiply(a.im, b.im)), norm),
            Divide(Subtract(Multiply(a.im, b.re), Multiply(a.re, b.im)), norm)};
}

std::optional<Number> Power(const Number& base, const Number& exponent)
{
    if (IsExactInteger(exponent)) {
        if (base.re.IsZero() && base.im.IsZero() && exponent.re.num < 0)
            throw ComputationError("numeric exception: division by zero");
        return PowerByInteger(base, exponent.re.num);
    }
    if (base.IsExact() && exponent.IsExact())
        return std::nullopt;
    if (base.IsReal() && exponent.IsReal() && !base.re.IsNegative())
        return Number::Of(Real::Flt(std::pow(base.re.ToDouble(), exponent.re.ToDouble())));
    return FromComplex(std::pow(ToComplex(base), ToComplex(exponent)));
}

Number ToFloat(const Number& a) { return {ToFloat(a.re), a.IsReal() ? a.im : ToFloat(a.im)}; }

std::string FormatReal(const Real& a)
{
    switch (a.type) {
    case Real::Type::Integer: return std::to_string(a.num);
    case Real::Type::Fraction: return std::to_string(a.num) + "/" + std::to_string(a.den);
    case Real::Type::Float: break;
    }
    if (std::isnan(a.value))
        return "Float(undefined)";
    if (std::isinf(a.value))
        return a.value < 0 ? "-Float(infinity)" : "Float(infinity)";
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, a.value).ptr;
    std::string text(buffer, end);
    // A float always shows its point, so that it reads back as a float: 2. and 1.e-20.
    if (text.find('.') == std::string::npos) {
        const std::size_t e = text.find('e');
        text.insert(e == std::string::npos ? text.size() : e, ".");
    }
    return text;
}

std::string FormatNumber(const Number& a)
{
    if (a.IsReal())
        return FormatReal(a.re);
    const bool unit = !a.im.IsFloat() && (a.im.num == 1 || a.im.num == -1) && a.im.den == 1;
    std::string im = unit ? (a.im.num < 0 ? "-I" : "I") : FormatReal(a.im) + "*I";
    if (a.re.IsExactZero())
        return im;
    if (im[0] != '-')
        im.insert(0, "+");
    return FormatReal(a.re) + im;
}

}
