// The parts of the debug channel and the run log that need no system: cutting the program's text
// output into the pieces the viewer receives, and the run log's file name and line format.
#pragma once

#include "Platform.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The program's text output as a 128-byte buffer: a piece goes to the sink whenever the buffer
// is full and at the end of each written line, so no piece is longer than 128 bytes and the last
// piece of a line ends in CR LF (unless the CR filled the buffer).
class DebugPieceBuffer {
public:
    static constexpr std::size_t Capacity = 128;
    using Sink = void (*)(std::string_view piece);

    explicit DebugPieceBuffer(Sink sink) : sink_(sink) {}
    void Write(std::string_view text);
    void WriteLine(std::string_view text);

private:
    void Flush();

    Sink sink_;
    char buffer_[Capacity] = {};
    std::size_t used_ = 0;
};

// The text of a piece as the viewer receives it: up to its first zero byte, at most 10,241 bytes.
std::string ViewerText(std::string_view piece);

// "X_" + the program's name (unless it already starts with "X_") with the extension ".log".
std::string RunLogFileName(std::string_view programFileName);
// "dd/mm/yy HH:NN:SS" + " " + thread id padded to 5 + indent + message + CR LF.
std::string RunLogLine(TDateTime now, std::uint32_t threadId, std::string_view indent, std::string_view message);
