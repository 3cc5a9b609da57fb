// What the marked-up message box computes without the system: the caption header, the markup
// turned into plain text with bold ranges, the text measurement from line extents, the button
// sets, the flags, the layout arithmetic and the keyboard choices.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

constexpr char DefaultButtonTexts[] = "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|";
constexpr char MsgBoxCaptions[] = "|Error|Attention|Confirm|";

// Flag bits, as the system's message box numbers them.
constexpr std::uint32_t BoxButtonsMask = 0xF;
constexpr std::uint32_t BoxIconMask = 0xF0;
constexpr std::uint32_t BoxDefaultMask = 0xF00;
constexpr std::uint32_t BoxRight = 0x80000;
constexpr std::uint32_t BoxRtlReading = 0x100000;
constexpr std::uint32_t BoxNoClose = 0x10000000;

// The text with its caption as a bold heading: the caption in upper case when it is one of the
// built-in captions (a case-sensitive part of "|Error|Attention|Confirm|").
std::string WithCaptionHeader(std::string_view text, std::string_view caption);

// Offsets in characters of the plain text, the end exclusive; CR LF counts as two.
struct BoldRange {
    int start, end;
    bool operator==(const BoldRange&) const = default;
};
struct PlainText {
    std::string text;
    std::vector<BoldRange> bold;
};
// "\\n" and "\\t", "<P>" and "<T>" (any case) become CR LF and TAB; a leading "<<b>" loses its
// first "<"; each "<B>" with a later "</B>" marks a bold run; unpaired tags are dropped. The ranges
// are offsets in the final plain text, also when runs nest.
PlainText MarkupToPlain(std::string_view markup);

struct TextSize {
    int width, height;
};
// Line height from the font's metrics; one pixel more for the face "MS PGothic".
int MsgBoxLineHeight(int metricHeight, int externalLeading, std::string_view faceName);
// Width and height of the plain text: the widest line plus 10 (at most 600), and every line as
// many line heights as 600-pixel rows it needs. extentOf gives a line's width in pixels.
TextSize MeasurePlainText(std::string_view plain, int lineHeight, const std::function<int(std::string_view)>& extentOf);

// The buttons of a flags word, left to right: the field of the button-text list it shows and the
// result it answers. A set above 5 has none.
struct BoxButton {
    int textField;
    int result;
};
std::vector<BoxButton> ButtonSetOf(std::uint32_t flags);
int DefaultButtonIndex(std::uint32_t flags, int buttonCount);
// The flags of a box after its heading mode and character set are applied.
std::uint32_t EffectiveBoxFlags(std::uint32_t flags, std::intptr_t headingMode, int charset);
// 0 for the program's own icon, else the system icon's identifier.
int BoxIconId(std::uint32_t flags);

// Layout. Frame and caption sizes are the system's metrics.
struct FrameMetrics {
    int frameX, frameY, caption;
};
TextSize BoxWindowSize(int controlWidth, int controlHeight, const FrameMetrics& frame);
struct ControlPlace {
    int x, y, height;
};
ControlPlace TextControlPlace(int clientWidth, int clientHeight, int controlWidth, int controlHeight);
// Buttons are 70 x 23, touching, the rightmost 80 pixels left of the client's right edge.
constexpr int BoxButtonWidth = 70;
constexpr int BoxButtonHeight = 23;
int ButtonLeft(int slot, int buttonCount, int clientWidth);
int ButtonTop(int clientHeight);

// Keyboard. texts are the buttons' texts, left to right; -1 means no button.
// Alt + character: the second character of a text equals the character or its upper case; the
// leftmost match.
int AltCharButton(const std::vector<std::string>& texts, char typed);
// A letter key (virtual key 'A' to 'Z'): the button whose accelerator letter (after the first
// "&", else the first character) is that letter in any case; the rightmost match.
int LetterKeyButton(const std::vector<std::string>& texts, unsigned virtualKey);
// The focus after a move, wrapping; from no focus (-1) back is the last button, on is the first.
int MovedFocus(int focused, int buttonCount, bool forward);
