#include "KProgBar.h"

#include "UtilsWin.h"

namespace {

// The waiting messages dispatched once, then a millisecond's sleep.
void MessagePause() { WaitWithMessagePump(0, 0); }

} // namespace

TProgBar::TProgBar(ProgressObserver observer) : observer_(observer) {}

TProgBar::~TProgBar() { Finish(); }

void TProgBar::Notify(int event, int maximum, int position, int step, const std::string& text)
{
    MessagePause();
    if (observer_)
        observer_(event, 0, maximum, position, step, text);
    MessagePause();
}

void TProgBar::Start(int position, int total) { Notify(0, total, position, 1, {}); }

void TProgBar::Step(const std::string& text) { Notify(1, 0, 0, 0, text); }

void TProgBar::Caption(const std::string&) { MessagePause(); }

void TProgBar::Finish() { Notify(0, 0, 0, 1, {}); }
