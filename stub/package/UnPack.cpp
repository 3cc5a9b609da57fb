#include "UnPack.h"

#include "Files.h"
#include "KDebug.h"
#include "KMsgBox.h"
#include "StubWin.h"
#include "UtilsWin.h"

namespace {

// A record's target file, held open from its first piece to its last.
class TAppendedFile final : public TExtractFile {
public:
    explicit TAppendedFile(WinHandle file) : file_(std::move(file)) {}
    bool Write(std::string_view piece) override { return WriteToFile(file_.Get(), piece) == piece.size(); }
    void Close(std::uint32_t dosDate) override
    {
        if (dosDate != 0)
            SetFileDate(file_.Get(), dosDate);
        file_.Reset();
    }

private:
    WinHandle file_;
};

class TSystemExtractHost final : public TExtractHost {
public:
    TSystemExtractHost(ProgressObserver progress, const std::string& caption, const std::string& buttons,
                       std::uint8_t charset)
        : progress_(progress), caption_(caption), buttons_(buttons), charset_(charset)
    {
    }

    bool FileExists(const std::string& path) override { return ::FileExists(path); }
    std::unique_ptr<PackageSource> OpenSource(const std::string& path) override { return OpenPackageSource(path); }
    void CreateFolders(const std::string& folder) override { CreateFolderPath(folder); }
    std::unique_ptr<TExtractFile> OpenForAppend(const std::string& path) override
    {
        WinHandle file = OpenOrCreateAtEnd(path);
        if (!file.Valid())
            return nullptr;
        return std::make_unique<TAppendedFile>(std::move(file));
    }
    bool WriteWholeFile(const std::string& path, std::string_view bytes, const std::string& dateFrom) override
    {
        return WriteFileBytes(path, bytes, 0, false) && CopyLastWriteTime(dateFrom, path);
    }
    std::uint64_t FileSize(const std::string& path) override { return static_cast<std::uint64_t>(FileSizeOfPath(path)); }
    double FreeBytes(const std::string& path) override { return DiskFreeBytes(path); }
    std::string LastErrorText() override { return SystemErrorText(); }
    void EjectDisk(const std::string& path) override { EjectCdDrive(path); }
    bool AskForDisk(const std::string& text) override { return MsgBoxOkCancel(0, text, caption_, charset_, buttons_); }
    void ShowError(const std::string& text) override { MsgBoxError(0, text, "", charset_, buttons_); }
    void AnswerAutoPlay() override { AnswerQueryCancelAutoPlay(); }
    // Pending messages are dispatched at most every few milliseconds: often enough for a window
    // that answers at once, rarely enough that a 64 KiB read is not dwarfed by a round trip to
    // the window system for every one of them.
    void PumpMessages() override
    {
        const DWORD now = GetTickCount();
        if (now - lastDispatch_ >= DispatchIntervalMs) {
            DispatchPendingMessages();
            lastDispatch_ = now;
        }
    }
    void Wait(int milliseconds) override { WaitWithMessagePump(0, milliseconds); }
    void ProgressStart(int total) override { progress_(0, 0, total, 0, 1, ""); }
    void ProgressStep() override { progress_(1, 0, 0, 0, 0, ""); }
    void Debug(const std::string& line) override { DebugWriteLine(line); }
    std::int64_t Milliseconds() override { return MillisecondClock(); }

private:
    static constexpr DWORD DispatchIntervalMs = 10;

    ProgressObserver progress_;
    const std::string& caption_;
    const std::string& buttons_;
    std::uint8_t charset_;
    DWORD lastDispatch_ = GetTickCount() - DispatchIntervalMs;
};

} // namespace

bool ExtractPackage(const std::string& source, const std::string& destDir, const std::string& agentName,
                    bool& checksumOK, ProgressObserver progress, const std::string& diskPrompt,
                    const std::string& caption, const std::string& buttons, std::uint8_t charset, bool forcePrompt,
                    std::string& runName)
{
    TSystemExtractHost host(progress, caption, buttons, charset);
    checksumOK = false;
    runName.clear();
    const TExtractResult result = ExtractPackageWith(host, source, destDir, agentName, diskPrompt, forcePrompt);
    checksumOK = result.ChecksumOK;
    runName = result.RunName;
    return result.Answer;
}
