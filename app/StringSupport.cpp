#include "StringSupport.h"
#include <string.h>
#include <wchar.h>

HANDLE StringHeap;
static bool OwnHeap;
static WCHAR EmptyString[1];

void StartStringSupport()
{
    StringHeap = HeapCreate(0, 4096, 0);
    OwnHeap = StringHeap != NULL;
    if (!OwnHeap)
        StringHeap = GetProcessHeap();
}

void StopStringSupport()
{
    if (OwnHeap)
        HeapDestroy(StringHeap);
    StringHeap = NULL;
    OwnHeap = false;
}

WCHAR* CopyStringToHeap(HANDLE heap, const WCHAR* text)
{
    if (!text)
        return NULL;
    SIZE_T bytes = (wcslen(text) + 1) * sizeof(WCHAR);
    WCHAR* copy = static_cast<WCHAR*>(HeapAlloc(heap, 0, bytes));
    if (copy)
        memcpy(copy, text, bytes);
    return copy;
}

WCHAR* NewString(const WCHAR* text)
{
    WCHAR* copy = CopyStringToHeap(StringHeap, text ? text : EmptyString);
    return copy ? copy : EmptyString;
}

bool IsEmptyString(const WCHAR* text)
{
    return !text || !text[0];
}
