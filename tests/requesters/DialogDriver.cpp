#include "DialogDriver.h"
#include "app/StringSupport.h"
#include "requesters/InputRequester.h"
#include "requesters/NoticeRequester.h"
#include <vector>

namespace {

std::function<void(HWND)> PendingAction;
const WCHAR* AwaitedClass;
int Ticks;

void CALLBACK ActWhenWindowExists(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND window = FindWindowW(AwaitedClass, nullptr);
    if (window && IsWindowVisible(window)) {
        KillTimer(nullptr, timer);
        PendingAction(window);
    } else if (++Ticks > 500) {
        KillTimer(nullptr, timer);
        PostQuitMessage(99);
    }
}

void Arm(const WCHAR* windowClass, const std::function<void(HWND)>& act)
{
    PendingAction = act;
    AwaitedClass = windowClass;
    Ticks = 0;
    SetTimer(nullptr, 0, 10, ActWhenWindowExists);
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
    return InputRequester(title, prompt, defaultText, flags);
}

int RunNoticeRequester(const std::function<void(HWND)>& act, const WCHAR* title, const WCHAR* text)
{
    Arm(L"#32770", act);
    return NoticeRequester(title, text);
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
