#pragma once
#include <windows.h>

// The strings of the program flow, the comment included, live on a private
// heap of their own, started at start-up and dropped whole at shut-down.
extern HANDLE StringHeap;

void StartStringSupport();
void StopStringSupport();

// A copy of text, terminator included, on the given heap; null for a missing
// text or when the heap has no room.
WCHAR* CopyStringToHeap(HANDLE heap, const WCHAR* text);

// A new copy of text on the string heap; a missing text gives the empty
// string. Never null: without memory the result is a shared empty string.
WCHAR* NewString(const WCHAR* text);

// A missing string counts as empty.
bool IsEmptyString(const WCHAR* text);
