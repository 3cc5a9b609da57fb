// Path texts shaped without asking the file system: file names, drive roots and backslashes.
// A folder "with backslash" ends in exactly one "\", one "without" ends in none. A backslash that
// is the second byte of a double-byte character is never taken for a separator.
#pragma once

#include <string>
#include <string_view>

// The file name part of a path (after the last "\", "/" or ":").
std::string FileNameOf(std::string_view path);
// The file name part without its last extension, or without every extension.
std::string FileNameWithoutExt(std::string_view path, bool allExtensions);
// "C:\" for letter-only or short paths; otherwise the path cut before the first "\" from its
// fourth character on ("C:/data/x" gives "C:\data").
std::string DriveRootOf(std::string_view path, bool letterOnly);
std::string SetTrailingBackslash(std::string_view path, bool withBackslash);
std::string RemoveTrailingBackslash(std::string_view path);
// Doubled backslashes inside a path become single ones; a leading "\\" stays.
std::string CollapseBackslashes(std::string_view path, bool removeTrailing);
