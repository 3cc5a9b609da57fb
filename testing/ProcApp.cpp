// Test fixture: a program for the process tests. It writes "pid=", its window handles and
// "ready" to INFOFILE, then runs for LIFETIME_MS (default 60,000) milliseconds.
//
//   procapp.exe owner INFOFILE [LIFETIME_MS]
//       a hidden untitled owner window (class "ProcAppOwner") and a visible titled dialog
//       ("ProcApp dialog", class "ProcAppDialog") owned by it. A close request to either window
//       is appended to INFOFILE as "close WPARAM LPARAM" and ends the program with exit code 3;
//       a quit message ends it with its wParam as exit code, after "quit WPARAM".
//   procapp.exe windowless INFOFILE [LIFETIME_MS]
//       no windows at all; exit code 0 when its time is up.
//   procapp.exe controls INFOFILE [LIFETIME_MS]
//       a visible window "ProcApp controls" with a progress bar (range 10 to 250, position 40),
//       a button "&Press" (id 101) that appends "clicked 101" when pressed, and an edit control
//       (id 102, focused) that appends "key VK" for every key pressed in it; a close request
//       ends it with exit code 3.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string infoFile;

void AppendInfo(const std::string& text)
{
    if (FILE* f = std::fopen(infoFile.c_str(), "ab")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

std::string Handle(HWND window) { return std::to_string(reinterpret_cast<UINT_PTR>(window)); }

LRESULT CALLBACK AppProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        AppendInfo("close " + std::to_string(wParam) + " " + std::to_string(lParam) + "\n");
        PostQuitMessage(3);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            AppendInfo("clicked " + std::to_string(LOWORD(wParam)) + "\n");
        return 0;
    case WM_TIMER:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(const char* className, const char* title, DWORD style, HWND owner)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = AppProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowExA(0, className, title, style, 100, 100, 300, 120, owner, nullptr, wc.hInstance, nullptr);
}

int MessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int RunOwner(UINT lifetime)
{
    const HWND owner = MakeWindow("ProcAppOwner", "", WS_OVERLAPPED, nullptr);
    const HWND dialog = MakeWindow("ProcAppDialog", "ProcApp dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, owner);
    AppendInfo("pid=" + std::to_string(GetCurrentProcessId()) + "\nowner=" + Handle(owner) + "\ndialog=" +
               Handle(dialog) + "\nready\n");
    SetTimer(owner, 1, lifetime, nullptr);
    const int code = MessageLoop();
    if (code != 0 && code != 3)
        AppendInfo("quit " + std::to_string(code) + "\n");
    return code;
}

WNDPROC editProc = nullptr;

LRESULT CALLBACK KeyRecordingEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN)
        AppendInfo("key " + std::to_string(wParam) + "\n");
    return CallWindowProcA(editProc, window, message, wParam, lParam);
}

int RunControls(UINT lifetime)
{
    InitCommonControls();
    const HWND window = MakeWindow("ProcAppControls", "ProcApp controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 10, 270, 16, window,
                                     reinterpret_cast<HMENU>(100), instance, nullptr);
    SendMessageA(bar, PBM_SETRANGE32, 10, 250);
    SendMessageA(bar, PBM_SETPOS, 40, 0);
    CreateWindowExA(0, "BUTTON", "&Press", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 34, 80, 24, window,
                    reinterpret_cast<HMENU>(101), instance, nullptr);
    const HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, 100, 34, 180, 24, window,
                                      reinterpret_cast<HMENU>(102), instance, nullptr);
    editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeyRecordingEdit)));
    SetForegroundWindow(window);
    SetFocus(edit);
    AppendInfo("pid=" + std::to_string(GetCurrentProcessId()) + "\nwindow=" + Handle(window) + "\nready\n");
    SetTimer(window, 1, lifetime, nullptr);
    return MessageLoop();
}

int RunWindowless(UINT lifetime)
{
    AppendInfo("pid=" + std::to_string(GetCurrentProcessId()) + "\nready\n");
    Sleep(lifetime);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const std::string mode = argv[1];
    infoFile = argv[2];
    const UINT lifetime = argc > 3 ? static_cast<UINT>(std::strtoul(argv[3], nullptr, 10)) : 60000;
    if (mode == "owner")
        return RunOwner(lifetime);
    if (mode == "controls")
        return RunControls(lifetime);
    if (mode == "windowless")
        return RunWindowless(lifetime);
    return 2;
}
