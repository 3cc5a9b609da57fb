// The process environment as the kernel reads it. Tests make the kernel fail to start or to
// restart through STANDIN_KERNEL_START_ERROR and STANDIN_KERNEL_RESTART_ERROR: a non-empty value
// is the error text the call then reports.
#pragma once

#include <string>

namespace kernel {

// Empty when the variable is not set.
std::string EnvironmentValue(const char* name);

}
