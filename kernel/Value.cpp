#include "Value.h"

#include "Errors.h"

namespace kernel {

std::size_t ArrayData::Count() const
{
    std::size_t n = 1;
    for (const Bounds& b : bounds)
        n *= static_cast<std::size_t>(b.Size());
    return n;
}

std::size_t ArrayData::ColumnMajorOffset(const std::vector<std::int64_t>& index) const
{
    if (index.size() != bounds.size())
        throw ComputationError("index must have " + std::to_string(bounds.size()) + " entries");
    std::size_t offset = 0, stride = 1;
    for (std::size_t d = 0; d < bounds.size(); ++d) {
        if (index[d] < bounds[d].lower || index[d] > bounds[d].upper)
            throw ComputationError("index out of range");
        offset += static_cast<std::size_t>(index[d] - bounds[d].lower) * stride;
        stride *= static_cast<std::size_t>(bounds[d].Size());
    }
    return offset;
}

std::size_t ArrayData::FloatOffset(std::size_t k) const
{
    if (!rowMajor || bounds.size() < 2)
        return k;
    const auto rows = static_cast<std::size_t>(bounds[0].Size()), cols = static_cast<std::size_t>(bounds[1].Size());
    return (k % rows) * cols + k / rows;
}

Value ArrayData::Entry(std::size_t k) const
{
    return dataType == DataType::Float64 ? MakeFloat(floats[FloatOffset(k)]) : entries[k];
}

Value ArrayData::At(const std::vector<std::int64_t>& index) const { return Entry(ColumnMajorOffset(index)); }

double ArrayData::FloatAt(const std::vector<std::int64_t>& index) const
{
    return floats[FloatOffset(ColumnMajorOffset(index))];
}

Value MakeNumber(const Number& n) { return std::make_shared<const Node>(n); }
Value MakeInteger(std::int64_t n) { return MakeNumber(Number::Of(Real::Int(n))); }
Value MakeFloat(double v) { return MakeNumber(Number::Of(Real::Flt(v))); }
Value MakeText(std::string text) { return std::make_shared<const Node>(Text{std::move(text)}); }
Value MakeSymbol(std::string name) { return std::make_shared<const Node>(Symbol{std::move(name)}); }
Value MakeBoolean(bool value) { return std::make_shared<const Node>(Boolean{value}); }
Value MakeNothing() { return std::make_shared<const Node>(Nothing{}); }

Value MakeOperation(Op op, std::vector<Value> operands)
{
    return std::make_shared<const Node>(Operation{op, std::move(operands)});
}

Value MakeCall(Value function, std::vector<Value> args)
{
    return std::make_shared<const Node>(Call{std::move(function), std::move(args)});
}

Value MakeCall(const std::string& function, std::vector<Value> args)
{
    return MakeCall(MakeSymbol(function), std::move(args));
}

Value MakeIndexed(Value base, std::vector<Value> indices)
{
    return std::make_shared<const Node>(Indexed{std::move(base), std::move(indices)});
}

Value MakeList(std::vector<Value> items) { return std::make_shared<const Node>(List{std::move(items)}); }
Value MakeArray(ArrayData data) { return std::make_shared<const Node>(std::move(data)); }

bool IsAlgebraic(const Value& v)
{
    return Is<Number>(v) || Is<Symbol>(v) || Is<Operation>(v) || Is<Call>(v) || Is<Indexed>(v);
}

bool ContainsPart(const Value& v, const std::function<bool(const Value&)>& matches)
{
    if (matches(v))
        return true;
    const auto any = [&](const std::vector<Value>& parts) {
        for (const Value& part : parts)
            if (ContainsPart(part, matches))
                return true;
        return false;
    };
    if (const auto* o = As<Operation>(v))
        return any(o->operands);
    if (const auto* c = As<Call>(v))
        return any(c->args);
    if (const auto* i = As<Indexed>(v))
        return ContainsPart(i->base, matches) || any(i->indices);
    if (const auto* l = As<List>(v))
        return any(l->items);
    return false;
}

std::string FunctionName(const Value& function)
{
    if (const auto* s = As<Symbol>(function))
        return s->name;
    const auto* indexed = As<Indexed>(function);
    if (!indexed || !Is<Symbol>(indexed->base) || indexed->indices.size() != 1 || !Is<Symbol>(indexed->indices[0]))
        return {};
    return As<Symbol>(indexed->base)->name + "[" + As<Symbol>(indexed->indices[0])->name + "]";
}

}
