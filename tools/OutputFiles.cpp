#include "OutputFiles.h"

#include "Description.h"

#include <cerrno>
#include <cstring>

namespace fs = std::filesystem;

namespace {

bool SeekTo(std::FILE* file, std::uint64_t offset, int origin)
{
#ifdef _WIN32
    return _fseeki64(file, static_cast<long long>(offset), origin) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), origin) == 0;
#endif
}

[[noreturn]] void CannotWrite(const OutputFile& f, const std::string& why = "")
{
    throw BuildError("cannot write " + f.final.string() + why);
}

} // namespace

OutputSet::~OutputSet()
{
    for (const auto& f : files_) {
        if (f->file)
            std::fclose(f->file);
        if (!committed_) {
            std::error_code ignored;
            fs::remove(f->temp, ignored);
        }
    }
}

OutputFile& OutputSet::Open(const fs::path& final)
{
    auto f = std::make_unique<OutputFile>();
    f->final = final;
    f->temp = final;
    f->temp += ".packbuild-tmp";
    // The output may go to a folder that does not exist yet, as out/ in the README's example.
    std::error_code error;
    if (final.has_parent_path())
        fs::create_directories(final.parent_path(), error);
    if (error)
        CannotWrite(*f, ": " + error.message());
    f->file = std::fopen(f->temp.string().c_str(), "w+b");
    if (!f->file)
        CannotWrite(*f, std::string(": ") + std::strerror(errno));
    files_.push_back(std::move(f));
    return *files_.back();
}

void OutputSet::Write(OutputFile& f, std::string_view bytes)
{
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.file) != bytes.size())
        CannotWrite(f, " (disk full?)");
    f.size += bytes.size();
}

void OutputSet::PatchAt(OutputFile& f, std::uint64_t offset, std::string_view bytes)
{
    if (!SeekTo(f.file, offset, SEEK_SET) || std::fwrite(bytes.data(), 1, bytes.size(), f.file) != bytes.size() ||
        !SeekTo(f.file, 0, SEEK_END))
        CannotWrite(f);
}

void OutputSet::Flush(OutputFile& f)
{
    if (std::fflush(f.file) != 0)
        CannotWrite(f);
}

std::vector<fs::path> OutputSet::Commit()
{
    for (const auto& f : files_) {
        const bool closed = std::fclose(f->file) == 0;
        f->file = nullptr;
        if (!closed)
            CannotWrite(*f);
    }
    std::vector<fs::path> written;
    for (const auto& f : files_) {
        std::error_code error;
        fs::rename(f->temp, f->final, error);
        if (error)
            CannotWrite(*f, ": " + error.message());
        written.push_back(f->final);
    }
    committed_ = true;
    return written;
}
