#include "Arithmetic.h"

#include "Arrays.h"
#include "Errors.h"
#include "Printer.h"

namespace kernel {
namespace {

const ArrayData* AsArray(const Value& v) { return As<ArrayData>(v); }

Value Numeric(Op op, const std::vector<const Number*>& n)
{
    switch (op) {
    case Op::Add: return MakeNumber(Add(*n[0], *n[1]));
    case Op::Subtract: return MakeNumber(Subtract(*n[0], *n[1]));
    case Op::Multiply: return MakeNumber(Multiply(*n[0], *n[1]));
    case Op::Divide: return MakeNumber(Divide(*n[0], *n[1]));
    case Op::Negate: return MakeNumber(Negate(*n[0]));
    case Op::Power: break;
    }
    const auto power = Power(*n[0], *n[1]);
    return power ? MakeNumber(*power) : nullptr;
}

Value EntryByEntry(Op op, const std::vector<Value>& operands)
{
    const ArrayData* a = AsArray(operands[0]);
    const ArrayData* b = operands.size() > 1 ? AsArray(operands[1]) : nullptr;
    const ArrayData& shape = a ? *a : *b;
    const bool both = a && b;
    if (both && !SameShape(*a, *b))
        throw ComputationError("arrays of different dimensions cannot be combined");
    const bool allowed = op == Op::Negate || ((op == Op::Add || op == Op::Subtract) && both) ||
                         (op == Op::Multiply && !both) || (op == Op::Divide && a && !b);
    if (!allowed)
        throw ComputationError("invalid arithmetic on an array: " + Brief(both || a ? operands[0] : operands[1]));
    std::vector<Value> entries(shape.Count());
    for (std::size_t k = 0; k < entries.size(); ++k) {
        std::vector<Value> pair;
        for (const Value& v : operands)
            pair.push_back(AsArray(v) ? AsArray(v)->Entry(k) : v);
        entries[k] = Apply(op, pair);
    }
    return WithEntries(shape, std::move(entries));
}

}

Value Apply(Op op, const std::vector<Value>& operands)
{
    std::vector<const Number*> numbers;
    bool anyArray = false;
    for (const Value& v : operands) {
        if (const auto* n = As<Number>(v))
            numbers.push_back(n);
        else if (AsArray(v))
            anyArray = true;
        else if (!IsAlgebraic(v))
            throw ComputationError("invalid arithmetic on " + Brief(v));
    }
    if (anyArray)
        return EntryByEntry(op, operands);
    if (numbers.size() == operands.size())
        if (Value folded = Numeric(op, numbers))
            return folded;
    return MakeOperation(op, operands);
}

}
