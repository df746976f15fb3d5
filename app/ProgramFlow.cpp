#include "ProgramFlow.h"
#include "StringSupport.h"
#include "../exif/CommentBlock.h"
#include "../fileio/OutputFiles.h"
#include "../requesters/InputRequester.h"
#include "../requesters/NoticeRequester.h"

const WCHAR DialogTitle[] = L"Comment to EXIF";
const WCHAR DialogPrompt[] = L"Enter comment";
const WCHAR PresetComment[] = L"This is comment";
const WCHAR OutputFileName[] = L"my_exif.exif";
const WCHAR WriteErrorTitle[] = L"Write error";
const WCHAR WriteErrorText[] = L"it happens";

const ObjectNumber CommentFile = 0;

WCHAR* RunCommentExport()
{
    WCHAR* comment = InputRequester(DialogTitle, DialogPrompt, PresetComment, 0);
    if (IsEmptyString(comment))
        return comment;
    bool written = CreateOutputFile(CommentFile, OutputFileName) != 0;
    if (written) {
        WriteCommentBlock(CommentFile, comment);
        written = CloseOutputFile(CommentFile) != 0;
    }
    if (!written)
        NoticeRequester(WriteErrorTitle, WriteErrorText, 0);
    return comment;
}
