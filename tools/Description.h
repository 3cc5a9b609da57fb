// The description file of a setup: what the builder packs and how. Its format is documented in
// tools/README.md.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A fault in the user's input; its text is shown as it is.
class BuildError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole content of a file; BuildError when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

struct LanguageItem {
    std::string key, value;
};

struct LanguageSection {
    std::string name;
    std::vector<LanguageItem> items;
};

struct AgentSection {
    std::string location, infoFile, agentFile, token;
    bool hidden = false;
};

struct WebSection {
    std::string location, file, token;
    bool skipLocal = false;
    std::uint64_t size = 0;
};

struct PackedFile {
    std::filesystem::path source;
    bool compressed = true;
};

struct SetupDescription {
    std::filesystem::path stub, output, append;
    bool checksum = true;
    bool endMark = false;
    std::uint64_t partSize = 0;
    int compressionLevel = 9;
    std::uint8_t flags = 0;  // AlwaysShowTempNotice, SpannedCdSet, ShowActivityBar, DebugLog
    bool webSetup = false, askBeforeDownload = false, writeAgent = false, autoUpdateProg = false;
    AgentSection agent;
    std::optional<WebSection> web;
    std::vector<LanguageSection> languages;
    std::vector<PackedFile> files;
    std::string run, runArguments;
};

// Reads a description; relative paths in it are taken from the description's folder. Folders
// listed in [files] are expanded here, so the result names every file to pack.
SetupDescription ReadDescription(const std::filesystem::path& path);
SetupDescription ParseDescription(const std::string& text, const std::filesystem::path& baseFolder,
                                  const std::string& displayName);
