// Delimited lists: a text whose first character is its delimiter, as in |a|b|c|. Field 0 runs
// from the second character to the next delimiter; a field counts only when a delimiter ends it.
// Keyed lists hold name=value fields, as in |Charset=0|FontSize=8|.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class SUB {
public:
    SUB() = delete;

    // The number of fields of a well-formed list (one that ends with its delimiter), else 0.
    static int Count(std::string_view list);
    // Field index (0-based), or the default when the list is empty or " ", or the field is
    // missing or empty. Fields are never trimmed.
    static std::string Field(std::string_view list, int index, std::string_view defaultText);
    // The Count fields of the list in order, in one pass (walking by index costs a pass per field).
    static std::vector<std::string> Fields(std::string_view list);
    static int FieldInt(std::string_view list, int index, int defaultValue);
    // The value of the first name=value field whose name equals name, letter case ignored;
    // ifEmpty when that value is empty, the default when there is no such field.
    static std::string Value(std::string_view list, std::string_view name, std::string_view defaultText,
                             std::string_view ifEmpty = "");
    // A copy of the list with field index replaced, grown with empty fields when shorter. When
    // the new text holds the delimiter, the list takes the first delimiter it does not hold.
    static std::string SetField(std::string_view list, int index, std::string_view newText);
};
