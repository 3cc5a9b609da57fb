#include "HostLibrary.h"

#include <algorithm>

namespace kernel {
namespace {

// The entries of a container, or the value itself.
template <class F> bool AnyEntry(const Value& v, F test)
{
    if (const auto* a = As<ArrayData>(v)) {
        for (std::size_t k = 0; k < a->Count(); ++k)
            if (test(a->Entry(k)))
                return true;
        return false;
    }
    if (const auto* l = As<List>(v))
        return std::any_of(l->items.begin(), l->items.end(), test);
    return test(v);
}

bool IsComplexNumber(const Value& v)
{
    const auto* n = As<Number>(v);
    return n && !n->IsReal();
}

bool IsVector(const ArrayData& a)
{
    return a.subtype == Subtype::ColumnVector || a.subtype == Subtype::RowVector;
}

int ClassCode(const Session& s, const Value& v)
{
    if (Is<Text>(v))
        return 30;
    if (const auto* a = As<ArrayData>(v)) {
        switch (a->style) {
        case ArrayStyle::Vector: return 11;
        case ArrayStyle::Matrix: return 20;
        case ArrayStyle::RTable: return IsVector(*a) ? 12 : a->subtype == Subtype::Matrix ? 20 : 5;
        }
    }
    if (IsAlgebraic(v))
        return MentionsArray(s, v) ? 40 : 0;
    return 5;
}

}

Value VInfo(Session& s, const Arguments& args)
{
    ExpectArguments("vinfo", args, 1, 1);
    return MakeInteger(ClassCode(s, s.Resolve(args[0])));
}

Value IsNumeric(Session& s, const Arguments& args)
{
    ExpectArguments("isNumeric", args, 1, 1);
    const Value v = s.Resolve(args[0]);
    if (const auto* a = As<ArrayData>(v); a && a->dataType == DataType::Float64)
        return MakeInteger(1);
    const bool numeric = (Is<ArrayData>(v) || Is<List>(v) || Is<Number>(v)) &&
                         !AnyEntry(v, [](const Value& e) { return !Is<Number>(e); });
    return MakeInteger(numeric ? 1 : 0);
}

Value IsComplex(Session& s, const Arguments& args)
{
    ExpectArguments("isComplex", args, 1, 1);
    const Value v = s.Resolve(args[0]);
    if (const auto* a = As<ArrayData>(v); a && a->dataType == DataType::Float64)
        return MakeInteger(0);
    return MakeInteger(AnyEntry(v, IsComplexNumber) ? 1 : 0);
}

}
