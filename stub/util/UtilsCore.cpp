#include "UtilsCore.h"

#include "Utils.h"

#include <algorithm>
#include <cstring>

namespace {

struct RootName {
    const char* longName;
    const char* shortName;
    RegRoot root;
};

const RootName RootNames[] = {
    {"HKEY_CLASSES_ROOT", "HKCR", RegRoot::ClassesRoot},
    {"HKEY_CURRENT_USER", "HKCU", RegRoot::CurrentUser},
    {"HKEY_LOCAL_MACHINE", "HKLM", RegRoot::LocalMachine},
    {"HKEY_USERS", "HKU", RegRoot::Users},
    {"HKEY_CURRENT_CONFIG", "HKCC", RegRoot::CurrentConfig},
    {"HKEY_DYN_DATA", "HKDD", RegRoot::DynData},
};

} // namespace

RegRoot RegRootFromName(std::string_view name)
{
    for (const RootName& r : RootNames)
        if (SameTextTrimmed(name, r.longName) || SameTextTrimmed(name, r.shortName))
            return r.root;
    return RegRoot::CurrentUser;
}

RegPath RegSplitPath(std::string_view path)
{
    const std::string trimmed = Trim(path);
    if (!StartsWith("HK", trimmed, true))
        return {RegRoot::CurrentUser, trimmed};
    const std::size_t slash = trimmed.find('\\');
    if (slash == std::string::npos)
        return {RegRootFromName(trimmed), {}};
    return {RegRootFromName(trimmed.substr(0, slash)), trimmed.substr(slash + 1)};
}

std::string RegValueText(std::uint32_t type, std::string_view data)
{
    if (type == RegTypeDword && data.size() == 4) {
        std::uint32_t value;
        std::memcpy(&value, data.data(), 4);
        return std::to_string(value);
    }
    if (type == RegTypeMultiText && data.size() > 2) {
        const std::size_t end = data.find_last_not_of('\0');
        return ReplaceText(data.substr(0, end == std::string_view::npos ? 0 : end + 1), std::string_view("\0", 1), "<0>");
    }
    return std::string(data.substr(0, data.find('\0')));
}

std::string WindowsVersionKey(bool windowsNT)
{
    const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    return windowsNT ? ReplaceText(key, "Windows", "Windows NT") : key;
}

std::uint32_t PumpStepMs(std::uint32_t step, std::int64_t total)
{
    if (step != 0)
        return step;
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(total / 10, 1, 25));
}

int CenteredStart(int start, int available, int size)
{
    return start + (available - size) / 2;
}
