#pragma once
#include <windows.h>
#include <string>
#include <vector>

// Observations of the real platform for tests: files on disk, heap blocks and
// the WriteFile calls this executable makes.

using Bytes = std::vector<unsigned char>;

// A fresh, empty directory under the test's working directory.
std::wstring ScratchDirectory(const wchar_t* name);

Bytes ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// -1 when the file can't be opened for reading.
long long FileSizeOnDisk(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const Bytes& bytes);

// Bytes from a string of hexadecimal pairs, spaces ignored.
Bytes HexBytes(const char* hex);

// Busy blocks and their total size in a heap, by walking it.
struct HeapCensus {
    size_t blocks = 0;
    size_t bytes = 0;
};
HeapCensus TakeHeapCensus(HANDLE heap);

// Allocates from a heap of fixed size until not one more byte can be had.
void ExhaustHeap(HANDLE heap);

// Replaces ProgramHeap for a test's duration, restoring and destroying on exit.
struct ScopedProgramHeap {
    HANDLE saved;
    HANDLE heap;
    explicit ScopedProgramHeap(SIZE_T maximumSize);
    ~ScopedProgramHeap();
};

// Records every WriteFile call made through this executable's import table
// while it lives: which handle, how many bytes asked and written.
struct WriteFileCall {
    HANDLE handle;
    DWORD requested;
    DWORD written;
    BOOL succeeded;
};
struct WriteFileRecorder {
    WriteFileRecorder();
    ~WriteFileRecorder();
    std::vector<WriteFileCall> CallsOn(HANDLE handle) const;
    std::vector<HANDLE> HandlesInCallOrder() const;
};
