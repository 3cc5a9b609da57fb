// zlib streams of file records for the builder and the inspector.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One zlib stream (header, deflate data, Adler-32) of data.
std::string Deflate(std::string_view data, int level);

struct InflateSummary {
    bool ok = false;
    std::uint64_t size = 0;
    // The first bytes of the output, up to and with the first NUL (the record header).
    std::string head;
};
// Inflates without keeping the output: its size and its record header.
InflateSummary InflateSummaryOf(std::string_view stream);
