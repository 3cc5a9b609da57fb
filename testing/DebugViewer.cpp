// Test fixture: a debug viewer. Its window of class ".KDebug." receives ".K_DebugMsg." with
// wParam 1 and a global atom, and appends the atom's text to OUTFILE; with PIECESFILE it also
// appends one line per piece with the piece's length in bytes. The text is shown in the window.
//
//   debugviewer.exe OUTFILE [PIECESFILE]
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string outFile, piecesFile;
UINT debugMessage = 0;
HWND textBox = nullptr;

void Append(const std::string& path, const std::string& text)
{
    if (path.empty())
        return;
    if (FILE* f = std::fopen(path.c_str(), "ab")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

void Receive(ATOM atom)
{
    char text[512];
    const UINT n = GlobalGetAtomNameA(atom, text, sizeof text);
    const std::string piece(text, n);
    Append(outFile, piece);
    Append(piecesFile, std::to_string(piece.size()) + "\n");
    const int end = GetWindowTextLengthA(textBox);
    SendMessageA(textBox, EM_SETSEL, end, end);
    SendMessageA(textBox, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
}

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == debugMessage) {
        if (wParam == 1)
            Receive(static_cast<ATOM>(lParam));
        return 0;
    }
    switch (message) {
    case WM_SIZE:
        MoveWindow(textBox, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    outFile = argv[1];
    piecesFile = argc > 2 ? argv[2] : "";
    debugMessage = RegisterWindowMessageA(".K_DebugMsg.");
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = ViewerProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = ".KDebug.";
    if (!RegisterClassA(&wc))
        return 1;
    const HWND window = CreateWindowExA(0, wc.lpszClassName, "Debug viewer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                        640, 320, nullptr, nullptr, instance, nullptr);
    textBox = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0, 0, 640,
                              320, window, nullptr, instance, nullptr);
    RECT client;
    GetClientRect(window, &client);
    MoveWindow(textBox, 0, 0, client.right, client.bottom, TRUE);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
