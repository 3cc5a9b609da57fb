// Finding, steering and stopping other programs. A program is named by the path of its program
// file (or its bare file name); its process is found in the system's process list, and its main
// window is picked among the process's top-level windows by TAnalizer's scoring. Paths are
// compared trimmed and without letter case. Nothing here reports errors: no match gives 0, no
// window or false.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The top-level windows of one process and the score that picks its main window: a window that
// owns other windows of the process outranks every unowned one; then a title counts 2 and being
// visible 1. A window scored 0 is never the main window.
class TAnalizer {
public:
    static constexpr int MaxWindows = 2001;

    explicit TAnalizer(DWORD processId);
    void CollectWindows();
    void ScoreWindows();
    HWND MainWindow() const;

private:
    static BOOL CALLBACK RecordWindow(HWND window, LPARAM self);
    static HWND RootOwner(HWND window);

    HWND Windows[MaxWindows];
    std::uint16_t Scores[MaxWindows];
    int Count;
    DWORD ProcessId;
};

// With several matches, the one the system lists last. pathOnly skips the bare-name comparison.
DWORD FindProcess(const std::string& path, bool pathOnly);
bool IsProgramRunning(const std::string& path);
// Returns when no process matches the path or timeoutMs has passed (0: no limit), dispatching
// window messages meanwhile.
void WaitProgramEnd(const std::string& path, std::uint32_t timeoutMs);
HWND FindMainWindow(const std::string& path, bool pathOnly);
bool PostToMainWindow(const std::string& path, bool pathOnly, UINT message, WPARAM wParam, LPARAM lParam);
bool CloseProgram(const std::string& path, bool pathOnly);
bool QuitProgram(const std::string& path, bool pathOnly);
bool TerminateProgram(const std::string& path, bool pathOnly);
// Dispatches messages until no window of the class and title exists (a null text matches any).
void WaitWhileWindowExists(const char* className, const char* title);

// For tests: the process list of the Windows 9x family (ToolHelp snapshot) on an NT system.
void UseToolHelpProcessList(bool on);
