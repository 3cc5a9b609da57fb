#include "OutputFiles.h"

#include "Boxes.h"
#include "Handles.h"
#include "State.h"

#include <windows.h>

#include <cstdio>

namespace {

std::string EnvironmentText(const char* name)
{
    const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    std::string value(size, '\0');
    const DWORD n = size ? GetEnvironmentVariableA(name, value.data(), size) : 0;
    value.resize(n < size ? n : 0);
    return value;
}

std::string CurrentFolder()
{
    const DWORD size = GetCurrentDirectoryA(0, nullptr);
    std::string folder(size, '\0');
    const DWORD n = size ? GetCurrentDirectoryA(size, folder.data()) : 0;
    folder.resize(n < size ? n : 0);
    return folder;
}

// The viewer's full path: the current folder first, then the folders of PATH.
std::string FindViewer()
{
    const std::string folders = CurrentFolder() + ";" + EnvironmentText("PATH");
    char found[MAX_PATH];
    const DWORD n = SearchPathA(folders.c_str(), "notepad.exe", nullptr, MAX_PATH, found, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(found, n) : std::string();
}

}

std::string TempFilesFolder()
{
    std::string folder = EnvironmentText("TMP");
    if (folder.empty()) {
        char temp[MAX_PATH + 1];
        const DWORD n = GetTempPathA(sizeof temp, temp);
        folder.assign(temp, n <= MAX_PATH ? n : 0);
        if (!folder.empty() && folder.back() == '\\')
            folder.pop_back();
    }
    return folder;
}

void AppendToLog(const std::string& output)
{
    BridgeState& b = Bridge();
    // Opened and closed for every output, so that the log can be viewed at any time.
    bool written = false;
    if (std::FILE* f = std::fopen(b.logPath.c_str(), "ab")) {
        written = std::fprintf(f, "%s  \n\n", output.c_str()) >= 0;
        written = std::fclose(f) == 0 && written;
    }
    if (!written) {
        b.logging = false;
        ShowBox("Cannot write the log file " + b.logPath + "; logging is off.", "msgeng");
    }
}

double RunViewer(const std::string& path)
{
    const std::string viewer = FindViewer();
    if (viewer.empty())
        return -1;
    std::string commandLine = "\"" + viewer + "\" \"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(viewer.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        return -1;
    const UniqueHandle process(started.hProcess), thread(started.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    if (!GetExitCodeProcess(process.get(), &code))
        return -1;
    return static_cast<double>(code);
}
