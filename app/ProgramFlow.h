#pragma once
#include <windows.h>

// The fixed texts of the program.
extern const WCHAR DialogTitle[];
extern const WCHAR DialogPrompt[];
extern const WCHAR PresetComment[];
extern const WCHAR OutputFileName[];
extern const WCHAR WriteErrorTitle[];
extern const WCHAR WriteErrorText[];

// Asks for the comment and, unless the answer is empty, writes it to
// "my_exif.exif" in the current directory. When the file can't be created or
// written completely the user is told so. Returns the comment (a string of
// the string support, empty when nothing was written).
WCHAR* RunCommentExport();
