// The procedures of the host's library: vinfo, isNumeric and isComplex tell the host what a
// variable holds. They are callable only while the library path holds the host library.
#pragma once

#include "Builtins.h"

namespace kernel {

// Class codes: 0 scalar, 11 old-style vector, 12 Vector, 20 matrix or Matrix, 30 string,
// 40 matrix expression, 5 anything else.
Value VInfo(Session& s, const Arguments& args);
// 1 for a number, or an array or list of numbers only; else 0.
Value IsNumeric(Session& s, const Arguments& args);
// 1 for a complex number, or an array or list holding one; else 0.
Value IsComplex(Session& s, const Arguments& args);

}
