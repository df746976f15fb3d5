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

WCHAR* NewString(const WCHAR* text)
{
    if (!text)
        text = EmptyString;
    SIZE_T bytes = (wcslen(text) + 1) * sizeof(WCHAR);
    WCHAR* copy = static_cast<WCHAR*>(HeapAlloc(StringHeap, 0, bytes));
    if (!copy)
        return EmptyString;
    memcpy(copy, text, bytes);
    return copy;
}

bool IsEmptyString(const WCHAR* text)
{
    return !text || !text[0];
}
