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
// under a name no longer than the output file's, so that it fits in every
// folder where that one does (Windows' path limit): "exif", four hex digits,
// ".tmp". The digits start from the process id, so that two instances saving
// at once rarely meet, and step on past names that are taken already (by the
// other instance, or a leftover of a killed run).
static const WCHAR PartFileName[] = L"exif0000.tmp";
static_assert(sizeof PartFileName <= sizeof OutputFileName,
              "the new file's name fits wherever the output file's does");
const int PartDigitsOffset = 4;  // 4 hex digits
const DWORD AttemptLimit = 256;

// Other programs open files for a moment all the time (the search indexer, a
// virus scanner, a sync client, a viewer): a replace or removal refused
// meanwhile is tried again after a pause that doubles each time, 15, 30, 60,
// ... 960 ms: seven pauses, 1,905 ms in all.
const DWORD FirstPause = 15;   // ms
const DWORD LastPause = 960;   // ms

static void PutHexDigits(WCHAR* at, DWORD value, int digits)
{
    while (digits--) {
        at[digits] = L"0123456789ABCDEF"[value & 15];
        value >>= 4;
    }
}

// Creates the new file under a name that nothing has yet. Never opens an
// existing file. Returns 0 once it is made, otherwise why none was.
static DWORD CreatePartFile(WCHAR* name)
{
    memcpy(name, PartFileName, sizeof PartFileName);
    DWORD first = GetCurrentProcessId();
    for (DWORD attempt = 0; attempt < AttemptLimit; ++attempt) {
        PutHexDigits(name + PartDigitsOffset, first + attempt, 4);
        if (CreateNewOutputFile(CommentFile, name))
            return ERROR_SUCCESS;
        // A name nothing holds failed for another reason: the directory
        // takes no new file.
        DWORD error = GetLastError();
        if (GetFileAttributesW(name) == INVALID_FILE_ATTRIBUTES)
            return error;
    }
    return ERROR_FILE_EXISTS;
}

// Whether the refusal that just came may pass: a file held by another program
// may be let go; a directory or a read-only file in the way never gives.
static bool MayPass(const WCHAR* inTheWay)
{
    DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return true;
    if (error != ERROR_ACCESS_DENIED)
        return false;
    DWORD attributes = GetFileAttributesW(inTheWay);
    return attributes == INVALID_FILE_ATTRIBUTES ||
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
}

typedef BOOL(WINAPI* PartFileOperation)(const WCHAR* partName);

static BOOL WINAPI MovePartIntoPlace(const WCHAR* partName)
{
    return MoveFileExW(partName, OutputFileName, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// Does operation on the new file, waiting out refusals that may pass. The
// first try makes no other call.
static bool Patiently(PartFileOperation operation, const WCHAR* partName, const WCHAR* inTheWay)
{
    for (DWORD pause = FirstPause; !operation(partName); pause *= 2) {
        if (pause > LastPause || !MayPass(inTheWay))
            return false;
        Sleep(pause);
    }
    return true;
}

// Writes the comment into the file just opened as file CommentFile and has
// it reach the disk; whether all of it did.
static bool WriteComment(const WCHAR* comment)
{
    WriteCommentBlock(CommentFile, comment);
    return CommitOutputFile(CommentFile);
}

// The earlier comment file is replaced in one step, and only once the whole
// new one is on the disk: after any failure it is exactly as it was, and the
// new file is gone again. Where the folder takes no new file, or the earlier
// file can't be replaced (a reader shares writing but not removal, the user
// may write it but not remove it), the comment is written into the file
// itself, which is then given the new length before anything is written.
static bool SaveComment(const WCHAR* comment)
{
    WCHAR partName[ARRAYSIZE(PartFileName)];
    DWORD refusal = CreatePartFile(partName);
    if (refusal == ERROR_SUCCESS) {
        bool written = WriteComment(comment);
        if (written && Patiently(MovePartIntoPlace, partName, OutputFileName))
            return true;
        Patiently(DeleteFileW, partName, partName);
        // After a failed write the earlier file is never touched.
        if (!written)
            return false;
    } else if (refusal != ERROR_ACCESS_DENIED) {
        return false;
    }
    return OpenOutputFileInPlace(CommentFile, OutputFileName, CommentBlockSize(comment)) &&
           WriteComment(comment);
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
