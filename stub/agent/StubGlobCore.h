// The update settings as the agent reads them, without the system: the keys of the ORIGINAL and
// INFO files with their types and defaults, the rules that turn a key's text into its value, the
// agent's time values, and the eight run-time overrides with their list text.
#pragma once

#include "Platform.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

enum class SettingsFile { Original, Info };

// A key of one of the two files. Reading a text key gives its default when the key is missing
// or empty; the other kinds convert that text.
struct TSettingKey {
    SettingsFile file;
    const char* section;
    const char* name;
    const char* defaultText;
};
struct TTextKey : TSettingKey {};
struct TIntKey : TSettingKey {};    // signed 64-bit
struct TInt32Key : TSettingKey {};  // used in its low 32 bits
// On only when the text is exactly "1". overridePosition >= 0: a run-time override stands in
// for the key while it is set. A switch without a name has no key at all.
struct TSwitchKey : TSettingKey {
    int overridePosition = -1;
};
// Agent time values with their readable copy under readableName.
struct TTimeKey : TIntKey {
    const char* readableName;
};

// The value of a key from its text as the profile functions return it (the default text in
// place of a missing or empty value).
std::int64_t IntSettingOf(const TSettingKey& key, std::string_view text);
std::int32_t Int32SettingOf(const TSettingKey& key, std::string_view text);
bool SwitchSettingOf(std::string_view text);

// Agent time values: whole seconds since 30 December 1899 00:00 local time.
std::int64_t AgentSecondsOf(TDateTime localTime);
// The readable copy, as 05-MAR-2013 14:05:09.
std::string AgentSecondsText(std::int64_t seconds);

// The eight switches that can be forced for the life of the agent process, by position.
enum OverridePosition : int {
    OverrideAskBeforeCheck = 0,
    OverrideConfirmDownload = 1,
    OverrideConfirmInstall = 2,
    OverrideBackgroundUpdate = 3,
    OverrideInformFinish = 4,
    OverrideRestartProcess = 5,
    OverrideConfirmDownloadForce = 6,
    OverrideConfirmInstallForce = 7,
};
constexpr int OverrideCount = 8;
constexpr std::uint8_t OverrideUnset = 255;

class TOverrides {
public:
    std::uint8_t Get(int position) const { return bytes_.at(static_cast<std::size_t>(position)); }
    void Set(int position, std::uint8_t value) { bytes_.at(static_cast<std::size_t>(position)) = value; }
    bool IsSet(int position) const { return Get(position) != OverrideUnset; }
    // "|" + o0 + "|" + ... + o7 + "|", each byte in decimal.
    std::string ListText() const;
    // Takes field i of the list for position i; a missing or non-numeric field keeps the value.
    void Apply(std::string_view list);

private:
    std::array<std::uint8_t, OverrideCount> bytes_ = {OverrideUnset, OverrideUnset, OverrideUnset, OverrideUnset,
                                                      OverrideUnset, OverrideUnset, OverrideUnset, OverrideUnset};
};

// Every key of the two files.
namespace Keys {
using enum SettingsFile;

// ORIGINAL [OriginalSetup]
constexpr TIntKey ProbeSecondsInterval{{Original, "OriginalSetup", "ProbeSecondsInterval", "0"}};
constexpr TTimeKey ProbeSecondsLast{{{Original, "OriginalSetup", "ProbeSecondsLast", "0"}}, "__ProbeSecondsLast"};
constexpr TIntKey ReAskSecondsInterval{{Original, "OriginalSetup", "ReAskSecondsInterval", "0"}};
constexpr TTimeKey ReAskSecondsLast{{{Original, "OriginalSetup", "ReAskSecondsLast", "0"}}, "__ReAskSecondsLast"};
constexpr TInt32Key VersionOriginal{{Original, "OriginalSetup", "VersionOriginal", "0"}};
constexpr TInt32Key OriginalStamp{{Original, "OriginalSetup", "Stamp", "0"}};
constexpr TTextKey OriginalProgramName{{Original, "OriginalSetup", "ProgramName", ""}};
// ORIGINAL [Directories]
constexpr TTextKey TargetDir{{Original, "Directories", "TargetDir", ""}};
constexpr TTextKey SharedDir{{Original, "Directories", "SharedDir", ""}};
constexpr TTextKey AuxiliaryDir{{Original, "Directories", "AuxiliaryDir", ""}};
// ORIGINAL [UnInstall]
constexpr TTextKey StartUpLink{{Original, "UnInstall", "StartUpLink", ""}};
constexpr TTextKey CheckforNewUpdateLink{{Original, "UnInstall", "CheckforNewUpdateLink", ""}};
// ORIGINAL [MsgBox]
constexpr TTextKey BtnText{{Original, "MsgBox", "BtnText", "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|"}};
constexpr TTextKey ErrorCaption{{Original, "MsgBox", "Error", "Error"}};
constexpr TTextKey ConfirmCaption{{Original, "MsgBox", "Confirm", "Confirm"}};
constexpr TTextKey AttentionCaption{{Original, "MsgBox", "Attention", "Attention"}};
constexpr TInt32Key CharSet{{Original, "MsgBox", "CharSet", "0"}};
constexpr TTextKey FontName{{Original, "MsgBox", "FontName", "Tahoma"}};
constexpr TInt32Key FontSize{{Original, "MsgBox", "FontSize", "8"}};

// INFO [NewSetup]
constexpr TTextKey DownloadURL_UPDATE{{Info, "NewSetup", "DownloadURL_UPDATE", ""}};
constexpr TTextKey NameOfUpdateFile{{Info, "NewSetup", "NameOfUpdateFile", ""}};
constexpr TInt32Key SizeOfUpdateFile{{Info, "NewSetup", "SizeOfUpdateFile", "0"}};
constexpr TSwitchKey RequestConfirmationBeforeDownload{
    {Info, "NewSetup", "RequestConfirmationBeforeDownload", "0"}, OverrideConfirmDownload};
constexpr TSwitchKey RequestConfirmationBeforeDownloadForce{
    {Info, "NewSetup", "RequestConfirmationBeforeDownloadForce", "0"}, OverrideConfirmDownloadForce};
constexpr TSwitchKey RequestConfirmationBeforeInstall{
    {Info, "NewSetup", "RequestConfirmationBeforeInstall", "0"}, OverrideConfirmInstall};
constexpr TSwitchKey RequestConfirmationBeforeInstallForce{
    {Info, "NewSetup", "RequestConfirmationBeforeInstallForce", "0"}, OverrideConfirmInstallForce};
constexpr TSwitchKey BackgroundUpdate{{Info, "NewSetup", "BackgroundUpdate", "0"}, OverrideBackgroundUpdate};
constexpr TTextKey ShutDownMethod{{Info, "NewSetup", "ShutDownMethod", ""}};
constexpr TSwitchKey RestartProcess{{Info, "NewSetup", "RestartProcess", "0"}, OverrideRestartProcess};
constexpr TSwitchKey InformFinish{{Info, "NewSetup", "InformFinish", "0"}, OverrideInformFinish};
constexpr TTextKey RunningProcess{{Info, "NewSetup", "RunningProcess", ""}};
constexpr TTextKey NewProgramName{{Info, "NewSetup", "ProgramName", ""}};
constexpr TInt32Key VersionNew{{Info, "NewSetup", "VersionNew", "0"}};
constexpr TInt32Key NewStamp{{Info, "NewSetup", "Stamp", "0"}};
constexpr TTextKey ValidVersions{{Info, "NewSetup", "ValidVersions", ""}};
constexpr TSwitchKey RemoveStartUpShortcut{{Info, "NewSetup", "RemoveStartUpShortcut", "0"}};
constexpr TSwitchKey RemoveCheckForNewUpdateShortcut{{Info, "NewSetup", "RemoveCheckForNewUpdateShortcut", "0"}};
// INFO [General]
constexpr TIntKey AutoInform{{Info, "General", "AutoInform", "0"}};
// INFO [AutoInform]
constexpr TTextKey DownloadURL_INFORM{{Info, "AutoInform", "DownloadURL_INFORM", ""}};
constexpr TTextKey NameOfInformFile{{Info, "AutoInform", "NameOfInformFile", ""}};
constexpr TInt32Key SizeOfInformFile{{Info, "AutoInform", "SizeOfInformFile", "0"}};
constexpr TInt32Key AutoInformW{{Info, "AutoInform", "AutoInformW", "360"}};
constexpr TInt32Key AutoInformH{{Info, "AutoInform", "AutoInformH", "360"}};

// On only through its override: there is no key.
constexpr TSwitchKey AskBeforeCheck{{Original, "", nullptr, "0"}, OverrideAskBeforeCheck};
} // namespace Keys

// The section of the agent's message texts in the ORIGINAL file, and the built-in default of
// each text (empty for a text without one).
constexpr const char* MessageSection = "AutoUpdate";
std::string BuiltInMessageText(std::string_view name);
