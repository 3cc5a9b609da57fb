#include "Arrays.h"

#include "Errors.h"
#include "Printer.h"

namespace kernel {
namespace {

std::vector<Bounds> FromOne(std::int64_t rows, std::int64_t cols)
{
    return cols < 0 ? std::vector<Bounds>{{1, rows}} : std::vector<Bounds>{{1, rows}, {1, cols}};
}

ArrayData Shaped(ArrayStyle style, Subtype subtype, std::vector<Bounds> bounds)
{
    ArrayData a;
    a.style = style;
    a.subtype = subtype;
    a.bounds = std::move(bounds);
    return a;
}

Value WithData(ArrayData a, std::vector<Value> entries)
{
    if (entries.size() != a.Count())
        throw ComputationError("the number of entries does not match the dimensions");
    a.entries = std::move(entries);
    return MakeArray(std::move(a));
}

// A one-dimensional value as a column: the length and the entries.
bool AsColumn(const Value& x, Grid& grid)
{
    if (const auto* a = As<ArrayData>(x); a && a->Dimensions() == 1) {
        const bool row = a->style == ArrayStyle::RTable && a->subtype == Subtype::RowVector;
        grid = {row ? 1 : a->Rows(), row ? a->Rows() : 1, Entries(*a)};
        return true;
    }
    if (const auto* l = As<List>(x); l && (l->items.empty() || !Is<List>(l->items[0]))) {
        grid = {static_cast<std::int64_t>(l->items.size()), 1, l->items};
        return true;
    }
    return false;
}

Grid TwoDimensional(const Value& x, const char* target)
{
    Grid grid;
    if (AsColumn(x, grid))
        return grid;
    if (const auto* a = As<ArrayData>(x); a && a->Dimensions() == 2)
        return {a->Rows(), a->Columns(), Entries(*a)};
    if (const auto* l = As<List>(x))
        return GridFromList(*l);
    throw ComputationError(std::string("unable to convert ") + Brief(x) + " to " + target);
}

}

Value OldVector(std::vector<Value> entries)
{
    const auto n = static_cast<std::int64_t>(entries.size());
    return WithData(Shaped(ArrayStyle::Vector, Subtype::ColumnVector, FromOne(n, -1)), std::move(entries));
}

Value OldMatrix(std::int64_t rows, std::int64_t cols, std::vector<Value> columnMajor)
{
    return WithData(Shaped(ArrayStyle::Matrix, Subtype::Matrix, FromOne(rows, cols)), std::move(columnMajor));
}

Value RTable(Subtype subtype, std::vector<Bounds> bounds, std::vector<Value> columnMajor)
{
    return WithData(Shaped(ArrayStyle::RTable, subtype, std::move(bounds)), std::move(columnMajor));
}

Value FloatRTable(Subtype subtype, std::vector<Bounds> bounds, std::vector<double> data, bool rowMajor)
{
    ArrayData a = Shaped(ArrayStyle::RTable, subtype, std::move(bounds));
    if (data.size() != a.Count())
        throw ComputationError("the number of entries does not match the dimensions");
    a.dataType = DataType::Float64;
    a.rowMajor = rowMajor;
    auto block = std::make_shared<const std::vector<double>>(std::move(data));
    a.floats = block->data();
    a.owned = std::move(block);
    return MakeArray(std::move(a));
}

bool SameShape(const ArrayData& a, const ArrayData& b)
{
    if (a.bounds.size() != b.bounds.size())
        return false;
    for (std::size_t d = 0; d < a.bounds.size(); ++d)
        if (a.bounds[d].Size() != b.bounds[d].Size())
            return false;
    return true;
}

std::vector<Value> Entries(const ArrayData& a)
{
    if (a.dataType != DataType::Float64)
        return a.entries;
    std::vector<Value> entries(a.Count());
    for (std::size_t k = 0; k < entries.size(); ++k)
        entries[k] = a.Entry(k);
    return entries;
}

Value WithEntries(const ArrayData& a, std::vector<Value> entries)
{
    return WithData(Shaped(a.style, a.subtype, a.bounds), std::move(entries));
}

Value MapEntries(const ArrayData& a, const std::function<Value(const Value&)>& f)
{
    std::vector<Value> entries(a.Count());
    for (std::size_t k = 0; k < entries.size(); ++k)
        entries[k] = f(a.Entry(k));
    return WithEntries(a, std::move(entries));
}

Grid GridFromList(const List& list)
{
    if (list.items.empty() || !Is<List>(list.items[0])) {
        const auto n = static_cast<std::int64_t>(list.items.size());
        return {1, n, list.items};
    }
    Grid grid;
    grid.rows = static_cast<std::int64_t>(list.items.size());
    grid.cols = static_cast<std::int64_t>(As<List>(list.items[0])->items.size());
    grid.columnMajor.resize(static_cast<std::size_t>(grid.rows * grid.cols));
    for (std::int64_t i = 0; i < grid.rows; ++i) {
        const auto* row = As<List>(list.items[static_cast<std::size_t>(i)]);
        if (!row || static_cast<std::int64_t>(row->items.size()) != grid.cols)
            throw ComputationError("the rows of a matrix must be lists of one length");
        for (std::int64_t j = 0; j < grid.cols; ++j)
            grid.columnMajor[static_cast<std::size_t>(j * grid.rows + i)] = row->items[static_cast<std::size_t>(j)];
    }
    return grid;
}

Value ToOldVector(const Value& x)
{
    Grid grid;
    if (!AsColumn(x, grid))
        throw ComputationError("unable to convert " + Brief(x) + " to vector");
    return OldVector(std::move(grid.columnMajor));
}

Value ToOldMatrix(const Value& x)
{
    Grid grid = TwoDimensional(x, "matrix");
    return OldMatrix(grid.rows, grid.cols, std::move(grid.columnMajor));
}

Value ToMatrixRTable(const Value& x)
{
    Grid grid = TwoDimensional(x, "Matrix");
    return RTable(Subtype::Matrix, FromOne(grid.rows, grid.cols), std::move(grid.columnMajor));
}

}
