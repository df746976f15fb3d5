#pragma once
#include <windows.h>

// Asks for the comment and, unless the answer is empty, writes it to
// "my_exif.exif" in the current directory, replacing an earlier file only once
// the new one is complete on the disk. When that fails the user is told so and
// the earlier file stays as it was. Returns the comment (a string of the
// string support, empty when the user gave none).
WCHAR* RunCommentExport();
