// StubSetup: the setup run. The setup stub's first timer tick extracts its package into the
// extraction folder, starts the setup engine the package names, waits for it and for its dialog,
// takes over its exit code and removes the folder; a spanned disk set first re-runs itself from
// a Y_ copy on the hard disk. The update agent runs its update setups through LaunchSetup too.
//
// Exit codes of a setup stub: the engine's when it ran; otherwise 1 when the user declined the
// space question or cancelled a disk prompt, 2 when the package was missing, damaged or could
// not be extracted, or the engine could not be started.
#pragma once

#include "FileInfo.h"
#include "WinHandle.h"

#include <windows.h>

#include <string>

constexpr int ExitDeclined = 1;
constexpr int ExitNotInstalled = 2;

// The first timer tick of a setup stub's status window.
void StartSetup(HWND window);
// Extracts source into destDir and runs its setup engine with params; true when the engine
// reported a completed setup (it deleted the completion atom). foregroundOp shows the status
// window, the questions and the engine.
bool LaunchSetup(std::string destDir, const std::string& source, const std::string& agentName, std::string params,
                 bool foregroundOp);

// The extraction folder of this process, made (anew) at the first call.
std::string GetExtractFolder();
// Removes the extraction folder with all its content, when this process made one.
void RemoveExtractFolder();
// The fixed drive among C, D and E with the most free space, when that is not the temporary
// folder's drive; decided once per process.
bool FindAlternateTempRoot();
// An extraction folder under that drive's TEMP, made once; empty when there is none.
std::string GetAlternateExtractFolder();
void RemoveAlternateExtractFolder();

bool HasTempSpace(const std::string& dir, const std::string& source);
// Asks before extracting into dir when the package always asks or space is short; true to go on.
bool ConfirmTempSpace(const std::string& dir, const std::string& source, const TGFileInfo& info);

WinHandle StartProcess(const std::string& commandLine, int show);
// Returns when the process has ended, dispatching window messages meanwhile.
void WaitForProcess(HANDLE process);

// A spanned disk set re-runs itself from a Y_ copy in the extraction folder.
void StartFromCopy();
// Ask for every further disk of a spanned set, even when its file is there.
bool ForcePrompt();
