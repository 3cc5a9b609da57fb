// The two ways a statement can fail in the stand-in kernel.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace kernel {

// The text is not a statement; offset is the byte where reading stopped.
struct SyntaxError : std::runtime_error {
    SyntaxError(std::size_t at, const std::string& message) : std::runtime_error(message), offset(at) {}
    std::size_t offset;
};

// A statement that reads well but cannot be computed.
struct ComputationError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}
