// The program's diagnostics: the debug output, forwarded in pieces of at most 128 bytes to a
// ".KDebug." viewer window when one runs (and dropped otherwise), the run log next to the program,
// and the relay of status codes to a partner window.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The program's text output: Write keeps text until the buffer is full or the line ends.
void DebugWrite(std::string_view text);
void DebugWriteLine(std::string_view text);

// The run log "X_" + program name + ".log" in the program's folder: one time-stamped line per
// call while enabled; a line that cannot be written is lost silently.
void SetRunLogEnabled(bool enabled);
void WriteRunLog(std::string_view message);
std::string RunLogPath();
void SetRunLogIndent(std::string_view indent);

// The window registered with the agent and the message it wants; nothing is posted while
// either is 0.
void SetPartner(HWND window, UINT message);
void PostToPartner(WPARAM code, LPARAM value);
