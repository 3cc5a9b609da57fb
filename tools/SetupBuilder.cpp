#include "SetupBuilder.h"

#include "FileInfo.h"
#include "PackageLayout.h"
#include "PackageTokens.h"
#include "Utils.h"
#include "OutputFiles.h"
#include "ZStream.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>

namespace fs = std::filesystem;

namespace {

// The file's last-write time as a local DOS date-time.
std::uint32_t FileDosDate(const fs::path& path)
{
    struct stat st {};
    if (stat(path.string().c_str(), &st) != 0)
        throw BuildError("cannot read the date of " + path.string());
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &st.st_mtime);
#else
    localtime_r(&st.st_mtime, &local);
#endif
    return DosDateTimeOf({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec});
}

// "MZ" and the "PE" signature where the header's own pointer (offset 60) says.
bool IsPortableExecutable(const std::string& image)
{
    if (image.size() < 64 || image.compare(0, 2, "MZ") != 0)
        return false;
    std::uint32_t at = 0;
    for (int i = 3; i >= 0; --i)
        at = at << 8 | static_cast<unsigned char>(image[60 + i]);
    return at <= image.size() - 4 && image.compare(at, 4, std::string("PE\0\0", 4)) == 0;
}

class SetupWriter {
public:
    explicit SetupWriter(const SetupDescription& d) : d_(d) {}
    std::vector<fs::path> Run();

private:
    void LoadStub();
    void MakeTrailerTemplate();
    void CheckPartSize() const;
    OutputFile& StartFile(const fs::path& path, bool withPrefix);
    void EndFile(OutputFile& f, bool morePartsFollow);
    void StartPart();
    void AddFile(const PackedFile& file);
    std::string EncodeRecord(std::string_view header, std::string_view data, bool compressed) const;
    bool WritePiece(std::string_view header, std::string_view& rest, bool compressed, std::size_t wholeSize);
    void WriteRecord(std::string_view record, bool stored);
    void CountSpace(std::uint64_t size);
    void Seal(OutputFile& f, bool isSetupFile);

    const SetupDescription& d_;
    std::string image_, prefix_;
    TTrailer trailer_;
    OutputSet out_;
    OutputFile* part_ = nullptr;
    int partNumber_ = 0;
    bool partHasRecords_ = false;
    std::uint32_t records_ = 0;
    std::uint64_t space_[SpaceEntries] = {};
};

std::vector<fs::path> SetupWriter::Run()
{
    LoadStub();
    MakeTrailerTemplate();
    CheckPartSize();
    const bool spannedCd = trailer_.HasFlags(FlagSpannedCdSet);
    if (spannedCd)
        EndFile(StartFile(d_.output, true), false);
    StartPart();
    for (const PackedFile& file : d_.files)
        AddFile(file);
    EndFile(*part_, false);
    for (const auto& f : out_.Files())
        Seal(*f, f->final == d_.output);
    return out_.Commit();
}

void SetupWriter::LoadStub()
{
    image_ = ReadFileBytes(d_.stub);
    if (!IsPortableExecutable(image_))
        throw BuildError(d_.stub.string() + " is not a PE file (the packstub.exe image)");
    // Bytes 248 to 255 of a file with "PE" at offset 256 are read as the package end mark: they
    // must hold the mark or nothing.
    if (IsPeFile(MemorySource(image_)))
        image_.replace(PackageEndOffset, 8, 8, '\0');
    else if (d_.endMark)
        throw BuildError(d_.stub.string() + " has no \"PE\" signature at offset 256, so it cannot carry an end mark");
    prefix_ = image_;
    AppendBlock(prefix_, LanguageBlockOf(d_.languages));
    AppendBlock(prefix_, AgentRecordOf(d_.agent));
    if (d_.web)
        AppendBlock(prefix_, WebRecordOf(*d_.web));
}

void SetupWriter::MakeTrailerTemplate()
{
    if (image_.size() > UINT32_MAX)
        throw BuildError(d_.stub.string() + " is too large");
    trailer_.bytes[0] = 1;
    trailer_.bytes[TTrailer::OffTextBlockCount] = d_.web ? 3 : 2;
    trailer_.SetU32(TTrailer::OffMagic, PackageMagic);
    trailer_.bytes[TTrailer::OffFlags] = d_.flags;
    trailer_.bytes[TTrailer::OffWebSetup] = d_.webSetup;
    trailer_.bytes[TTrailer::OffAskBeforeDownload] = d_.askBeforeDownload;
    trailer_.bytes[TTrailer::OffWriteAgent] = d_.writeAgent;
    trailer_.bytes[TTrailer::OffAutoUpdateProg] = d_.autoUpdateProg;
    trailer_.SetU32(TTrailer::OffTrailerLength, TrailerSize);
}

void SetupWriter::CheckPartSize() const
{
    // The first part must hold the program image, the text blocks, the trailer and at least the
    // length field of a record.
    const std::uint64_t fixed = prefix_.size() + TrailerSize + 4;
    if (d_.partSize != 0 && d_.partSize <= fixed)
        throw BuildError("part-size " + std::to_string(d_.partSize) + " is too small: the first part holds the program image and text blocks (" +
                         std::to_string(prefix_.size()) + " bytes) and the 74-byte trailer, so it must be larger than " + std::to_string(fixed) +
                         " bytes");
}

OutputFile& SetupWriter::StartFile(const fs::path& path, bool withPrefix)
{
    OutputFile& f = out_.Open(path);
    if (withPrefix) {
        out_.Write(f, prefix_);
        f.firstBlockOffset = static_cast<std::uint32_t>(image_.size());
    }
    return f;
}

void SetupWriter::EndFile(OutputFile& f, bool morePartsFollow)
{
    TTrailer t = trailer_;
    t.SetU32(TTrailer::OffFirstBlockOffset, f.firstBlockOffset);
    if (morePartsFollow)
        t.bytes[TTrailer::OffFlags] |= FlagMorePartsFollow;
    out_.Write(f, EncodeTrailer(t));
    f.packageEnd = f.size;
}

void SetupWriter::StartPart()
{
    ++partNumber_;
    const bool spannedCd = trailer_.HasFlags(FlagSpannedCdSet);
    const fs::path path = !spannedCd && partNumber_ == 1 ? d_.output : fs::path(PartFileName(d_.output.string(), partNumber_));
    part_ = &StartFile(path, partNumber_ == 1);
    partHasRecords_ = false;
}

void SetupWriter::AddFile(const PackedFile& file)
{
    const std::string data = ReadFileBytes(file.source);
    const std::string name = file.source.filename().string();
    const bool run = !d_.run.empty() && AnsiUpperCase(name) == AnsiUpperCase(d_.run);
    const std::string header = FileRecordHeader(run ? name + "*" + d_.runArguments : name, FileDosDate(file.source));
    CountSpace(data.size());
    std::string_view rest = data;
    for (;;) {
        const std::string record = EncodeRecord(header, rest, file.compressed);
        if (record.size() <= RecordRoom(d_.partSize, part_->size)) {
            WriteRecord(record, !file.compressed);
            return;
        }
        if (d_.partSize == 0)
            throw BuildError(file.source.string() + " is too large for one record (2 GiB)");
        const bool wrote = WritePiece(header, rest, file.compressed, record.size());
        if (rest.empty())
            return;
        if (!wrote && !partHasRecords_)
            throw BuildError("part-size " + std::to_string(d_.partSize) + " is too small: a part cannot hold its 74-byte trailer and a record of " + name);
        EndFile(*part_, true);
        StartPart();
    }
}

std::string SetupWriter::EncodeRecord(std::string_view header, std::string_view data, bool compressed) const
{
    std::string content(header);
    content.append(data);
    return compressed ? Deflate(content, d_.compressionLevel) : content;
}

// Writes the largest first piece of rest that fits into what is left of the part, and takes it
// off rest. A compressed piece is sized from the ratio the whole record reached and shrunk until
// it fits; when that does not work out, the piece is stored.
bool SetupWriter::WritePiece(std::string_view header, std::string_view& rest, bool compressed, std::size_t wholeSize)
{
    const std::uint64_t left = RecordRoom(d_.partSize, part_->size);
    if (left <= header.size())
        return false;
    if (compressed) {
        const double ratio = static_cast<double>(wholeSize) / static_cast<double>(header.size() + rest.size());
        double guess = static_cast<double>(left) / ratio * 0.98 - static_cast<double>(header.size());
        for (int attempt = 0; attempt < 8 && guess >= 1; ++attempt) {
            const auto n = static_cast<std::size_t>(std::min<double>(guess, static_cast<double>(rest.size())));
            const std::string record = EncodeRecord(header, rest.substr(0, n), true);
            if (record.size() <= left) {
                WriteRecord(record, false);
                rest.remove_prefix(n);
                return true;
            }
            guess = static_cast<double>(n) * static_cast<double>(left) / static_cast<double>(record.size()) * 0.97;
        }
    }
    const std::size_t n = std::min<std::uint64_t>(rest.size(), left - header.size());
    WriteRecord(EncodeRecord(header, rest.substr(0, n), false), true);
    rest.remove_prefix(n);
    return true;
}

void SetupWriter::WriteRecord(std::string_view record, bool stored)
{
    std::string framed;
    AppendBlock(framed, record, stored);
    out_.Write(*part_, framed);
    partHasRecords_ = true;
    ++records_;
}

void SetupWriter::CountSpace(std::uint64_t size)
{
    space_[0] += size;
    for (int i = 1; i < SpaceEntries; ++i) {
        const std::uint64_t cluster = SpaceEntryCluster(i);
        space_[i] += (size + cluster - 1) / cluster * cluster;
    }
    if (space_[SpaceEntries - 1] > UINT32_MAX)
        throw BuildError("the packed files need more than 4 GiB on disk, more than a package can state");
}

// Fills in what is known only at the end (the record count, the space estimate, the end mark),
// appends the bytes that follow the package, then the checksum over the finished file.
void SetupWriter::Seal(OutputFile& f, bool isSetupFile)
{
    const std::uint64_t trailerAt = f.packageEnd - TrailerSize;
    std::string counts;
    AppendU32(counts, records_);
    out_.PatchAt(f, trailerAt + TTrailer::OffFilesCount, counts);
    std::string space;
    for (const std::uint64_t s : space_)
        AppendU32(space, static_cast<std::uint32_t>(s));
    out_.PatchAt(f, trailerAt + TTrailer::OffSpaceRequired, space);
    if (isSetupFile && d_.endMark)
        out_.PatchAt(f, PackageEndOffset, EncodePackageEnd(f.packageEnd));
    if (isSetupFile && !d_.append.empty())
        out_.Write(f, ReadFileBytes(d_.append));
    out_.Flush(f);
    const std::uint32_t sum = d_.checksum ? PackageChecksum(f.temp.string(), TrailerSize) : ChecksumOff;
    std::string checksum;
    AppendU32(checksum, sum);
    out_.PatchAt(f, trailerAt + TTrailer::OffChecksum, checksum);
}

std::string TextField(std::string_view value) { return std::string(value) + "|"; }

} // namespace

std::vector<fs::path> BuildSetup(const SetupDescription& description) { return SetupWriter(description).Run(); }

std::uint64_t RecordRoom(std::uint64_t partSize, std::uint64_t partUsed)
{
    const std::uint64_t lengthLimit = INT32_MAX;
    if (partSize == 0)
        return lengthLimit;
    const std::uint64_t used = partUsed + 4 + TrailerSize;
    return partSize > used ? std::min(partSize - used, lengthLimit) : 0;
}

std::string LanguageBlockOf(const std::vector<LanguageSection>& languages)
{
    if (languages.empty())
        return {};
    std::string block = "\x02";
    for (const LanguageSection& language : languages) {
        block += "\x01" + language.name + "\x01";
        for (const LanguageItem& item : language.items)
            block += item.key + "=" + item.value + "\x01";
        block += "\x02";
    }
    return block;
}

std::string AgentRecordOf(const AgentSection& agent)
{
    const std::string token = agent.token.empty() ? "" : ScrambleToken(agent.token, SeedOf("agent|" + agent.token));
    return "|" + TextField(agent.location) + TextField(agent.infoFile) + TextField(agent.agentFile) + TextField(token) +
           TextField(agent.hidden ? "1" : "0");
}

std::string WebRecordOf(const WebSection& web)
{
    const std::string token = web.token.empty() ? "" : ScrambleToken(web.token, SeedOf("web|" + web.token));
    return "|" + TextField(web.location) + TextField(web.file) + TextField(web.skipLocal ? "1" : "0") + TextField(token) +
           TextField(std::to_string(web.size));
}
