#include "Description.h"

#include "FileInfo.h"
#include "PackageLayout.h"
#include "SLangId.h"
#include "Utils.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>

namespace fs = std::filesystem;

namespace {

// Reads one section after the other, line by line, and knows where it is for its messages.
class DescriptionParser {
public:
    DescriptionParser(const fs::path& baseFolder, const std::string& displayName)
        : base_(baseFolder), name_(displayName) {}

    SetupDescription Parse(const std::string& text);

private:
    [[noreturn]] void Fail(const std::string& message) const
    {
        throw BuildError(name_ + ":" + std::to_string(line_) + ": " + message);
    }

    void StartSection(const std::string& header);
    void Item(const std::string& key, const std::string& value);
    void SetupItem(const std::string& key, const std::string& value);
    void AgentItem(const std::string& key, const std::string& value);
    void WebItem(const std::string& key, const std::string& value);
    void LanguageItemLine(const std::string& key, const std::string& value);
    void FilesItem(const std::string& key, const std::string& value);
    void AddFolder(const std::string& value, bool compressed);
    void Finish();

    bool Yes(const std::string& value) const;
    std::uint64_t Size(const std::string& value) const;
    std::string RecordField(const std::string& value) const;
    fs::path Path(const std::string& value) const;

    fs::path base_;
    std::string name_;
    int line_ = 0;
    std::string section_;
    std::map<std::string, int> seen_;
    SetupDescription d_;
};

SetupDescription DescriptionParser::Parse(const std::string& text)
{
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos)
            end = text.size();
        ++line_;
        const std::string line = Trim(std::string_view(text).substr(from, end - from));
        from = end + 1;
        if (line.empty() || line[0] == '#' || line[0] == ';')
            continue;
        if (line.front() == '[') {
            if (line.back() != ']')
                Fail("a section header ends with ']'");
            StartSection(Trim(line.substr(1, line.size() - 2)));
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            Fail("expected 'key = value', found '" + line + "'");
        if (section_.empty())
            Fail("'" + line + "' stands before the first section");
        Item(Trim(line.substr(0, eq)), UnquoteText(Trim(line.substr(eq + 1)), '"', false, true));
    }
    Finish();
    return d_;
}

void DescriptionParser::StartSection(const std::string& header)
{
    section_ = header;
    if (StartsWith("language ", header, true)) {
        const std::string language = Trim(header.substr(9));
        if (!IsLanguageName(language))
            Fail("unknown language '" + language + "' (use an English name of the language table, e.g. English, German)");
        for (const LanguageSection& l : d_.languages)
            if (SameTextTrimmed(l.name, language))
                Fail("language '" + language + "' is described twice");
        d_.languages.push_back({language, {}});
        section_ = "language";
        return;
    }
    if (header != "setup" && header != "agent" && header != "web" && header != "files")
        Fail("unknown section [" + header + "]");
    if (seen_[header]++)
        Fail("section [" + header + "] appears twice");
    if (header == "web")
        d_.web.emplace();
}

void DescriptionParser::Item(const std::string& key, const std::string& value)
{
    if (section_ == "setup")
        SetupItem(key, value);
    else if (section_ == "agent")
        AgentItem(key, value);
    else if (section_ == "web")
        WebItem(key, value);
    else if (section_ == "language")
        LanguageItemLine(key, value);
    else
        FilesItem(key, value);
}

void DescriptionParser::SetupItem(const std::string& key, const std::string& value)
{
    static const std::map<std::string, std::uint8_t> flagKeys = {
        {"always-show-temp-notice", FlagAlwaysShowTempNotice},
        {"spanned-cd-set", FlagSpannedCdSet},
        {"show-activity-bar", FlagShowActivityBar},
        {"debug-log", FlagDebugLog},
    };
    const std::map<std::string, bool*> byteKeys = {
        {"web-setup", &d_.webSetup},
        {"ask-before-download", &d_.askBeforeDownload},
        {"write-agent", &d_.writeAgent},
        {"auto-update-prog", &d_.autoUpdateProg},
        {"checksum", &d_.checksum},
        {"end-mark", &d_.endMark},
    };
    if (const auto flag = flagKeys.find(key); flag != flagKeys.end()) {
        d_.flags = static_cast<std::uint8_t>(Yes(value) ? d_.flags | flag->second : d_.flags & ~flag->second);
    } else if (const auto byte = byteKeys.find(key); byte != byteKeys.end()) {
        *byte->second = Yes(value);
    } else if (key == "stub") {
        d_.stub = Path(value);
    } else if (key == "output") {
        d_.output = Path(value);
    } else if (key == "append") {
        d_.append = Path(value);
    } else if (key == "part-size") {
        d_.partSize = Size(value);
    } else if (key == "compression-level") {
        d_.compressionLevel = StrToIntDef(value, -1);
        if (d_.compressionLevel < 1 || d_.compressionLevel > 9)
            Fail("compression-level is a number from 1 to 9");
    } else {
        Fail("unknown key '" + key + "' in [setup]");
    }
}

void DescriptionParser::AgentItem(const std::string& key, const std::string& value)
{
    AgentSection& a = d_.agent;
    if (key == "location")
        a.location = RecordField(value);
    else if (key == "info-file")
        a.infoFile = RecordField(value);
    else if (key == "agent-file")
        a.agentFile = RecordField(value);
    else if (key == "token")
        a.token = value;
    else if (key == "hidden")
        a.hidden = Yes(value);
    else
        Fail("unknown key '" + key + "' in [agent]");
}

void DescriptionParser::WebItem(const std::string& key, const std::string& value)
{
    WebSection& w = *d_.web;
    if (key == "location")
        w.location = RecordField(value);
    else if (key == "file")
        w.file = RecordField(value);
    else if (key == "skip-local")
        w.skipLocal = Yes(value);
    else if (key == "token")
        w.token = value;
    else if (key == "size")
        w.size = Size(value);
    else if (key == "size-of") {
        std::error_code error;
        w.size = fs::file_size(Path(value), error);
        if (error)
            Fail("cannot read the size of " + Path(value).string());
    } else
        Fail("unknown key '" + key + "' in [web]");
}

void DescriptionParser::LanguageItemLine(const std::string& key, const std::string& value)
{
    if (!IsLanguageKey(key))
        Fail("unknown text key '" + key + "' (keys: s0 to s8, s10 to s12, BtnText, Attention, Confirm, Error, Charset, FontSize, FontName)");
    if (value.find_first_of("\x01\x02") != std::string::npos)
        Fail("the bytes 0x01 and 0x02 cannot stand in a text");
    // The stub reads its texts with the blank before every "=" dropped.
    if (value.find(" =") != std::string::npos)
        Fail("a blank before '=' cannot stand in a text: the stub would show '" + ReplaceText(value, " =", "=") + "'");
    std::vector<LanguageItem>& items = d_.languages.back().items;
    for (const LanguageItem& item : items)
        if (AnsiUpperCase(item.key) == AnsiUpperCase(key))
            Fail("key '" + key + "' is given twice");
    items.push_back({key, value});
}

void DescriptionParser::FilesItem(const std::string& key, const std::string& value)
{
    if (key == "compress" || key == "store")
        d_.files.push_back({Path(value), key == "compress"});
    else if (key == "compress-folder" || key == "store-folder")
        AddFolder(value, key == "compress-folder");
    else if (key == "run")
        d_.run = value;
    else if (key == "run-arguments")
        d_.runArguments = RecordField(value);
    else
        Fail("unknown key '" + key + "' in [files]");
}

void DescriptionParser::AddFolder(const std::string& value, bool compressed)
{
    const fs::path folder = Path(value);
    std::error_code error;
    std::vector<fs::path> found;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file())
            Fail(it->path().string() + " is not a plain file: a setup packs the files of one folder, without subfolders");
        found.push_back(it->path());
    }
    if (error)
        Fail("cannot list the folder " + folder.string());
    // Byte order of the names, so the package is the same on every system.
    std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) { return a.filename().string() < b.filename().string(); });
    for (const fs::path& file : found)
        d_.files.push_back({file, compressed});
}

void DescriptionParser::Finish()
{
    if (d_.stub.empty())
        throw BuildError(name_ + ": [setup] names no stub (the packstub.exe image)");
    if (d_.output.empty())
        throw BuildError(name_ + ": [setup] names no output file");
    if (!d_.append.empty() && !d_.endMark)
        throw BuildError(name_ + ": 'append' needs 'end-mark = yes', or the appended bytes would hide the trailer");
    std::map<std::string, fs::path> names;
    for (const PackedFile& file : d_.files) {
        const std::string name = file.source.filename().string();
        if (!IsPlainFileName(name))
            throw BuildError(name_ + ": '" + name + "' is not a plain file name that can be extracted as it is");
        const auto [at, added] = names.emplace(AnsiUpperCase(name), file.source);
        if (!added)
            throw BuildError(name_ + ": two files are packed under the name '" + name + "': " + at->second.string() +
                             " and " + file.source.string());
    }
    if (!d_.run.empty() && !names.count(AnsiUpperCase(d_.run)))
        throw BuildError(name_ + ": the program to run, '" + d_.run + "', is not among the packed files");
    if (d_.run.empty() && !d_.runArguments.empty())
        throw BuildError(name_ + ": run-arguments without a program to run");
}

bool DescriptionParser::Yes(const std::string& value) const
{
    const std::string v = AnsiUpperCase(value);
    if (v == "YES" || v == "1" || v == "TRUE" || v == "ON")
        return true;
    if (v == "NO" || v == "0" || v == "FALSE" || v == "OFF")
        return false;
    Fail("expected yes or no, found '" + value + "'");
}

std::uint64_t DescriptionParser::Size(const std::string& value) const
{
    std::string digits = value;
    std::uint64_t unit = 1;
    const std::string upper = AnsiUpperCase(value);
    if (!upper.empty() && (upper.back() == 'K' || upper.back() == 'M' || upper.back() == 'G')) {
        unit = upper.back() == 'K' ? 1024 : upper.back() == 'M' ? 1048576 : 1073741824;
        digits = Trim(value.substr(0, value.size() - 1));
    }
    const std::int64_t number = StrToInt64Def(digits, -1);
    if (number < 0 || static_cast<std::uint64_t>(number) > UINT64_MAX / unit)
        Fail("expected a size in bytes (a K, M or G suffix allowed), found '" + value + "'");
    return static_cast<std::uint64_t>(number) * unit;
}

std::string DescriptionParser::RecordField(const std::string& value) const
{
    if (value.find('|') != std::string::npos)
        Fail("'|' separates the fields of a package record and cannot stand in '" + value + "'");
    return value;
}

fs::path DescriptionParser::Path(const std::string& value) const
{
    if (value.empty())
        Fail("a path is empty");
    const fs::path path(value);
    return path.is_absolute() ? path : base_ / path;
}

} // namespace

std::string ReadFileBytes(const fs::path& path)
{
    std::FILE* f = std::fopen(path.string().c_str(), "rb");
    if (!f)
        throw BuildError("cannot read " + path.string());
    std::string bytes;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed)
        throw BuildError("cannot read " + path.string());
    return bytes;
}

SetupDescription ReadDescription(const fs::path& path)
{
    const fs::path base = path.has_parent_path() ? path.parent_path() : fs::path(".");
    return ParseDescription(ReadFileBytes(path), base, path.string());
}

SetupDescription ParseDescription(const std::string& text, const fs::path& baseFolder, const std::string& displayName)
{
    return DescriptionParser(baseFolder, displayName).Parse(text);
}
