#include "InputRequester.h"
#include "RequesterModality.h"
#include "../app/StringSupport.h"
#include "../fileio/ProgramHeap.h"
#include <wchar.h>

HINSTANCE ProgramInstance;

static const WCHAR ClassName[] = L"InputRequester";

static struct {
    HWND inputField;  // of the current or last dialog
    LONG done;        // 1 once the dialog window is destroyed
    HFONT dialogFont; // fetched once, never released
} InputRequesterState;

// Dialog geometry, in pixels: outer size, then controls in client coordinates.
const int DialogWidth = 300, DialogHeight = 130;
const DWORD DialogStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU;

struct ControlLayout {
    const WCHAR* className;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height, id;
};
static const ControlLayout PromptLine = {
    L"STATIC", WS_CHILD | WS_VISIBLE | SS_SIMPLE, 0, 10, 10, 280, 22, 0};
static const ControlLayout InputField = {
    L"EDIT", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 10, 32, 275, 21, InputFieldId};
static const ControlLayout OkButton = {
    L"BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 110, 67, 80, 25, ConfirmCommand};

static const ACCEL DialogKeys[] = {
    {FVIRTKEY, VK_RETURN, ConfirmCommand},
    {FVIRTKEY, VK_ESCAPE, CancelCommand},
};

// A ProgramHeap copy of text, or null for a missing text or a failed allocation.
static WCHAR* CopyText(const WCHAR* text)
{
    return CopyStringToHeap(ProgramHeap, text);
}

static void FreeText(WCHAR* copy)
{
    if (copy)
        HeapFree(ProgramHeap, 0, copy);
}

static HWND CreateControl(HWND dialog, const ControlLayout& layout, const WCHAR* text, DWORD extraStyle)
{
    HWND control = CreateWindowExW(layout.exStyle, layout.className, text, layout.style | extraStyle,
                                   layout.x, layout.y, layout.width, layout.height, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                                   ProgramInstance, NULL);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(InputRequesterState.dialogFont), TRUE);
    return control;
}

static void RegisterInputRequesterClass()
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = InputRequesterProc;
    windowClass.hInstance = ProgramInstance;
    windowClass.hIcon = LoadIconW(ProgramInstance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(NULL, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ClassName;
    RegisterClassExW(&windowClass);
}

static void CloseDialog(HWND dialog)
{
    ReleaseRequesterOwner();
    DestroyWindow(dialog);
}

// Runs until the dialog is destroyed. A quit message ends the dialog as a
// cancel and is handed on to the next loop.
static void RunDialogLoop(HWND dialog)
{
    HACCEL keys = CreateAcceleratorTableW(const_cast<ACCEL*>(DialogKeys), ARRAYSIZE(DialogKeys));
    MSG message;
    while (!InputRequesterState.done) {
        BOOL got = GetMessageW(&message, NULL, 0, 0);
        if (got <= 0) {
            CloseDialog(dialog);
            if (got == 0)
                PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!TranslateAcceleratorW(dialog, keys, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (keys)
        DestroyAcceleratorTable(keys);
}

WCHAR* InputRequester(const WCHAR* title, const WCHAR* prompt, const WCHAR* defaultText, UINT flags)
{
    WCHAR* resultSlot = NULL;
    WCHAR* titleCopy = CopyText(title);
    WCHAR* promptCopy = CopyText(prompt);
    WCHAR* defaultCopy = CopyText(defaultText);
    if (!InputRequesterState.dialogFont)
        InputRequesterState.dialogFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    RegisterInputRequesterClass();
    InputRequesterState.done = 0;
    BeginRequesterModality();
    DisableRequesterOwner();

    HWND dialog = CreateWindowExW(0, ClassName, titleCopy, DialogStyle,
                                  GetSystemMetrics(SM_CXSCREEN) / 2 - DialogWidth / 2,
                                  GetSystemMetrics(SM_CYSCREEN) / 2 - DialogHeight / 2,
                                  DialogWidth, DialogHeight, FindOwnerWindow(), NULL, ProgramInstance, NULL);
    if (!dialog) {
        ReleaseRequesterOwner();
    } else {
        SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&resultSlot));
        CreateControl(dialog, PromptLine, promptCopy, 0);
        HWND field = CreateControl(dialog, InputField, NULL, (flags & InputRequesterMasked) ? ES_PASSWORD : 0);
        InputRequesterState.inputField = field;
        SetFocus(field);
        if (defaultCopy) {
            SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(defaultCopy));
            WPARAM end = wcslen(defaultCopy);
            SendMessageW(field, EM_SETSEL, end, end);
        }
        CreateControl(dialog, OkButton, L"OK", 0);
        SetForegroundWindow(dialog);
        BringWindowToTop(dialog);
        RunDialogLoop(dialog);
    }

    // Unregistered only now: while its window still exists (in WM_DESTROY) the
    // class can't be unregistered.
    UnregisterClassW(ClassName, ProgramInstance);
    WCHAR* result = NewString(resultSlot);
    FreeText(resultSlot);
    FreeText(titleCopy);
    FreeText(promptCopy);
    FreeText(defaultCopy);
    return result;
}

// Takes the typed text into the caller's result slot; without memory for it
// the result stays empty.
static void TakeTypedText(HWND dialog)
{
    WCHAR** slot = reinterpret_cast<WCHAR**>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    int length = GetWindowTextLengthW(InputRequesterState.inputField);
    WCHAR* buffer = static_cast<WCHAR*>(HeapAlloc(ProgramHeap, 0, (length + 1) * sizeof(WCHAR)));
    if (!slot || !buffer) {
        FreeText(buffer);
        return;
    }
    buffer[0] = 0;
    GetWindowTextW(InputRequesterState.inputField, buffer, length + 1);
    *slot = buffer;
}

LRESULT CALLBACK InputRequesterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == ConfirmCommand) {
            TakeTypedText(window);
            CloseDialog(window);
        } else if (LOWORD(wParam) == CancelCommand) {
            CloseDialog(window);
        }
        return 0;
    case WM_CLOSE:
        CloseDialog(window);
        return 0;
    case WM_SETFOCUS:
        // On activation the platform gives the keyboard to the dialog window
        // itself; the user's caret and selection live in the field. While the
        // window is still being created there is no field to hand it to.
        if (HWND field = GetDlgItem(window, InputFieldId))
            SetFocus(field);
        return 0;
    case WM_DESTROY:
        InputRequesterState.done = 1;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
