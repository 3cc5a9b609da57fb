// Any bytes as the marked-up text of a message box (package texts and settings files bring them):
// the caption heading, the plain text and its bold ranges, and the text's measurement.
#include "KMsgBoxText.h"

#include <cstdint>

namespace {

void CheckRanges(const PlainText& plain)
{
    for (const BoldRange& range : plain.bold)
        if (range.start < 0 || range.start > range.end || static_cast<std::size_t>(range.end) > plain.text.size())
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const PlainText plain = MarkupToPlain(text);
    CheckRanges(plain);
    if (plain.text.size() > 2 * text.size())
        __builtin_trap();
    CheckRanges(MarkupToPlain(WithCaptionHeader(text, text.substr(0, size / 4))));
    const TextSize measured = MeasurePlainText(plain.text, 13, [](std::string_view line) {
        return static_cast<int>(line.size()) * 7;
    });
    if (measured.width > 600)
        __builtin_trap();
    return 0;
}
