// What the portable text code asks of the system it runs on. The Windows build answers with the
// system's own ANSI upper-casing, locale separators and clock; the native build with the "C"
// locale equivalents, so the portable code and its tests run unchanged on both sides.
#pragma once

#include <cstdint>
#include <string>

// Days since 30 December 1899 00:00, the time of day as the fraction.
using TDateTime = double;

std::string AnsiUpperCase(std::string text);
// True when the byte opens a double-byte character of the ANSI code page.
bool IsLeadByte(char c);
std::string LocaleDateSeparator();
std::string LocaleTimeSeparator();
TDateTime LocalNow();
std::uint32_t CurrentProcessId();
// The locale identifier of the calling thread, 0 when there is none. The setter is how tests
// choose the user's language (natively there is no thread locale, so it starts at 0).
std::uint32_t ThreadLocaleId();
void SetThreadLocaleId(std::uint32_t localeId);
// The raw command line of the running program, its path included.
std::string ProgramCommandLine();
