#include "PathText.h"

#include "Platform.h"

namespace {

// The backslash at index i is a separator, not the trail byte of a double-byte character.
bool IsSeparatorAt(std::string_view path, std::size_t i)
{
    return path[i] == '\\' && (i == 0 || !IsLeadByte(path[i - 1]));
}

bool EndsInSeparator(std::string_view path)
{
    return !path.empty() && IsSeparatorAt(path, path.size() - 1);
}

} // namespace

std::string FileNameOf(std::string_view path)
{
    const std::size_t cut = path.find_last_of("\\/:");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string FileNameWithoutExt(std::string_view path, bool allExtensions)
{
    std::string name = FileNameOf(path);
    const std::size_t dot = allExtensions ? name.find('.') : name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

std::string DriveRootOf(std::string_view path, bool letterOnly)
{
    std::string root(path);
    for (char& c : root)
        if (c == '/')
            c = '\\';
    if (root.empty())
        return root;
    if (letterOnly || root.size() < 3)
        return AnsiUpperCase(root.substr(0, 1)) + ":\\";
    const std::size_t cut = root.find('\\', 3);
    if (cut != std::string::npos)
        root.erase(cut);
    return root;
}

std::string SetTrailingBackslash(std::string_view path, bool withBackslash)
{
    std::string result(path);
    if (result.size() > 2 && EndsInSeparator(result))
        result.pop_back();
    if (withBackslash)
        result += '\\';
    return result;
}

std::string RemoveTrailingBackslash(std::string_view path)
{
    if (path == "\\")
        return {};
    std::string result(path);
    if (result.size() > 1 && EndsInSeparator(result))
        result.pop_back();
    return result;
}

std::string CollapseBackslashes(std::string_view path, bool removeTrailing)
{
    std::string result(path);
    if (result.size() > 2) {
        // The first character stays aside, so a UNC path keeps its leading pair.
        const char first = result[0];
        const bool sameEnds = result.front() == result.back();
        std::string rest = result.substr(1);
        // Pairs from the third-last position down to the second (1-based in the rest).
        for (std::size_t i = rest.size() - 2; i >= 2; --i) {
            const std::size_t at = i - 1;
            const char before = rest[at - 1];
            if (rest[at] == '\\' && rest[at + 1] == '\\' && !IsLeadByte(before) && !(sameEnds && before == first))
                rest.erase(at, 1);
        }
        if (rest.size() >= 2 && rest[0] == '\\' && rest[1] == '\\')
            rest.erase(0, 1);
        result = first + rest;
    }
    return removeTrailing ? RemoveTrailingBackslash(result) : result;
}
