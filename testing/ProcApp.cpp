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
#include <windows.h>

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

int RunOwner(UINT lifetime)
{
    const HWND owner = MakeWindow("ProcAppOwner", "", WS_OVERLAPPED, nullptr);
    const HWND dialog = MakeWindow("ProcAppDialog", "ProcApp dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, owner);
    AppendInfo("pid=" + std::to_string(GetCurrentProcessId()) + "\nowner=" + Handle(owner) + "\ndialog=" +
               Handle(dialog) + "\nready\n");
    SetTimer(owner, 1, lifetime, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (msg.message == WM_QUIT && msg.wParam != 0 && msg.wParam != 3)
        AppendInfo("quit " + std::to_string(msg.wParam) + "\n");
    return static_cast<int>(msg.wParam);
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
    if (mode == "windowless")
        return RunWindowless(lifetime);
    return 2;
}
