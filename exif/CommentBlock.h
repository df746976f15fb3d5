#pragma once
#include <windows.h>
#include "../fileio/ObjectRegistry.h"

// A bare big-endian TIFF structure: IFD0 with one pointer to an Exif IFD whose
// only entry is UserComment, character code "UNICODE", text UTF-16BE.
// The file is 52 + 2n bytes for a comment of n UTF-16 code units.
const LONG ExifCommentTemplateSize = 32;   // file offsets 0..31
const LONG ExifCommentTailSize = 16;       // file offsets 36..51
const LONG ExifCommentCountOffset = 32;    // the one computed field, between the two
const LONG ExifCommentTextOffset = 52;

extern const BYTE ExifCommentTemplate[ExifCommentTemplateSize];
extern const BYTE ExifCommentTail[ExifCommentTailSize];

// The block's size in bytes for comment; a missing comment counts as empty.
LONG CommentBlockSize(const WCHAR* comment);

// Writes the whole block to an open file of the file layer. A missing comment
// counts as empty. Write failures are left for the file's close to report.
void WriteCommentBlock(ObjectNumber number, const WCHAR* comment);
