// Program start of packstub: the package information of its own file, the start and exit lines
// of the debug output and the run log, the decision of this process's role (setup stub, spanned
// set launcher, plain update agent, X_ update agent) and the exit code.
#pragma once

#include "FileInfo.h"

#include <string>
#include <string_view>

// The package information of the running program's file; it lives while the role runs.
const TGFileInfo& OwnInfo();
// Trailer byte 69 of the own package is set: this executable is an update agent.
bool AutoUpdateProg();
// The class of the status window, by which a running instance of the same program is found.
const std::string& WindowClassName();

// The process exit code: 0 unless a role sets another.
void SetStubExitCode(int code);

// A debug output line that begins with the decimal process id and a blank.
void DebugPidLine(std::string_view text);

// The whole run; returns the exit code.
int ProgramStart();
void DoRunStubWin();
// The plain agent makes its X_ copy (unless one runs) and starts it with its requests.
void CreateAndRun_X_Exe();
// The program file (and, when asked, its folder) is removed once the process has ended.
void DeleteMySelf(bool removeFolder);
