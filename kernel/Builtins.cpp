#include "Builtins.h"

#include "Arithmetic.h"
#include "Arrays.h"
#include "Errors.h"
#include "HostLibrary.h"
#include "Printer.h"

#include <map>

namespace kernel {
namespace {

using Builtin = Value (*)(Session&, const Arguments&);

struct Function {
    Builtin call;
    bool library;  // provided by the host's library, not by the kernel
};

const Number* RealNumber(const Value& v)
{
    const auto* n = As<Number>(v);
    return n && n->IsReal() ? n : nullptr;
}

std::int64_t Size(const std::string& name, const Value& v)
{
    const Number* n = RealNumber(v);
    if (!n || n->re.type != Real::Type::Integer || n->re.num < 0)
        throw ComputationError(name + " expects a non-negative integer size, received " + Brief(v));
    return n->re.num;
}

const ArrayData& ArrayArgument(Session& s, const std::string& name, const Value& v, int dimensions)
{
    const auto* a = As<ArrayData>(s.Resolve(v));
    if (!a || (dimensions && a->Dimensions() != dimensions))
        throw ComputationError(name + " expects " + (dimensions == 1 ? "a vector" : "a matrix") + ", received " + Brief(v));
    return *a;
}

const List& ListArgument(const std::string& name, const Value& v)
{
    const auto* l = As<List>(v);
    if (!l)
        throw ComputationError(name + " expects a list, received " + Brief(v));
    return *l;
}

std::vector<Value> Zeros(std::int64_t n) { return std::vector<Value>(static_cast<std::size_t>(n), MakeInteger(0)); }

// Row-major entries of a list, as constructors given rows, columns and a list take them.
std::vector<Value> FromRowMajor(const std::string& name, std::int64_t rows, std::int64_t cols, const List& list)
{
    if (static_cast<std::int64_t>(list.items.size()) != rows * cols)
        throw ComputationError(name + ": the list does not hold rows times columns entries");
    std::vector<Value> entries(list.items.size());
    for (std::int64_t i = 0; i < rows; ++i)
        for (std::int64_t j = 0; j < cols; ++j)
            entries[static_cast<std::size_t>(j * rows + i)] = list.items[static_cast<std::size_t>(i * cols + j)];
    return entries;
}

Value Part(const std::string& name, const Arguments& args, bool imaginary)
{
    ExpectArguments(name, args, 1, 1);
    if (const auto* n = As<Number>(args[0]))
        return MakeNumber(Number::Of(imaginary ? n->im : n->re));
    if (!IsAlgebraic(args[0]))
        throw ComputationError(name + " expects an algebraic expression, received " + Brief(args[0]));
    return MakeCall(name, args);
}

Value Re(Session&, const Arguments& args) { return Part("Re", args, false); }
Value Im(Session&, const Arguments& args) { return Part("Im", args, true); }

Value Length(Session&, const Arguments& args)
{
    ExpectArguments("length", args, 1, 1);
    if (const auto* t = As<Text>(args[0]))
        return MakeInteger(static_cast<std::int64_t>(t->text.size()));
    if (const auto* s = As<Symbol>(args[0]))
        return MakeInteger(static_cast<std::int64_t>(s->name.size()));
    if (const Number* n = RealNumber(args[0]); n && n->re.type == Real::Type::Integer) {
        const std::string digits = std::to_string(n->re.num);
        return MakeInteger(static_cast<std::int64_t>(digits.size() - (n->re.num < 0 ? 1 : 0)));
    }
    throw ComputationError("length expects a string, a name or an integer, received " + Brief(args[0]));
}

// A number in hardware floats, or an error naming what is not one.
Value HardwareNumber(Session& s, const Value& v)
{
    if (const auto* n = As<Number>(v))
        return MakeNumber(ToFloat(*n));
    std::vector<Value> parts;
    if (const auto* o = As<Operation>(v)) {
        for (const Value& x : o->operands)
            parts.push_back(HardwareNumber(s, x));
        return HardwareNumber(s, Apply(o->op, parts));
    }
    if (const auto* c = As<Call>(v)) {
        for (const Value& x : c->args)
            parts.push_back(HardwareNumber(s, x));
        const Value r = CallFunction(s, FunctionName(c->function), parts);
        if (Is<Number>(r))
            return HardwareNumber(s, r);
    }
    throw ComputationError("unable to evaluate " + Brief(v) + " in hardware floats");
}

double RealHardwareFloat(Session& s, const Value& v)
{
    const Value number = HardwareNumber(s, v);
    const auto* n = As<Number>(number);
    if (!n->IsReal())
        throw ComputationError("a hardware-float array cannot hold the complex entry " + Brief(v));
    return n->re.value;
}

Value FloatArray(Session& s, const ArrayData& a)
{
    std::vector<double> data(a.Count());
    for (std::size_t k = 0; k < data.size(); ++k)
        data[k] = a.dataType == DataType::Float64 ? As<Number>(a.Entry(k))->re.value : RealHardwareFloat(s, a.entries[k]);
    const Subtype subtype = a.style == ArrayStyle::RTable ? a.subtype : Subtype::Array;
    return FloatRTable(subtype, a.bounds, std::move(data), false);
}

Value EvalHf(Session& s, const Arguments& args)
{
    ExpectArguments("evalhf", args, 1, 1);
    return HardwareFloats(s, args[0]);
}

Value SoftwareFloats(Session& s, const Value& v)
{
    const auto each = [&](const std::vector<Value>& vs) {
        std::vector<Value> out;
        for (const Value& x : vs)
            out.push_back(SoftwareFloats(s, x));
        return out;
    };
    if (const auto* n = As<Number>(v))
        return MakeNumber(ToFloat(*n));
    if (const auto* o = As<Operation>(v))
        return Apply(o->op, each(o->operands));
    if (const auto* c = As<Call>(v))
        return CallFunction(s, FunctionName(c->function), each(c->args));
    if (const auto* l = As<List>(v))
        return MakeList(each(l->items));
    if (const auto* a = As<ArrayData>(s.Resolve(v)); a && a->dataType != DataType::Float64)
        return MapEntries(*a, [&](const Value& e) { return SoftwareFloats(s, e); });
    return v;
}

Value EvalF(Session& s, const Arguments& args)
{
    ExpectArguments("evalf", args, 1, 1);
    return SoftwareFloats(s, args[0]);
}

std::string Joined(const Arguments& args)
{
    std::string text;
    for (std::size_t i = 0; i < args.size(); ++i)
        text += (i ? ", " : "") + Print(args[i]);
    return text;
}

Value PrintValues(Session& s, const Arguments& args)
{
    s.Show(OutputKind::Printed, Joined(args));
    return MakeNothing();
}

Value ComplexOf(Session&, const Arguments& args)
{
    ExpectArguments("Complex", args, 1, 2);
    const Value re = args.size() == 2 ? args[0] : MakeInteger(0);
    const Value im = args.back();
    const Number* a = RealNumber(re);
    const Number* b = RealNumber(im);
    if (a && b)
        return MakeNumber({a->re, b->re});
    if (!IsAlgebraic(re) || !IsAlgebraic(im) || Is<Number>(re) || Is<Number>(im))
        throw ComputationError("Complex expects real or algebraic parts, received " + Joined(args));
    return Apply(Op::Add, {re, Apply(Op::Multiply, {im, MakeNumber({Real::Int(0), Real::Int(1)})})});
}

std::string TypeName(const Value& v)
{
    const auto* t = As<Symbol>(v);
    if (!t)
        throw ComputationError("expecting a type name, received " + Brief(v));
    return t->name;
}

bool HasType(Session& s, const Value& x, const std::string& type)
{
    const auto* a = As<ArrayData>(s.Resolve(x));
    const bool rtable = a && a->style == ArrayStyle::RTable;
    const bool vector = rtable && (a->subtype == Subtype::ColumnVector || a->subtype == Subtype::RowVector);
    if (type == "scalar") return IsAlgebraic(x) && !a && !MentionsArray(s, x);
    if (type == "string") return Is<Text>(x);
    if (type == "numeric") return RealNumber(x) != nullptr;
    if (type == "complex") return Is<Number>(x);
    if (type == "list") return Is<List>(x);
    if (type == "vector") return a && a->style == ArrayStyle::Vector;
    if (type == "matrix") return a && a->style == ArrayStyle::Matrix;
    if (type == "rtable") return rtable;
    if (type == "Vector") return vector;
    if (type == "Matrix") return rtable && a->subtype == Subtype::Matrix;
    if (type == "Array") return rtable && a->subtype == Subtype::Array;
    throw ComputationError("type `" + type + "` does not exist");
}

Value TypeOf(Session& s, const Arguments& args)
{
    ExpectArguments("type", args, 2, 2);
    return MakeBoolean(HasType(s, args[0], TypeName(args[1])));
}

Value Convert(Session& s, const Arguments& args)
{
    ExpectArguments("convert", args, 2, 2);
    const Value x = s.Resolve(args[0]);
    const std::string target = TypeName(args[1]);
    if (target == "vector") return ToOldVector(x);
    if (target == "matrix") return ToOldMatrix(x);
    if (target == "Matrix") return ToMatrixRTable(x);
    throw ComputationError("convert to " + target + " is not supported");
}

// Puts the arrays that names stand for in place of the names, so that arithmetic works the
// matrix expression out.
Value MatrixValue(Session& s, const Value& v)
{
    const Value r = s.Resolve(v);
    const auto* o = As<Operation>(r);
    if (!o)
        return r;
    std::vector<Value> operands;
    for (const Value& x : o->operands)
        operands.push_back(MatrixValue(s, x));
    return Apply(o->op, operands);
}

Value EvalM(Session& s, const Arguments& args)
{
    ExpectArguments("evalm", args, 1, 1);
    return MatrixValue(s, args[0]);
}

std::string FunctionArgument(const std::string& name, const Value& f)
{
    const std::string function = FunctionName(f);
    if (function.empty())
        throw ComputationError(name + " expects a function name, received " + Brief(f));
    return function;
}

Value Map(Session& s, const Arguments& args)
{
    ExpectArguments("map", args, 2, 2);
    const std::string f = FunctionArgument("map", args[0]);
    const Value x = s.Resolve(args[1]);
    const auto apply = [&](const Value& e) { return CallFunction(s, f, {e}); };
    if (const auto* a = As<ArrayData>(x))
        return MapEntries(*a, apply);
    if (const auto* l = As<List>(x)) {
        std::vector<Value> items;
        for (const Value& e : l->items)
            items.push_back(apply(e));
        return MakeList(std::move(items));
    }
    return apply(x);
}

Value Zip(Session& s, const Arguments& args)
{
    ExpectArguments("zip", args, 3, 3);
    const std::string f = FunctionArgument("zip", args[0]);
    const Value x = s.Resolve(args[1]), y = s.Resolve(args[2]);
    const auto* a = As<ArrayData>(x);
    const auto* b = As<ArrayData>(y);
    if (a && b && SameShape(*a, *b)) {
        std::vector<Value> entries(a->Count());
        for (std::size_t k = 0; k < entries.size(); ++k)
            entries[k] = CallFunction(s, f, {a->Entry(k), b->Entry(k)});
        return WithEntries(*a, std::move(entries));
    }
    const auto* l = As<List>(x);
    const auto* m = As<List>(y);
    if (!l || !m || l->items.size() != m->items.size())
        throw ComputationError("zip expects two arrays or two lists of one shape");
    std::vector<Value> items;
    for (std::size_t k = 0; k < l->items.size(); ++k)
        items.push_back(CallFunction(s, f, {l->items[k], m->items[k]}));
    return MakeList(std::move(items));
}

Value VectDim(Session& s, const Arguments& args)
{
    ExpectArguments("vectdim", args, 1, 1);
    if (const auto* l = As<List>(args[0]))
        return MakeInteger(static_cast<std::int64_t>(l->items.size()));
    return MakeInteger(ArrayArgument(s, "vectdim", args[0], 1).Rows());
}

Value RowDim(Session& s, const Arguments& args)
{
    ExpectArguments("rowdim", args, 1, 1);
    return MakeInteger(ArrayArgument(s, "rowdim", args[0], 2).Rows());
}

Value ColDim(Session& s, const Arguments& args)
{
    ExpectArguments("coldim", args, 1, 1);
    return MakeInteger(ArrayArgument(s, "coldim", args[0], 2).Columns());
}

// Only the length of a Vector: this kernel has no expression sequences for a Matrix's two sizes.
Value Dimension(Session& s, const Arguments& args)
{
    ExpectArguments("LinearAlgebra[Dimension]", args, 1, 1);
    const ArrayData& a = ArrayArgument(s, "LinearAlgebra[Dimension]", args[0], 1);
    if (a.style != ArrayStyle::RTable)
        throw ComputationError("LinearAlgebra[Dimension] expects a Vector, received " + Brief(args[0]));
    return MakeInteger(a.Rows());
}

// vector(list), vector(n), vector(n, list)
Value NewOldVector(Session&, const Arguments& args)
{
    ExpectArguments("vector", args, 1, 2);
    if (args.size() == 1 && Is<List>(args[0]))
        return OldVector(As<List>(args[0])->items);
    const std::int64_t n = Size("vector", args[0]);
    if (args.size() == 1)
        return OldVector(Zeros(n));
    const List& l = ListArgument("vector", args[1]);
    if (static_cast<std::int64_t>(l.items.size()) != n)
        throw ComputationError("vector: the list does not hold " + std::to_string(n) + " entries");
    return OldVector(l.items);
}

// Rows, columns and entries of matrix(...) and Matrix(...): a list of lists, m and n (zeros), or
// m, n and a list of the entries row by row.
Grid MatrixArguments(const std::string& name, const Arguments& args)
{
    ExpectArguments(name, args, 1, 3);
    if (args.size() == 1)
        return GridFromList(ListArgument(name, args[0]));
    Grid grid;
    grid.rows = Size(name, args[0]);
    grid.cols = Size(name, args[1]);
    grid.columnMajor = args.size() == 3 ? FromRowMajor(name, grid.rows, grid.cols, ListArgument(name, args[2]))
                                        : Zeros(grid.rows * grid.cols);
    return grid;
}

Value NewOldMatrix(Session&, const Arguments& args)
{
    Grid g = MatrixArguments("matrix", args);
    return OldMatrix(g.rows, g.cols, std::move(g.columnMajor));
}

Value NewMatrix(Session&, const Arguments& args)
{
    Grid g = MatrixArguments("Matrix", args);
    return RTable(Subtype::Matrix, {{1, g.rows}, {1, g.cols}}, std::move(g.columnMajor));
}

Value NewVectorOf(const std::string& name, Subtype subtype, const Arguments& args)
{
    ExpectArguments(name, args, 1, 1);
    std::vector<Value> entries = Is<List>(args[0]) ? As<List>(args[0])->items : Zeros(Size(name, args[0]));
    const auto n = static_cast<std::int64_t>(entries.size());
    return RTable(subtype, {{1, n}}, std::move(entries));
}

Value NewVector(Session&, const Arguments& args) { return NewVectorOf("Vector", Subtype::ColumnVector, args); }
Value NewRowVector(Session&, const Arguments& args) { return NewVectorOf("Vector[row]", Subtype::RowVector, args); }

Value NewArray(Session&, const Arguments& args)
{
    ExpectArguments("Array", args, 1, 1);
    const List& l = ListArgument("Array", args[0]);
    if (l.items.empty() || !Is<List>(l.items[0]))
        return RTable(Subtype::Array, {{1, static_cast<std::int64_t>(l.items.size())}}, l.items);
    Grid g = GridFromList(l);
    return RTable(Subtype::Array, {{1, g.rows}, {1, g.cols}}, std::move(g.columnMajor));
}

const std::map<std::string, Function, std::less<>>& Functions()
{
    static const std::map<std::string, Function, std::less<>> table = {
        {"Re", {Re, false}},
        {"Im", {Im, false}},
        {"length", {Length, false}},
        {"evalhf", {EvalHf, false}},
        {"evalf", {EvalF, false}},
        {"print", {PrintValues, false}},
        {"lprint", {PrintValues, false}},
        {"Complex", {ComplexOf, false}},
        {"type", {TypeOf, false}},
        {"convert", {Convert, false}},
        {"evalm", {EvalM, false}},
        {"map", {Map, false}},
        {"zip", {Zip, false}},
        {"vectdim", {VectDim, false}},
        {"rowdim", {RowDim, false}},
        {"coldim", {ColDim, false}},
        {"LinearAlgebra[Dimension]", {Dimension, false}},
        {"vector", {NewOldVector, false}},
        {"matrix", {NewOldMatrix, false}},
        {"Vector", {NewVector, false}},
        {"Vector[column]", {NewVector, false}},
        {"Vector[row]", {NewRowVector, false}},
        {"Matrix", {NewMatrix, false}},
        {"Array", {NewArray, false}},
        {"vinfo", {VInfo, true}},
        {"isNumeric", {IsNumeric, true}},
        {"isComplex", {IsComplex, true}},
    };
    return table;
}

}

void ExpectArguments(const std::string& name, const Arguments& args, std::size_t low, std::size_t high)
{
    if (args.size() < low || args.size() > high)
        throw ComputationError("invalid input: " + name + " expects " +
                               (low == high ? std::to_string(low) : std::to_string(low) + " to " + std::to_string(high)) +
                               " arguments, but received " + std::to_string(args.size()));
}

Value CallFunction(Session& s, const std::string& name, const Arguments& args)
{
    const auto& table = Functions();
    const auto it = table.find(name);
    if (it == table.end() || (it->second.library && !s.LibraryProvides(name)))
        throw ComputationError("`" + name + "` is not a known function");
    return it->second.call(s, args);
}

Value HardwareFloats(Session& s, const Value& v)
{
    const Value x = s.Resolve(v);
    if (const auto* a = As<ArrayData>(x))
        return FloatArray(s, *a);
    if (const auto* l = As<List>(x)) {
        std::vector<Value> items;
        for (const Value& e : l->items)
            items.push_back(HardwareNumber(s, e));
        return MakeList(std::move(items));
    }
    return HardwareNumber(s, x);
}

bool MentionsArray(const Session& s, const Value& v)
{
    return ContainsPart(v, [&](const Value& part) { return Is<Symbol>(part) && Is<ArrayData>(s.Resolve(part)); });
}

}
