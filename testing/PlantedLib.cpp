// Test fixture: a library that leaves a trace when it is loaded. A test copies it beside a program
// under the name of a library the program loads; the file NAME.loaded next to the copy (NAME
// being the copy's own file name) shows that the program took the planted copy.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 8];
        const DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
        lstrcpyA(path + n, ".loaded");
        const HANDLE trace = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (trace != INVALID_HANDLE_VALUE)
            CloseHandle(trace);
    }
    return TRUE;
}
