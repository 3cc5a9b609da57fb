// Any bytes as a setup file handed to the extraction: it must stay inside the data, never create a
// file whose name is not a plain file name, and fail only with EZLibError (a damaged stream).
#include "PackageLayout.h"
#include "UnPackCore.h"
#include "ZLibOpen.h"

#include <cstdint>

namespace {

const std::string Source = "D:\\Setup.exe";
const std::string Dest = "C:\\TEMP\\SETUP_1";

class DiscardedFile final : public TExtractFile {
public:
    bool Write(std::string_view) override { return true; }
    void Close(std::uint32_t) override {}
};

class FuzzHost final : public TExtractHost {
public:
    explicit FuzzHost(std::string_view bytes) : bytes_(bytes) {}

    bool FileExists(const std::string& path) override { return path == Source; }
    std::unique_ptr<PackageSource> OpenSource(const std::string& path) override
    {
        return path == Source ? std::make_unique<MemorySource>(bytes_) : nullptr;
    }
    void CreateFolders(const std::string&) override {}
    std::unique_ptr<TExtractFile> OpenForAppend(const std::string& path) override
    {
        // Only plain names may reach the file system.
        if (path.size() <= Dest.size() + 1 || !IsPlainFileName(path.substr(Dest.size() + 1)))
            __builtin_trap();
        return std::make_unique<DiscardedFile>();
    }
    bool WriteWholeFile(const std::string&, std::string_view, const std::string&) override { return true; }
    std::uint64_t FileSize(const std::string&) override { return 0; }
    double FreeBytes(const std::string&) override { return 0; }
    std::string LastErrorText() override { return ""; }
    void EjectDisk(const std::string&) override {}
    bool AskForDisk(const std::string&) override { return false; }
    void ShowError(const std::string&) override {}
    void AnswerAutoPlay() override {}
    void PumpMessages() override {}
    void Wait(int) override {}
    void ProgressStart(int) override {}
    void ProgressStep() override {}
    void Debug(const std::string&) override {}
    std::int64_t Milliseconds() override { return 0; }

private:
    std::string_view bytes_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzHost host(std::string_view(reinterpret_cast<const char*>(data), size));
    try {
        ExtractPackageWith(host, Source, Dest, "Agent.exe", "<DISK_NUM>", false);
    } catch (const EZLibError&) {
    }
    return 0;
}
