// Writing a whole text file, for the bridge's viewer and log files and for the host harness.
#pragma once

#include <cstdio>
#include <string>

// Replaces the file's contents; false when it cannot be written.
inline bool WriteFileText(const std::string& path, const std::string& text)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && written;
}
