#include "UnPackCore.h"

#include "PackageLayout.h"
#include "PathText.h"
#include "Utils.h"
#include "ZLibOpen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

int writeFailures = 0;

// The content of one file record as it arrives: the header up to its NUL byte, then the body,
// which goes straight into the target file.
class TRecordWriter {
public:
    TRecordWriter(TExtractHost& host, const std::string& destDir, std::string& runName)
        : host_(host), destDir_(destDir), runName_(runName)
    {
    }

    void Take(std::string_view piece)
    {
        if (state_ == State::Header)
            piece = TakeHeader(piece);
        if (state_ == State::Body) {
            bodySize_ += piece.size();
            if (file_ && !piece.empty() && !file_->Write(piece)) {
                writeFailed_ = true;
                file_.reset();
            }
        }
    }

    // After the record's last byte.
    void End()
    {
        if (state_ != State::Body)
            return;
        if (file_) {
            file_->Close(dosDate_);
            file_.reset();
        }
        if (refused_)
            ReportFailure("The file name is not allowed.");
        else if (writeFailed_)
            ReportFailure(WriteDiagnosis());
    }

private:
    enum class State { Header, Body, Skip };

    // Collects the header; returns what follows its NUL byte.
    std::string_view TakeHeader(std::string_view piece)
    {
        const std::size_t nul = piece.find('\0');
        const std::string_view part = piece.substr(0, nul);
        if (header_.size() + part.size() <= RecordHeaderLimit)
            header_.append(part);
        else
            headerTooLong_ = true;
        if (nul == std::string_view::npos)
            return {};
        StartBody();
        return piece.substr(nul + 1);
    }

    void StartBody()
    {
        if (header_.empty() && !headerTooLong_) {
            state_ = State::Skip;
            return;
        }
        state_ = State::Body;
        const FileRecord record = ParseFileRecord(header_ + '\0');
        path_ = destDir_ + "\\" + record.name;
        dosDate_ = record.dosDate;
        // A name that is not a plain file name could reach outside the extraction folder; such a
        // record is refused and names no program to run.
        refused_ = headerTooLong_ || destDir_.empty() || !IsPlainFileName(record.name);
        if (refused_)
            return;
        if (!record.runName.empty())
            runName_ = record.runName;
        if (!host_.FileExists(path_))
            host_.ProgressStep();
        file_ = host_.OpenForAppend(path_);
        writeFailed_ = !file_;
    }

    std::string WriteDiagnosis()
    {
        const double freeBytes = host_.FreeBytes(path_);
        return host_.LastErrorText() + "<P>" + "  Data Size: <T>" + std::to_string(bodySize_) + " Bytes<P>" +
               "  File Size:  <T>" + std::to_string(host_.FileSize(path_)) + " Bytes<P>" +
               "  Bytes Free: <T>" + std::to_string(static_cast<std::int64_t>(std::trunc(freeBytes))) + " Bytes";
    }

    void ReportFailure(const std::string& reason)
    {
        if (++writeFailures == 1)
            host_.ShowError(path_ + "<P><P>Unable to save Extracted File!<P><P>" + reason);
    }

    TExtractHost& host_;
    const std::string& destDir_;
    std::string& runName_;
    State state_ = State::Header;
    std::string header_;
    bool headerTooLong_ = false;
    std::string path_;
    std::uint32_t dosDate_ = 0;
    std::unique_ptr<TExtractFile> file_;
    bool refused_ = false;
    bool writeFailed_ = false;
    std::uint64_t bodySize_ = 0;
};

class TUnPacker {
public:
    TUnPacker(TExtractHost& host, const std::string& source, const std::string& destDir, const std::string& agentName,
              const std::string& diskPrompt, bool forcePrompt)
        : host_(host), source_(source), destDir_(destDir), agentName_(agentName), diskPrompt_(diskPrompt),
          forcePrompt_(forcePrompt)
    {
    }

    TExtractResult Run()
    {
        const std::int64_t startedAt = host_.Milliseconds();
        base_ = EndsWith(".001", source_, false) ? source_.substr(0, source_.size() - 4) : source_;
        host_.ProgressStart(0);
        for (;;) {
            if (host_.FileExists(source_) && !ExtractPart())
                break;
            if (!SwitchPart())
                break;
        }
        if (!result_.Answer)
            result_.RunName.clear();
        host_.Debug("UnCompressTime: " + std::to_string(host_.Milliseconds() - startedAt) + " MS");
        host_.Debug("");
        host_.Wait(500);
        return result_;
    }

private:
    // One part file; false when the extraction stops here (checksum, damage).
    bool ExtractPart()
    {
        if (!ChecksumHolds())
            return false;
        const auto file = host_.OpenSource(source_);
        if (!file)
            return true;
        const std::uint64_t fileLen = PackageEnd(*file);
        host_.Debug("FileLen=" + std::to_string(fileLen));
        if (!trailer_.HasMagic())
            return true;
        if (part_ == 1)
            host_.ProgressStart(static_cast<int>(trailer_.FilesCount()));
        PrepareFolder();
        if (!ExtractBlocks(*file, fileLen)) {
            result_.ChecksumOK = false;
            return false;
        }
        if (part_ == 1 && !FileNameOf(agentName_).empty() &&
            (EndsWith(".exe", source_, true) || EndsWith(".exe.001", source_, true)))
            WriteAgentFile(*file);
        return true;
    }

    // Reads the part's trailer and checks the part against its checksum.
    bool ChecksumHolds()
    {
        const auto file = host_.OpenSource(source_);
        trailer_ = file ? ReadTrailer(*file) : TTrailer{};
        if (part_ == 1)
            host_.Debug("FileInfo.FilesCount=" + std::to_string(trailer_.FilesCount()));
        result_.ChecksumOK =
            file && ChecksumPasses(PackageChecksum(*file, trailer_.TrailerLength()), trailer_.Checksum());
        return result_.ChecksumOK;
    }

    void PrepareFolder()
    {
        if (destDir_.empty())
            host_.ShowError(destDir_ + "<P><P>Unable to create Directory!<P><P>" + host_.LastErrorText());
        else
            host_.CreateFolders(destDir_);
    }

    // The block loop of a part; false when a block runs past the end of the part's blocks.
    bool ExtractBlocks(const PackageSource& file, std::uint64_t fileLen)
    {
        const std::uint64_t readable = std::min<std::uint64_t>(fileLen, file.Size());
        const std::uint64_t blocksEnd = readable - std::min<std::uint64_t>(readable, trailer_.TrailerLength());
        std::uint64_t pos = trailer_.FirstBlockOffset();
        if (pos == blocksEnd)
            return true;
        do {
            host_.PumpMessages();
            std::uint8_t raw[4];
            if (pos > blocksEnd || blocksEnd - pos < 4 || file.ReadAt(pos, raw, 4) != 4)
                return false;
            const auto length = static_cast<std::int32_t>(std::uint32_t(raw[0]) | std::uint32_t(raw[1]) << 8 |
                                                          std::uint32_t(raw[2]) << 16 | std::uint32_t(raw[3]) << 24);
            const auto size = static_cast<std::uint64_t>(std::llabs(static_cast<long long>(length)));
            if (size > blocksEnd - pos - 4)
                return false;
            const std::uint64_t dataAt = pos + 4;
            pos = dataAt + size;
            ++blocksSeen_;
            if (blocksSeen_ == trailer_.TextBlockCount())
                headerEnd_ = pos;
            if (blocksSeen_ > trailer_.TextBlockCount() && !ExtractRecord(file, dataAt, size, length > 0))
                return false;
        } while (MoreBlocksBefore(fileLen, pos));
        return true;
    }

    // Streams one file record into its file; false when its bytes cannot be read.
    bool ExtractRecord(const PackageSource& file, std::uint64_t at, std::uint64_t size, bool compressed)
    {
        TRecordWriter writer(host_, destDir_, result_.RunName);
        const auto take = [&writer](std::string_view piece) { writer.Take(piece); };
        std::unique_ptr<TZLibInflater> inflater;
        if (compressed)
            inflater = std::make_unique<TZLibInflater>([this] { host_.PumpMessages(); });
        std::vector<char> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(size, ExtractReadSize)));
        for (std::uint64_t done = 0; done < size;) {
            const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), size - done));
            if (file.ReadAt(at + done, chunk.data(), want) != want)
                return false;
            done += want;
            const std::string_view piece(chunk.data(), want);
            if (inflater)
                inflater->Feed(piece, take);
            else
                take(piece);
            host_.PumpMessages();
        }
        if (inflater)
            inflater->Finish();
        writer.End();
        return true;
    }

    // The program image and text blocks of the first part with a new trailer: an update agent.
    void WriteAgentFile(const PackageSource& file)
    {
        if (headerEnd_ == 0)
            return;
        TTrailer agentTrailer = ReadTrailer(file);
        std::string agent(static_cast<std::size_t>(headerEnd_), '\0');
        agent.resize(file.ReadAt(0, agent.data(), agent.size()));
        // No end mark: the agent file ends with its trailer.
        if (agent.size() >= PackageEndOffset + 8)
            agent.replace(PackageEndOffset + 4, 4, 4, '\0');
        agentTrailer.bytes[TTrailer::OffAutoUpdateProg] = 1;
        agentTrailer.SetU32(TTrailer::OffTrailerLength, TrailerSize);
        agent += EncodeTrailer(agentTrailer);
        const std::string path = destDir_ + "\\" + FileNameOf(agentName_);
        host_.WriteWholeFile(path, agent, source_);
        host_.Debug(std::to_string(CurrentProcessId()) + " New AU-Agent: " + path);
    }

    // Moves on to the next part when this one says more follow; false when there is none or the
    // user cancelled.
    bool SwitchPart()
    {
        if (!trailer_.HasFlags(FlagMorePartsFollow))
            return false;
        host_.AnswerAutoPlay();
        ++part_;
        source_ = PartFileName(base_, part_);
        if (forcePrompt_ || !host_.FileExists(source_)) {
            host_.EjectDisk(source_);
            const std::string prompt = ReplaceTextIgnoreCase(diskPrompt_, "<DISK_NUM>", std::to_string(part_));
            do {
                result_.Answer = host_.AskForDisk(prompt);
                host_.Wait(500);
            } while (result_.Answer && !host_.FileExists(source_));
        }
        host_.ProgressStep();
        return result_.Answer;
    }

    TExtractHost& host_;
    std::string source_;
    const std::string destDir_, agentName_, diskPrompt_;
    const bool forcePrompt_;
    std::string base_;
    int part_ = 1;
    int blocksSeen_ = 0;
    std::uint64_t headerEnd_ = 0;
    TTrailer trailer_;
    TExtractResult result_;
};

} // namespace

TExtractResult ExtractPackageWith(TExtractHost& host, const std::string& source, const std::string& destDir,
                                  const std::string& agentName, const std::string& diskPrompt, bool forcePrompt)
{
    return TUnPacker(host, source, destDir, agentName, diskPrompt, forcePrompt).Run();
}

int ExtractWriteFailures() { return writeFailures; }
void ResetExtractWriteFailures() { writeFailures = 0; }
