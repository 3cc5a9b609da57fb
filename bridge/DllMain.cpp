// Process attach and detach of maplelink64.dll; thread attach and detach do nothing.
#include "Operations.h"

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    try {
        if (reason == DLL_PROCESS_ATTACH)
            OnProcessAttach();
        else if (reason == DLL_PROCESS_DETACH)
            OnProcessDetach();
    } catch (...) {
        // The loader must not see an exception; a failed box or path still leaves the DLL usable.
    }
    return TRUE;
}
