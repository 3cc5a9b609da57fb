#include "PackageLayout.h"

#include "KSUB.h"
#include "Utils.h"

#include <algorithm>
#include <vector>

namespace {

std::uint32_t LoadU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool ReadU32At(const PackageSource& file, std::uint64_t offset, std::uint32_t& value)
{
    std::uint8_t raw[4];
    if (file.ReadAt(offset, raw, 4) != 4)
        return false;
    value = LoadU32(raw);
    return true;
}

bool BytesAt(const PackageSource& file, std::uint64_t offset, std::string_view expected)
{
    char raw[8];
    const std::size_t n = expected.size();
    return file.ReadAt(offset, raw, n) == n && std::string_view(raw, n) == expected;
}

constexpr std::size_t ChecksumBlock = 4096;

// One read of the checksum walk: every whole 4-byte group counts down the remaining length and
// is added while more than 4 bytes remain; each read adds 1234 while they still do.
void SumChecksumBlock(const std::uint8_t* data, std::size_t size, std::int64_t& remaining, std::uint32_t& sum)
{
    const std::size_t groups = size / 4;
    // Groups are added while more than 4 bytes remain after counting them down: the first
    // (remaining - 5) / 4 of them, when that is positive.
    const std::int64_t added = remaining > 4 ? std::min<std::int64_t>(static_cast<std::int64_t>(groups), (remaining - 1) / 4 - 1) : 0;
    for (std::int64_t i = 0; i < added; ++i)
        sum += LoadU32(data + 4 * i);
    remaining -= static_cast<std::int64_t>(4 * groups);
    if (remaining > 4)
        sum += ChecksumOff;
}

// Windows takes a name for a device by the text before its first ".", without trailing blanks:
// "nul.txt" and "COM1 .log" are devices too. The ports count from 0 and take the superscript
// digits of the ANSI code page.
bool IsDeviceName(std::string_view name)
{
    std::string stem = AnsiUpperCase(TextBefore(name, ".", name));
    stem.erase(stem.find_last_not_of(' ') + 1);
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : devices)
        if (stem == device)
            return true;
    const bool port = stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT"));
    return port && std::string_view("0123456789\xB9\xB2\xB3").find(stem[3]) != std::string_view::npos;
}

} // namespace

// ---- Trailer ------------------------------------------------------------------------------

std::uint32_t TTrailer::U32(std::size_t offset) const { return LoadU32(bytes.data() + offset); }

void TTrailer::SetU32(std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

int TTrailer::TextBlockCount() const
{
    const int count = bytes[OffTextBlockCount];
    return count == 0 ? 2 : count;
}

bool IsPeFile(const PackageSource& file)
{
    return BytesAt(file, 0, "MZ") && BytesAt(file, PeSignatureOffset, "PE");
}

std::uint64_t ReadPackageEnd(const PackageSource& file)
{
    std::uint32_t high = 0, low = 0;
    if (!IsPeFile(file) || !ReadU32At(file, PackageEndOffset, high) || !ReadU32At(file, PackageEndOffset + 4, low))
        return 0;
    return static_cast<std::uint64_t>(high) << 32 | low;
}

std::uint64_t PackageEnd(const PackageSource& file)
{
    const std::uint64_t mark = ReadPackageEnd(file);
    return mark != 0 ? mark : file.Size();
}

TTrailer ReadTrailer(const PackageSource& file)
{
    TTrailer trailer;
    const std::uint64_t end = PackageEnd(file);
    std::uint32_t length = 0;
    if (end < 4 || !ReadU32At(file, end - 4, length) || length < 4 || length > end)
        return trailer;
    const std::size_t taken = std::min<std::uint32_t>(TrailerSize, length);
    if (file.ReadAt(end - length, trailer.bytes.data(), taken - 4) != taken - 4)
        return TTrailer{};
    trailer.SetU32(TTrailer::OffTrailerLength, static_cast<std::uint32_t>(taken));
    return trailer;
}

// ---- Checksum -----------------------------------------------------------------------------

std::uint32_t PackageChecksum(const PackageSource& file, std::uint32_t trailerLength)
{
    std::uint64_t size = file.Size();
    if (size > ChecksumSizeLimit)
        return ChecksumOff;
    // Only the low half of the end mark counts here.
    std::uint32_t mark = 0;
    if (IsPeFile(file))
        ReadU32At(file, PackageEndOffset + 4, mark);
    if (mark > 0)
        size = mark;
    std::int64_t remaining = static_cast<std::int64_t>(size) - static_cast<std::int64_t>(trailerLength);
    std::uint64_t position = 0;
    if (mark > 0) {
        remaining -= 512;
        position = 512;
    }
    // Read in larger chunks but sum in the 4,096-byte reads the check is defined by, down to the
    // last (short or empty) one.
    std::vector<std::uint8_t> chunk(std::min<std::uint64_t>(256, file.Size() / ChecksumBlock + 1) * ChecksumBlock);
    std::uint32_t sum = 0;
    for (;;) {
        const std::size_t got = file.ReadAt(position, chunk.data(), chunk.size());
        position += got;
        for (std::size_t at = 0;;) {
            const std::size_t n = std::min(ChecksumBlock, got - at);
            SumChecksumBlock(chunk.data() + at, n, remaining, sum);
            at += n;
            if (n < ChecksumBlock)
                return sum;
            if (at == got)
                break;
        }
    }
}

std::uint32_t PackageChecksum(const std::string& path, std::uint32_t trailerLength)
{
    const auto file = OpenPackageSource(path);
    return file ? PackageChecksum(*file, trailerLength) : 0;
}

bool ChecksumPasses(std::uint32_t computed, std::uint32_t stored)
{
    return computed == stored || computed == ChecksumOff || stored == ChecksumOff;
}

// ---- Space estimate -----------------------------------------------------------------------

int SpaceEntryForCluster(std::uint64_t clusterSize)
{
    int entry = 0;
    for (int i = 1; i < SpaceEntries; ++i)
        if (clusterSize >= SpaceEntryCluster(i))
            entry = i;
    return entry;
}

std::uint64_t SpaceEntryCluster(int entry) { return std::uint64_t(256) << entry; }

// ---- Blocks and records -------------------------------------------------------------------

PackageBlock ReadBlock(const PackageSource& file, std::uint64_t offset, std::uint64_t limit,
                       const std::function<void()>& onChunk)
{
    PackageBlock block;
    // Without a length there is nothing more to read before the limit.
    block.next = limit;
    // The limit may come from an end mark, which is as untrusted as the length field.
    const std::uint64_t readable = std::min(limit, file.Size());
    std::uint32_t raw = 0;
    if (offset > readable || readable - offset < 4 || !ReadU32At(file, offset, raw))
        return block;
    block.length = static_cast<std::int32_t>(raw);
    const std::uint64_t size = block.length < 0 ? 0 - static_cast<std::int64_t>(block.length) : block.length;
    block.next = offset + 4 + size;
    const std::uint64_t available = std::min(size, readable - offset - 4);
    block.data.resize(available);
    std::size_t done = 0;
    while (done < available) {
        const std::size_t want = std::min<std::uint64_t>(BlockChunkSize, available - done);
        const std::size_t got = file.ReadAt(offset + 4 + done, block.data.data() + done, want);
        done += got;
        if (onChunk)
            onChunk();
        if (got < want)
            break;
    }
    block.data.resize(done);
    block.complete = done == size;
    return block;
}

bool MoreBlocksBefore(std::uint64_t end, std::uint64_t offset) { return offset < end && end - offset > TrailerSize; }

FileRecord ParseFileRecord(std::string_view content)
{
    FileRecord record;
    const std::size_t nul = content.find('\0');
    if (nul == std::string_view::npos || nul == 0)
        return record;
    record.valid = true;
    record.header = std::string(content.substr(0, nul));
    record.body = content.substr(nul + 1);
    if (record.header.find('*') != std::string::npos)
        record.runName = record.header;
    record.name = SUB::Field(record.header, 0, "");
    const std::int64_t date = StrToInt64Def(SUB::Field(record.header, 1, ""), 0);
    record.dosDate = date > 0 && date <= UINT32_MAX ? static_cast<std::uint32_t>(date) : 0;
    if (record.name.find('*') != std::string::npos) {
        record.runName = record.name;
        record.name = TextBefore(record.name, "*", "");
    }
    return record;
}

bool IsPlainFileName(std::string_view name)
{
    if (name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ')
        return false;
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            return false;
    return !IsDeviceName(name);
}

std::string PartFileName(std::string_view base, int part) { return std::string(base) + "." + IntToZeroPadded(part, 3); }

std::uint32_t DosDateTimeOf(const DateTimeParts& p)
{
    if (p.year < 1980 || p.year > 2107)
        return 0;
    const std::uint32_t date = static_cast<std::uint32_t>((p.year - 1980) << 9 | p.month << 5 | p.day);
    const std::uint32_t time = static_cast<std::uint32_t>(p.hour << 11 | p.minute << 5 | p.second / 2);
    return date << 16 | time;
}

DateTimeParts PartsOfDosDateTime(std::uint32_t dosDate)
{
    const std::uint32_t date = dosDate >> 16, time = dosDate & 0xFFFF;
    return DateTimeParts{static_cast<int>(1980 + (date >> 9)), static_cast<int>(date >> 5 & 15), static_cast<int>(date & 31),
                         static_cast<int>(time >> 11), static_cast<int>(time >> 5 & 63), static_cast<int>((time & 31) * 2)};
}

// ---- Writing ------------------------------------------------------------------------------

std::string EncodeTrailer(const TTrailer& trailer)
{
    return std::string(reinterpret_cast<const char*>(trailer.bytes.data()), trailer.bytes.size());
}

void AppendU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(value >> (8 * i));
}

void AppendBlock(std::string& out, std::string_view data, bool stored)
{
    const auto length = static_cast<std::int32_t>(data.size());
    AppendU32(out, static_cast<std::uint32_t>(stored ? -length : length));
    out.append(data);
}

std::string FileRecordHeader(std::string_view nameField, std::uint32_t dosDate)
{
    return "|" + std::string(nameField) + "|" + std::to_string(dosDate) + "|" + std::string(1, '\0');
}

std::string EncodePackageEnd(std::uint64_t end)
{
    std::string out;
    AppendU32(out, static_cast<std::uint32_t>(end >> 32));
    AppendU32(out, static_cast<std::uint32_t>(end));
    return out;
}
