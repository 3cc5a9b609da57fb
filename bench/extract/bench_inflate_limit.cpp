// The limit for the extraction: zlib inflate and write of a setup file's records, natively, with
// nothing else in the way (no checksum, no window, no part files).
//
//   bench_inflate_limit SETUPFILE OUTFOLDER
//
// Prints the records, bytes written and the milliseconds taken.
#include "PackageLayout.h"

#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::size_t Piece = 262144;

struct Record {
    std::FILE* out = nullptr;
    std::string header;
    bool inBody = false;
};

void Take(Record& record, const std::string& folder, const char* data, std::size_t size)
{
    while (!record.inBody && size > 0) {
        if (*data == '\0') {
            record.inBody = true;
            const FileRecord parsed = ParseFileRecord(record.header + '\0');
            record.out = std::fopen((folder + "/" + parsed.name).c_str(), "ab");
        } else {
            record.header += *data;
        }
        ++data;
        --size;
    }
    if (record.out && size > 0)
        std::fwrite(data, 1, size, record.out);
}

std::uint64_t ExtractRecord(std::FILE* in, std::int32_t length, const std::string& folder)
{
    Record record;
    std::vector<char> input(Piece), output(Piece);
    std::uint64_t remaining = length < 0 ? -static_cast<std::int64_t>(length) : length, written = 0;
    z_stream z{};
    const bool compressed = length > 0;
    if (compressed)
        inflateInit(&z);
    while (remaining > 0) {
        const std::size_t got = std::fread(input.data(), 1, std::min<std::uint64_t>(Piece, remaining), in);
        if (got == 0)
            break;
        remaining -= got;
        if (!compressed) {
            Take(record, folder, input.data(), got);
            written += got;
            continue;
        }
        z.next_in = reinterpret_cast<Bytef*>(input.data());
        z.avail_in = static_cast<uInt>(got);
        int status = Z_OK;
        do {
            z.next_out = reinterpret_cast<Bytef*>(output.data());
            z.avail_out = Piece;
            status = inflate(&z, Z_NO_FLUSH);
            const std::size_t produced = Piece - z.avail_out;
            Take(record, folder, output.data(), produced);
            written += produced;
        } while (status == Z_OK && (z.avail_in > 0 || z.avail_out == 0));
    }
    if (compressed)
        inflateEnd(&z);
    if (record.out)
        std::fclose(record.out);
    return written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_inflate_limit SETUPFILE OUTFOLDER\n");
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();
    const auto source = OpenPackageSource(argv[1]);
    if (!source)
        return 1;
    const TTrailer trailer = ReadTrailer(*source);
    const std::uint64_t end = PackageEnd(*source);
    std::FILE* in = std::fopen(argv[1], "rb");
    std::uint64_t at = trailer.FirstBlockOffset(), written = 0;
    int blocks = 0, records = 0;
    while (MoreBlocksBefore(end, at)) {
        std::fseek(in, static_cast<long>(at), SEEK_SET);
        unsigned char raw[4];
        if (std::fread(raw, 1, 4, in) != 4)
            break;
        const auto length = static_cast<std::int32_t>(raw[0] | raw[1] << 8 | raw[2] << 16 | std::uint32_t(raw[3]) << 24);
        const std::uint64_t size = length < 0 ? -static_cast<std::int64_t>(length) : length;
        if (++blocks > trailer.TextBlockCount()) {
            written += ExtractRecord(in, length, argv[2]);
            ++records;
        }
        at += 4 + size;
    }
    std::fclose(in);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    std::printf("records %d, %llu bytes, %.1f ms\n", records, static_cast<unsigned long long>(written), ms);
    return 0;
}
