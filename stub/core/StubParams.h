// The command line of packstub: parameters of the form /NAME=value found in the parameter text
// (the raw command line without the part that names the program), and the removal of an item
// from a command line the program writes. Names are given with their slash and equals sign, as
// in "/WAIT="; searches ignore letter case unless said otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The parameter text of a raw command line started as the program at programPath.
std::string ParamTextOf(std::string_view commandLine, std::string_view programPath);
// The value of the parameter name in a parameter text: empty when absent, "TRUE" when nothing
// follows it, the text up to the next double quote when it starts with one, otherwise the text
// up to the first blank and then up to the first "/"; trimmed.
std::string TextParamIn(std::string_view paramText, std::string_view name);
// The text value as a signed decimal number; the default when it is empty, "TRUE" or not a number.
std::int64_t IntParamIn(std::string_view paramText, std::string_view name, std::int64_t defaultValue);
// True when name occurs anywhere in the parameter text (used for the presence switch "/hide").
bool HasParamIn(std::string_view paramText, std::string_view name);
// The command line without its first item name (exact case): from that item's slash up to the
// next "/" or the end. The blank before the item and the items after it stay.
std::string RemoveParam(std::string_view commandLine, std::string_view name);

// The same, on the running program's own command line.
std::string ParamText();
std::string TextParam(std::string_view name);
std::int64_t IntParam(std::string_view name, std::int64_t defaultValue);
bool HasParam(std::string_view name);
