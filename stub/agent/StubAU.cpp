// The update cycle and the agent messages are not built yet. Until they are, the X_ agent ends at
// its first tick with a non-zero exit code, test mode stays off, agent messages are answered with
// 0 and nothing is handed over; each says so in the debug output.
#include "StubAU.h"

#include "KDebug.h"
#include "Stub.h"
#include "UtilsWin.h"

#include <string>

std::int32_t AutoUpdateTimerCount = -3;

void AutoUpdateTick(HWND window)
{
    KillTimer(window, 1);
    DebugPidLine("AutoUpdateTick: the update cycle is not built");
    SetStubExitCode(1);
    PostQuitMessage(0);
}

bool CheckTestMode(bool)
{
    DebugPidLine("CheckTestMode: the test mode is not built");
    return false;
}

LRESULT AgentWindowMessage(HWND, UINT message, WPARAM, LPARAM)
{
    DebugPidLine("AgentWindowMessage(" + std::to_string(message) + "): the agent messages are not built");
    return 0;
}

bool HandleParamOK(bool)
{
    WriteRunLog("HandleParamOK() --- Start");
    DebugPidLine("HandleParamOK: the hand-over to the X_ agent is not built");
    WriteRunLog("HandleParamOK() --- End");
    return false;
}

const TSettings& AgentSettings()
{
    static const TSettings settings(OriginalFilePathOf(OwnInfo(), ProgramFolder(true)),
                                    InfoFilePathOf(OwnInfo(), ProgramFolder(true)));
    return settings;
}
