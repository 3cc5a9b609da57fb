// The web transfer's process-wide parts that the status window needs: the abort flag of a running
// download and the binding of WinINet.dll, which is looked up by name at first use and released
// when the main window's message loop has ended.
#pragma once

#include <windows.h>

// True asks a running download to stop after its current block; callers clear it right before
// they start one.
extern bool DownloadAbortFlag;

// The function of WinINet.dll, the library taken from the system folder at the first lookup;
// null when the library or the function is missing, or once the binding has been released.
FARPROC WinINetFunction(const char* name);
void ReleaseWinINet();
