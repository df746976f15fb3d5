// The start-up floor for the benchmark: the same manifest and the same start-up
// calls as CommentToExif, then nothing but one message box. Not product code.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

extern "C" void WINAPI FloorEntry()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, 0x0B48};
    InitCommonControlsEx(&controls);
    CoInitialize(NULL);
    MessageBoxW(NULL, L"floor", L"Start-up floor", MB_OK);
    ExitProcess(0);
}
