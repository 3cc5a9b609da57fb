// Package files on POSIX systems: the native tests and the setup builder.
#include "PackageSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

class PosixFileSource final : public PackageSource {
public:
    explicit PosixFileSource(int fd) : fd_(fd) {}
    ~PosixFileSource() override { close(fd_); }
    PosixFileSource(const PosixFileSource&) = delete;
    PosixFileSource& operator=(const PosixFileSource&) = delete;

    std::uint64_t Size() const override
    {
        struct stat st {};
        return fstat(fd_, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    }

    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const override
    {
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n = pread(fd_, static_cast<char*>(buffer) + done, count - done,
                                    static_cast<off_t>(offset + done));
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

private:
    int fd_;
};

} // namespace

std::unique_ptr<PackageSource> OpenPackageSource(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<PosixFileSource>(fd);
}

std::uint64_t DriveClusterSize(const std::string& path)
{
    struct statvfs fs {};
    return statvfs(path.c_str(), &fs) == 0 ? static_cast<std::uint64_t>(fs.f_frsize) : 0;
}
