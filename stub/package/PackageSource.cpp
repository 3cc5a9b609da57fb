#include "PackageSource.h"

#include <algorithm>
#include <cstring>

std::size_t MemorySource::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const
{
    if (offset >= bytes_.size())
        return 0;
    const std::size_t n = std::min<std::uint64_t>(count, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, n);
    return n;
}
