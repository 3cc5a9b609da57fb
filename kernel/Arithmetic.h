// Arithmetic on evaluated values: numbers fold into numbers, names and expressions build
// expressions, and arrays combine entry by entry (sums and differences of arrays of one shape,
// products and quotients with a scalar). Old-style arrays take part only once evalm has put
// them in place of their names.
#pragma once

#include "Value.h"

#include <vector>

namespace kernel {

Value Apply(Op op, const std::vector<Value>& operands);

}
