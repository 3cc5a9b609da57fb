// The byte layout of a setup package: the 74-byte trailer at the package end, the optional end
// mark in an executable's header area, the checksum, the blocks (text blocks, then file records)
// and the names of span part files. The reader (the stub) and the writer (the setup builder) both
// use this module, so the two sides cannot drift apart. All integers are little-endian.
#pragma once

#include "PackageSource.h"
#include "Utils.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

constexpr std::size_t TrailerSize = 74;
constexpr std::uint32_t PackageMagic = 0x4A3B2C1D;
// A checksum of this value, stored or computed, switches the check off.
constexpr std::uint32_t ChecksumOff = 1234;
// Larger files are not checked: their checksum reads as ChecksumOff.
constexpr std::uint64_t ChecksumSizeLimit = 52428800;
constexpr int SpaceEntries = 9;

// Flags byte (trailer offset 65).
enum TrailerFlag : std::uint8_t {
    FlagAlwaysShowTempNotice = 0x01,
    FlagMorePartsFollow = 0x02,
    FlagSpannedCdSet = 0x04,
    FlagShowActivityBar = 0x08,
    FlagDebugLog = 0x10,
};

// The trailer record as stored; the accessors read and write its fields in place, so reserved
// bytes travel unchanged.
struct TTrailer {
    enum Offset : std::size_t {
        OffTextBlockCount = 1,
        OffFirstBlockOffset = 4,
        OffFilesCount = 8,
        OffMagic = 12,
        OffChecksum = 16,
        OffSpaceRequired = 28,
        OffFlags = 65,
        OffWebSetup = 66,
        OffAskBeforeDownload = 67,
        OffWriteAgent = 68,
        OffAutoUpdateProg = 69,
        OffTrailerLength = 70,
    };

    std::array<std::uint8_t, TrailerSize> bytes{};

    std::uint32_t U32(std::size_t offset) const;
    void SetU32(std::size_t offset, std::uint32_t value);

    // 0 is read as 2.
    int TextBlockCount() const;
    std::uint32_t FirstBlockOffset() const { return U32(OffFirstBlockOffset); }
    std::uint32_t FilesCount() const { return U32(OffFilesCount); }
    std::uint32_t Magic() const { return U32(OffMagic); }
    bool HasMagic() const { return Magic() == PackageMagic; }
    std::uint32_t Checksum() const { return U32(OffChecksum); }
    std::uint32_t SpaceRequired(int entry) const { return U32(OffSpaceRequired + 4 * static_cast<std::size_t>(entry)); }
    std::uint8_t Flags() const { return bytes[OffFlags]; }
    // True when every bit of mask is set.
    bool HasFlags(std::uint8_t mask) const { return (Flags() & mask) == mask; }
    // Bytes 66 to 69: true when not 0.
    bool ByteSet(std::size_t offset) const { return bytes[offset] != 0; }
    std::uint32_t TrailerLength() const { return U32(OffTrailerLength); }
};

// "MZ" at offset 0 and "PE" at offset 256.
bool IsPeFile(const PackageSource& file);
// The 64-bit end mark (high half at offset 248, low half at 252), 0 when absent or not a PE file.
std::uint64_t ReadPackageEnd(const PackageSource& file);
// Where the package ends: the end mark when there is one, else the end of the file.
std::uint64_t PackageEnd(const PackageSource& file);
// The trailer before the package end. Its last 4 bytes give its length L; min(74, L) bytes are
// taken. A length that cannot hold itself or that reaches before the start of the file gives an
// all-zero record.
TTrailer ReadTrailer(const PackageSource& file);
// The 32-bit sum that the trailer's Checksum must equal; trailerLength is the file's own
// trailer length field. ChecksumOff for files over ChecksumSizeLimit.
std::uint32_t PackageChecksum(const PackageSource& file, std::uint32_t trailerLength);
std::uint32_t PackageChecksum(const std::string& path, std::uint32_t trailerLength);
bool ChecksumPasses(std::uint32_t computed, std::uint32_t stored);

// The SpaceRequired entry for a drive with the given cluster size (0 when unknown).
int SpaceEntryForCluster(std::uint64_t clusterSize);
// The cluster size that entry i (1 to 8) rounds every file up to.
std::uint64_t SpaceEntryCluster(int entry);

// One block: a signed 32-bit length N, then |N| bytes.
struct PackageBlock {
    std::int32_t length = 0;
    std::string data;
    // Offset just behind the block as its length says (the next block starts there); the limit
    // when not even the length could be read, so that a walk over the blocks ends.
    std::uint64_t next = 0;
    // False when the length field or |N| bytes could not be read before the limit.
    bool complete = false;
    bool Stored() const { return length < 0; }
};

// Reads the block at offset. Never reads or allocates past limit (the package end) or the end of
// the file, whatever the length field or an end mark says. onChunk, when given, is called after every read chunk of up to
// BlockChunkSize bytes, so a caller can keep its window responsive.
constexpr std::size_t BlockChunkSize = 65536;
PackageBlock ReadBlock(const PackageSource& file, std::uint64_t offset, std::uint64_t limit,
                       const std::function<void()>& onChunk = {});
// Block reading in a part goes on while more than the trailer remains before the end.
bool MoreBlocksBefore(std::uint64_t end, std::uint64_t offset);

// A file record's content after decompression: "|" name "|" date "|", NUL, the file's bytes.
struct FileRecord {
    // False when the content has no NUL or an empty header: such a record creates no file.
    bool valid = false;
    std::string header;
    // The file name to create (the text before a "*" in the name field).
    std::string name;
    // The name field when it holds "*" (file name, "*", arguments), else the header when that
    // holds "*"; empty otherwise.
    std::string runName;
    // DOS date-time, 0 when not set.
    std::uint32_t dosDate = 0;
    // Points into the content given to ParseFileRecord.
    std::string_view body;
};
FileRecord ParseFileRecord(std::string_view content);

// A name that may be created inside the extraction folder as it is: no folder parts, drive,
// wildcard, delimiter, control character or device name, not "." or "..".
bool IsPlainFileName(std::string_view name);

// Part file n of a spanned package: base + "." + n with at least three digits.
std::string PartFileName(std::string_view base, int part);

// File dates in records: date in the high 16 bits, time (2-second steps) in the low 16 bits.
// Dates outside 1980 to 2107 have no DOS form and give 0 (no date).
std::uint32_t DosDateTimeOf(const DateTimeParts& parts);
DateTimeParts PartsOfDosDateTime(std::uint32_t dosDate);

// ---- Writing (the setup builder and the agent file writers) ----

std::string EncodeTrailer(const TTrailer& trailer);
void AppendU32(std::string& out, std::uint32_t value);
// A text block or a file record: its length field (negative for stored records), then the bytes.
void AppendBlock(std::string& out, std::string_view data, bool stored = false);
std::string FileRecordHeader(std::string_view nameField, std::uint32_t dosDate);
// The 8 end-mark bytes to put at offset 248.
std::string EncodePackageEnd(std::uint64_t end);
constexpr std::uint64_t PackageEndOffset = 248;
constexpr std::uint64_t PeSignatureOffset = 256;
