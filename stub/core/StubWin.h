// The status window of packstub: a small top-level window with a status line, a main progress
// bar and an activity bar, created hidden. It carries the process's message loop; its one-second
// timer starts the work (the setup start, or a tick of the update cycle), it receives the agent
// messages, and its first close request cancels a running download.
#pragma once

#include "KProgBar.h"

#include <windows.h>

#include <string>

// Registers the class, creates the window, runs the message loop until it ends, cleans up. In
// the module's namespace: the compiler reserves the global name for the system's entry point.
namespace StubWin {
void WinMain();
}

HWND MainWindow();
void ShowMainWindow(bool show);
void ShowActivityBar(bool show);

// The status line's text in the font face, character set and size (points); character sets 177
// and 178 read right to left, right-aligned.
void SetStatusText(const std::string& text, const std::string& fontName, int charset, int fontSize);

// The progress procedure of the extraction and of downloads: event 0 sets the main bar's range
// 0 to maximum with position and step and resets the activity bar; event 1 steps both.
void ProgressCallback(int event, int second, int maximum, int position, int step, const std::string& text);
// The download progress object, made on first use with ProgressCallback as its observer.
TProgBar& DownloadProgress();

// From now on the shell's "QueryCancelAutoPlay" is answered with 1 (no AutoPlay of a new disk).
void AnswerQueryCancelAutoPlay();

// The close rule: the first request sets DownloadAbortFlag and keeps the window, a later one
// lets it close.
bool CloseMainWindow();
// Ends the run: abort flag set, extraction folder removed, quit message posted.
void DestroyMainWindow();
