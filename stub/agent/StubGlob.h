// The update settings files of the agent: the ORIGINAL file of the installed product and the INFO
// file of the newest release, both in the agent's folder and named after the agent record of its
// package. Every read opens the file anew through the profile functions, so a missing file reads
// as all defaults and a write takes effect at once.
#pragma once

#include "FileInfo.h"
#include "StubGlobCore.h"

#include <cstdint>
#include <string>
#include <string_view>

// agentFolder + the info file's name part; agentFolder + that name up to its first "." +
// ".original".
std::string InfoFilePathOf(const TGFileInfo& info, const std::string& agentFolder);
std::string OriginalFilePathOf(const TGFileInfo& info, const std::string& agentFolder);

// The switches forced for the life of this process.
TOverrides& RunTimeOverrides();

// The current time as an agent time value.
std::int64_t AgentSecondsNow();

class TSettings {
public:
    TSettings(std::string originalPath, std::string infoPath);

    const std::string& Path(SettingsFile file) const;

    std::string Read(const TTextKey& key) const;
    std::int64_t Read(const TIntKey& key) const;
    std::int32_t Read(const TInt32Key& key) const;
    // The run-time override when one is set for the switch, else the key.
    bool Read(const TSwitchKey& key) const;

    bool Write(const TIntKey& key, std::int64_t value) const;
    bool Write(const TInt32Key& key, std::int32_t value) const;
    // The seconds and their readable copy.
    bool Write(const TTimeKey& key, std::int64_t seconds) const;

    // Key name of the ORIGINAL file's [AutoUpdate] section: the agent's message texts.
    std::string MessageText(std::string_view name, std::string_view defaultText) const;
    // The same with the text's built-in default.
    std::string MessageText(std::string_view name) const;

private:
    std::string RawText(const TSettingKey& key) const;

    std::string originalPath_, infoPath_;
};
