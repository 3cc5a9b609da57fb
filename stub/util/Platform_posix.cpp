#include "Platform.h"

#include <cstdio>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

std::string AnsiUpperCase(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool IsLeadByte(char) { return false; }

std::string LocaleDateSeparator() { return "/"; }
std::string LocaleTimeSeparator() { return ":"; }

TDateTime LocalNow()
{
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    // Local wall-clock seconds since 1970, then shifted to the 1899 epoch (25,569 days earlier).
    const double localSeconds = static_cast<double>(now.tv_sec + local.tm_gmtoff) + now.tv_usec / 1e6;
    return localSeconds / 86400.0 + 25569.0;
}

namespace {
std::uint32_t threadLocale = 0;
}

std::uint32_t ThreadLocaleId() { return threadLocale; }
void SetThreadLocaleId(std::uint32_t localeId) { threadLocale = localeId; }

std::uint32_t CurrentProcessId() { return static_cast<std::uint32_t>(getpid()); }

std::string ProgramCommandLine()
{
    std::string line;
    if (FILE* f = std::fopen("/proc/self/cmdline", "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF)
            line += c == 0 ? ' ' : static_cast<char>(c);
        std::fclose(f);
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}
