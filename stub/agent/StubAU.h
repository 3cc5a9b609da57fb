// The update agent as the program entry and the status window reach it: the tick of the update
// cycle, the test-mode check, the agent window messages and the plain agent's hand-over of its
// command-line requests to the X_ agent.
#pragma once

#include "StubGlob.h"

#include <windows.h>

#include <cstdint>

// Agent window messages.
constexpr UINT wm_ShutDown = WM_USER + 99;
constexpr UINT wm_LocalMsg = WM_USER + 100;
constexpr UINT wm_AgentMsg = WM_USER + 101;

// Ticks counted since start; probes are considered from 1 on. Starts at -3, or at minus the
// /SleepX= value when one is given.
extern std::int32_t AutoUpdateTimerCount;

// One tick of the update cycle, for each timer message of the agent's status window.
void AutoUpdateTick(HWND window);
bool CheckTestMode(bool force);
// wm_ShutDown, wm_LocalMsg and wm_AgentMsg as they reach the agent's window.
LRESULT AgentWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Posts the requests of the plain agent's command line to the X_ agent; true when it posted any.
bool HandleParamOK(bool wasRunning);

// The settings files of the running program: in its folder, named by its own package.
const TSettings& AgentSettings();
