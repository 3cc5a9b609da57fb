#include "ZStream.h"

#include "Description.h"

#include <zlib.h>

std::string Deflate(std::string_view data, int level)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), level) != Z_OK)
        throw BuildError("zlib could not compress a record");
    out.resize(size);
    return out;
}

// Record headers are a name and a date; anything longer is not one.
constexpr std::size_t MaxHead = 4096;

InflateSummary InflateSummaryOf(std::string_view stream)
{
    InflateSummary summary;
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return summary;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    z.avail_in = static_cast<uInt>(stream.size());
    unsigned char buffer[65536];
    int status = Z_OK;
    bool headDone = false;
    while (status == Z_OK) {
        z.next_out = buffer;
        z.avail_out = sizeof buffer;
        status = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = sizeof buffer - z.avail_out;
        for (std::size_t i = 0; i < produced && !headDone; ++i) {
            summary.head += static_cast<char>(buffer[i]);
            headDone = buffer[i] == 0 || summary.head.size() >= MaxHead;
        }
        summary.size += produced;
        if (status == Z_BUF_ERROR && z.avail_in == 0)
            break;
    }
    summary.ok = status == Z_STREAM_END;
    inflateEnd(&z);
    return summary;
}
