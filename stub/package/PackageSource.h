// Where the package code gets its bytes from. The package readers never touch the file system
// themselves: they ask a source for its size and for bytes at an offset, so the same code runs
// over a file (POSIX or Win32) and over bytes in memory (tests and fuzz targets).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class PackageSource {
public:
    virtual ~PackageSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies up to count bytes from offset into buffer and returns how many it copied: fewer at
    // the end of the data or on a read error, 0 at or beyond the end.
    virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const = 0;
};

// A source over bytes the caller keeps alive.
class MemorySource final : public PackageSource {
public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const override;

private:
    std::string_view bytes_;
};

// Opens an existing file for reading while other processes may read and write it; null when it
// cannot be opened. The file stays open as long as the source lives.
std::unique_ptr<PackageSource> OpenPackageSource(const std::string& path);

// Bytes per cluster of the drive that holds path, 0 when the system cannot tell.
std::uint64_t DriveClusterSize(const std::string& path);
