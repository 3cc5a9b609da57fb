// The setup launch as the program entry and the status window reach it: the setup stub's timer
// action, the spanned-set start from a Y_ copy, and the removal of the extraction folder.
#pragma once

#include <windows.h>

// The first timer tick of a setup stub's status window.
void StartSetup(HWND window);
// A spanned disk set re-runs itself from a Y_ copy.
void StartFromCopy();
// Removes the extraction folder with all its content, when this process made one.
void RemoveExtractFolder();
