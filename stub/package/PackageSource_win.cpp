// Package files through the Win32 file calls: read access, other processes may go on reading and
// writing the file. Kept to this one file so that it can move onto the Files module unchanged.
#include "PackageSource.h"

#include <windows.h>

namespace {

class Win32FileSource final : public PackageSource {
public:
    explicit Win32FileSource(HANDLE file) : file_(file) {}
    ~Win32FileSource() override { CloseHandle(file_); }
    Win32FileSource(const Win32FileSource&) = delete;
    Win32FileSource& operator=(const Win32FileSource&) = delete;

    std::uint64_t Size() const override
    {
        LARGE_INTEGER size{};
        return GetFileSizeEx(file_, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    }

    // A seek and a plain read: a read given its offset in an OVERLAPPED record costs Wine a round
    // trip to its server for every call, which a walk over a large package makes thousands of.
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const override
    {
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(file_, position, nullptr, FILE_BEGIN))
            return 0;
        std::size_t done = 0;
        while (done < count) {
            const DWORD want = static_cast<DWORD>(count - done > 0x40000000 ? 0x40000000 : count - done);
            DWORD got = 0;
            if (!ReadFile(file_, static_cast<char*>(buffer) + done, want, &got, nullptr) || got == 0)
                break;
            done += got;
        }
        return done;
    }

private:
    HANDLE file_;
};

} // namespace

std::unique_ptr<PackageSource> OpenPackageSource(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<Win32FileSource>(file);
}

std::uint64_t DriveClusterSize(const std::string& path)
{
    const std::string root = path.substr(0, 3);
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return 0;
    return static_cast<std::uint64_t>(sectorsPerCluster) * bytesPerSector;
}
