#include "TestSupport.h"
#include "fileio/ProgramHeap.h"
#include <gtest/gtest.h>
#include <cstring>

std::wstring ScratchDirectory(const wchar_t* name)
{
    std::wstring path = std::wstring(L"scratch\\") + name;
    CreateDirectoryW(L"scratch", nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring entry = path + L"\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L".."))
                    RemoveDirectoryW(entry.c_str());
            } else {
                SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(entry.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return path;
}

Bytes ReadFileBytes(const std::wstring& path)
{
    Bytes bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!bytes.empty())
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

long long FileSizeOnDisk(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void WriteFileBytes(const std::wstring& path, const Bytes& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

Bytes HexBytes(const char* hex)
{
    Bytes bytes;
    for (const char* p = hex; *p;) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        char pair[3] = {p[0], p[1], 0};
        bytes.push_back(static_cast<unsigned char>(strtoul(pair, nullptr, 16)));
        p += 2;
    }
    return bytes;
}

HeapCensus TakeHeapCensus(HANDLE heap)
{
    HeapCensus census;
    PROCESS_HEAP_ENTRY entry;
    entry.lpData = nullptr;
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
            ++census.blocks;
            census.bytes += entry.cbData;
        }
    }
    return census;
}

void ExhaustHeap(HANDLE heap)
{
    for (SIZE_T size = 4096; size > 0; size /= 2)
        while (HeapAlloc(heap, 0, size)) {
        }
}

ScopedProgramHeap::ScopedProgramHeap(SIZE_T maximumSize)
    : saved(ProgramHeap), heap(HeapCreate(0, maximumSize ? maximumSize : 4096, maximumSize))
{
    ProgramHeap = heap;
}

ScopedProgramHeap::~ScopedProgramHeap()
{
    ProgramHeap = saved;
    HeapDestroy(heap);
}

namespace {

using WriteFileFunction = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
WriteFileFunction RealWriteFile;
std::vector<WriteFileCall>* RecordedCalls;

BOOL WINAPI RecordingWriteFile(HANDLE handle, LPCVOID data, DWORD length, LPDWORD written,
                               LPOVERLAPPED overlapped)
{
    BOOL succeeded = RealWriteFile(handle, data, length, written, overlapped);
    if (RecordedCalls)
        RecordedCalls->push_back({handle, length, written ? *written : 0, succeeded});
    return succeeded;
}

// The import-table slot through which this executable calls kernel32's WriteFile.
void** WriteFileImportSlot()
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         import->Name; ++import) {
        if (_stricmp(reinterpret_cast<char*>(base + import->Name), "kernel32.dll"))
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<void**>(base + import->FirstThunk);
        for (size_t i = 0; names[i].u1.AddressOfData; ++i) {
            if (IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal))
                continue;
            auto* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names[i].u1.AddressOfData);
            if (!strcmp(reinterpret_cast<char*>(name->Name), "WriteFile"))
                return &slots[i];
        }
    }
    return nullptr;
}

void PatchSlot(void** slot, void* value)
{
    DWORD protection;
    VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof(void*), protection, &protection);
}

} // namespace

WriteFileRecorder::WriteFileRecorder()
{
    void** slot = WriteFileImportSlot();
    if (!slot) {
        ADD_FAILURE() << "WriteFile is not in the import table";
        return;
    }
    RecordedCalls = new std::vector<WriteFileCall>;
    RealWriteFile = reinterpret_cast<WriteFileFunction>(*slot);
    PatchSlot(slot, reinterpret_cast<void*>(&RecordingWriteFile));
}

WriteFileRecorder::~WriteFileRecorder()
{
    if (void** slot = WriteFileImportSlot(); slot && RealWriteFile)
        PatchSlot(slot, reinterpret_cast<void*>(RealWriteFile));
    delete RecordedCalls;
    RecordedCalls = nullptr;
}

std::vector<WriteFileCall> WriteFileRecorder::CallsOn(HANDLE handle) const
{
    std::vector<WriteFileCall> calls;
    if (RecordedCalls)
        for (const WriteFileCall& call : *RecordedCalls)
            if (call.handle == handle)
                calls.push_back(call);
    return calls;
}

std::vector<HANDLE> WriteFileRecorder::HandlesInCallOrder() const
{
    std::vector<HANDLE> handles;
    if (RecordedCalls)
        for (const WriteFileCall& call : *RecordedCalls)
            handles.push_back(call.handle);
    return handles;
}
