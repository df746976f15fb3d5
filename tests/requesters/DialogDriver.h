#pragma once
#include <windows.h>
#include <functional>
#include <string>

// Runs InputRequester on this thread; `act` is called once from inside the
// dialog's own message loop, with the dialog window, as soon as it exists.
// A dialog still up 5 s later is destroyed and the test fails, rather than hang.
std::wstring RunInputRequester(const std::function<void(HWND dialog)>& act,
                               const WCHAR* title = L"Comment to EXIF",
                               const WCHAR* prompt = L"Enter comment",
                               const WCHAR* defaultText = L"This is comment", UINT flags = 0);

// Same for NoticeRequester and its message box; returns its result.
int RunNoticeRequester(const std::function<void(HWND box)>& act, const WCHAR* title, const WCHAR* text);

// Runs step a little later, still inside the requester's own message loop,
// after the messages posted so far have been handled.
void Later(const std::function<void()>& step);

// A key as the keyboard would deliver it to the focused window.
void PressKey(HWND target, WPARAM key);

// A plain top-level window of the calling thread.
HWND MakeWindow(DWORD style, DWORD exStyle = 0);

// The text of a window, taken from its own thread or another.
std::wstring WindowText(HWND window);

// A window's rectangle in its parent's client coordinates (screen for top-level ones).
RECT PlacementOf(HWND window);
