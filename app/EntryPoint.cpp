// The executable's own entry point: no C or C++ runtime start-up runs before it.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include "DllSearch.h"
#include "ProgramFlow.h"
#include "StringSupport.h"
#include "../fileio/OutputFiles.h"
#include "../fileio/ProgramHeap.h"
#include "../requesters/InputRequester.h"

// The controls the version 6 common controls should be ready to draw.
const DWORD CommonControlClasses = ICC_TAB_CLASSES | ICC_HOTKEY_CLASS | ICC_DATE_CLASSES |
                                   ICC_USEREX_CLASSES | ICC_INTERNET_CLASSES;

extern "C" void WINAPI EntryPoint()
{
    // Before anything can load a DLL by name.
    RestrictDllSearchToSystemFolder();
    ProgramInstance = GetModuleHandleW(NULL);
    // Without a heap of its own the program still works, on the process heap,
    // which it must then leave alone at exit.
    HANDLE ownHeap = HeapCreate(0, 4096, 0);
    ProgramHeap = ownHeap ? ownHeap : GetProcessHeap();
    StartStringSupport();
    InitOutputFiles();
    INITCOMMONCONTROLSEX controls = {sizeof controls, CommonControlClasses};
    InitCommonControlsEx(&controls);
    CoInitialize(NULL);

    RunCommentExport();

    CloseAllOutputFiles();
    StopStringSupport();
    if (ownHeap)
        HeapDestroy(ownHeap);
    ExitProcess(0);
}
