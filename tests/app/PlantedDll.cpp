// A stranger's DLL under a system DLL's name, put beside the test program: if
// anything loads it, its DllMain leaves a mark in the process's environment.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        SetEnvironmentVariableW(L"PLANTED_DLL_RAN", L"1");
    return TRUE;
}
