// TProgBar: the progress object of long operations. It draws nothing: it turns start, step and
// finish into calls of its observer, and dispatches the thread's waiting window messages before
// and after each event so that the program's windows stay alive.
#pragma once

#include <string>

// Event 0 start, 1 step; the other arguments as the event needs them.
using ProgressObserver = void (*)(int event, int second, int maximum, int position, int step, const std::string& text);

class TProgBar {
public:
    explicit TProgBar(ProgressObserver observer);
    ~TProgBar();
    TProgBar(const TProgBar&) = delete;
    TProgBar& operator=(const TProgBar&) = delete;

    void Start(int position, int total);
    void Step(const std::string& text);
    void Caption(const std::string& text);
    // Both bars of the observer get an empty range.
    void Finish();

    // A long operation that is handed the object stops when it finds this set.
    bool Cancelled = false;

private:
    void Notify(int event, int maximum, int position, int step, const std::string& text);

    ProgressObserver observer_;
};
