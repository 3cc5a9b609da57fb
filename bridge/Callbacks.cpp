#include "Callbacks.h"

#include "Boxes.h"
#include "OutputFiles.h"
#include "State.h"

#include <cstring>

namespace {

// An output of n characters fits the capture buffer with its terminator, and in debug mode
// with the line feed as well.
bool FitsCapture(std::size_t n, bool debugging) { return n + 1 + (debugging ? 1 : 0) <= MAXLEN; }

void OnText(void*, int, const char* output) noexcept
{
    try {
        BridgeState& b = Bridge();
        const std::size_t n = std::strlen(output);
        if (b.debugging || b.capturing) {
            if (!FitsCapture(n, b.debugging)) {
                ShowBox("Maple output exceeds MAXLEN", "msgeng");
                return;
            }
            if (b.debugging) {
                b.capture = std::string(output) + "\n";
                ShowBox(b.capture, "msgeng");
            }
            if (b.capturing)
                b.capture = output;
        }
        if (b.logging)
            AppendToLog(output);
    } catch (...) {
        // Nothing may unwind into the kernel; an output that cannot be handled is dropped.
    }
}

void OnError(void*, int32_t offset, const char* message) noexcept
{
    try {
        if (offset < 0) {
            ComputationErrorBox(message);
            return;
        }
        Bridge().error = 1;
        ShowBox("Maple parsing error at offset " + std::to_string(static_cast<std::uint32_t>(offset)) + ":\n " +
                    message + "\n",
                "msgeng");
    } catch (...) {
        Bridge().error = 1;
    }
}

// The bridge never interrupts a computation.
MapleBool OnInterruptQuery(void*) noexcept { return 0; }

}

const MapleCallbackVector* KernelCallbacks()
{
    static const MapleCallbackVector callbacks = {OnText, OnError, nullptr, nullptr, nullptr, nullptr, OnInterruptQuery, nullptr};
    return &callbacks;
}
