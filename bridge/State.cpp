#include "State.h"

#include <cmath>

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
