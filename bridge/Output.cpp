// The capture buffer, the log and viewer files, the debug switch and the host's file utilities.
#include "Operations.h"

#include "Boxes.h"
#include "FileText.h"
#include "OutputFiles.h"
#include "State.h"

#include <windows.h>

namespace {

bool PathFits(const std::string& path)
{
    if (path.size() <= MaxPath)
        return true;
    ComputationErrorBox("Name too long");
    return false;
}

double Show(const char* text)
{
    BridgeState& b = Bridge();
    const std::string& path = *text ? b.viewerPath : b.logPath;
    if (!PathFits(path))
        return 1;
    if (*text && !WriteFileText(path, text)) {
        ComputationErrorBox("Cannot write the viewer file " + path);
        return 1;
    }
    return RunViewer(path);
}

double ResetLog()
{
    BridgeState& b = Bridge();
    if (!PathFits(b.logPath))
        return 1;
    if (!WriteFileText(b.logPath, "\n"))
        ComputationErrorBox("Cannot write the log file " + b.logPath);
    return b.error;
}

double SwitchLog(bool on)
{
    BridgeState& b = Bridge();
    if (on && !PathFits(b.logPath))
        return 1;
    b.logging = on;
    return b.error;
}

}

int TempBuf(double* status, char* buffer, double* size)
{
    BridgeState& b = Bridge();
    *status = 0;
    CopyCaptureTo(buffer, Truncated(*size), size);
    *status = b.error;
    return 0;
}

int Output(double* status, const char* command, const char* text)
{
    BridgeState& b = Bridge();
    *status = 0;
    const std::string_view c = command;
    if (c == "show")
        *status = Show(text);
    else if (c == "reset")
        *status = ResetLog();
    else if (c == "on" || c == "off")
        *status = SwitchLog(c == "on");
    else
        *status = b.error;
    return 0;
}

int Debug(double* status, const double* on)
{
    Bridge().debugging = Truncated(*on) > 0;
    *status = 0;
    return 0;
}

int Test(const char* text)
{
    ShowBox(text, "Test mplend");
    return 0;
}

int RemoveFile(double* answer, const char* path)
{
    *answer = 0;
    if (PathFits(path))
        *answer = DeleteFileA(path) ? 1 : 0;
    return 0;
}

int FileExists(double* answer, const char* path)
{
    *answer = 0;
    if (PathFits(path))
        *answer = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
    return 0;
}
