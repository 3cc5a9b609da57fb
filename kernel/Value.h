// Values of the stand-in kernel. A value is an immutable node shared by reference; statements
// are read into the same nodes (a name, an operation, a call) and evaluating one gives another.
#pragma once

#include "Numeric.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace kernel {

struct Node;
using Value = std::shared_ptr<const Node>;

struct Symbol { std::string name; };
struct Text { std::string text; };
struct Boolean { bool value; };
struct Nothing {};  // the empty result, as of print

enum class Op { Add, Subtract, Multiply, Divide, Power, Negate };
struct Operation {
    Op op;
    std::vector<Value> operands;
};
struct Call {
    Value function;  // a name, or an indexed name such as LinearAlgebra[Dimension]
    std::vector<Value> args;
};
struct Indexed {
    Value base;
    std::vector<Value> indices;
};
struct List { std::vector<Value> items; };

// Old-style vectors and matrices are tables referred to by name; rtables (Vector, Matrix, Array)
// are values in their own right.
enum class ArrayStyle { Vector, Matrix, RTable };
enum class Subtype : int { Array = 0, Matrix = 1, ColumnVector = 2, RowVector = 3 };
enum class DataType : int { Anything = 0, Float64 = 6 };

struct Bounds {
    std::int64_t lower, upper;
    std::int64_t Size() const { return upper - lower + 1; }
};

struct ArrayData {
    ArrayStyle style = ArrayStyle::RTable;
    Subtype subtype = Subtype::Array;
    DataType dataType = DataType::Anything;
    bool rowMajor = false;   // layout of the float data; other entries are always column-major
    bool foreign = false;
    std::vector<Bounds> bounds;
    std::vector<Value> entries;                         // Anything
    std::shared_ptr<const std::vector<double>> owned;   // Float64 data the kernel made
    const double* floats = nullptr;                     // Float64 data: owned or foreign

    int Dimensions() const { return static_cast<int>(bounds.size()); }
    std::size_t Count() const;
    std::int64_t Rows() const { return bounds.empty() ? 0 : bounds[0].Size(); }
    std::int64_t Columns() const { return bounds.size() < 2 ? 1 : bounds[1].Size(); }
    // The k-th entry in column-major order.
    Value Entry(std::size_t k) const;
    // The entry at one index per dimension; throws when the index lies outside the bounds.
    Value At(const std::vector<std::int64_t>& index) const;
    double FloatAt(const std::vector<std::int64_t>& index) const;

private:
    std::size_t ColumnMajorOffset(const std::vector<std::int64_t>& index) const;
    std::size_t FloatOffset(std::size_t columnMajor) const;
};

struct Node : std::enable_shared_from_this<Node> {
    using Data = std::variant<Number, Text, Boolean, Nothing, Symbol, Operation, Call, Indexed, List, ArrayData>;
    explicit Node(Data d) : data(std::move(d)) {}
    Data data;
};

template <class T> const T* As(const Value& v) { return v ? std::get_if<T>(&v->data) : nullptr; }
template <class T> bool Is(const Value& v) { return As<T>(v) != nullptr; }

Value MakeNumber(const Number& n);
Value MakeInteger(std::int64_t n);
Value MakeFloat(double v);
Value MakeText(std::string text);
Value MakeSymbol(std::string name);
Value MakeBoolean(bool value);
Value MakeNothing();
Value MakeOperation(Op op, std::vector<Value> operands);
Value MakeCall(Value function, std::vector<Value> args);
Value MakeCall(const std::string& function, std::vector<Value> args);
Value MakeIndexed(Value base, std::vector<Value> indices);
Value MakeList(std::vector<Value> items);
Value MakeArray(ArrayData data);

// A value that arithmetic can work on: a number, a name or an expression of them.
bool IsAlgebraic(const Value& v);
// True when the value or a part of it (an operand, argument, index or list item, not the entries
// of an array) matches.
bool ContainsPart(const Value& v, const std::function<bool(const Value&)>& matches);
// The name of a call's function: "Re", "LinearAlgebra[Dimension]"; empty when it has none.
std::string FunctionName(const Value& function);

}
