// A folder of its own for each Windows test, under the temporary folder, removed afterwards.
#pragma once

#include "Files.h"
#include "UtilsWin.h"

#include <windows.h>

#include <string>

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
        : path_(TempFolder(true) + "stubsys " + std::to_string(GetCurrentProcessId()) + " " + name)
    {
        DeleteFolderTree(path_, true);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { DeleteFolderTree(path_, true); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};
