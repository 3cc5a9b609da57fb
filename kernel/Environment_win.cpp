#include "Environment.h"

#include <windows.h>

namespace kernel {

// Read through the system, not the C runtime's copy, so that a host's SetEnvironmentVariable is
// seen.
std::string EnvironmentValue(const char* name)
{
    const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0)
        return {};
    std::string value(size, '\0');
    const DWORD n = GetEnvironmentVariableA(name, value.data(), size);
    value.resize(n < size ? n : 0);
    return value;
}

}
