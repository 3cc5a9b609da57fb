#include "FileInfo.h"

#include "KSUB.h"
#include "PackageTokens.h"
#include "SLangId.h"
#include "Utils.h"

namespace {

struct KeyText {
    const char* key;
    const char* text;
};

const KeyText BuiltInTexts[] = {
    {"s0", "Kestix Installation Suite"},
    {"s1", "Extracting Files..."},
    {"s2", "Kestix will extract files to your Temp Drive (<DRIVE>)<P>"},
    {"s3", "Limited Free Space on your Temp Drive! (<DRIVE>)<P>"},
    {"s4", "<P>Estimated space required on your Temp drive is: <T>  <SPACE_REQ> MB<P>"},
    {"s5", "Free space available on your Temp drive is: <T>  <SPACE_AVAIL> MB<P>"},
    {"s6", "<P>Continue with Setup?<P>"},
    {"s7", "Bad CRC!<P>This indicates that your setup file might be corrupted..."},
    {"s8", "Please insert <B>DISK #<DISK_NUM></B> and press OK to continue"},
    {"s10", "Downloading File..."},
    {"s11", "<b>INTERNET DOWNLOAD</b><p><p>Kestix will download the Setup File from the Internet...<p>"
            "Please make sure your Internet connection is properly set.<p><p>Continue with Setup?<p><P>Size: <SIZE> MB<P>"},
    {"s12", "No valid Internet Connection.<p>Can not Download File!"},
    {"BtnText", "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|"},
    {"Attention", "Attention"},
    {"Confirm", "Confirm"},
    {"Error", "Error"},
    {"Charset", "0"},
    {"FontSize", "8"},
    {"FontName", "Tahoma"},
};

const KeyText* FindKey(std::string_view key)
{
    for (const KeyText& entry : BuiltInTexts)
        if (AnsiUpperCase(entry.key) == AnsiUpperCase(std::string(key)))
            return &entry;
    return nullptr;
}

// The language entry of the process: empty until the first text lookup, then an entry or "*".
std::string languageChoice;

std::string FileNamePart(std::string_view path)
{
    const std::size_t cut = path.find_last_of("\\:");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

} // namespace

bool IsLanguageKey(std::string_view key) { return FindKey(key) != nullptr; }

std::string BuiltInText(std::string_view key)
{
    const KeyText* entry = FindKey(key);
    return entry ? entry->text : "";
}

TGFileInfo::TGFileInfo(const std::string& path)
{
    if (const auto file = OpenPackageSource(path))
        *this = TGFileInfo(*file);
}

TGFileInfo::TGFileInfo(const PackageSource& file)
{
    trailer_ = ReadTrailer(file);
    if (trailer_.HasMagic())
        ReadTextBlocks(file);
}

void TGFileInfo::ReadTextBlocks(const PackageSource& file)
{
    const std::uint64_t end = PackageEnd(file);
    std::string* const blocks[] = {&languageBlock_, &agentRecord_, &webRecord_};
    const int count = trailer_.TextBlockCount() >= 3 ? 3 : 2;
    std::uint64_t at = trailer_.FirstBlockOffset();
    for (int i = 0; i < count; ++i) {
        PackageBlock block = ReadBlock(file, at, end);
        *blocks[i] = std::move(block.data);
        at = block.next;
    }
}

double TGFileInfo::SpaceRequired(const std::string& path) const { return SpaceRequiredForCluster(DriveClusterSize(path)); }

double TGFileInfo::SpaceRequiredForCluster(std::uint64_t clusterSize) const
{
    return trailer_.SpaceRequired(SpaceEntryForCluster(clusterSize));
}

std::string TGFileInfo::AgentLocation() const { return SUB::Field(agentRecord_, 0, ""); }
std::string TGFileInfo::InfoFileName() const { return FileNamePart(SUB::Field(agentRecord_, 1, "")); }
std::string TGFileInfo::OriginalFileName() const { return TextBefore(InfoFileName(), ".", InfoFileName()) + ".original"; }
std::string TGFileInfo::AgentFileName() const { return SUB::Field(agentRecord_, 2, ""); }

std::string TGFileInfo::AgentToken(bool plain) const
{
    const std::string stored = SUB::Field(agentRecord_, 3, "");
    return plain ? DescrambleToken(stored) : stored;
}

bool TGFileInfo::HiddenSetup() const { return SUB::Field(agentRecord_, 4, "") == "1"; }
std::string TGFileInfo::WebLocation() const { return SUB::Field(webRecord_, 0, ""); }
std::string TGFileInfo::WebFileName() const { return SUB::Field(webRecord_, 1, ""); }
bool TGFileInfo::WebSkipLocal() const { return SUB::Field(webRecord_, 2, "") == "1"; }

std::string TGFileInfo::WebToken(bool plain) const
{
    const std::string stored = SUB::Field(webRecord_, 3, "");
    return plain ? DescrambleToken(stored) : stored;
}

std::string TGFileInfo::WebFileSize() const { return SUB::Field(webRecord_, 4, ""); }

bool TGFileInfo::SameWebToken(const TGFileInfo& other) const { return WebToken(true) == other.WebToken(true); }

std::string TGFileInfo::Text(std::string_view name, std::string_view defaultText) const
{
    if (languageChoice.empty())
        languageChoice = ChooseLanguageEntry(languageBlock_);
    if (languageChoice.size() <= 1)
        return std::string(defaultText);
    return SUB::Value(languageChoice, name, defaultText, "");
}

std::string TGFileInfo::Text(std::string_view name) const { return Text(name, BuiltInText(name)); }

int TGFileInfo::Charset() const { return StrToIntDef(Text("Charset", "0"), 0); }
int TGFileInfo::FontSize() const { return StrToIntDef(Text("FontSize", "8"), 8); }
std::string TGFileInfo::FontName() const { return Text("FontName", "Tahoma"); }

void TGFileInfo::ForgetLanguageChoice() { languageChoice.clear(); }
