// The log file "magout.txt" and the viewer file "viewer.txt", and the viewer that shows them.
#pragma once

#include <string>

// The folder of the two files: TMP, or the system's temporary folder when TMP is not set.
std::string TempFilesFolder();
// Appends the output, two blanks and two line feeds. A log that cannot be written is reported
// once and logging switched off.
void AppendToLog(const std::string& output);
// Starts "notepad.exe" from the current folder or the PATH with the file as its argument and
// waits for it: its exit code, or -1 when it cannot be started.
double RunViewer(const std::string& path);
