// The text vocabulary of the program: searching and replacing, shaping, dates, sizes,
// hexadecimal, the reversible "Scrambled=01" transformation and command-line keys.
// Texts are single-byte ANSI strings; positions are 1-based and 0 means "not found".
#pragma once

#include "Platform.h"

#include <cstdint>
#include <string>
#include <string_view>

// Search and replace.
std::size_t PosIgnoreCase(std::string_view part, std::string_view text);
std::size_t PosFrom(std::string_view part, std::string_view text, std::int64_t start, bool ignoreCase);
std::size_t LastPos(std::string_view part, std::string_view text);
bool StartsWith(std::string_view head, std::string_view text, bool ignoreCase);
bool EndsWith(std::string_view tail, std::string_view text, bool ignoreCase);
bool SameTextTrimmed(std::string_view a, std::string_view b);
std::string TextBefore(std::string_view text, std::string_view separator, std::string_view defaultText);
std::string TextAfter(std::string_view text, std::string_view separator, std::string_view defaultText);
// Replaces the first-th to the last-th occurrence of find (first = last = 0: every one; last <= 0:
// only the first-th). Replaced text is never searched again.
std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replacement,
                        int first = 0, int last = 0);
std::string ReplaceTextIgnoreCase(std::string_view text, std::string_view find, std::string_view replacement,
                                  int first = 0, int last = 0);
std::string ReplaceChar(std::string_view text, char from, char to);
std::string ReverseText(std::string_view text);

// Shaping.
std::string Trim(std::string_view text);
std::string IfThenText(bool condition, std::string_view a, std::string_view b);
std::string BoolText(bool value);
std::string UnquoteText(std::string_view text, char quote, bool force, bool once);
std::string DequoteText(std::string_view text, bool force);
// A width below -2 is taken as its absolute value, and a longer text is first cut to width - 1
// characters followed by ".".
std::string PadLeft(std::string_view text, int width, char fill);
std::string ZeroPad(std::string_view text, int width);
std::string IntToZeroPadded(std::int64_t value, int width);
std::string InsertThousandsSeparators(std::string_view number);
std::string FormatSize(std::int64_t value, std::int64_t unit, bool oneDecimal, bool separators);
std::int64_t RandomInRange(std::int64_t low, std::int64_t high);
std::string RandomText(std::int64_t low, std::int64_t high);

// Decimal numbers: an optional sign and digits, nothing else; the default when the text is not
// such a number or does not fit.
std::int64_t StrToInt64Def(std::string_view text, std::int64_t defaultValue);
int StrToIntDef(std::string_view text, int defaultValue);

// Dates of the local clock.
struct DateTimeParts {
    int year, month, day, hour, minute, second;
};
DateTimeParts DecodeDateTime(TDateTime value);
TDateTime EncodeDateTime(const DateTimeParts& parts);
std::string DateText(TDateTime value);           // 05-MAR-2013
std::string DateTimeText(TDateTime value);       // 05-MAR-2013 14:05:09
std::string ShortDateTimeText(TDateTime value, bool fourDigitYear = false); // 05/03/13 14:05:09

// Hexadecimal and numbers.
std::int64_t ParseBase(std::string_view text, int base);
std::int64_t HexToInt(std::string_view text);
std::string HexDump(std::string_view bytes, bool spaced, bool prefixed);
std::string HexToText(std::string_view hex);
std::string ScrambleText(std::string_view text, bool encode, bool hex);
// The encoding of ScrambleText with a chosen key (33 to 122) instead of a random one, for
// output that must be the same from the same input.
std::string ScrambleTextWithKey(std::string_view text, int key);

// Command line: the value of the key in delimitedKey (its first character is the delimiter) in the given
// command line, trimmed and without double quotes.
std::string ParameterListValueIn(std::string_view commandLine, std::string_view delimitedKey, std::string_view defaultText);
// The same in the program's own command line.
std::string ParameterListValue(std::string_view delimitedKey, std::string_view defaultText);
