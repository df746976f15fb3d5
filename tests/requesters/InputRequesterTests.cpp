#include "DialogDriver.h"
#include "TestSupport.h"
#include "fileio/ProgramHeap.h"
#include "requesters/InputRequester.h"
#include <gtest/gtest.h>

namespace {

struct Observed {
    std::wstring className, caption, prompt, field, button;
    RECT dialog{}, promptRect{}, fieldRect{}, buttonRect{};
    LONG dialogStyle = 0, dialogExStyle = 0, promptStyle = 0, fieldStyle = 0, fieldExStyle = 0, buttonStyle = 0;
    HFONT fonts[3]{};
    DWORD selection[2]{};
    bool fieldHasFocus = false;
};

Observed Observe(HWND dialog)
{
    Observed seen;
    WCHAR name[64];
    GetClassNameW(dialog, name, 64);
    seen.className = name;
    seen.caption = WindowText(dialog);
    seen.dialog = PlacementOf(dialog);
    seen.dialogStyle = GetWindowLongW(dialog, GWL_STYLE);
    seen.dialogExStyle = GetWindowLongW(dialog, GWL_EXSTYLE);
    HWND prompt = FindWindowExW(dialog, nullptr, L"Static", nullptr);
    HWND field = GetDlgItem(dialog, InputFieldId);
    HWND button = GetDlgItem(dialog, ConfirmCommand);
    seen.prompt = WindowText(prompt);
    seen.field = WindowText(field);
    seen.button = WindowText(button);
    seen.promptRect = PlacementOf(prompt);
    seen.fieldRect = PlacementOf(field);
    seen.buttonRect = PlacementOf(button);
    seen.promptStyle = GetWindowLongW(prompt, GWL_STYLE);
    seen.fieldStyle = GetWindowLongW(field, GWL_STYLE);
    seen.fieldExStyle = GetWindowLongW(field, GWL_EXSTYLE);
    seen.buttonStyle = GetWindowLongW(button, GWL_STYLE);
    HWND controls[] = {prompt, field, button};
    for (int i = 0; i < 3; ++i)
        seen.fonts[i] = reinterpret_cast<HFONT>(SendMessageW(controls[i], WM_GETFONT, 0, 0));
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&seen.selection[0]),
                 reinterpret_cast<LPARAM>(&seen.selection[1]));
    seen.fieldHasFocus = GetFocus() == field;
    return seen;
}

bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

HWND Field(HWND dialog) { return GetDlgItem(dialog, InputFieldId); }

class InputRequesterTest : public testing::Test {
protected:
    HWND owner = nullptr;
    void TearDown() override
    {
        if (owner)
            DestroyWindow(owner);
    }
    // A visible window of this thread in the foreground: the dialog's owner.
    void MakeOwner()
    {
        owner = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        SetForegroundWindow(owner);
    }
};

} // namespace

TEST_F(InputRequesterTest, DialogShowsCentredWithItsControlsInPlaceAndThePresetReadyToExtend)
{
    Observed seen;
    std::wstring result = RunInputRequester([&](HWND dialog) {
        seen = Observe(dialog);
        PressKey(Field(dialog), VK_RETURN);
    });
    EXPECT_EQ(result, L"This is comment");

    int x = GetSystemMetrics(SM_CXSCREEN) / 2 - 150, y = GetSystemMetrics(SM_CYSCREEN) / 2 - 65;
    EXPECT_EQ(seen.className, L"InputRequester");
    EXPECT_EQ(seen.caption, L"Comment to EXIF");
    EXPECT_TRUE(seen.dialog == (RECT{x, y, x + 300, y + 130}));
    // The platform adds clipping and the caption's edge to every captioned top-level window.
    EXPECT_EQ(seen.dialogStyle & ~WS_CLIPSIBLINGS, 0x10C80000);
    EXPECT_EQ(seen.dialogExStyle & ~WS_EX_WINDOWEDGE, 0);

    EXPECT_EQ(seen.prompt, L"Enter comment");
    EXPECT_TRUE(seen.promptRect == (RECT{10, 10, 290, 32}));
    EXPECT_EQ(seen.promptStyle, 0x5000000B);
    EXPECT_TRUE(seen.fieldRect == (RECT{10, 32, 285, 53}));
    EXPECT_EQ(seen.fieldStyle, 0x50010080);
    EXPECT_EQ(seen.fieldExStyle, WS_EX_CLIENTEDGE);
    EXPECT_EQ(seen.button, L"OK");
    EXPECT_TRUE(seen.buttonRect == (RECT{110, 67, 190, 92}));
    EXPECT_EQ(seen.buttonStyle, 0x50010001);
    for (HFONT font : seen.fonts)
        EXPECT_EQ(font, GetStockObject(DEFAULT_GUI_FONT));

    EXPECT_EQ(seen.field, L"This is comment");
    EXPECT_EQ(seen.selection[0], 15u);  // caret after the preset, nothing selected
    EXPECT_EQ(seen.selection[1], 15u);
    EXPECT_TRUE(seen.fieldHasFocus);

    WNDCLASSEXW gone{};
    gone.cbSize = sizeof gone;
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), L"InputRequester", &gone));
    EXPECT_EQ(FindWindowW(L"InputRequester", nullptr), nullptr);
}

TEST_F(InputRequesterTest, EnterAndOkConfirmWhileEscapeCloseAndAnEmptyFieldGiveTheEmptyResult)
{
    auto typeAndEnter = [](HWND dialog) {
        PostMessageW(Field(dialog), WM_CHAR, L'\u00e9', 1);
        PostMessageW(Field(dialog), WM_CHAR, L'!', 1);
        PressKey(Field(dialog), VK_RETURN);
    };
    EXPECT_EQ(RunInputRequester(typeAndEnter), L"This is comment\u00e9!");
    EXPECT_EQ(RunInputRequester([](HWND d) { SendMessageW(GetDlgItem(d, ConfirmCommand), BM_CLICK, 0, 0); }),
              L"This is comment");
    EXPECT_EQ(RunInputRequester([](HWND d) {
                  HWND button = GetDlgItem(d, ConfirmCommand);
                  SetFocus(button);
                  PressKey(button, VK_RETURN);  // Enter confirms wherever the focus stands
              }),
              L"This is comment");
    EXPECT_EQ(RunInputRequester([](HWND d) { PressKey(Field(d), VK_ESCAPE); }), L"");
    EXPECT_EQ(RunInputRequester([](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }), L"");
    EXPECT_EQ(RunInputRequester([](HWND d) {
                  SetWindowTextW(Field(d), L"");
                  PressKey(Field(d), VK_RETURN);
              }),
              L"");

    // The keyboard stays with the field: Tab does not move it, and the focus
    // that activation gives the dialog window goes on to the field, whose
    // selection is kept.
    bool focusStayed = false, focusCameBack = false;
    DWORD selection[2] = {};
    EXPECT_EQ(RunInputRequester([&](HWND d) {
                  PressKey(Field(d), VK_TAB);  // no dialog-style keyboard handling
                  Later([&, d] {
                      focusStayed = GetFocus() == Field(d);
                      SendMessageW(Field(d), EM_SETSEL, 3, 7);
                      SetFocus(d);
                      focusCameBack = GetFocus() == Field(d);
                      SendMessageW(Field(d), EM_GETSEL, reinterpret_cast<WPARAM>(&selection[0]),
                                   reinterpret_cast<LPARAM>(&selection[1]));
                      PressKey(Field(d), VK_ESCAPE);
                  });
              }),
              L"");
    EXPECT_TRUE(focusStayed);
    EXPECT_TRUE(focusCameBack);
    EXPECT_EQ(selection[0], 3u);
    EXPECT_EQ(selection[1], 7u);
}

TEST_F(InputRequesterTest, MaskedInputShowsMaskingCharactersAndReturnsTheClearText)
{
    LONG style = 0, plainStyle = 0;
    LRESULT maskChar = 0;
    EXPECT_EQ(RunInputRequester(
                  [&](HWND d) {
                      style = GetWindowLongW(Field(d), GWL_STYLE);
                      maskChar = SendMessageW(Field(d), EM_GETPASSWORDCHAR, 0, 0);
                      PressKey(Field(d), VK_RETURN);
                  },
                  L"t", L"p", L"secret", 1),
              L"secret");
    EXPECT_TRUE(style & ES_PASSWORD);
    EXPECT_NE(maskChar, 0);
    RunInputRequester([&](HWND d) { plainStyle = GetWindowLongW(Field(d), GWL_STYLE); PressKey(Field(d), VK_ESCAPE); },
                      L"t", L"p", L"x", 2);
    EXPECT_FALSE(plainStyle & ES_PASSWORD);

    std::wstring caption = L"?", field = L"?";
    RunInputRequester([&](HWND d) { caption = WindowText(d); field = WindowText(Field(d)); PressKey(Field(d), VK_ESCAPE); },
                      nullptr, nullptr, nullptr);
    EXPECT_EQ(caption, L"");
    EXPECT_EQ(field, L"");
}

TEST_F(InputRequesterTest, TheOwnerIsHeldWhileTheDialogIsUpAndEnabledBeforeItsWindowGoes)
{
    MakeOwner();
    HWND other = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SetForegroundWindow(owner);
    static HWND dialogWhenEnabled;
    static WNDPROC ownerProc;
    dialogWhenEnabled = reinterpret_cast<HWND>(1);
    ownerProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_ENABLE && wp)
                dialogWhenEnabled = FindWindowW(L"InputRequester", nullptr);
            return CallWindowProcW(ownerProc, w, m, wp, lp);
        })));

    HWND dialogOwner = nullptr;
    BOOL ownerEnabled = TRUE, otherEnabled = TRUE;
    RunInputRequester([&](HWND d) {
        dialogOwner = GetWindow(d, GW_OWNER);
        ownerEnabled = IsWindowEnabled(owner);
        otherEnabled = IsWindowEnabled(other);
        PressKey(Field(d), VK_ESCAPE);
    });
    EXPECT_EQ(dialogOwner, owner);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_FALSE(otherEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_NE(dialogWhenEnabled, nullptr);  // the dialog still existed when its owner came back
    DestroyWindow(other);
}

TEST_F(InputRequesterTest, AQuitMessageCancelsTheDialogAndIsPostedAgain)
{
    MakeOwner();
    EXPECT_EQ(RunInputRequester([](HWND) { PostQuitMessage(7); }), L"");
    EXPECT_EQ(FindWindowW(L"InputRequester", nullptr), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner));
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
    EXPECT_EQ(RunInputRequester([](HWND d) { PressKey(Field(d), VK_RETURN); }), L"This is comment");
}

TEST_F(InputRequesterTest, EveryProgramHeapBlockTheDialogTakesIsReturned)
{
    MakeOwner();
    HWND other = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    RunInputRequester([](HWND d) { PressKey(Field(d), VK_ESCAPE); });  // first-call caches settle
    HeapCensus before = TakeHeapCensus(ProgramHeap);
    RunInputRequester([](HWND d) { PressKey(Field(d), VK_RETURN); });
    RunInputRequester([](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); });
    RunInputRequester([](HWND) { PostQuitMessage(0); });
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    HeapCensus after = TakeHeapCensus(ProgramHeap);
    EXPECT_EQ(after.blocks, before.blocks);
    EXPECT_EQ(after.bytes, before.bytes);
    DestroyWindow(other);
}

TEST_F(InputRequesterTest, WithoutMemoryForTheTypedTextTheResultIsEmpty)
{
    ScopedProgramHeap small(64 * 1024);
    EXPECT_EQ(RunInputRequester([](HWND d) {
                  ExhaustHeap(ProgramHeap);
                  PressKey(Field(d), VK_RETURN);
              }),
              L"");
    EXPECT_EQ(FindWindowW(L"InputRequester", nullptr), nullptr);
}
