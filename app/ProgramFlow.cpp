#include "ProgramFlow.h"
#include "StringSupport.h"
#include "../exif/CommentBlock.h"
#include "../fileio/OutputFiles.h"
#include "../requesters/InputRequester.h"
#include "../requesters/NoticeRequester.h"

static const WCHAR DialogTitle[] = L"Comment to EXIF";
static const WCHAR DialogPrompt[] = L"Enter comment";
static const WCHAR PresetComment[] = L"This is comment";
static const WCHAR OutputFileName[] = L"my_exif.exif";
static const WCHAR WriteErrorTitle[] = L"Write error";
static const WCHAR WriteErrorText[] = L"it happens";

static const ObjectNumber CommentFile = 0;

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
