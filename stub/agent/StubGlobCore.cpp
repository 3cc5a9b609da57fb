#include "StubGlobCore.h"

#include "KSUB.h"
#include "Utils.h"

#include <cmath>

std::int64_t IntSettingOf(const TSettingKey& key, std::string_view text)
{
    return StrToInt64Def(text, StrToInt64Def(key.defaultText, 0));
}

std::int32_t Int32SettingOf(const TSettingKey& key, std::string_view text)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(IntSettingOf(key, text)));
}

bool SwitchSettingOf(std::string_view text) { return text == "1"; }

std::int64_t AgentSecondsOf(TDateTime localTime) { return std::llround(localTime * 86400.0); }

std::string AgentSecondsText(std::int64_t seconds) { return DateTimeText(static_cast<double>(seconds) / 86400.0); }

std::string TOverrides::ListText() const
{
    std::string list = "|";
    for (const std::uint8_t value : bytes_)
        list += std::to_string(value) + "|";
    return list;
}

void TOverrides::Apply(std::string_view list)
{
    for (int i = 0; i < OverrideCount; ++i) {
        const std::int64_t value = StrToInt64Def(SUB::Field(list, i, ""), -1);
        if (value >= 0 && value <= 255)
            Set(i, static_cast<std::uint8_t>(value));
    }
}

std::string BuiltInMessageText(std::string_view name)
{
    static const struct {
        const char* name;
        const char* text;
    } texts[] = {
        {"s3", "File Download Aborted!"},     {"s4", "File not Found!"},
        {"s5", "Unable to Download File!"},   {"s31", "Downloading INFO File..."},
        {"s32", "Downloading UPDATE File..."}, {"s33", "Downloading INFORM File..."},
        {"s34", "New Version"},               {"s35", "Download"},
    };
    for (const auto& entry : texts)
        if (name == entry.name)
            return entry.text;
    return "";
}
