#pragma once
#include <windows.h>

// A message box, modal over the calling thread's windows and owned by this
// process's foreground window if there is one. Returns the button that closed
// it, or 0 when it can't be shown. flags 0: one OK button, no icon.
int NoticeRequester(const WCHAR* title, const WCHAR* text, UINT flags = MB_OK);
