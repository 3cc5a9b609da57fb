#include "SetupInspect.h"

#include "FileInfo.h"
#include "KSUB.h"
#include "PackageLayout.h"
#include "Utils.h"
#include "ZStream.h"

#include <cstdio>

namespace {

class Report {
public:
    void Line(const std::string& key, const std::string& value) { text += key + ": " + value + "\n"; }
    std::string text;
};

std::string Hex32(std::uint32_t value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%08X", value);
    return buffer;
}

std::string DosDateText(std::uint32_t dosDate)
{
    if (dosDate == 0)
        return "none";
    const DateTimeParts p = PartsOfDosDateTime(dosDate);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute, p.second);
    return buffer;
}

std::string FlagNames(std::uint8_t flags)
{
    static const std::pair<std::uint8_t, const char*> names[] = {
        {FlagAlwaysShowTempNotice, "AlwaysShowTempNotice"}, {FlagMorePartsFollow, "MorePartsFollow"},
        {FlagSpannedCdSet, "SpannedCdSet"}, {FlagShowActivityBar, "ShowActivityBar"}, {FlagDebugLog, "DebugLog"}};
    std::string text = "0x" + HexDump(std::string(1, static_cast<char>(flags)), false, false);
    for (const auto& [mask, name] : names)
        if (flags & mask)
            text += std::string(" ") + name;
    return text;
}

std::string Token(const std::string& stored, const std::string& plain)
{
    return stored.empty() ? "(none)" : plain + " (stored as " + stored + ")";
}

void TrailerLines(Report& r, const TTrailer& t, std::uint32_t computed)
{
    r.Line("text-block-count", std::to_string(t.TextBlockCount()));
    r.Line("first-block-offset", std::to_string(t.FirstBlockOffset()));
    r.Line("files-count", std::to_string(t.FilesCount()));
    r.Line("magic", Hex32(t.Magic()) + (t.HasMagic() ? " (ok)" : " (not a package)"));
    r.Line("checksum", std::to_string(t.Checksum()) + " (computed " + std::to_string(computed) + ", " +
                           (ChecksumPasses(computed, t.Checksum()) ? "holds" : "FAILS") + ")");
    std::string space;
    for (int i = 0; i < SpaceEntries; ++i)
        space += (i ? " " : "") + std::to_string(t.SpaceRequired(i));
    r.Line("space-required", space);
    r.Line("flags", FlagNames(t.Flags()));
    r.Line("web-setup", std::to_string(t.bytes[TTrailer::OffWebSetup]));
    r.Line("ask-before-download", std::to_string(t.bytes[TTrailer::OffAskBeforeDownload]));
    r.Line("write-agent", std::to_string(t.bytes[TTrailer::OffWriteAgent]));
    r.Line("auto-update-prog", std::to_string(t.bytes[TTrailer::OffAutoUpdateProg]));
    r.Line("reserved", HexDump(std::string(reinterpret_cast<const char*>(t.bytes.data()) + 20, 8), false, false) + " " +
                           HexDump(std::string(1, static_cast<char>(t.bytes[64])), false, false));
    r.Line("trailer-length", std::to_string(t.TrailerLength()));
}

void TextLines(Report& r, const TGFileInfo& info)
{
    for (const std::string& entry : SUB::Fields(info.LanguageBlock())) {
        const std::vector<std::string> items = SUB::Fields(entry);
        r.Line("language", items.empty() ? "" : items[0]);
        for (std::size_t j = 1; j < items.size(); ++j)
            r.text += "  " + items[j] + "\n";
    }
    r.Line("agent-location", info.AgentLocation());
    r.Line("agent-info-file", info.InfoFileName());
    r.Line("agent-original-file", info.OriginalFileName());
    r.Line("agent-file", info.AgentFileName());
    r.Line("agent-token", Token(info.AgentToken(false), info.AgentToken(true)));
    r.Line("agent-hidden", BoolText(info.HiddenSetup()));
    if (info.Trailer().TextBlockCount() < 3)
        return;
    r.Line("web-location", info.WebLocation());
    r.Line("web-file", info.WebFileName());
    r.Line("web-skip-local", BoolText(info.WebSkipLocal()));
    r.Line("web-token", Token(info.WebToken(false), info.WebToken(true)));
    r.Line("web-size", info.WebFileSize());
}

// One line per file record; false when one does not decompress or is cut short.
bool RecordLines(Report& r, const PackageSource& file, std::uint64_t at, std::uint64_t end, int textBlocks)
{
    bool sound = true;
    for (int block = 0; MoreBlocksBefore(end, at); ++block) {
        const PackageBlock b = ReadBlock(file, at, end);
        at = b.next;
        if (block < textBlocks)
            continue;
        std::string head = b.data.substr(0, b.data.find('\0') + 1);
        std::uint64_t unpacked = b.data.size();
        bool ok = b.complete;
        if (!b.Stored()) {
            const InflateSummary s = InflateSummaryOf(b.data);
            ok = ok && s.ok;
            head = s.head;
            unpacked = s.size;
        }
        const FileRecord record = ParseFileRecord(head);
        const std::uint64_t bodySize = record.valid ? unpacked - record.header.size() - 1 : 0;
        std::string line = "name=" + (record.valid ? record.name : "(no file)") + " date=" + DosDateText(record.dosDate) +
                           " stored=" + std::to_string(b.data.size()) + " unpacked=" + std::to_string(bodySize) +
                           (b.Stored() ? " form=stored" : " form=zlib");
        if (!record.runName.empty())
            line += " run=" + record.runName;
        if (!ok)
            line += " BROKEN";
        r.Line("record", line);
        sound = sound && ok;
    }
    return sound;
}

// The part that follows: base.002 after the setup file or base.001, and so on.
std::string NextPartName(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    const std::string number = dot == std::string::npos ? "" : path.substr(dot + 1);
    if (number.size() >= 3 && number.find_first_not_of("0123456789") == std::string::npos)
        return PartFileName(path.substr(0, dot), StrToIntDef(number, 0) + 1);
    return PartFileName(path, 2);
}

} // namespace

InspectReport InspectPackage(const std::string& path)
{
    InspectReport report;
    Report r;
    r.Line("file", path);
    const auto file = OpenPackageSource(path);
    if (!file) {
        r.Line("error", "cannot open the file");
        report.text = r.text;
        return report;
    }
    const std::uint64_t end = PackageEnd(*file);
    r.Line("size", std::to_string(file->Size()));
    r.Line("end-mark", std::to_string(ReadPackageEnd(*file)));
    r.Line("package-end", std::to_string(end));
    const TTrailer trailer = ReadTrailer(*file);
    const std::uint32_t computed = PackageChecksum(*file, trailer.TrailerLength());
    TrailerLines(r, trailer, computed);
    bool sound = trailer.HasMagic() && ChecksumPasses(computed, trailer.Checksum());
    if (trailer.HasMagic()) {
        // Part files after the first carry no program image and no text blocks.
        const bool textBlocks = trailer.FirstBlockOffset() > 0;
        if (textBlocks)
            TextLines(r, TGFileInfo(*file));
        // As the extraction counts them: every block up to TextBlockCount is a text block.
        sound = RecordLines(r, *file, trailer.FirstBlockOffset(), end, textBlocks ? trailer.TextBlockCount() : 0) && sound;
        if (trailer.HasFlags(FlagMorePartsFollow))
            r.Line("next-part", NextPartName(path));
    }
    report.text = r.text;
    report.sound = sound;
    return report;
}
