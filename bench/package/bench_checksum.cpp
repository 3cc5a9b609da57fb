// Times PackageChecksum over one file: prints the best and the median of the runs in ms.
#include "PackageLayout.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_checksum FILE [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 10;
    std::vector<double> ms;
    std::uint32_t sum = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        sum = PackageChecksum(argv[1], TrailerSize);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("checksum %u best %.1f ms median %.1f ms over %d runs\n", sum, ms.front(), ms[ms.size() / 2], runs);
    return 0;
}
