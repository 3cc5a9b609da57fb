// Output files that appear all together or not at all: each is written under a temporary name
// beside its final one, and Commit renames them; otherwise they are removed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

struct OutputFile {
    std::filesystem::path final, temp;
    std::FILE* file = nullptr;
    std::uint64_t size = 0;
    // Where the package in it starts (0 for part files that start with records) and ends.
    std::uint32_t firstBlockOffset = 0;
    std::uint64_t packageEnd = 0;
};

class OutputSet {
public:
    OutputSet() = default;
    OutputSet(const OutputSet&) = delete;
    OutputSet& operator=(const OutputSet&) = delete;
    ~OutputSet();

    OutputFile& Open(const std::filesystem::path& final);
    void Write(OutputFile& f, std::string_view bytes);
    void PatchAt(OutputFile& f, std::uint64_t offset, std::string_view bytes);
    void Flush(OutputFile& f);
    // The final paths, in the order the files were opened.
    std::vector<std::filesystem::path> Commit();
    const std::vector<std::unique_ptr<OutputFile>>& Files() const { return files_; }

private:
    std::vector<std::unique_ptr<OutputFile>> files_;
    bool committed_ = false;
};
