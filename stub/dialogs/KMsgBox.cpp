#include "KMsgBox.h"

#include "KMsgBoxText.h"
#include "KSUB.h"
#include "UtilsWin.h"

#include <richedit.h>

#include <algorithm>
#include <vector>

namespace {

const char BoxClass[] = "KMsgBox";
const int TextControlId = 100;
const int FirstButtonId = 101;
const int MaxButtons = 3;

struct FontSettings {
    std::string face = "Tahoma";
    int charset = 1;
    int sizePoints = 8;
};

struct BoxState {
    HWND owner = nullptr;
    HFONT font = nullptr;
    HWND window = nullptr;
    HWND text = nullptr;
    HWND buttons[MaxButtons] = {};
    int buttonCount = 0;
    int result = 0;
    int timeoutMs = 0;
    int iconId = 0;
    bool done = false;
    bool quitSeen = false;
    WPARAM quitCode = 0;
};

FontSettings fontSettings;
BoxState box;
// The content size the rich-text control last asked for; kept from box to box.
TextSize lastContent{0, 0};
HMODULE processRichEdit = nullptr;

bool Loaded(HMODULE module) { return reinterpret_cast<UINT_PTR>(module) > 32; }

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

// ---- The buttons --------------------------------------------------------------------------

int ButtonResult(int slot) { return static_cast<int>(GetWindowLongPtrA(box.buttons[slot], GWLP_USERDATA)); }

int FocusedSlot()
{
    const HWND focus = GetFocus();
    for (int slot = 0; slot < box.buttonCount; ++slot)
        if (box.buttons[slot] == focus)
            return slot;
    return -1;
}

std::vector<std::string> ButtonTexts()
{
    std::vector<std::string> texts;
    for (int slot = 0; slot < box.buttonCount; ++slot)
        texts.push_back(WindowText(box.buttons[slot]));
    return texts;
}

void SelectButton(int slot)
{
    box.result = ButtonResult(slot);
    PostMessageA(box.window, WM_CLOSE, 0, 0);
}

// The focused button carries the default-button style, the others the plain one.
void FocusButton(int slot)
{
    SetFocus(box.buttons[slot]);
    for (int i = 0; i < box.buttonCount; ++i)
        SendMessageA(box.buttons[i], BM_SETSTYLE, i == slot ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void MoveFocus(bool forward)
{
    const int slot = MovedFocus(FocusedSlot(), box.buttonCount, forward);
    if (slot >= 0)
        FocusButton(slot);
}

void CreateButtons(std::uint32_t flags, const std::string& buttonTexts)
{
    RECT client;
    GetClientRect(box.window, &client);
    const std::vector<BoxButton> set = ButtonSetOf(flags);
    box.buttonCount = static_cast<int>(set.size());
    for (int slot = 0; slot < box.buttonCount; ++slot) {
        const std::string caption = SUB::Field(buttonTexts, set[slot].textField, "");
        const HWND button = CreateWindowExA(0, "Button", caption.c_str(), WS_CHILD | WS_VISIBLE,
                                            ButtonLeft(slot, box.buttonCount, client.right), ButtonTop(client.bottom),
                                            BoxButtonWidth, BoxButtonHeight, box.window,
                                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(FirstButtonId + slot)),
                                            Instance(), nullptr);
        SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(box.font), TRUE);
        SetWindowLongPtrA(button, GWLP_USERDATA, set[slot].result);
        box.buttons[slot] = button;
    }
    if (box.buttonCount > 0) {
        SetActiveWindow(box.window);
        FocusButton(DefaultButtonIndex(flags, box.buttonCount));
    }
}

// ---- The keyboard filter ------------------------------------------------------------------

bool SelectsWith(int slot)
{
    if (slot < 0)
        return false;
    SelectButton(slot);
    return true;
}

bool FilterKeyDown(WPARAM key)
{
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        MoveFocus(false);
        return false;
    case VK_TAB:
    case VK_RIGHT:
    case VK_DOWN:
        MoveFocus(true);
        return false;
    case VK_RETURN:
        return SelectsWith(FocusedSlot());
    default:
        return SelectsWith(LetterKeyButton(ButtonTexts(), static_cast<unsigned>(key)));
    }
}

// True when the message selected a button and is used up. Only the box's own keystrokes pass
// the filter; other windows of the thread get theirs unchanged.
bool FilterBoxMessage(const MSG& msg)
{
    if (!box.window || !(msg.hwnd == box.window || IsChild(box.window, msg.hwnd)))
        return false;
    if (msg.message == WM_SYSCHAR)
        return SelectsWith(AltCharButton(ButtonTexts(), static_cast<char>(msg.wParam)));
    if (msg.message == WM_KEYDOWN)
        return FilterKeyDown(msg.wParam);
    return false;
}

// ---- Painting -----------------------------------------------------------------------------

HICON BoxIcon()
{
    if (box.iconId == 0)
        return LoadIconA(Instance(), "MainIcon");
    return LoadIconA(nullptr, MAKEINTRESOURCEA(box.iconId));
}

void FillArea(HDC dc, int left, int top, int right, int bottom, HBRUSH brush)
{
    const RECT area{left, top, right, bottom};
    FillRect(dc, &area, brush);
}

void PaintBox(HWND window)
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const int cw = client.right, ch = client.bottom;
    FillArea(dc, 0, 0, cw, ch, GetSysColorBrush(COLOR_WINDOW));
    FillArea(dc, 0, ch - 37, cw, ch - 36, GetSysColorBrush(COLOR_3DDKSHADOW));
    FillArea(dc, 0, ch - 36, cw, ch - 35, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FillArea(dc, 0, ch - 35, cw, ch, GetSysColorBrush(COLOR_BTNFACE));
    const HBRUSH band = CreateSolidBrush(RGB(0, 78, 152));
    FillArea(dc, 0, 0, 54, ch - 37, band);
    DeleteObject(band);
    DrawIcon(dc, 11, 20, BoxIcon());
    EndPaint(window, &paint);
}

// ---- The window procedure -----------------------------------------------------------------

void CloseRequested(HWND window)
{
    if (box.owner) {
        EnableWindow(box.owner, TRUE);
        SetActiveWindow(box.owner);
        SetFocus(box.owner);
    }
    KillTimer(window, 1);
}

bool ButtonCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return false;
    for (int slot = 0; slot < box.buttonCount; ++slot)
        if (reinterpret_cast<HWND>(lParam) == box.buttons[slot]) {
            SelectButton(slot);
            return true;
        }
    return false;
}

void ContentSizeRequested(const NMHDR& header)
{
    if (header.hwndFrom != box.text || header.code != EN_REQUESTRESIZE)
        return;
    const RECT& rc = reinterpret_cast<const REQRESIZE&>(header).rc;
    lastContent = {rc.right - rc.left, rc.bottom - rc.top};
}

LRESULT CALLBACK BoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (box.timeoutMs > 0)
            SetTimer(window, 1, static_cast<UINT>(box.timeoutMs), nullptr);
        break;
    case WM_TIMER:
        box.result = box.buttonCount > 0 ? ButtonResult(0) : 0;
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_COMMAND:
        if (ButtonCommand(wParam, lParam))
            return 0;
        break;
    case WM_CLOSE:
        CloseRequested(window);
        break;
    case WM_DESTROY:
        DeleteObject(box.font);
        box.font = nullptr;
        box.done = true;
        return 0;
    case WM_PAINT:
        PaintBox(window);
        return 0;
    case WM_NOTIFY:
        ContentSizeRequested(*reinterpret_cast<const NMHDR*>(lParam));
        return 0;
    default:
        if (message != 0 && message == QueryCancelAutoPlayId())
            return 1;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---- Building the box ---------------------------------------------------------------------

HMODULE LoadRichEdit()
{
    const HMODULE own = LoadSystemLibrary("RICHED32.DLL");
    if (!Loaded(processRichEdit) && Loaded(own))
        processRichEdit = LoadSystemLibrary("RICHED32.DLL");
    return own;
}

HFONT CreateBoxFont()
{
    return CreateFontA(-PointsToPixels(fontSettings.sizePoints), 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE,
                       static_cast<BYTE>(fontSettings.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, FF_SWISS, fontSettings.face.c_str());
}

void RegisterBoxClass()
{
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = BoxProc;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = BoxClass;
    RegisterClassA(&wc);
}

void CreateBoxWindow(HWND parent, const std::string& caption, std::uint32_t flags)
{
    box.window = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, BoxClass, caption.c_str(),
                                 WS_VISIBLE | WS_CAPTION | WS_SYSMENU, -100, -100, 10, 10, parent, nullptr,
                                 Instance(), nullptr);
    if (box.window && (flags & BoxNoClose))
        EnableMenuItem(GetSystemMenu(box.window, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
}

// Without the rich-text library the message still shows, in a plain edit control.
void CreateTextControl(std::uint32_t flags)
{
    const DWORD exStyle = (flags & BoxRtlReading) ? WS_EX_RTLREADING : 0;
    const DWORD style = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_WANTRETURN |
                        ((flags & BoxRight) ? ES_RIGHT : 0);
    for (const char* cls : {"RICHEDIT", "Edit"}) {
        box.text = CreateWindowExA(exStyle, cls, "", style, 86, 30, 100, 13, box.window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(TextControlId)), Instance(), nullptr);
        if (box.text)
            break;
    }
    SendMessageA(box.text, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);
    SendMessageA(box.text, WM_SETFONT, reinterpret_cast<WPARAM>(box.font), TRUE);
    SendMessageA(box.text, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_WINDOW)));
}

void FillTextControl(const PlainText& plain)
{
    SetWindowTextA(box.text, plain.text.c_str());
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    format.dwEffects = CFE_BOLD;
    for (const BoldRange& range : plain.bold) {
        CHARRANGE selection{range.start, range.end};
        SendMessageA(box.text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        SendMessageA(box.text, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    SendMessageA(box.text, EM_SETSEL, 0, 0);
}

TextSize MeasureInControl(const std::string& plain)
{
    const HDC dc = GetDC(box.text);
    const HGDIOBJ previous = SelectObject(dc, box.font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const int lineHeight = MsgBoxLineHeight(metrics.tmHeight, metrics.tmExternalLeading, fontSettings.face);
    const TextSize size = MeasurePlainText(plain, lineHeight, [dc](std::string_view line) {
        SIZE extent{};
        GetTextExtentPoint32A(dc, line.data(), static_cast<int>(line.size()), &extent);
        return static_cast<int>(extent.cx);
    });
    SelectObject(dc, previous);
    ReleaseDC(box.text, dc);
    return size;
}

void SetControlSize(int width, int height)
{
    SetWindowPos(box.text, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(box.text, EM_REQUESTRESIZE, 0, 0);
}

// Bold runs are wider than the measurement: the control grows in steps of 10 pixels until the
// content fits its height.
TextSize SizeTextControl(const PlainText& plain)
{
    const TextSize measured = MeasureInControl(plain.text);
    TextSize control{measured.width + 10, measured.height};
    SetControlSize(control.width, control.height);
    if (plain.bold.empty())
        return control;
    int widest = measured.width;
    for (int i = 0; i <= 20; ++i) {
        control.width = measured.width + 10 * i;
        SetControlSize(control.width, control.height);
        if (lastContent.height <= measured.height)
            return control;
        widest = std::max(widest, lastContent.width);
    }
    control.width = widest + 10;
    SetControlSize(control.width, control.height);
    return control;
}

void PlaceBox(const TextSize& control)
{
    const FrameMetrics frame{GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME), GetSystemMetrics(SM_CYCAPTION)};
    const TextSize size = BoxWindowSize(control.width, control.height, frame);
    const POINT at = CenterInWorkArea(size.width, size.height);
    MoveWindow(box.window, at.x, at.y, size.width, size.height, TRUE);
    ShowWindow(box.window, SW_SHOW);
    RECT client;
    GetClientRect(box.window, &client);
    const ControlPlace place = TextControlPlace(client.right, client.bottom, control.width, control.height);
    SetWindowPos(box.text, nullptr, place.x, place.y, control.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(box.text, SW_SHOW);
}

// A quit request that arrives while the box is up closes the box and is handed on afterwards.
void RunModalLoop()
{
    MSG msg;
    while (!box.done) {
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
            box.quitSeen = true;
            box.quitCode = msg.wParam;
            SendMessageA(box.window, WM_CLOSE, 0, 0);
            break;
        }
        if (FilterBoxMessage(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void ShowBox(HWND parent, const std::string& markup, const std::string& caption, std::uint32_t flags,
             const std::string& buttonTexts)
{
    CreateBoxWindow(parent, caption, flags);
    if (!box.window) {
        CloseRequested(nullptr);
        DeleteObject(box.font);
        return;
    }
    CreateTextControl(flags);
    const PlainText plain = MarkupToPlain(markup);
    FillTextControl(plain);
    PlaceBox(SizeTextControl(plain));
    CreateButtons(flags, buttonTexts);
    RunModalLoop();
}

std::string CaptionOr(const std::string& caption, int field)
{
    return caption.empty() ? SUB::Field(MsgBoxCaptions, field, "") : caption;
}

std::string ButtonsOr(const std::string& buttonTexts) { return buttonTexts.empty() ? DefaultButtonTexts : buttonTexts; }

} // namespace

void MsgBoxSetFont(const std::string& faceName, int sizePoints, int charset)
{
    fontSettings.face = faceName;
    fontSettings.charset = charset;
    if (sizePoints != 0)
        fontSettings.sizePoints = sizePoints;
}

int MsgBoxShow(std::intptr_t headingMode, const std::string& text, const std::string& caption, int timeoutMs,
               std::uint32_t flags, std::uint8_t charset, const std::string& buttonTexts)
{
    flags = EffectiveBoxFlags(flags, headingMode, charset);
    const std::string markup = headingMode == 0 ? WithCaptionHeader(text, caption) : text;
    const HWND parent = headingMode > 2 ? reinterpret_cast<HWND>(headingMode) : nullptr;
    const HMODULE richEdit = LoadRichEdit();
    box = BoxState{};
    box.owner = GetActiveWindow();
    if (box.owner)
        EnableWindow(box.owner, FALSE);
    box.timeoutMs = timeoutMs;
    box.iconId = BoxIconId(flags);
    box.font = CreateBoxFont();
    RegisterBoxClass();
    ShowBox(parent, markup, caption, flags, buttonTexts);
    if (Loaded(richEdit))
        FreeLibrary(richEdit);
    UnregisterClassA(BoxClass, Instance());
    box.window = nullptr;
    if (box.quitSeen)
        PostQuitMessage(static_cast<int>(box.quitCode));
    WaitWithMessagePump(0, 100);
    return box.result;
}

int MsgBoxError(std::intptr_t headingMode, const std::string& text, const std::string& caption, std::uint8_t charset,
                const std::string& buttonTexts)
{
    return MsgBoxShow(headingMode, text, CaptionOr(caption, 0), 0, 0x10, charset, ButtonsOr(buttonTexts));
}

int MsgBoxWarning(std::intptr_t headingMode, const std::string& text, const std::string& caption, int timeoutMs,
                  std::uint8_t charset, const std::string& buttonTexts)
{
    return MsgBoxShow(headingMode, text, CaptionOr(caption, 1), timeoutMs, 0x30, charset, ButtonsOr(buttonTexts));
}

bool MsgBoxConfirm(std::intptr_t headingMode, const std::string& text, const std::string& caption, int timeoutMs,
                   std::uint8_t charset, const std::string& buttonTexts)
{
    return MsgBoxShow(headingMode, text, CaptionOr(caption, 2), timeoutMs, 0x24, charset, ButtonsOr(buttonTexts)) ==
           IDYES;
}

bool MsgBoxOkCancel(std::intptr_t headingMode, const std::string& text, const std::string& caption,
                    std::uint8_t charset, const std::string& buttonTexts)
{
    return MsgBoxShow(headingMode, text, CaptionOr(caption, 2), 0, 0x21, charset, ButtonsOr(buttonTexts)) == IDOK;
}

void PreloadMsgBoxLibraries()
{
    const UINT previous = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    for (const char* name : {"shell32.dll", "USP10.dll", "MSLS31.dll", "RICHED32.DLL"})
        LoadSystemLibrary(name);
    SetErrorMode(previous);
}

void ReleaseMsgBoxLibrary()
{
    if (Loaded(processRichEdit))
        FreeLibrary(processRichEdit);
    processRichEdit = nullptr;
}
