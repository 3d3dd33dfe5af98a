// AfxMessageBox: every message Hushwell shows goes through here.
#pragma once

#include <windows.h>

// Shows a modal box owned by the innermost running dialog (by none when no dialog runs: the
// program's start), titled with the application's name (the executable's file name without its
// extension: the string table has no title entry), and returns the button the operator pressed.
// helpId is accepted for compatibility; Hushwell has no help file.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);

// Where AfxMessageBox sends its box: MessageBoxA, or a test's recorder that is handed the same
// owner, text, caption and type and returns the button "pressed". Returns the previous one;
// null restores MessageBoxA.
using MessageBoxFunction = int (*)(HWND owner, const char* text, const char* caption, UINT type);
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction show);
