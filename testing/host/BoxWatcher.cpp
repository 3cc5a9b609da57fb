#include "BoxWatcher.h"

#include <windows.h>

namespace {

// The id of the static control that holds a message box's text.
const int MessageTextId = 0xFFFF;

BOOL CALLBACK FindBox(HWND window, LPARAM found)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char kind[16] = "";
    GetClassNameA(window, kind, sizeof kind);
    if (process != GetCurrentProcessId() || std::string(kind) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND OpenBox()
{
    HWND box = nullptr;
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
    return box;
}

std::string WindowText(HWND window)
{
    if (!window)
        return {};
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}

void PrintTo(const BoxRecord& box, std::ostream* os) { *os << "{\"" << box.caption << "\", \"" << box.text << "\"}"; }

BoxWatcher::BoxWatcher() : thread_([this] { Watch(); })
{
    // One pass before any box, so that whatever the window calls set up on first use is done
    // while no lock is held. Then wait for the watching thread's own first pass: a thread that
    // is still starting when the bridge shows a box from DllMain waits for the loader lock, and
    // the box would never be closed.
    OpenBox();
    while (!watching_)
        Sleep(1);
}

BoxWatcher::~BoxWatcher()
{
    stop_ = true;
    thread_.join();
}

Boxes BoxWatcher::Take()
{
    std::lock_guard<std::mutex> lock(mutex_);
    Boxes taken;
    taken.swap(boxes_);
    return taken;
}

void BoxWatcher::Watch()
{
    OpenBox();
    watching_ = true;
    while (!stop_) {
        const HWND box = OpenBox();
        if (!box) {
            Sleep(2);
            continue;
        }
        BoxRecord record{WindowText(box), WindowText(GetDlgItem(box, MessageTextId))};
        {
            std::lock_guard<std::mutex> lock(mutex_);
            boxes_.push_back(std::move(record));
        }
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        while (!stop_ && IsWindow(box))
            Sleep(1);
    }
}
