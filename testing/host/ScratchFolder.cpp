#include "ScratchFolder.h"

#include "BridgeHost.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>

namespace {

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

void Require(bool done, const std::string& what)
{
    if (!done)
        throw std::runtime_error("test set-up: cannot " + what);
}

}

ScratchFolder::ScratchFolder()
{
    char temp[MAX_PATH];
    Require(GetTempPathA(MAX_PATH, temp) > 0, "find the temporary folder");
    path_ = std::string(temp) + "bridge-" + std::to_string(GetCurrentProcessId());
    RemoveTree(path_);
    Require(CreateDirectoryA(path_.c_str(), nullptr), "make " + path_);
    Require(SetCurrentDirectoryA(path_.c_str()), "enter " + path_);
    Require(CopyFileA((ProgramFolder() + "notepad.exe").c_str(), File("notepad.exe").c_str(), FALSE),
            "copy notepad.exe");
    Require(CreateDirectoryA(HostFolder().c_str(), nullptr) && CreateDirectoryA((HostFolder() + "\\lib").c_str(), nullptr),
            "make the host library folder");
    Require(CopyFileA((ProgramFolder() + "host\\lib\\procedures.txt").c_str(),
                      (HostFolder() + "\\lib\\procedures.txt").c_str(), FALSE),
            "copy the host library");
    Require(SetEnvironmentVariableA("TMP", path_.c_str()), "set TMP");
}

ScratchFolder::~ScratchFolder()
{
    SetCurrentDirectoryA(ProgramFolder().c_str());
    RemoveTree(path_);
}

std::string ReadFileText(const std::string& path)
{
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
            text.append(chunk, n);
        std::fclose(f);
    }
    return text;
}
