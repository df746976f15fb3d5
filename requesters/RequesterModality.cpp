#include "RequesterModality.h"

LinkedBlock* SuspendedWindowList;
RequesterOwnerHold RequesterOwner;

HWND FindOwnerWindow()
{
    HWND window = GetForegroundWindow();
    if (!window)
        return NULL;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId == GetCurrentProcessId() ? window : NULL;
}

static BOOL CALLBACK SuspendWindowCallback(HWND window, LPARAM)
{
    if (GetWindowThreadProcessId(window, NULL) != GetCurrentThreadId() || !IsWindowVisible(window))
        return TRUE;
    SuspendedWindow* record = static_cast<SuspendedWindow*>(
        PushLinkedBlock(&SuspendedWindowList, sizeof(SuspendedWindow)));
    if (!record)
        return TRUE;  // unrecorded: left as it is, so nothing is left to undo
    record->window = window;
    record->threadId = GetCurrentThreadId();
    if (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST)
        record->wasTopmost = 1;
    if (window != GetForegroundWindow() && IsWindowEnabled(window)) {
        record->disabledHere = 1;
        EnableWindow(window, FALSE);
    }
    return TRUE;
}

static void ReorderWindow(HWND window, HWND band)
{
    SetWindowPos(window, band, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

void BeginRequesterModality()
{
    EnumWindows(SuspendWindowCallback, 1);
    DWORD threadId = GetCurrentThreadId();
    for (LinkedBlock* block = SuspendedWindowList; block; block = block->next) {
        SuspendedWindow* record = static_cast<SuspendedWindow*>(LinkedBlockPayload(block));
        if (record->threadId == threadId && record->wasTopmost)
            ReorderWindow(record->window, HWND_NOTOPMOST);
    }
}

void EndRequesterModality()
{
    DWORD threadId = GetCurrentThreadId();
    LinkedBlock* next;
    for (LinkedBlock* block = SuspendedWindowList; block; block = next) {
        next = block->next;
        SuspendedWindow* record = static_cast<SuspendedWindow*>(LinkedBlockPayload(block));
        if (record->threadId != threadId)
            continue;
        if (record->disabledHere)
            EnableWindow(record->window, TRUE);
        if (record->wasTopmost)
            ReorderWindow(record->window, HWND_TOPMOST);
        UnlinkLinkedBlock(&SuspendedWindowList, record);
    }
}

void DisableRequesterOwner()
{
    RequesterOwner.ownerWindow = FindOwnerWindow();
    RequesterOwner.ownerDisabled = 0;
    if (RequesterOwner.ownerWindow && IsWindowEnabled(RequesterOwner.ownerWindow)) {
        EnableWindow(RequesterOwner.ownerWindow, FALSE);
        RequesterOwner.ownerDisabled = 1;
    }
}

void ReleaseRequesterOwner()
{
    if (RequesterOwner.ownerDisabled)
        EnableWindow(RequesterOwner.ownerWindow, TRUE);
    EndRequesterModality();
}
