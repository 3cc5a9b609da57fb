// The computations behind the registry and wait services that need no system: registry paths
// given as one text, the text form of registry values, the step of a message-pumping wait and the
// centring of a window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig, DynData };

// "HKEY_LOCAL_MACHINE" or "HKLM" and the like, letter case ignored; anything else is the
// current user's root.
RegRoot RegRootFromName(std::string_view name);

struct RegPath {
    RegRoot root;
    std::string subkey;
};
// "HKLM\Software\X" gives the local machine and "Software\X"; a path that does not begin with
// "HK" lies under the current user.
RegPath RegSplitPath(std::string_view path);

constexpr std::uint32_t RegTypeDword = 4;
constexpr std::uint32_t RegTypeMultiText = 7;
// The value's data as text: a DWORD as unsigned decimal, a multi-string with its inner zero bytes
// shown as "<0>", anything else up to its first zero byte.
std::string RegValueText(std::uint32_t type, std::string_view data);

// The key that holds the registered owner and organization.
std::string WindowsVersionKey(bool windowsNT);

// The sleep between two pumps of a wait: a step of 0 becomes a tenth of the total, kept
// within 1 to 25 ms.
std::uint32_t PumpStepMs(std::uint32_t step, std::int64_t total);

// The start of a span of the given size centred in an available span, the halving truncated
// toward zero (so a span larger than the room starts before it).
int CenteredStart(int start, int available, int size);
