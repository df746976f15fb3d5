#pragma once
#include <windows.h>

// The module instance the dialog's window class is registered with; the entry
// routine sets it at start-up.
extern HINSTANCE ProgramInstance;

// Control ids and commands of the dialog.
const int InputFieldId = 10;
const int ConfirmCommand = 1000;  // also the OK button's id
const int CancelCommand = 1001;

// Masked input: the field shows masking characters, the result is clear text.
const UINT InputRequesterMasked = 1;

// Asks for one line of text in a modal dialog of class "InputRequester",
// centred on the screen, the default text preset with the caret after it.
// Returns a new string of the string support: the text on OK or Enter, the
// empty string on Escape, close, or when the dialog can't be created. Returns
// after the dialog window is destroyed. A WM_QUIT that arrives meanwhile
// cancels the dialog and is posted again.
WCHAR* InputRequester(const WCHAR* title, const WCHAR* prompt, const WCHAR* defaultText, UINT flags = 0);

LRESULT CALLBACK InputRequesterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
