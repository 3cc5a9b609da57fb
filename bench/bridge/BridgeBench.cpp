// Throughput of the bridge, measured the way a host uses it, next to what it is measured
// against: scalar round trips through the bridge against the same work done by direct kernel
// calls, and a matrix brought over and back against a plain copy of its bytes.
#include "BoxWatcher.h"
#include "BridgeHost.h"
#include "MapleKernel.h"
#include "ScratchFolder.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>
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

// One stage of the matrix round trip; throws when the bridge reports an error.
template <class F> double Timed(const char* stage, F&& call)
{
    const auto start = Clock::now();
    double status = 0;
    call(&status);
    if (status != 0)
        throw std::runtime_error(std::string(stage) + " failed");
    return Seconds(start);
}

// An n x n matrix put, classified, exported and fetched back, as a host brings one over and back.
void Matrix(const BridgeExports& e, int n)
{
    const std::size_t count = static_cast<std::size_t>(n) * n;
    std::vector<double> block(count), back(count);
    for (std::size_t k = 0; k < count; ++k)
        block[k] = 0.5 * static_cast<double>(k);
    double dim = n, kind, code, rows, cols, length, complex, part = 0;
    const double put = Timed("mpl_matput", [&](double* s) { e.mpl_matput(s, "M", block.data(), &dim, &dim); });
    const double classify = Timed("mpl_syminfo", [&](double* s) {
        e.mpl_syminfo(s, "M", &kind, &code, &rows, &cols, &length, &complex);
    });
    const double exported = Timed("mpl_rtcreate", [&](double* s) { e.mpl_rtcreate(s, "M", &rows, &cols, &part); });
    const double fetched = Timed("mpl_matget", [&](double* s) { e.mpl_matget(s, "_zz", back.data()); });
    if (code != 20 || rows != n || cols != n)
        throw std::runtime_error("matrix classified or exported wrongly");
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i)
        for (std::size_t j = 0; j < static_cast<std::size_t>(n); ++j)
            if (back[i * n + j] != block[j * n + i])
                throw std::runtime_error("matrix came back wrongly");

    const int copies = 20;
    const auto start = Clock::now();
    for (int c = 0; c < copies; ++c) {
        block[c] += 1;   // a new source each time, so that no copy can be left out
        std::memcpy(back.data(), block.data(), count * sizeof(double));
    }
    const double copy = Seconds(start) / copies;

    const double megabytes = static_cast<double>(count * sizeof(double)) / 1e6;
    const double total = put + classify + exported + fetched;
    std::printf("%d x %d real matrix (%.0f MB) over and back:\n", n, n, megabytes);
    std::printf("  mpl_matput %.3f s, mpl_syminfo %.3f s, mpl_rtcreate %.3f s, mpl_matget %.3f s\n", put, classify,
                exported, fetched);
    std::printf("  round trip           %12.1f MB/s\n", megabytes / total);
    std::printf("  plain memory copy    %12.1f MB/s\n", megabytes / copy);
    std::printf("  round trip / copy    %12.5f\n", copy / total);
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
        Matrix(*host, 1000);
        host->mpl_close(&status);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bridge bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
