#include "FilesCore.h"

#include "Utils.h"

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
    // The command interpreter expands "%NAME%" in a batch file even inside quotes; a doubled "%"
    // stands for itself, so a folder such as "50% off" is still the one deleted.
    const auto quoted = [&q](const std::string& path) { return q + ReplaceText(path, "%", "%%") + q; };
    std::string script = ":START\r\n";
    script += "DEL " + quoted(paths.program) + "\r\n";
    script += "IF exist " + quoted(paths.program) + " GOTO START\r\n";
    if (removeFolder)
        script += "RD " + quoted(paths.folder) + "\r\n";
    script += "DEL " + quoted(paths.batch) + "\r\n";
    return script;
}
