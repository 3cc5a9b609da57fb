#include "Environment.h"

#include <cstdlib>

namespace kernel {

std::string EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

}
