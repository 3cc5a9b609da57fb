// The one-line printed form of values, as statements ending with ";" and print show them.
#pragma once

#include "Value.h"

#include <string>

namespace kernel {

std::string Print(const Value& v);
// The printed form cut to a length that suits an error message.
std::string Brief(const Value& v);

}
