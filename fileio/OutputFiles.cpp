#include "OutputFiles.h"
#include "ProgramHeap.h"
#include <string.h>

LONG FileBufferSize = 4096;
ObjectRegistry* FileRegistry;

static LONG WriteThrough(OutputFile* file, const void* data, LONG length)
{
    DWORD written = 0;
    if (!WriteFile(file->handle, data, length, &written, NULL) ||
        written != static_cast<DWORD>(length))
        file->writeFailed = 1;
    return static_cast<LONG>(written);
}

// Writes the pending bytes; the buffer counts as empty afterwards whatever the
// system achieved.
static LONG FlushOutputFile(OutputFile* file)
{
    if (file->fresh)
        return 0;
    LONG written = WriteThrough(file, file->buffer, file->bufferSize - file->freeBytes);
    file->freeBytes = file->bufferSize;
    return written;
}

// Copies small writes with one move each; larger ones with memcpy.
static void CopyToBuffer(BYTE* target, const void* data, LONG length)
{
    switch (length) {
    case 1: memcpy(target, data, 1); break;
    case 2: memcpy(target, data, 2); break;
    case 4: memcpy(target, data, 4); break;
    default: memcpy(target, data, length); break;
    }
}

// The buffer never fills completely: a write that would fill it exactly is
// preceded by a flush.
static LONG BufferedWrite(OutputFile* file, const void* data, LONG length)
{
    if (file->fresh) {
        SetFilePointer(file->handle, -file->freeBytes, NULL, FILE_CURRENT);
        file->fresh = 0;
        file->freeBytes = file->bufferSize;
    }
    if (file->freeBytes > length) {
        CopyToBuffer(file->buffer + file->bufferSize - file->freeBytes, data, length);
        file->freeBytes -= length;
        return length;
    }
    FlushOutputFile(file);
    if (length >= file->bufferSize)
        return WriteThrough(file, data, length);
    memcpy(file->buffer, data, length);
    file->freeBytes -= length;
    return length;
}

static LONG WriteToFile(ObjectNumber number, const void* data, LONG length)
{
    OutputFile* file = static_cast<OutputFile*>(FindObject(FileRegistry, number));
    if (!file)
        return 0;
    if (file->buffer)
        return BufferedWrite(file, data, length);
    return WriteThrough(file, data, length);
}

void InitOutputFiles()
{
    FileRegistry = CreateObjectRegistry(sizeof(OutputFile), 16, CloseOutputFile);
}

// CREATE_ALWAYS makes or truncates path; CREATE_NEW only ever makes a new file;
// OPEN_EXISTING opens path as it is and gives it length bytes.
static INT_PTR OpenOutputFile(ObjectNumber number, const WCHAR* path, DWORD disposition, LONG length)
{
    OutputFile* file = static_cast<OutputFile*>(ObtainObject(FileRegistry, number));
    if (!file)
        return 0;
    HANDLE handle = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL,
                                disposition, FILE_ATTRIBUTE_NORMAL, NULL);
    // An existing file that may be written but not read still gets a second chance.
    if (handle == INVALID_HANDLE_VALUE && disposition != CREATE_NEW)
        handle = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, NULL,
                             disposition == CREATE_ALWAYS ? TRUNCATE_EXISTING : OPEN_EXISTING, 0, NULL);
    // A file grown by SetEndOfFile takes its room on the disk at once: where
    // there is none, the open fails here, before a byte of the file changed.
    bool opened = handle != INVALID_HANDLE_VALUE && handle;
    if (opened && disposition == OPEN_EXISTING) {
        SetFilePointer(handle, length, NULL, FILE_BEGIN);
        opened = SetEndOfFile(handle);
        SetFilePointer(handle, 0, NULL, FILE_BEGIN);
        if (!opened)
            CloseHandle(handle);
    }
    if (!opened) {
        if (number == AutoNumber)
            ReleaseObject(FileRegistry, reinterpret_cast<ObjectNumber>(file));
        return 0;
    }
    LONG bufferSize = FileBufferSize;
    file->buffer = bufferSize > 0 ? static_cast<BYTE*>(HeapAlloc(ProgramHeap, 0, bufferSize)) : NULL;
    file->handle = handle;
    file->bufferSize = bufferSize;
    file->freeBytes = 0;
    file->fresh = 1;
    file->writeFailed = 0;
    return number == AutoNumber ? reinterpret_cast<INT_PTR>(file) : reinterpret_cast<INT_PTR>(handle);
}

INT_PTR CreateOutputFile(ObjectNumber number, const WCHAR* path)
{
    return OpenOutputFile(number, path, CREATE_ALWAYS, 0);
}

INT_PTR CreateNewOutputFile(ObjectNumber number, const WCHAR* path)
{
    return OpenOutputFile(number, path, CREATE_NEW, 0);
}

INT_PTR OpenOutputFileInPlace(ObjectNumber number, const WCHAR* path, LONG length)
{
    return OpenOutputFile(number, path, OPEN_EXISTING, length);
}

LONG WriteBlock(ObjectNumber number, const void* data, LONG length)
{
    if (!data || length <= 0)
        return 0;
    return WriteToFile(number, data, length);
}

LONG WriteUInt32(ObjectNumber number, LONG value)
{
    return WriteToFile(number, &value, 4);
}

LONG WriteUInt16(ObjectNumber number, LONG value)
{
    WORD low = static_cast<WORD>(value);
    return WriteToFile(number, &low, 2);
}

// Flush the buffer, free it, close the handle, release the record; with
// toDisk the system writes the file's data to the disk before the handle goes.
static LONG CloseFile(ObjectNumber number, bool toDisk)
{
    OutputFile* file = static_cast<OutputFile*>(FindObject(FileRegistry, number));
    if (!file)
        return 0;
    if (file->buffer) {
        FlushOutputFile(file);
        HeapFree(ProgramHeap, 0, file->buffer);
    }
    if (toDisk && !FlushFileBuffers(file->handle))
        file->writeFailed = 1;
    CloseHandle(file->handle);
    LONG complete = !file->writeFailed;
    ReleaseObject(FileRegistry, number);
    return complete;
}

LONG CloseOutputFile(ObjectNumber number)
{
    if (number == AutoNumber) {
        ReleaseAllObjects(FileRegistry);
        return 0;
    }
    return CloseFile(number, false);
}

LONG CommitOutputFile(ObjectNumber number)
{
    return CloseFile(number, true);
}

void CloseAllOutputFiles()
{
    ReleaseAllObjects(FileRegistry);
}
