// A fresh folder for one test: the current folder while the test runs and the folder TMP names,
// holding the stand-in notepad.exe and a copy of the host library. Removed with what it holds.
#pragma once

#include <string>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Without a trailing backslash.
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    // The folder that mpl_open needs for the host library: its "lib" subfolder holds it.
    std::string HostFolder() const { return path_ + "\\host"; }

private:
    std::string path_;
};

#include "FileText.h"

// The whole contents of a file; empty when it cannot be read.
std::string ReadFileText(const std::string& path);
