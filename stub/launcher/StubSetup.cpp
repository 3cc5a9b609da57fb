// The setup launch is not built yet. Until it is, the setup stub ends at its first tick and the
// spanned-set start ends at once, both with a non-zero exit code so that no caller takes the run
// for a finished setup, and each says so in the debug output. No extraction folder is made, so
// there is none to remove.
#include "StubSetup.h"

#include "KDebug.h"
#include "Stub.h"

#include <string>

void StartSetup(HWND window)
{
    KillTimer(window, 1);
    DebugPidLine("StartSetup: the setup launch is not built");
    SetStubExitCode(1);
    PostQuitMessage(0);
}

void StartFromCopy()
{
    DebugPidLine("StartFromCopy: the spanned-set launch is not built");
    SetStubExitCode(1);
}

void RemoveExtractFolder() {}
