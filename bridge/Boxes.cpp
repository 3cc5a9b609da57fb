#include "Boxes.h"

#include "State.h"

#include <windows.h>

void ShowBox(const std::string& text, const char* caption)
{
    MessageBoxA(nullptr, text.c_str(), caption, MB_OK | MB_APPLMODAL);
}

int WarningBox(const char* message, int code)
{
    BridgeState& b = Bridge();
    ShowBox(std::string(message) + "\nError:  called by " + b.operation + ". \nError text:  " + b.kernelError + " ",
            "maplelink");
    b.kernelError[0] = '\0';
    return code;
}

void ComputationErrorBox(const std::string& message)
{
    BridgeState& b = Bridge();
    b.error = 1;
    ShowBox(std::string("Computation error while executing command '") + b.operation + "'   \n\n  " + message + "\n",
            "msgeng");
}

int MplCheck(double* status)
{
    BridgeState& b = Bridge();
    if (!b.open) {
        *status = 1;
        return WarningBox("Maple must first be initialized.", 1);
    }
    *status = 0;
    return b.error;
}
