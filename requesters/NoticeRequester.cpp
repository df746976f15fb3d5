#include "NoticeRequester.h"
#include "RequesterModality.h"

int NoticeRequester(const WCHAR* title, const WCHAR* text, UINT flags)
{
    BeginRequesterModality();
    int result = MessageBoxW(FindOwnerWindow(), text, title, flags);
    EndRequesterModality();
    return result;
}
