#include "ProgramFlow.h"
#include "StringSupport.h"
#include "../exif/CommentBlock.h"
#include "../fileio/OutputFiles.h"
#include "../requesters/InputRequester.h"
#include "../requesters/NoticeRequester.h"
#include <string.h>

static const WCHAR DialogTitle[] = L"Comment to EXIF";
static const WCHAR DialogPrompt[] = L"Enter comment";
static const WCHAR PresetComment[] = L"This is comment";
static const WCHAR OutputFileName[] = L"my_exif.exif";
static const WCHAR WriteErrorTitle[] = L"Write error";
static const WCHAR WriteErrorText[] = L"it happens";

static const ObjectNumber CommentFile = 0;

// The new comment is written to a file of its own beside the output file,
// named by this suffix to the output file's name: the process id keeps two
// instances saving at once apart, the attempt number steps past names that
// are taken already (a leftover of a killed run, say).
static const WCHAR PartFileSuffix[] = L".00000000-00.tmp";
const int OutputNameLength = ARRAYSIZE(OutputFileName) - 1;
const int ProcessIdOffset = OutputNameLength + 1;   // 8 hex digits
const int AttemptOffset = OutputNameLength + 10;    // 2 hex digits
const DWORD AttemptLimit = 256;

static void PutHexDigits(WCHAR* at, DWORD value, int digits)
{
    while (digits--) {
        at[digits] = L"0123456789ABCDEF"[value & 15];
        value >>= 4;
    }
}

// Creates the new file under a name that nothing has yet. Never opens an
// existing file.
static bool CreatePartFile(WCHAR* name)
{
    memcpy(name, OutputFileName, OutputNameLength * sizeof(WCHAR));
    memcpy(name + OutputNameLength, PartFileSuffix, sizeof PartFileSuffix);
    PutHexDigits(name + ProcessIdOffset, GetCurrentProcessId(), 8);
    for (DWORD attempt = 0; attempt < AttemptLimit; ++attempt) {
        PutHexDigits(name + AttemptOffset, attempt, 2);
        if (CreateNewOutputFile(CommentFile, name))
            return true;
        // A name nothing holds failed for another reason: the directory
        // takes no new file.
        if (GetFileAttributesW(name) == INVALID_FILE_ATTRIBUTES)
            return false;
    }
    return false;
}

// The earlier comment file is replaced in one step, and only once the whole
// new one is on the disk: after any failure it is exactly as it was, and the
// new file is gone again.
static bool SaveComment(const WCHAR* comment)
{
    WCHAR partName[OutputNameLength + ARRAYSIZE(PartFileSuffix)];
    if (!CreatePartFile(partName))
        return false;
    WriteCommentBlock(CommentFile, comment);
    if (CommitOutputFile(CommentFile) &&
        MoveFileExW(partName, OutputFileName, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(partName);
    return false;
}

WCHAR* RunCommentExport()
{
    WCHAR* comment = InputRequester(DialogTitle, DialogPrompt, PresetComment, 0);
    if (IsEmptyString(comment))
        return comment;
    if (!SaveComment(comment))
        NoticeRequester(WriteErrorTitle, WriteErrorText, 0);
    return comment;
}
