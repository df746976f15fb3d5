#pragma once
#include <windows.h>

// The program's private heap. The file layer and the requesters take all their
// memory from it; the entry routine creates it at start-up and destroys it last.
extern HANDLE ProgramHeap;
