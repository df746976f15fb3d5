#pragma once
#include <windows.h>
#include "ObjectRegistry.h"

// One open output file, kept in FileRegistry. The handle is the record's
// liveness word, so it comes first.
struct OutputFile {
    HANDLE handle;
    BYTE* buffer;       // null: the file is written unbuffered
    LONG bufferSize;
    LONG freeBytes;     // free bytes at the end of buffer once writing has begun
    LONG fresh;         // 1 until the first write through the buffer
    LONG writeFailed;   // 1 once any WriteFile of this file failed or wrote short
};

// Size of the buffer each new file receives; 0 would make unbuffered files.
extern LONG FileBufferSize;
extern ObjectRegistry* FileRegistry;

void InitOutputFiles();

// Creates or truncates path under number (a slot number, or AutoNumber).
// A file already open under number is flushed and closed first. Returns 0 on
// failure, else the handle for a slot number or the new identity for AutoNumber.
INT_PTR CreateOutputFile(ObjectNumber number, const WCHAR* path);

// As CreateOutputFile, but only ever makes a new file: when path exists
// already it fails (result 0) without opening, truncating or changing it.
INT_PTR CreateNewOutputFile(ObjectNumber number, const WCHAR* path);

// Opens the existing file at path as CreateOutputFile does, but to be written
// over in place: it is never made nor truncated. It is given length bytes at
// once, growing or shrinking, and is written from its start. Returns as
// CreateOutputFile; 0 also when the file can't take that length (a full disk),
// and then the file is as it was.
INT_PTR OpenOutputFileInPlace(ObjectNumber number, const WCHAR* path, LONG length);

// Append bytes; each returns the count taken (0 when nothing was done).
LONG WriteBlock(ObjectNumber number, const void* data, LONG length);
LONG WriteUInt32(ObjectNumber number, LONG value);   // native (little-endian) order
LONG WriteUInt16(ObjectNumber number, LONG value);   // low 16 bits, native order

// Flushes and closes one file; AutoNumber closes every open file. Returns 1
// when the file was open and everything written to it reached the disk, 0
// otherwise (no such file, or a write failed or wrote short).
LONG CloseOutputFile(ObjectNumber number);

// Closes one file as CloseOutputFile does, but has the system write the file's
// data to the disk (FlushFileBuffers) before the handle is closed. Returns 1
// when every write and that flush succeeded, 0 otherwise.
LONG CommitOutputFile(ObjectNumber number);

// Closes every open file: numbered ones in ascending order, then auto-numbered
// ones oldest first.
void CloseAllOutputFiles();
