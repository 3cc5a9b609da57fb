#include "KMsgBoxText.h"

#include "Utils.h"

#include <algorithm>

namespace {

constexpr int MaxTextWidth = 600;

// The text, its upper-case twin for the tag searches and the bold ranges found so far, kept in
// step: a deletion moves every range that lies after it, so ranges stay true when tags nest.
class MarkupText {
public:
    explicit MarkupText(std::string text) : text_(std::move(text)), upper_(AnsiUpperCase(text_)) {}

    std::size_t Find(std::string_view tag) const { return upper_.find(tag); }

    void Erase(std::size_t index, std::size_t count)
    {
        text_.erase(index, count);
        upper_.erase(index, count);
        for (BoldRange& range : bold_) {
            range.start = Shifted(range.start, index, count);
            range.end = Shifted(range.end, index, count);
        }
    }

    void AddBold(std::size_t start, std::size_t end) { bold_.push_back({static_cast<int>(start), static_cast<int>(end)}); }

    PlainText Take() { return {std::move(text_), std::move(bold_)}; }

private:
    static int Shifted(int offset, std::size_t index, std::size_t count)
    {
        const auto at = static_cast<std::size_t>(offset);
        if (at <= index)
            return offset;
        return static_cast<int>(at - std::min(count, at - index));
    }

    std::string text_, upper_;
    std::vector<BoldRange> bold_;
};

// Bold pairs: an opening tag without a later closing tag is dropped alone; the closing tag stays
// for the final sweep.
void TakeBoldPairs(MarkupText& text)
{
    for (;;) {
        const std::size_t open = text.Find("<B>");
        if (open == std::string::npos)
            break;
        text.Erase(open, 3);
        const std::size_t close = text.Find("</B>");
        if (close != std::string::npos && close > open) {
            text.Erase(close, 4);
            text.AddBold(open, close);
        }
    }
}

void EraseEvery(MarkupText& text, std::string_view tag)
{
    for (std::size_t at; (at = text.Find(tag)) != std::string::npos;)
        text.Erase(at, tag.size());
}

char UpperChar(char c) { return AnsiUpperCase(std::string(1, c))[0]; }

char AcceleratorLetter(std::string_view text)
{
    const std::size_t amp = text.find('&');
    if (amp == std::string_view::npos)
        return text.empty() ? '\0' : text[0];
    return amp + 1 < text.size() ? text[amp + 1] : '\0';
}

} // namespace

std::string WithCaptionHeader(std::string_view text, std::string_view caption)
{
    const bool builtIn = !caption.empty() && std::string_view(MsgBoxCaptions).find(caption) != std::string_view::npos;
    const std::string header = builtIn ? AnsiUpperCase(std::string(caption)) : std::string(caption);
    return "<<b>" + header + "</b><P><P>" + std::string(text) + "<P>";
}

PlainText MarkupToPlain(std::string_view markup)
{
    std::string text = ReplaceText(ReplaceText(markup, "\\\\n", "\r\n"), "\\\\t", "\t");
    text = ReplaceTextIgnoreCase(ReplaceTextIgnoreCase(text, "<P>", "\r\n"), "<T>", "\t");
    if (text.starts_with("<<b>"))
        text.erase(0, 1);
    MarkupText markupText(std::move(text));
    TakeBoldPairs(markupText);
    EraseEvery(markupText, "</B>");
    return markupText.Take();
}

int MsgBoxLineHeight(int metricHeight, int externalLeading, std::string_view faceName)
{
    return metricHeight + externalLeading + (SameTextTrimmed(faceName, "MS PGothic") ? 1 : 0);
}

TextSize MeasurePlainText(std::string_view plain, int lineHeight, const std::function<int(std::string_view)>& extentOf)
{
    std::string_view rest = plain.empty() ? std::string_view(" ") : plain;
    TextSize size{0, 0};
    while (!rest.empty()) {
        const std::size_t end = rest.find("\r\n");
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
        if (line.empty() && rest.empty())
            break;
        const int cx = extentOf(line);
        size.width = std::max(size.width, cx + 10);
        size.height += (cx / MaxTextWidth + 1) * lineHeight;
    }
    size.width = std::min(size.width, MaxTextWidth);
    return size;
}

std::vector<BoxButton> ButtonSetOf(std::uint32_t flags)
{
    switch (flags & BoxButtonsMask) {
    case 0: return {{0, 1}};
    case 1: return {{0, 1}, {1, 2}};
    case 2: return {{4, 3}, {5, 4}, {6, 5}};
    case 3: return {{2, 6}, {3, 7}, {1, 2}};
    case 4: return {{2, 6}, {3, 7}};
    case 5: return {{5, 4}, {1, 2}};
    default: return {};
    }
}

int DefaultButtonIndex(std::uint32_t flags, int buttonCount)
{
    return buttonCount > 0 ? static_cast<int>((flags & BoxDefaultMask) >> 8) % buttonCount : -1;
}

std::uint32_t EffectiveBoxFlags(std::uint32_t flags, std::intptr_t headingMode, int charset)
{
    if (headingMode == 2)
        flags |= BoxNoClose;
    if (charset == 177 || charset == 178)
        flags |= BoxRight | BoxRtlReading;
    return flags;
}

int BoxIconId(std::uint32_t flags)
{
    switch (flags & BoxIconMask) {
    case 0x10: return 32513;
    case 0x20: return 32514;
    case 0x30: return 32515;
    case 0x40: return 32516;
    default: return 0;
    }
}

TextSize BoxWindowSize(int controlWidth, int controlHeight, const FrameMetrics& frame)
{
    const int dx = controlWidth < 200 ? 64 : 32;
    const int dy = controlHeight < 39 ? 45 : 32;
    const int width = controlWidth + 54 + 2 * dx + 2 * frame.frameX;
    const int height = controlHeight + 36 + 2 * dy + 2 * frame.frameY + frame.caption;
    return {std::max(width, 360), height};
}

ControlPlace TextControlPlace(int clientWidth, int clientHeight, int controlWidth, int controlHeight)
{
    const int x = 54 + (clientWidth - 54 - controlWidth) / 2;
    const int y = (clientHeight - 36 - controlHeight) / 2;
    return {x, y, clientHeight - y - 39};
}

int ButtonLeft(int slot, int buttonCount, int clientWidth)
{
    return clientWidth - 80 - (buttonCount - 1 - slot) * BoxButtonWidth;
}

int ButtonTop(int clientHeight) { return clientHeight - 29; }

int AltCharButton(const std::vector<std::string>& texts, char typed)
{
    const char upper = UpperChar(typed);
    for (std::size_t slot = 0; slot < texts.size(); ++slot)
        if (texts[slot].size() >= 2 && (texts[slot][1] == typed || texts[slot][1] == upper))
            return static_cast<int>(slot);
    return -1;
}

int LetterKeyButton(const std::vector<std::string>& texts, unsigned virtualKey)
{
    if (virtualKey < 'A' || virtualKey > 'Z')
        return -1;
    for (std::size_t slot = texts.size(); slot-- > 0;)
        if (UpperChar(AcceleratorLetter(texts[slot])) == static_cast<char>(virtualKey))
            return static_cast<int>(slot);
    return -1;
}

int MovedFocus(int focused, int buttonCount, bool forward)
{
    if (buttonCount <= 0)
        return -1;
    const int next = forward ? focused + 1 : focused - 1;
    if (next < 0)
        return buttonCount - 1;
    return next >= buttonCount ? 0 : next;
}
