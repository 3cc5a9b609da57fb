#include "State.h"

#include <cmath>
#include <cstring>

BridgeState& Bridge()
{
    static BridgeState state;
    return state;
}

std::int64_t Truncated(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9.2233720368547758e18)
        return INT64_MAX;
    if (value <= -9.2233720368547758e18)
        return INT64_MIN;
    return static_cast<std::int64_t>(value);
}

void CopyCaptureTo(char* buffer, std::int64_t bufferSize, double* size)
{
    const std::string& captured = Bridge().capture;
    if (static_cast<std::int64_t>(captured.size()) < bufferSize)
        std::memcpy(buffer, captured.c_str(), captured.size() + 1);
    *size = static_cast<double>(captured.size());
}
