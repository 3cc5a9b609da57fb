#include "KSUB.h"

#include "Utils.h"

#include <algorithm>

namespace {

bool IsEmptyList(std::string_view list) { return list.empty() || list == " "; }

// Field index of the list, when a delimiter ends it.
bool FindField(std::string_view list, int index, std::string_view& field)
{
    if (IsEmptyList(list) || index < 0)
        return false;
    const char d = list[0];
    std::size_t start = 1;
    for (int i = 0;; ++i) {
        const std::size_t end = list.find(d, start);
        if (end == std::string_view::npos)
            return false;
        if (i == index) {
            field = list.substr(start, end - start);
            return true;
        }
        start = end + 1;
    }
}

// Replaces every occurrence of the delimiter followed by blank by the delimiter alone, one pass.
std::string DropBlankAfterDelimiter(std::string_view list, char d)
{
    std::string result;
    for (std::size_t i = 0; i < list.size(); ++i) {
        result += list[i];
        if (list[i] == d && i + 1 < list.size() && list[i + 1] == ' ')
            ++i;
    }
    return result;
}

const char DelimiterCandidates[] = {'|', '*', '^', '!', '~', '@', '#', '$', '&', '\xFF'};

} // namespace

int SUB::Count(std::string_view list)
{
    if (list.empty() || list.back() != list.front())
        return 0;
    return static_cast<int>(std::count(list.begin() + 1, list.end(), list.front()));
}

std::string SUB::Field(std::string_view list, int index, std::string_view defaultText)
{
    std::string_view field;
    if (!FindField(list, index, field) || field.empty())
        return std::string(defaultText);
    return std::string(field);
}

std::vector<std::string> SUB::Fields(std::string_view list)
{
    std::vector<std::string> fields;
    const int count = Count(list);
    std::size_t start = 1;
    for (int i = 0; i < count; ++i) {
        const std::size_t end = list.find(list[0], start);
        fields.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

int SUB::FieldInt(std::string_view list, int index, int defaultValue)
{
    return StrToIntDef(Field(list, index, ""), defaultValue);
}

std::string SUB::Value(std::string_view list, std::string_view name, std::string_view defaultText,
                       std::string_view ifEmpty)
{
    if (list.size() <= 2 || list.front() != list.back())
        return std::string(defaultText);
    const char d = list[0];
    std::string key = d + std::string(name);
    if (!EndsWith("=", key, false))
        key += '=';
    const std::string normalised = ReplaceText(DropBlankAfterDelimiter(list, d), " =", "=");
    const std::size_t at = PosIgnoreCase(key, normalised);
    if (at == 0)
        return std::string(defaultText);
    const std::string_view rest = std::string_view(normalised).substr(at - 1 + key.size());
    const std::string_view value = rest.substr(0, rest.find(d));
    return std::string(value.empty() ? ifEmpty : value);
}

std::string SUB::SetField(std::string_view list, int index, std::string_view newText)
{
    if (list.empty())
        list = "|";
    const char d = list[0];
    const int n = std::max(Count(list), index + 1);
    std::string built(1, '\0');
    for (int i = 0; i < n; ++i) {
        built += i == index ? std::string(newText) : Field(list, i, "");
        built += '\0';
    }
    char delimiter = d;
    if (built.find(d) != std::string::npos) {
        delimiter = '\0';
        for (char candidate : DelimiterCandidates)
            if (built.find(candidate) == std::string::npos) {
                delimiter = candidate;
                break;
            }
    }
    return ReplaceChar(built, '\0', delimiter);
}
