// TGFileInfo: read-only view of the package of an executable or part file: its trailer, the
// language block, the agent and web records, the localized texts, the space estimate and tokens.
#pragma once

#include "PackageLayout.h"

#include <string>
#include <string_view>

// The keys of a language entry and the stub's built-in text for each (empty for an unknown key).
bool IsLanguageKey(std::string_view key);
std::string BuiltInText(std::string_view key);

class TGFileInfo {
public:
    // A missing file, or one without the package magic, gives empty texts; the trailer is then
    // all zero (missing file) or as read.
    explicit TGFileInfo(const std::string& path);
    explicit TGFileInfo(const PackageSource& file);

    const TTrailer& Trailer() const { return trailer_; }
    const std::string& LanguageBlock() const { return languageBlock_; }
    const std::string& AgentRecord() const { return agentRecord_; }
    const std::string& WebRecord() const { return webRecord_; }

    bool AlwaysShowTempNotice() const { return trailer_.HasFlags(FlagAlwaysShowTempNotice); }
    bool SpannedCdSet() const { return trailer_.HasFlags(FlagSpannedCdSet); }
    bool ShowActivityBar() const { return trailer_.HasFlags(FlagShowActivityBar); }
    bool DebugLog() const { return trailer_.HasFlags(FlagDebugLog); }
    bool WebSetup() const { return trailer_.ByteSet(TTrailer::OffWebSetup); }
    bool AskBeforeDownload() const { return trailer_.ByteSet(TTrailer::OffAskBeforeDownload); }
    bool WriteAgent() const { return trailer_.ByteSet(TTrailer::OffWriteAgent); }
    bool AutoUpdateProg() const { return trailer_.ByteSet(TTrailer::OffAutoUpdateProg); }

    // Bytes needed to extract onto the drive of path, by that drive's cluster size.
    double SpaceRequired(const std::string& path) const;
    double SpaceRequiredForCluster(std::uint64_t clusterSize) const;

    std::string AgentLocation() const;
    std::string InfoFileName() const;
    std::string OriginalFileName() const;
    std::string AgentFileName() const;
    std::string AgentToken(bool plain) const;
    bool HiddenSetup() const;
    std::string WebLocation() const;
    std::string WebFileName() const;
    bool WebSkipLocal() const;
    std::string WebToken(bool plain) const;
    std::string WebFileSize() const;
    bool SameWebToken(const TGFileInfo& other) const;

    // The value of key name in the language entry chosen for the process, else defaultText. The
    // entry is chosen by the first call in the process, from the block of the instance it is made
    // on, and kept.
    std::string Text(std::string_view name, std::string_view defaultText) const;
    // The same with the built-in text as default.
    std::string Text(std::string_view name) const;
    int Charset() const;
    int FontSize() const;
    std::string FontName() const;

    // Lets a test choose the language anew within one process.
    static void ForgetLanguageChoice();

private:
    void ReadTextBlocks(const PackageSource& file);

    TTrailer trailer_;
    std::string languageBlock_, agentRecord_, webRecord_;
};
