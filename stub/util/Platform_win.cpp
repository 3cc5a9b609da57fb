#include "Platform.h"

#include <windows.h>

std::string AnsiUpperCase(std::string text)
{
    if (!text.empty())
        CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool IsLeadByte(char c) { return IsDBCSLeadByte(static_cast<BYTE>(c)) != 0; }

static std::string LocaleText(LCTYPE what, const char* fallback)
{
    char buffer[16];
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, what, buffer, sizeof buffer);
    return n > 1 ? std::string(buffer, n - 1) : std::string(fallback);
}

std::string LocaleDateSeparator() { return LocaleText(LOCALE_SDATE, "/"); }
std::string LocaleTimeSeparator() { return LocaleText(LOCALE_STIME, ":"); }

TDateTime LocalNow()
{
    FILETIME utc, local;
    GetSystemTimeAsFileTime(&utc);
    FileTimeToLocalFileTime(&utc, &local);
    const ULONGLONG ticks = (static_cast<ULONGLONG>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
    // FILETIME counts 100 ns since 1 January 1601, which is 109,205 days before 30 December 1899.
    return static_cast<double>(ticks) / 864000000000.0 - 109205.0;
}

std::uint32_t ThreadLocaleId() { return GetThreadLocale(); }
void SetThreadLocaleId(std::uint32_t localeId) { SetThreadLocale(localeId); }

std::uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

std::string ProgramCommandLine() { return GetCommandLineA(); }
