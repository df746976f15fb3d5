// Prints the length, in UTF-16 units, of the text in the input field of the
// "Comment to EXIF" dialog of another process, or -1 when there is none.
// Lets the benchmark press Enter only once a paste has fully arrived.
#include <windows.h>
#include <stdio.h>

int main()
{
    HWND dialog = FindWindowW(NULL, L"Comment to EXIF");
    HWND field = dialog ? FindWindowExW(dialog, NULL, L"Edit", NULL) : NULL;
    printf("%ld\n", field ? static_cast<long>(SendMessageW(field, WM_GETTEXTLENGTH, 0, 0)) : -1L);
    return 0;
}
