// KMsgBox: the program's own modal message box. A dark-blue band with an icon, a read-only
// rich-text area with the marked-up message, and up to three buttons whose texts come from a
// translatable list. Flags, icons and results follow the system message box's numbering.
#pragma once

#include <cstdint>
#include <string>

// Stored for the boxes to come: the face and the character set always, the size unless 0.
void MsgBoxSetFont(const std::string& faceName, int sizePoints, int charset);

// headingMode 0: owner is the active window, the caption heads the text in bold; 1: no heading;
// 2: as 1 and the Close command greyed; above 2: the handle of the box's parent window.
// Returns the result code of the button (IDOK ... IDNO), the leftmost button's code after the
// time-out, 0 when the box was closed otherwise.
int MsgBoxShow(std::intptr_t headingMode, const std::string& text, const std::string& caption, int timeoutMs,
               std::uint32_t flags, std::uint8_t charset, const std::string& buttonTexts);

// The usual boxes; an empty caption is the built-in one, empty button texts the built-in list.
int MsgBoxError(std::intptr_t headingMode, const std::string& text, const std::string& caption, std::uint8_t charset,
                const std::string& buttonTexts);
int MsgBoxWarning(std::intptr_t headingMode, const std::string& text, const std::string& caption, int timeoutMs,
                  std::uint8_t charset, const std::string& buttonTexts);
bool MsgBoxConfirm(std::intptr_t headingMode, const std::string& text, const std::string& caption, int timeoutMs,
                   std::uint8_t charset, const std::string& buttonTexts);
bool MsgBoxOkCancel(std::intptr_t headingMode, const std::string& text, const std::string& caption,
                    std::uint8_t charset, const std::string& buttonTexts);

// Loads shell32.dll, USP10.dll, MSLS31.dll and RICHED32.DLL from the system folder at start,
// without the system's open-file error box; failures are ignored, nothing is released.
void PreloadMsgBoxLibraries();
// Releases the rich-text library the first box took for the process.
void ReleaseMsgBoxLibrary();
