// Throughput of the bridge, measured the way a host uses it, next to what it is measured
// against: scalar round trips through the bridge against the same work done by direct kernel
// calls.
#include "BoxWatcher.h"
#include "BridgeHost.h"
#include "MapleKernel.h"
#include "ScratchFolder.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Round trips per second of one value put into "x" and read back through the bridge.
double BridgeRoundTrips(const BridgeExports& e, int count)
{
    double status = 0, back = 0;
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        double value = i + 0.5;
        e.mpl_valput(&status, "x", &value);
        e.mpl_valget(&status, "x", &back);
        if (status != 0 || back != value)
            throw std::runtime_error("bridge round trip failed");
    }
    return count / Seconds(start);
}

// The same through the kernel calls that mpl_valput and mpl_valget make.
double DirectRoundTrips(MapleKernel k, int count)
{
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        const double value = i + 0.5;
        MapleAssign(k, ToMapleName(k, "x", 1), ToMapleFloat(k, value));
        if (MapleEvalhf(k, ToMapleName(k, "x", 1)) != value)
            throw std::runtime_error("direct round trip failed");
    }
    return count / Seconds(start);
}

void Scalars(const BridgeExports& e, int count)
{
    MapleKernel k = StartMaple(0, nullptr, nullptr, nullptr, nullptr, nullptr);
    const double bridge = BridgeRoundTrips(e, count);
    const double direct = DirectRoundTrips(k, count);
    StopMaple(k);
    std::printf("scalar round trips (mpl_valput + mpl_valget), %d each:\n", count);
    std::printf("  through the bridge   %12.0f /s\n", bridge);
    std::printf("  direct kernel calls  %12.0f /s\n", direct);
    std::printf("  bridge / direct      %12.2f\n", bridge / direct);
}

}

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 200000;
    try {
        ScratchFolder folder;
        BoxWatcher boxes;
        BridgeHost host;
        double status = 0;
        host->mpl_open(&status, folder.HostFolder().c_str());
        if (status != 0)
            throw std::runtime_error("mpl_open failed");
        Scalars(*host, count);
        host->mpl_close(&status);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bridge bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
