// Loading and unloading, and starting, stopping and restarting the kernel.
#include "Operations.h"

#include "Boxes.h"
#include "Callbacks.h"
#include "Kernel.h"
#include "OutputFiles.h"
#include "State.h"

#include <cstring>

void OnProcessAttach()
{
    BridgeState& b = Bridge();
    b.open = 0;
    b.kernelError[0] = '\0';
    const std::string folder = TempFilesFolder();
    b.logPath = folder + "\\magout.txt";
    b.viewerPath = folder + "\\viewer.txt";
    ShowBox("Loading Maple kernel", "maplelink");
}

void OnProcessDetach()
{
    BridgeState& b = Bridge();
    ShowBox("Releasing Maple kernel", "maplelink");
    if (b.open)
        StopMaple(b.kernel);
    b.open = 0;
}

int Open(double* status, const char* folder)
{
    BridgeState& b = Bridge();
    b.operation = "mpl_open";
    *status = 0;
    if (b.open)
        return WarningBox("Warning - Maple already initialized.", 0);
    // The folder is checked before the kernel starts, so that a refused folder leaves no kernel
    // running without its library.
    std::optional<std::string> library;
    if (*folder && !(library = Statement(LongStatement, {folder, "/lib"}))) {
        *status = 1;
        return 1;
    }
    b.kernel = StartMaple(0, nullptr, KernelCallbacks(), nullptr, nullptr, b.kernelError);
    b.kernelError[sizeof b.kernelError - 1] = '\0';
    if (!b.kernel) {
        *status = 1;
        return WarningBox("Fatal error starting Maple.", 1);
    }
    b.open = 1;
    if (library)
        MapleLibName(b.kernel, ToMapleString(b.kernel, library->c_str()));
    return 0;
}

int Close(double* status)
{
    BridgeState& b = Bridge();
    b.operation = "mpl_close";
    *status = 0;
    if (!b.open)
        return WarningBox("Warning - Maple already closed.", 0);
    StopMaple(b.kernel);
    b.kernel = nullptr;
    b.open = 0;
    return 0;
}

int Restart(double* status)
{
    BridgeState& b = Bridge();
    b.operation = "mpl_restart";
    b.error = 0;
    *status = 0;
    if (MplCheck(status))
        return 1;
    if (!RestartMaple(b.kernel, b.kernelError))
        *status = 1;
    b.kernelError[sizeof b.kernelError - 1] = '\0';
    return 0;
}

int Exec(double* status, const char* statement)
{
    BridgeState& b = Bridge();
    b.operation = "mpl_exec";
    if (MplCheck(status)) {
        ShowBox("mplcheck failed - program error", "maplelink");
        return 1;
    }
    EvalMapleStatement(b.kernel, statement);
    *status = b.error;
    return 0;
}
