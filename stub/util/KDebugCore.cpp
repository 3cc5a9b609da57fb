#include "KDebugCore.h"

#include "PathText.h"
#include "Utils.h"

#include <algorithm>
#include <cstring>

void DebugPieceBuffer::Write(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t n = std::min(Capacity - used_, text.size());
        std::memcpy(buffer_ + used_, text.data(), n);
        used_ += n;
        text.remove_prefix(n);
        if (used_ == Capacity)
            Flush();
    }
}

void DebugPieceBuffer::WriteLine(std::string_view text)
{
    Write(text);
    Write("\r\n");
    Flush();
}

void DebugPieceBuffer::Flush()
{
    if (used_ == 0)
        return;
    const std::string_view piece(buffer_, used_);
    used_ = 0;
    sink_(piece);
}

std::string ViewerText(std::string_view piece)
{
    const std::size_t limit = 10241;
    piece = piece.substr(0, std::min(piece.find('\0'), limit));
    return std::string(piece);
}

std::string RunLogFileName(std::string_view programFileName)
{
    std::string name = FileNameOf(programFileName);
    if (!StartsWith("X_", name, false))
        name.insert(0, "X_");
    return FileNameWithoutExt(name, false) + ".log";
}

std::string RunLogLine(TDateTime now, std::uint32_t threadId, std::string_view indent, std::string_view message)
{
    std::string line = ShortDateTimeText(now) + " " + PadLeft(std::to_string(threadId), 5, ' ');
    line.append(indent).append(message).append("\r\n");
    return line;
}
