#include "CommentBlock.h"
#include "ByteOrder.h"
#include "../fileio/OutputFiles.h"
#include <wchar.h>

const BYTE ExifCommentTemplate[ExifCommentTemplateSize] = {
    0x4D, 0x4D, 0x00, 0x2A,  0x00, 0x00, 0x00, 0x08,  // "MM", 42, IFD0 at 8
    0x00, 0x01,                                       // IFD0: one entry
    0x87, 0x69, 0x00, 0x04,  0x00, 0x00, 0x00, 0x01,  //   ExifIFDPointer, LONG, count 1
    0x00, 0x00, 0x00, 0x1A,                           //   Exif IFD at 26
    0x00, 0x00, 0x00, 0x00,                           // IFD0: no next IFD
    0x00, 0x01,                                       // Exif IFD: one entry
    0x92, 0x86, 0x00, 0x07,                           //   UserComment, UNDEFINED
};

const BYTE ExifCommentTail[ExifCommentTailSize] = {
    0x00, 0x00, 0x00, 0x2C,                           //   value at 44
    0x00, 0x00, 0x00, 0x00,                           // Exif IFD: no next IFD
    0x55, 0x4E, 0x49, 0x43,  0x4F, 0x44, 0x45, 0x00,  // character code "UNICODE\0"
};

static LONG CommentUnits(const WCHAR* comment)
{
    return comment ? static_cast<LONG>(wcslen(comment)) : 0;
}

LONG CommentBlockSize(const WCHAR* comment)
{
    return ExifCommentTextOffset + 2 * CommentUnits(comment);
}

void WriteCommentBlock(ObjectNumber number, const WCHAR* comment)
{
    // The comment does not change while it is written: its length is taken once.
    LONG units = CommentUnits(comment);
    WriteBlock(number, ExifCommentTemplate, ExifCommentTemplateSize);
    WriteUInt32(number, SwapBytes32(2 * units + 8));
    WriteBlock(number, ExifCommentTail, ExifCommentTailSize);
    for (LONG i = 0; i < units; ++i)
        WriteUInt16(number, SwapBytes16(comment[i]));
}
