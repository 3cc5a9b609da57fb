// The JSON text form of a byte string, as the fixtures print their reports: quotes and
// backslashes escaped, control characters and bytes above 127 as \u00XX.
#pragma once

#include <cstdio>
#include <string>

inline std::string Json(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x80) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}
