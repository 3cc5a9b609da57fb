// The functions a statement can call.
#pragma once

#include "Session.h"
#include "Value.h"

#include <string>
#include <vector>

namespace kernel {

using Arguments = std::vector<Value>;

// Calls the function of that name with evaluated arguments. An unknown name is an error, and so
// is a library procedure while the library path does not provide it.
Value CallFunction(Session& s, const std::string& name, const Arguments& args);

// evalhf: a hardware-float number, a list of them, or a float64 rtable for an array.
Value HardwareFloats(Session& s, const Value& v);

// True for an expression that refers to an old-style vector or matrix by name: a matrix
// expression that evalm can work out.
bool MentionsArray(const Session& s, const Value& v);

// Helpers the library procedures share with the built-in functions.
void ExpectArguments(const std::string& name, const Arguments& args, std::size_t low, std::size_t high);

}
