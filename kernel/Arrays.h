// Vectors, matrices and rtables: making them, their shapes, and converting between the
// old-style tables, rtables and lists.
#pragma once

#include "Value.h"

#include <functional>
#include <vector>

namespace kernel {

Value OldVector(std::vector<Value> entries);
Value OldMatrix(std::int64_t rows, std::int64_t cols, std::vector<Value> columnMajor);
Value RTable(Subtype subtype, std::vector<Bounds> bounds, std::vector<Value> columnMajor);
// An rtable of hardware floats in a block the kernel owns.
Value FloatRTable(Subtype subtype, std::vector<Bounds> bounds, std::vector<double> data, bool rowMajor);

bool SameShape(const ArrayData& a, const ArrayData& b);
std::vector<Value> Entries(const ArrayData& a);
// An array of the same kind and shape as a, holding other entries (column-major).
Value WithEntries(const ArrayData& a, std::vector<Value> entries);
Value MapEntries(const ArrayData& a, const std::function<Value(const Value&)>& f);

// The rows of a list of lists of one length; a plain list is one row.
struct Grid {
    std::int64_t rows = 0, cols = 0;
    std::vector<Value> columnMajor;
};
Grid GridFromList(const List& list);

// convert(x, vector), convert(x, matrix) and convert(x, Matrix) of a resolved value.
Value ToOldVector(const Value& x);
Value ToOldMatrix(const Value& x);
Value ToMatrixRTable(const Value& x);

}
