// Writes one comment file per sample into the directory given, each with the
// expected text beside it as UTF-8 (NAME.exif, NAME.txt), for outside readers.
#include "exif/CommentBlock.h"
#include "fileio/OutputFiles.h"
#include "fileio/ProgramHeap.h"
#include <string>

static const struct {
    const wchar_t* name;
    const wchar_t* text;
} Samples[] = {
    {L"ascii", L"This is comment"},
    {L"latin", L"Cr\u00e8me br\u00fbl\u00e9e \u00e0 la fa\u00e7on de Z\u00fcrich"},
    {L"cjk", L"\u5199\u771f\u306e\u30b3\u30e1\u30f3\u30c8 \uc0ac\uc9c4"},
    {L"rtl", L"\u05e9\u05dc\u05d5\u05dd \u0645\u0631\u062d\u0628\u0627"},
    {L"emoji", L"Sunset \U0001F305 at the lake \U0001F4F7"},
    {L"single", L"x"},
};

static void WriteUtf8(const std::wstring& path, const wchar_t* text)
{
    char utf8[1024];
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr) - 1;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(file, utf8, length, &written, nullptr);
    CloseHandle(file);
}

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return 2;
    ProgramHeap = HeapCreate(0, 4096, 0);
    InitOutputFiles();
    int failures = 0;
    for (const auto& sample : Samples) {
        std::wstring base = std::wstring(argv[1]) + L"\\" + sample.name;
        if (!CreateOutputFile(0, (base + L".exif").c_str())) {
            ++failures;
            continue;
        }
        WriteCommentBlock(0, sample.text);
        failures += !CloseOutputFile(0);
        WriteUtf8(base + L".txt", sample.text);
    }
    CloseAllOutputFiles();
    return failures;
}
