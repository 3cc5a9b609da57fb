#include "StubGlob.h"

#include "Utils.h"
#include "UtilsWin.h"

namespace {

TOverrides overrides;

} // namespace

std::string InfoFilePathOf(const TGFileInfo& info, const std::string& agentFolder)
{
    return agentFolder + info.InfoFileName();
}

std::string OriginalFilePathOf(const TGFileInfo& info, const std::string& agentFolder)
{
    return agentFolder + info.OriginalFileName();
}

TOverrides& RunTimeOverrides() { return overrides; }

std::int64_t AgentSecondsNow() { return AgentSecondsOf(LocalNow()); }

TSettings::TSettings(std::string originalPath, std::string infoPath)
    : originalPath_(std::move(originalPath)), infoPath_(std::move(infoPath))
{
}

const std::string& TSettings::Path(SettingsFile file) const
{
    return file == SettingsFile::Original ? originalPath_ : infoPath_;
}

std::string TSettings::RawText(const TSettingKey& key) const
{
    return ReadIniString(Path(key.file), key.section, key.name, key.defaultText);
}

std::string TSettings::Read(const TTextKey& key) const { return RawText(key); }
std::int64_t TSettings::Read(const TIntKey& key) const { return IntSettingOf(key, RawText(key)); }
std::int32_t TSettings::Read(const TInt32Key& key) const { return Int32SettingOf(key, RawText(key)); }

bool TSettings::Read(const TSwitchKey& key) const
{
    if (key.overridePosition >= 0 && overrides.IsSet(key.overridePosition))
        return overrides.Get(key.overridePosition) == 1;
    return key.name != nullptr && SwitchSettingOf(RawText(key));
}

bool TSettings::Write(const TIntKey& key, std::int64_t value) const
{
    return WriteIniInt(Path(key.file), key.section, key.name, value);
}

bool TSettings::Write(const TInt32Key& key, std::int32_t value) const
{
    return WriteIniInt(Path(key.file), key.section, key.name, value);
}

bool TSettings::Write(const TTimeKey& key, std::int64_t seconds) const
{
    const bool written = Write(static_cast<const TIntKey&>(key), seconds);
    return WriteIniString(Path(key.file), key.section, key.readableName, AgentSecondsText(seconds)) && written;
}

std::string TSettings::MessageText(std::string_view name, std::string_view defaultText) const
{
    return ReadIniString(originalPath_, MessageSection, std::string(name), std::string(defaultText));
}

std::string TSettings::MessageText(std::string_view name) const { return MessageText(name, BuiltInMessageText(name)); }
