// What the Files module decides without the system: how a large text is cut into writes, and the
// batch script that removes the program's file once the program has ended.
#pragma once

#include <cstddef>
#include <string>

// Texts up to this size go to the file in one write call.
constexpr std::size_t SingleWriteLimit = 1048576;

// The size of each write for a text of the given length; the length itself for one call.
std::size_t WriteChunkSize(std::size_t length);

struct SelfRemovalPaths {
    std::string program; // the program file to delete
    std::string folder;  // its folder, without backslash
    std::string batch;   // the script's own path
};

// The "_DEL_ME_.BAT" script, lines ending in CR LF: retry deleting the program until it is gone,
// optionally remove its (then empty) folder, delete the script itself. Paths are quoted unless
// they are short names, which hold no blanks; their "%" signs are doubled.
std::string SelfRemovalScript(const SelfRemovalPaths& paths, bool quotePaths, bool removeFolder);
