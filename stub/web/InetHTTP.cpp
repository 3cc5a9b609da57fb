#include "InetHTTP.h"

#include "UtilsWin.h"

bool DownloadAbortFlag = false;

namespace {

struct Binding {
    HMODULE library = nullptr;
    bool released = false;
};

Binding winINet;

} // namespace

FARPROC WinINetFunction(const char* name)
{
    if (winINet.released)
        return nullptr;
    if (!winINet.library)
        winINet.library = LoadSystemLibrary("WinINet.dll");
    return winINet.library ? GetProcAddress(winINet.library, name) : nullptr;
}

void ReleaseWinINet()
{
    if (winINet.library)
        FreeLibrary(winINet.library);
    winINet = Binding{nullptr, true};
}
