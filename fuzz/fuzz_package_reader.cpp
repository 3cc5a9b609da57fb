// Any bytes as a package file: the trailer, end mark, checksum, blocks and records must be read
// without reading outside the data or allocating more than it holds.
#include "PackageLayout.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const MemorySource file(std::string_view(reinterpret_cast<const char*>(data), size));
    const TTrailer trailer = ReadTrailer(file);
    PackageChecksum(file, trailer.TrailerLength());
    const std::uint64_t end = PackageEnd(file);
    std::uint64_t at = trailer.FirstBlockOffset();
    do {
        const PackageBlock block = ReadBlock(file, at, end);
        if (block.data.size() > size)
            __builtin_trap();
        const FileRecord record = ParseFileRecord(block.data);
        IsPlainFileName(record.name);
        at = block.next;
    } while (MoreBlocksBefore(end, at));
    return 0;
}
