// Closes and records every message box of this process, from a thread of its own. The thread
// runs before the bridge is loaded and until after it is unloaded, because the bridge shows boxes
// from DllMain while the loader lock is held: while a box is open the thread neither loads a
// library nor starts a thread, so it never waits on that lock.
#pragma once

#include <atomic>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

struct BoxRecord {
    std::string caption;
    std::string text;
    bool operator==(const BoxRecord&) const = default;
};
using Boxes = std::vector<BoxRecord>;

void PrintTo(const BoxRecord& box, std::ostream* os);

class BoxWatcher {
public:
    BoxWatcher();
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    // The boxes closed since the last call, in the order they were shown.
    Boxes Take();

private:
    void Watch();

    std::atomic<bool> watching_{false};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    Boxes boxes_;
    std::thread thread_;
};
