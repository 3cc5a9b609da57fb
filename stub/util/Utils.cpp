#include "Utils.h"

#include "KSUB.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

namespace {

const char MonthList[] = "||JAN|FEB|MAR|APR|MAY|JUN|JUL|AUG|SEP|OCT|NOV|DEC|";
const char DigitTable[] = "0123456789ABCDEF";
const std::string_view ScrambleMarker = "Scrambled=01";

std::string Upper(std::string_view text) { return AnsiUpperCase(std::string(text)); }

std::size_t ToPos(std::size_t index) { return index == std::string_view::npos ? 0 : index + 1; }

std::string ReplaceOccurrences(std::string_view text, std::string_view searched, std::string_view find,
                               std::string_view replacement, int first, int last)
{
    if (find.empty())
        return std::string(text);
    if (last <= 0)
        last = first;
    std::string result;
    std::size_t from = 0;
    for (int j = 1; last <= 0 || j <= last; ++j) {
        const std::size_t at = searched.find(find, from);
        if (at == std::string_view::npos)
            break;
        result.append(text.substr(from, at - from));
        result.append(j >= first ? replacement : text.substr(at, find.size()));
        from = at + find.size();
    }
    result.append(text.substr(from));
    return result;
}

std::mt19937_64& Generator()
{
    // Seeded once per process: draws within one clock tick must still differ.
    static std::mt19937_64 generator([] {
        const auto clock = static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
        return clock ^ (static_cast<std::uint64_t>(CurrentProcessId()) << 32);
    }());
    return generator;
}

std::string TwoDigits(int value) { return IntToZeroPadded(value, 2); }

// Days since 1 January 1970 to a civil date (proleptic Gregorian calendar).
void CivilFromDays(std::int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

std::int64_t DaysFromCivil(int year, int month, int day)
{
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yoe = year - era * 400;
    const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

const std::int64_t DaysFrom1899To1970 = 25569;
const std::int64_t MillisecondsPerDay = 86400000;

std::string Transform(std::string bytes, int key)
{
    for (std::size_t i = 1; i <= bytes.size(); ++i) {
        bytes[i - 1] = static_cast<char>(static_cast<unsigned char>(bytes[i - 1]) ^ ((static_cast<int>(i) + key) & 0xFF));
        key = -key;
    }
    return bytes;
}

} // namespace

// ---- Search and replace -------------------------------------------------------------------

std::size_t PosIgnoreCase(std::string_view part, std::string_view text)
{
    return PosFrom(part, text, 1, true);
}

std::size_t PosFrom(std::string_view part, std::string_view text, std::int64_t start, bool ignoreCase)
{
    if (start < 1)
        start = 1;
    if (part.empty() || static_cast<std::uint64_t>(start) > text.size())
        return 0;
    const auto from = static_cast<std::size_t>(start - 1);
    if (ignoreCase)
        return ToPos(Upper(text).find(Upper(part), from));
    return ToPos(text.find(part, from));
}

std::size_t LastPos(std::string_view part, std::string_view text)
{
    return part.empty() ? 0 : ToPos(text.rfind(part));
}

bool StartsWith(std::string_view head, std::string_view text, bool ignoreCase)
{
    if (head.size() > text.size())
        return false;
    const std::string_view start = text.substr(0, head.size());
    return ignoreCase ? Upper(start) == Upper(head) : start == head;
}

bool EndsWith(std::string_view tail, std::string_view text, bool ignoreCase)
{
    if (tail.size() > text.size())
        return false;
    const std::string_view end = text.substr(text.size() - tail.size());
    return ignoreCase ? Upper(end) == Upper(tail) : end == tail;
}

bool SameTextTrimmed(std::string_view a, std::string_view b)
{
    return Upper(Trim(a)) == Upper(Trim(b));
}

std::string TextBefore(std::string_view text, std::string_view separator, std::string_view defaultText)
{
    const std::size_t at = separator.empty() ? std::string_view::npos : text.find(separator);
    return std::string(at == std::string_view::npos ? defaultText : text.substr(0, at));
}

std::string TextAfter(std::string_view text, std::string_view separator, std::string_view defaultText)
{
    const std::size_t at = separator.empty() ? std::string_view::npos : text.find(separator);
    return std::string(at == std::string_view::npos ? defaultText : text.substr(at + separator.size()));
}

std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replacement, int first, int last)
{
    return ReplaceOccurrences(text, text, find, replacement, first, last);
}

std::string ReplaceTextIgnoreCase(std::string_view text, std::string_view find, std::string_view replacement,
                                  int first, int last)
{
    return ReplaceOccurrences(text, Upper(text), Upper(find), replacement, first, last);
}

std::string ReplaceChar(std::string_view text, char from, char to)
{
    std::string result(text);
    if (from != to)
        for (char& c : result)
            if (c == from)
                c = to;
    return result;
}

std::string ReverseText(std::string_view text) { return std::string(text.rbegin(), text.rend()); }

// ---- Shaping ------------------------------------------------------------------------------

std::string Trim(std::string_view text)
{
    // Blanks and control characters, as the system's trimming does.
    std::size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::string IfThenText(bool condition, std::string_view a, std::string_view b) { return std::string(condition ? a : b); }

std::string BoolText(bool value) { return value ? "TRUE" : "FALSE"; }

std::string UnquoteText(std::string_view text, char quote, bool force, bool once)
{
    if (text.size() == 1 && text[0] == quote)
        return {};
    if (text.size() < 2 || !(force || (text.front() == quote && text.back() == quote)))
        return std::string(text);
    std::size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == quote) {
        ++begin;
        if (once)
            break;
    }
    while (end > begin && text[end - 1] == quote) {
        --end;
        if (once)
            break;
    }
    return std::string(text.substr(begin, end - begin));
}

std::string DequoteText(std::string_view text, bool force) { return UnquoteText(Trim(text), '"', force, false); }

std::string PadLeft(std::string_view text, int width, char fill)
{
    std::string result(text);
    if (width < -2) {
        width = -width;
        if (result.size() > static_cast<std::size_t>(width))
            result = result.substr(0, static_cast<std::size_t>(width - 1)) + ".";
    }
    if (width > 0 && result.size() < static_cast<std::size_t>(width))
        result.insert(0, static_cast<std::size_t>(width) - result.size(), fill);
    return result;
}

std::string ZeroPad(std::string_view text, int width) { return PadLeft(text, width, '0'); }

std::string IntToZeroPadded(std::int64_t value, int width) { return ZeroPad(std::to_string(value), width); }

std::string InsertThousandsSeparators(std::string_view number)
{
    std::string result(number);
    const std::size_t dot = result.find('.');
    std::int64_t p = dot != std::string::npos && dot >= 1 ? static_cast<std::int64_t>(dot) : static_cast<std::int64_t>(result.size());
    for (p -= 2; p > 1; p -= 3)
        result.insert(static_cast<std::size_t>(p - 1), 1, ',');
    return result;
}

std::string FormatSize(std::int64_t value, std::int64_t unit, bool oneDecimal, bool separators)
{
    if (unit <= 0)
        unit = 1;
    std::string text;
    if (oneDecimal) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.1f", value == 0 ? 0.0 : static_cast<double>(value) / static_cast<double>(unit));
        text = buffer;
    } else {
        text = std::to_string(value / unit + (value % unit != 0 ? 1 : 0));
    }
    return separators ? InsertThousandsSeparators(text) : text;
}

std::int64_t RandomInRange(std::int64_t low, std::int64_t high)
{
    if (high <= low)
        return low;
    const auto span = static_cast<std::uint64_t>(high) - static_cast<std::uint64_t>(low);
    std::uniform_int_distribution<std::uint64_t> draw(0, span);
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(low) + draw(Generator()));
}

std::string RandomText(std::int64_t low, std::int64_t high) { return std::to_string(RandomInRange(low, high)); }

std::int64_t StrToInt64Def(std::string_view text, std::int64_t defaultValue)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == text.size())
        return defaultValue;
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = negative ? 9223372036854775808ULL : 9223372036854775807ULL;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return defaultValue;
        const auto digit = static_cast<std::uint64_t>(text[i] - '0');
        if (magnitude > (limit - digit) / 10)
            return defaultValue;
        magnitude = magnitude * 10 + digit;
    }
    return negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

int StrToIntDef(std::string_view text, int defaultValue)
{
    const std::int64_t value = StrToInt64Def(text, std::int64_t(INT32_MAX) + 1);
    return value >= INT32_MIN && value <= INT32_MAX ? static_cast<int>(value) : defaultValue;
}

// ---- Dates --------------------------------------------------------------------------------

DateTimeParts DecodeDateTime(TDateTime value)
{
    const auto total = static_cast<std::int64_t>(std::llround(value * static_cast<double>(MillisecondsPerDay)));
    std::int64_t days = total / MillisecondsPerDay, ms = total % MillisecondsPerDay;
    if (ms < 0) {
        ms += MillisecondsPerDay;
        --days;
    }
    DateTimeParts parts{};
    CivilFromDays(days - DaysFrom1899To1970, parts.year, parts.month, parts.day);
    const std::int64_t seconds = ms / 1000;
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return parts;
}

TDateTime EncodeDateTime(const DateTimeParts& p)
{
    const std::int64_t days = DaysFromCivil(p.year, p.month, p.day) + DaysFrom1899To1970;
    return static_cast<double>(days) + (p.hour * 3600 + p.minute * 60 + p.second) / 86400.0;
}

std::string DateText(TDateTime value)
{
    const DateTimeParts p = DecodeDateTime(value);
    return TwoDigits(p.day) + "-" + SUB::Field(MonthList, p.month, "") + "-" + IntToZeroPadded(p.year, 4);
}

static std::string TimeText(const DateTimeParts& p, std::string_view separator)
{
    const std::string sep(separator);
    return TwoDigits(p.hour) + sep + TwoDigits(p.minute) + sep + TwoDigits(p.second);
}

std::string DateTimeText(TDateTime value)
{
    return DateText(value) + " " + TimeText(DecodeDateTime(value), ":");
}

std::string ShortDateTimeText(TDateTime value, bool fourDigitYear)
{
    const DateTimeParts p = DecodeDateTime(value);
    const std::string sep = LocaleDateSeparator();
    const std::string year = fourDigitYear ? IntToZeroPadded(p.year, 4) : TwoDigits(p.year % 100);
    return TwoDigits(p.day) + sep + TwoDigits(p.month) + sep + year + " " + TimeText(p, LocaleTimeSeparator());
}

// ---- Hexadecimal and numbers --------------------------------------------------------------

std::int64_t ParseBase(std::string_view text, int base)
{
    const std::string digits = Upper(Trim(text));
    const std::string_view table = DigitTable;
    // Unsigned arithmetic: a long text wraps around instead of overflowing.
    std::uint64_t sum = 0, weight = 1;
    for (auto c = digits.rbegin(); c != digits.rend(); ++c) {
        const std::size_t index = table.find(*c);
        const std::uint64_t value = index == std::string_view::npos ? std::uint64_t(-1) : index;
        sum += value * weight;
        weight *= static_cast<std::uint64_t>(base);
    }
    return static_cast<std::int64_t>(sum);
}

std::int64_t HexToInt(std::string_view text)
{
    if (StartsWith("0x", text, true))
        text.remove_prefix(2);
    return ParseBase(text, 16);
}

std::string HexDump(std::string_view bytes, bool spaced, bool prefixed)
{
    std::string result;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (prefixed)
            result += "0x";
        result += DigitTable[b >> 4];
        result += DigitTable[b & 0xF];
        if (spaced) {
            result += ' ';
            if ((i + 1) % 8 == 0)
                result += ' ';
        }
    }
    return result;
}

std::string HexToText(std::string_view hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(ParseBase(hex.substr(i, 2), 16) & 0xFF);
    return bytes;
}

std::string ScrambleText(std::string_view text, bool encode, bool hex)
{
    if (text.empty())
        return {};
    std::string bytes = !encode && hex ? HexToText(text) : std::string(text);
    int key = static_cast<int>(RandomInRange(33, 122));
    const bool marked = StartsWith(ScrambleMarker, bytes, false);
    if (encode == marked)
        return std::string(text);
    if (!encode) {
        // A bare marker holds no key: there is nothing to decode.
        if (bytes.size() <= ScrambleMarker.size())
            return {};
        key = static_cast<unsigned char>(bytes[ScrambleMarker.size()]);
        return Transform(bytes.substr(ScrambleMarker.size() + 1), key);
    }
    const std::string result = ScrambleTextWithKey(bytes, key);
    return hex ? HexDump(result, false, false) : result;
}

std::string ScrambleTextWithKey(std::string_view text, int key)
{
    if (text.empty() || StartsWith(ScrambleMarker, text, false))
        return std::string(text);
    return std::string(ScrambleMarker) + static_cast<char>(key) + Transform(std::string(text), key);
}

// ---- Command line -------------------------------------------------------------------------

std::string ParameterListValueIn(std::string_view commandLine, std::string_view delimitedKey, std::string_view defaultText)
{
    if (delimitedKey.empty())
        return std::string(defaultText);
    const char delimiter = delimitedKey[0];
    const std::string list = delimiter + std::string(commandLine) + delimiter;
    return UnquoteText(Trim(SUB::Value(list, delimitedKey.substr(1), defaultText, "")), '"', true, false);
}

std::string ParameterListValue(std::string_view delimitedKey, std::string_view defaultText)
{
    return ParameterListValueIn(ProgramCommandLine(), delimitedKey, defaultText);
}
