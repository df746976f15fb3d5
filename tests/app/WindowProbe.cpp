// A second Wine process for the end-to-end tests, doing what X tools can't:
//   WindowProbe controls CAPTION     one line per child control of the top-level
//                                    window CAPTION: class, id, visible (0/1),
//                                    icon shown (0/1), text length in UTF-16
//                                    units, text (UTF-8);
//                                    exit 1 if there is no such window
//   WindowProbe geometry CAPTION     the window's outer rectangle on screen
//                                    (left top right bottom) and the screen
//                                    position of its client area (x y)
//   WindowProbe pid CAPTION          the process id of the window's process
//   WindowProbe hold PATH FLAG [SHARING]
//                                    opens PATH, creates FLAG once it holds it,
//                                    and lets go when FLAG is deleted (or the
//                                    process is killed). Without SHARING: for
//                                    reading and writing with share mode 0,
//                                    made if missing. SHARING "read" (a viewer)
//                                    or "read+write" (a virus scanner): for
//                                    reading, sharing that much, as soon as
//                                    PATH exists
#include <windows.h>
#include <string>

static void Print(const std::wstring& line)
{
    std::wstring text = line + L"\n";
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], size, nullptr,
                        nullptr);
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), size, &written, nullptr);
}

// WM_GETTEXT, unlike GetWindowTextW, reads a control of another process.
static BOOL CALLBACK PrintControl(HWND control, LPARAM)
{
    wchar_t className[64] = L"";
    GetClassNameW(control, className, 64);
    LRESULT length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(length + 1, L'\0');
    text.resize(SendMessageW(control, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0])));
    bool visible = IsWindowVisible(control);
    bool icon = visible && SendMessageW(control, STM_GETICON, 0, 0);
    Print(std::wstring(className) + L"\t" + std::to_wstring(GetDlgCtrlID(control)) + L"\t" +
          (visible ? L"1\t" : L"0\t") + (icon ? L"1\t" : L"0\t") + std::to_wstring(length) + L"\t" + text);
    return TRUE;
}

static int Hold(const wchar_t* path, const wchar_t* flag, const wchar_t* sharing)
{
    HANDLE file;
    if (!sharing) {
        file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return 1;
    } else {
        DWORD share = FILE_SHARE_READ | (std::wstring(sharing) == L"read+write" ? FILE_SHARE_WRITE : 0);
        while ((file = CreateFileW(path, GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) ==
               INVALID_HANDLE_VALUE)
            Sleep(1);
    }
    CloseHandle(CreateFileW(flag, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    while (GetFileAttributesW(flag) != INVALID_FILE_ATTRIBUTES)
        Sleep(50);
    CloseHandle(file);
    return 0;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wstring(argv[1]) == L"controls") {
        HWND window = FindWindowW(nullptr, argv[2]);
        if (!window)
            return 1;
        EnumChildWindows(window, PrintControl, 0);
        return 0;
    }
    if (argc == 3 && std::wstring(argv[1]) == L"geometry") {
        HWND window = FindWindowW(nullptr, argv[2]);
        RECT outer;
        POINT client = {0, 0};
        if (!window || !GetWindowRect(window, &outer) || !ClientToScreen(window, &client))
            return 1;
        Print(std::to_wstring(outer.left) + L" " + std::to_wstring(outer.top) + L" " +
              std::to_wstring(outer.right) + L" " + std::to_wstring(outer.bottom) + L" " +
              std::to_wstring(client.x) + L" " + std::to_wstring(client.y));
        return 0;
    }
    if (argc == 3 && std::wstring(argv[1]) == L"pid") {
        DWORD process = 0;
        HWND window = FindWindowW(nullptr, argv[2]);
        if (!window || !GetWindowThreadProcessId(window, &process))
            return 1;
        Print(std::to_wstring(process));
        return 0;
    }
    if ((argc == 4 || argc == 5) && std::wstring(argv[1]) == L"hold")
        return Hold(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    return 2;
}
