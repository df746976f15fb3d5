#pragma once
#include <windows.h>

// Asks for the comment and, unless the answer is empty, writes it to
// "my_exif.exif" in the current directory. When the file can't be created or
// written completely the user is told so. Returns the comment (a string of
// the string support, empty when the user gave none).
WCHAR* RunCommentExport();
