#include "StubParams.h"

#include "PathText.h"
#include "Utils.h"

namespace {

// The trimmed text after the first occurrence of head, or nothing when that rest is a single
// character (a stray closing quote of the program path).
std::string RestAfter(std::string_view commandLine, std::size_t position, std::size_t length)
{
    std::string rest = Trim(commandLine.substr(position - 1 + length));
    return rest.size() == 1 ? std::string() : rest;
}

} // namespace

std::string ParamTextOf(std::string_view commandLine, std::string_view programPath)
{
    const std::string name = FileNameOf(programPath);
    const std::string quoted = name + '"';
    if (const std::size_t at = PosIgnoreCase(quoted, commandLine))
        return RestAfter(commandLine, at, quoted.size());
    if (const std::size_t at = PosIgnoreCase(name, commandLine))
        return RestAfter(commandLine, at, name.size());
    std::string text(commandLine);
    if (const std::size_t at = PosIgnoreCase(programPath, text))
        text.erase(at - 1, programPath.size());
    return Trim(text);
}

std::string TextParamIn(std::string_view paramText, std::string_view name)
{
    const std::size_t at = PosIgnoreCase(name, paramText);
    if (at == 0)
        return {};
    std::string_view rest = paramText.substr(at - 1 + name.size());
    if (rest.empty())
        return "TRUE";
    if (rest.front() == '"') {
        rest.remove_prefix(1);
        return Trim(rest.substr(0, rest.find('"')));
    }
    rest = rest.substr(0, rest.find(' '));
    return Trim(rest.substr(0, rest.find('/')));
}

std::int64_t IntParamIn(std::string_view paramText, std::string_view name, std::int64_t defaultValue)
{
    return StrToInt64Def(TextParamIn(paramText, name), defaultValue);
}

bool HasParamIn(std::string_view paramText, std::string_view name) { return PosIgnoreCase(name, paramText) != 0; }

std::string RemoveParam(std::string_view commandLine, std::string_view name)
{
    std::string text(commandLine);
    const std::size_t at = name.empty() ? std::string::npos : text.find(name);
    if (at == std::string::npos)
        return text;
    const std::size_t next = text.find('/', at + 1);
    text.erase(at, next == std::string::npos ? std::string::npos : next - at);
    return text;
}
