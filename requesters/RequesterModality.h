#pragma once
#include <windows.h>
#include "../fileio/LinkedBlock.h"

// While a requester is up, the calling thread's other visible top-level windows
// take no input and do not float above it.

// One per window that BeginRequesterModality suspended; the payload of a
// LinkedBlock in SuspendedWindowList.
struct SuspendedWindow {
    DWORD threadId;     // the thread that suspended the window
    HWND window;
    BYTE wasTopmost;    // 1: taken out of the topmost band, to be put back
    BYTE disabledHere;  // 1: disabled by the suspension, to be enabled again
};

// Newest record first. Several threads may share it; each acts on its own.
extern LinkedBlock* SuspendedWindowList;

// The input dialog's owner hold.
struct RequesterOwnerHold {
    HWND ownerWindow;
    LONG ownerDisabled;
};
extern RequesterOwnerHold RequesterOwner;

// The foreground window when it belongs to this process, else null.
HWND FindOwnerWindow();

// Records every visible top-level window of the calling thread, disables those
// that are enabled (the foreground window excepted) and takes topmost ones out
// of the topmost band. A window whose record can't be allocated is left alone.
void BeginRequesterModality();

// Undoes what the calling thread's records say, newest first, and frees them.
void EndRequesterModality();

// Disables the owner the dialog is about to get, remembering whether it did.
void DisableRequesterOwner();

// Enables the owner again if it was disabled here, then ends the modality.
void ReleaseRequesterOwner();
