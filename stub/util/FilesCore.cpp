#include "FilesCore.h"

#include <algorithm>

std::size_t WriteChunkSize(std::size_t length)
{
    if (length <= SingleWriteLimit)
        return length;
    std::size_t chunk = length / 10;
    if (chunk <= 1024)
        chunk = std::min<std::size_t>(1024, length);
    return std::min(chunk, SingleWriteLimit);
}

std::string SelfRemovalScript(const SelfRemovalPaths& paths, bool quotePaths, bool removeFolder)
{
    const std::string q = quotePaths ? "\"" : "";
    const auto quoted = [&q](const std::string& path) { return q + path + q; };
    std::string script = ":START\r\n";
    script += "DEL " + quoted(paths.program) + "\r\n";
    script += "IF exist " + quoted(paths.program) + " GOTO START\r\n";
    if (removeFolder)
        script += "RD " + quoted(paths.folder) + "\r\n";
    script += "DEL " + quoted(paths.batch) + "\r\n";
    return script;
}
