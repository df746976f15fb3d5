#include "DialogDriver.h"
#include "app/StringSupport.h"
#include "requesters/InputRequester.h"
#include "requesters/NoticeRequester.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

std::function<void(HWND)> PendingAction;
const WCHAR* AwaitedClass;
HWND ActedOn;
int Ticks;
UINT_PTR WatchTimer;

// Every 10 ms: acts once the awaited window shows. A window that never shows,
// or is still up 5 s after the act, fails the test instead of hanging it.
void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD)
{
    if (!ActedOn) {
        HWND window = FindWindowW(AwaitedClass, nullptr);
        if (window && IsWindowVisible(window)) {
            ActedOn = window;
            Ticks = 0;
            PendingAction(window);
        } else if (++Ticks > 500) {
            KillTimer(nullptr, WatchTimer);
            PostQuitMessage(99);
        }
    } else if (++Ticks > 500 && IsWindow(ActedOn)) {
        KillTimer(nullptr, WatchTimer);
        ADD_FAILURE() << "the requester was still up 5 s after the test acted on it";
        DestroyWindow(ActedOn);
    }
}

void Arm(const WCHAR* windowClass, const std::function<void(HWND)>& act)
{
    PendingAction = act;
    AwaitedClass = windowClass;
    ActedOn = nullptr;
    Ticks = 0;
    WatchTimer = SetTimer(nullptr, 0, 10, Watch);
}

void Disarm()
{
    KillTimer(nullptr, WatchTimer);
}

std::vector<std::function<void()>> LaterSteps;

void CALLBACK RunLaterStep(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    std::function<void()> step = LaterSteps.front();
    LaterSteps.erase(LaterSteps.begin());
    step();
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

std::wstring RunInputRequester(const std::function<void(HWND)>& act, const WCHAR* title,
                               const WCHAR* prompt, const WCHAR* defaultText, UINT flags)
{
    ProgramInstance = GetModuleHandleW(nullptr);
    if (!StringHeap)
        StartStringSupport();
    Arm(L"InputRequester", act);
    std::wstring result = InputRequester(title, prompt, defaultText, flags);
    Disarm();
    return result;
}

int RunNoticeRequester(const std::function<void(HWND)>& act, const WCHAR* title, const WCHAR* text)
{
    Arm(L"#32770", act);
    int result = NoticeRequester(title, text);
    Disarm();
    return result;
}

void Later(const std::function<void()>& step)
{
    LaterSteps.push_back(step);
    SetTimer(nullptr, 0, 30, RunLaterStep);
}

void PressKey(HWND target, WPARAM key)
{
    UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, key, 1 | scan << 16);
    PostMessageW(target, WM_KEYUP, key, 1 | scan << 16 | 3u << 30);
}

HWND MakeWindow(DWORD style, DWORD exStyle)
{
    static ATOM plainClass = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = PlainWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"PlainTestWindow";
        return RegisterClassW(&windowClass);
    }();
    (void)plainClass;
    return CreateWindowExW(exStyle, L"PlainTestWindow", L"plain", style, 10, 10, 200, 100, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

std::wstring WindowText(HWND window)
{
    WCHAR text[512] = {};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

RECT PlacementOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    if (HWND parent = GetParent(window); parent && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
