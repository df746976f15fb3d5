#include "DialogDriver.h"
#include "TestSupport.h"
#include "fileio/ProgramHeap.h"
#include "requesters/NoticeRequester.h"
#include "requesters/RequesterModality.h"
#include <gtest/gtest.h>
#include <thread>

namespace {

bool IsTopmost(HWND window)
{
    return GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST;
}

int RecordsOfThread(DWORD threadId)
{
    int count = 0;
    for (LinkedBlock* block = SuspendedWindowList; block; block = block->next)
        count += static_cast<SuspendedWindow*>(LinkedBlockPayload(block))->threadId == threadId;
    return count;
}

const DWORD Visible = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

// A thread with a visible topmost window of its own, which can be asked to
// suspend its windows and later to restore them.
struct OtherThread {
    HWND window = nullptr;
    DWORD id = 0;
    HANDLE ready = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::thread thread;
    OtherThread()
        : thread([this] {
              window = MakeWindow(Visible, WS_EX_TOPMOST);
              id = GetCurrentThreadId();
              MSG message;
              PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
              SetEvent(ready);
              while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                  if (message.message == WM_APP)
                      BeginRequesterModality();
                  else if (message.message == WM_APP + 1)
                      EndRequesterModality();
                  else
                      DispatchMessageW(&message);
                  if (message.message >= WM_APP)
                      SetEvent(ready);
              }
              DestroyWindow(window);
          })
    {
        WaitForSingleObject(ready, 5000);
    }
    void Ask(UINT request)
    {
        PostThreadMessageW(id, request, 0, 0);
        WaitForSingleObject(ready, 5000);
    }
    ~OtherThread()
    {
        PostThreadMessageW(id, WM_QUIT, 0, 0);
        thread.join();
        CloseHandle(ready);
    }
};

} // namespace

TEST(RequesterModality, OnlyTheCallingThreadsVisibleWindowsAreSuspendedAndEachIsRestoredAsItWas)
{
    OtherThread other;
    other.Ask(WM_APP);  // another thread's records share the list; its window is its own
    HWND foreground = MakeWindow(Visible, WS_EX_TOPMOST);
    HWND plain = MakeWindow(Visible);
    HWND disabled = MakeWindow(Visible | WS_DISABLED);
    HWND topmost = MakeWindow(Visible, WS_EX_TOPMOST);
    HWND hidden = MakeWindow(WS_OVERLAPPEDWINDOW);
    SetForegroundWindow(foreground);
    ASSERT_EQ(GetForegroundWindow(), foreground);
    DWORD self = GetCurrentThreadId();

    BeginRequesterModality();
    EXPECT_EQ(RecordsOfThread(self), 4);
    EXPECT_TRUE(IsWindowEnabled(foreground));  // left for the requester's owner hold
    EXPECT_FALSE(IsTopmost(foreground));
    EXPECT_FALSE(IsWindowEnabled(plain));
    EXPECT_FALSE(IsWindowEnabled(disabled));
    EXPECT_FALSE(IsWindowEnabled(topmost));
    EXPECT_FALSE(IsTopmost(topmost));
    EXPECT_TRUE(IsWindowEnabled(hidden));
    ShowWindow(hidden, SW_SHOWNA);  // shown while the requester is up: never suspended

    EndRequesterModality();
    EXPECT_EQ(RecordsOfThread(self), 0);
    EXPECT_EQ(RecordsOfThread(other.id), 1);
    EXPECT_TRUE(IsWindowEnabled(foreground));
    EXPECT_TRUE(IsTopmost(foreground));
    EXPECT_TRUE(IsWindowEnabled(plain));
    EXPECT_FALSE(IsTopmost(plain));
    EXPECT_FALSE(IsWindowEnabled(disabled));  // it was disabled before
    EXPECT_TRUE(IsWindowEnabled(topmost));
    EXPECT_TRUE(IsTopmost(topmost));
    EXPECT_TRUE(IsWindowEnabled(hidden));
    EXPECT_FALSE(IsTopmost(other.window));  // still as its own thread left it
    other.Ask(WM_APP + 1);
    EXPECT_EQ(SuspendedWindowList, nullptr);
    EXPECT_TRUE(IsTopmost(other.window));

    for (HWND window : {foreground, plain, disabled, topmost, hidden})
        DestroyWindow(window);
    BeginRequesterModality();  // no visible windows left: nothing recorded
    EXPECT_EQ(SuspendedWindowList, nullptr);
    EndRequesterModality();
}

TEST(RequesterModality, AWindowWhoseRecordCannotBeAllocatedIsLeftUntouched)
{
    HWND foreground = MakeWindow(Visible);
    HWND plain = MakeWindow(Visible, WS_EX_TOPMOST);
    SetForegroundWindow(foreground);
    {
        ScopedProgramHeap small(64 * 1024);
        ExhaustHeap(ProgramHeap);
        BeginRequesterModality();
        EXPECT_EQ(SuspendedWindowList, nullptr);
        EXPECT_TRUE(IsWindowEnabled(plain));
        EXPECT_TRUE(IsTopmost(plain));
        EndRequesterModality();
    }
    DestroyWindow(plain);
    DestroyWindow(foreground);
}

TEST(NoticeRequester, ShowsOneOkButtonWithoutIconOwnedByThisProcessesForegroundWindow)
{
    HWND foreground = MakeWindow(Visible);
    HWND plain = MakeWindow(Visible);
    SetForegroundWindow(foreground);
    HWND owner = nullptr;
    std::wstring caption, text;
    int buttons = 0, icons = 0;
    BOOL plainEnabled = TRUE;
    int result = RunNoticeRequester(
        [&](HWND box) {
            owner = GetWindow(box, GW_OWNER);
            caption = WindowText(box);
            plainEnabled = IsWindowEnabled(plain);
            for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                WCHAR name[32];
                GetClassNameW(child, name, 32);
                LONG style = GetWindowLongW(child, GWL_STYLE);
                if (!lstrcmpiW(name, L"Button") && (style & WS_VISIBLE))
                    ++buttons;
                if (!lstrcmpiW(name, L"Static") && (style & SS_TYPEMASK) == SS_ICON &&
                    SendMessageW(child, STM_GETICON, 0, 0))
                    ++icons;
                if (!lstrcmpiW(name, L"Static") && WindowText(child) == L"it happens")
                    text = WindowText(child);
            }
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        },
        L"Write error", L"it happens");
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(owner, foreground);
    EXPECT_EQ(caption, L"Write error");
    EXPECT_EQ(text, L"it happens");
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(icons, 0);
    EXPECT_FALSE(plainEnabled);
    EXPECT_TRUE(IsWindowEnabled(plain));
    EXPECT_EQ(SuspendedWindowList, nullptr);
    DestroyWindow(plain);
    DestroyWindow(foreground);
}
