// The process-wide state of the bridge, shared by every export: the kernel, the open and error
// flags, the name of the running export, the kernel's error text, the capture buffer, the output
// switches and the paths of the log and viewer files.
#pragma once

#include "MapleKernel.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Longest kernel output the capture buffer holds, terminator included.
constexpr std::size_t MAXLEN = 65536;
// Longest path of the log and viewer files and of delete_file and exist_file.
constexpr std::size_t MaxPath = 255;

struct BridgeState {
    MapleKernel kernel = nullptr;
    int open = 0;
    int error = 0;
    const char* operation = "";
    char kernelError[MAPLE_ERROR_TEXT_SIZE] = "";
    std::string capture;
    bool capturing = false;
    bool logging = false;
    bool debugging = false;
    std::string logPath;
    std::string viewerPath;
};

BridgeState& Bridge();

// A double from the host as the integer the bridge works with: truncated toward zero, with
// NaN as 0 and values beyond the 64-bit range held at its ends.
std::int64_t Truncated(double value);
// Hands the capture buffer to the host: copied with its terminator only when it is shorter than
// the host's buffer of bufferSize bytes; its length goes to size either way.
void CopyCaptureTo(char* buffer, std::int64_t bufferSize, double* size);
