#include "fileio/OutputFiles.h"
#include "fileio/ProgramHeap.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <climits>
#include <cstring>

namespace {

class OutputFilesTest : public testing::Test {
protected:
    std::wstring dir;
    void SetUp() override
    {
        FileBufferSize = 4096;
        InitOutputFiles();
        const char* test = testing::UnitTest::GetInstance()->current_test_info()->name();
        dir = ScratchDirectory(std::wstring(test, test + strlen(test)).c_str());
    }
    void TearDown() override
    {
        CloseAllOutputFiles();
        FileBufferSize = 4096;
    }
    std::wstring Path(const wchar_t* name) const { return dir + L"\\" + name; }
    HANDLE Create(ObjectNumber number, const wchar_t* name)
    {
        return reinterpret_cast<HANDLE>(CreateOutputFile(number, Path(name).c_str()));
    }
};

std::vector<DWORD> Requested(const std::vector<WriteFileCall>& calls)
{
    std::vector<DWORD> sizes;
    for (const WriteFileCall& call : calls)
        sizes.push_back(call.requested);
    return sizes;
}

} // namespace

TEST_F(OutputFilesTest, FileIsTruncatedAtOnceAndTwoByteWritesFlushExactlyAtThe2048th)
{
    WriteFileBytes(Path(L"a"), Bytes(10000, 0x55));
    WriteFileRecorder recorder;
    HANDLE handle = Create(0, L"a");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(FileSizeOnDisk(Path(L"a")), 0);

    for (int i = 1; i <= 2047; ++i)
        ASSERT_EQ(WriteUInt16(0, i), 2);
    EXPECT_EQ(FileSizeOnDisk(Path(L"a")), 0);
    EXPECT_TRUE(recorder.CallsOn(handle).empty());

    WriteUInt16(0, 2048);
    EXPECT_EQ(FileSizeOnDisk(Path(L"a")), 4094);
    EXPECT_EQ(Requested(recorder.CallsOn(handle)), std::vector<DWORD>{4094});

    EXPECT_EQ(CloseOutputFile(0), 1);
    EXPECT_EQ(Requested(recorder.CallsOn(handle)), (std::vector<DWORD>{4094, 2}));
    Bytes bytes = ReadFileBytes(Path(L"a"));
    ASSERT_EQ(bytes.size(), 4096u);
    EXPECT_EQ(bytes[4094] | bytes[4095] << 8, 2048);
}

TEST_F(OutputFilesTest, AWriteThatWouldFillTheBufferFlushesFirstAndLargeBlocksBypassIt)
{
    Bytes block(5000);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<unsigned char>(i * 7);
    {
        WriteFileRecorder recorder;
        HANDLE handle = Create(0, L"a");
        EXPECT_EQ(WriteBlock(0, block.data(), 4000), 4000);
        EXPECT_EQ(WriteBlock(0, block.data() + 4000, 95), 95);  // one byte short of freeBytes: copied
        EXPECT_TRUE(recorder.CallsOn(handle).empty());
        EXPECT_EQ(WriteBlock(0, block.data() + 4095, 1), 1);    // equal to freeBytes: flush first
        EXPECT_EQ(Requested(recorder.CallsOn(handle)), std::vector<DWORD>{4095});
        EXPECT_EQ(WriteBlock(0, block.data() + 4096, 904), 904);
        CloseOutputFile(0);
        EXPECT_EQ(ReadFileBytes(Path(L"a")), block);
    }
    {
        WriteFileRecorder recorder;
        HANDLE handle = Create(0, L"b");
        EXPECT_EQ(WriteBlock(0, block.data(), 4095), 4095);  // fits an empty buffer
        EXPECT_TRUE(recorder.CallsOn(handle).empty());
        CloseOutputFile(0);
    }
    {
        WriteFileRecorder recorder;
        HANDLE handle = Create(0, L"c");
        EXPECT_EQ(WriteBlock(0, block.data(), 10), 10);
        EXPECT_EQ(WriteBlock(0, block.data() + 10, 4096), 4096);  // pending bytes, then the block directly
        EXPECT_EQ(Requested(recorder.CallsOn(handle)), (std::vector<DWORD>{10, 4096}));
        CloseOutputFile(0);
        EXPECT_EQ(Requested(recorder.CallsOn(handle)), (std::vector<DWORD>{10, 4096, 0}));
        EXPECT_EQ(ReadFileBytes(Path(L"c")), Bytes(block.begin(), block.begin() + 4106));
    }
    {
        WriteFileRecorder recorder;
        HANDLE handle = Create(0, L"d");
        WriteBlock(0, block.data(), 4096);  // fresh file: an empty flush, then the block
        EXPECT_EQ(Requested(recorder.CallsOn(handle)), (std::vector<DWORD>{0, 4096}));
    }
}

TEST_F(OutputFilesTest, IntegersAreAppendedLeastSignificantByteFirst)
{
    Create(0, L"a");
    EXPECT_EQ(WriteUInt32(0, 0x11223344), 4);
    EXPECT_EQ(WriteUInt32(0, static_cast<LONG>(0x80000001)), 4);
    EXPECT_EQ(WriteUInt16(0, static_cast<LONG>(0xABCD1234)), 2);
    EXPECT_EQ(WriteUInt16(0, 0x00001234), 2);
    CloseOutputFile(0);
    EXPECT_EQ(ReadFileBytes(Path(L"a")), HexBytes("44332211 01000080 3412 3412"));
}

TEST_F(OutputFilesTest, NothingIsDoneForMissingDataOrNumbersThatNameNoOpenFile)
{
    WriteFileRecorder recorder;
    HANDLE handle = Create(0, L"a");
    char byte = 'x';
    EXPECT_EQ(WriteBlock(0, nullptr, 4), 0);
    EXPECT_EQ(WriteBlock(0, &byte, 0), 0);
    EXPECT_EQ(WriteBlock(0, &byte, -5), 0);

    LONG onStack = 1;
    const ObjectNumber strays[] = {1, 15, 16, 1000, -2, LONG_MIN, 0x7FFFFFFF,
                                   reinterpret_cast<ObjectNumber>(&onStack),
                                   reinterpret_cast<ObjectNumber>(handle)};
    for (ObjectNumber stray : strays) {
        EXPECT_EQ(WriteBlock(stray, &byte, 1), 0) << stray;
        EXPECT_EQ(WriteUInt32(stray, 1), 0) << stray;
        EXPECT_EQ(WriteUInt16(stray, 1), 0) << stray;
        EXPECT_EQ(CloseOutputFile(stray), 0) << stray;
        EXPECT_EQ(CreateOutputFile(stray < AutoNumber ? stray : -2, Path(L"x").c_str()), 0);
    }

    EXPECT_EQ(CloseOutputFile(0), 1);  // never written to: no WriteFile at all
    EXPECT_TRUE(recorder.CallsOn(handle).empty());
    EXPECT_EQ(WriteBlock(0, &byte, 1), 0);
    EXPECT_EQ(CloseOutputFile(0), 0);
    EXPECT_FALSE(FileExists(Path(L"x")));
}

TEST_F(OutputFilesTest, RecreatingClosesTheOldFileFirstOpenPathsAreNotSharedAndOnlyInPlaceOpensAnExistingOne)
{
    Create(0, L"a");
    WriteBlock(0, "abc", 3);
    ASSERT_NE(Create(0, L"a"), nullptr);  // same path, same number: old file flushed and closed first
    WriteBlock(0, "de", 2);
    EXPECT_EQ(Create(1, L"a"), nullptr);  // open under another number
    ASSERT_NE(Create(0, L"b"), nullptr);
    EXPECT_EQ(ReadFileBytes(Path(L"a")), HexBytes("6465"));

    WriteBlock(0, "f", 1);
    CreateDirectoryW(Path(L"dir").c_str(), nullptr);
    EXPECT_EQ(Create(0, L"dir"), nullptr);  // fails, but the old file was still closed
    EXPECT_EQ(ReadFileBytes(Path(L"b")), HexBytes("66"));
    EXPECT_EQ(WriteBlock(0, "g", 1), 0);

    EXPECT_EQ(CreateNewOutputFile(1, Path(L"b").c_str()), 0);
    EXPECT_EQ(CreateNewOutputFile(1, Path(L"dir").c_str()), 0);
    EXPECT_EQ(ReadFileBytes(Path(L"b")), HexBytes("66"));
    EXPECT_EQ(WriteBlock(1, "h", 1), 0);

    // In place: never made; given its length at once, written from its start.
    EXPECT_EQ(OpenOutputFileInPlace(1, Path(L"new").c_str(), 4), 0);
    EXPECT_FALSE(FileExists(Path(L"new")));
    WriteFileBytes(Path(L"b"), HexBytes("0102030405"));
    for (LONG length : {3, 6}) {
        ASSERT_NE(OpenOutputFileInPlace(1, Path(L"b").c_str(), length), 0);
        EXPECT_EQ(FileSizeOnDisk(Path(L"b")), length);
        WriteBlock(1, "\xAA", 1);
        EXPECT_EQ(CommitOutputFile(1), 1);
    }
    EXPECT_EQ(ReadFileBytes(Path(L"b")), HexBytes("AA0203000000"));
}

TEST_F(OutputFilesTest, AutoNumberedFilesAreWrittenThroughTheirIdentityAndCloseAllKeepsOrder)
{
    WriteFileRecorder recorder;
    HANDLE slot3 = Create(3, L"three");
    HANDLE slot0 = Create(0, L"zero");
    INT_PTR a = CreateOutputFile(AutoNumber, Path(L"autoA").c_str());
    INT_PTR b = CreateOutputFile(AutoNumber, Path(L"autoB").c_str());
    ASSERT_TRUE(slot3 && slot0 && a && b);
    EXPECT_NE(a, b);
    HANDLE handleA = static_cast<OutputFile*>(FindObject(FileRegistry, a))->handle;
    HANDLE handleB = static_cast<OutputFile*>(FindObject(FileRegistry, b))->handle;
    for (ObjectNumber number : {ObjectNumber(3), ObjectNumber(0), a, b})
        EXPECT_EQ(WriteUInt16(number, 0x4142), 2);

    size_t blocks = TakeHeapCensus(ProgramHeap).blocks;
    EXPECT_EQ(CreateOutputFile(AutoNumber, Path(L"dir-missing\\x").c_str()), 0);
    EXPECT_EQ(TakeHeapCensus(ProgramHeap).blocks, blocks);  // the failed record went back

    CloseAllOutputFiles();
    EXPECT_EQ(recorder.HandlesInCallOrder(), (std::vector<HANDLE>{slot0, slot3, handleA, handleB}));
    EXPECT_EQ(ReadFileBytes(Path(L"autoB")), HexBytes("4241"));
    EXPECT_EQ(FindObject(FileRegistry, a), nullptr);
    EXPECT_EQ(FileRegistry->autoList, nullptr);
}

TEST_F(OutputFilesTest, WithoutBufferMemoryEveryWriteGoesStraightToTheFile)
{
    WriteFileRecorder recorder;
    CloseAllOutputFiles();
    {
        ScopedProgramHeap small(64 * 1024);
        InitOutputFiles();
        FileBufferSize = 128 * 1024;  // more than this heap can ever give
        HANDLE handle = Create(0, L"a");
        EXPECT_NE(handle, nullptr);
        WriteUInt32(0, 0x01020304);
        WriteUInt16(0, 0x0506);
        EXPECT_EQ(Requested(recorder.CallsOn(handle)), (std::vector<DWORD>{4, 2}));
        EXPECT_EQ(CloseOutputFile(0), 1);
    }
    InitOutputFiles();
    EXPECT_EQ(ReadFileBytes(Path(L"a")), HexBytes("04030201 0605"));
}

TEST_F(OutputFilesTest, AnExhaustedHeapFailsCreationBeforeAnythingIsOpened)
{
    CloseAllOutputFiles();
    {
        ScopedProgramHeap small(64 * 1024);
        InitOutputFiles();
        ExhaustHeap(ProgramHeap);
        EXPECT_EQ(Create(5, L"a"), nullptr);
        EXPECT_EQ(Create(40, L"b"), nullptr);  // the table can't grow either
        EXPECT_EQ(CreateOutputFile(AutoNumber, Path(L"c").c_str()), 0);
        EXPECT_EQ(FileRegistry->capacity, 16);
        EXPECT_EQ(FileRegistry->autoList, nullptr);
    }
    for (const wchar_t* name : {L"a", L"b", L"c"})
        EXPECT_FALSE(FileExists(Path(name)));
    InitOutputFiles();
}

TEST_F(OutputFilesTest, CommitWritesAsCloseDoesAndBothReportAFailedWrite)
{
    WriteFileRecorder recorder;
    HANDLE handle = reinterpret_cast<HANDLE>(CreateNewOutputFile(0, Path(L"a").c_str()));
    ASSERT_NE(handle, nullptr);
    for (int i = 1; i <= 2048; ++i)
        WriteUInt16(0, i);
    EXPECT_EQ(CommitOutputFile(0), 1);
    EXPECT_EQ(Requested(recorder.CallsOn(handle)), (std::vector<DWORD>{4094, 2}));
    EXPECT_EQ(FileSizeOnDisk(Path(L"a")), 4096);
    EXPECT_EQ(WriteBlock(0, "x", 1), 0);

    for (LONG (*finish)(ObjectNumber) : {CloseOutputFile, CommitOutputFile}) {
        ASSERT_NE(CreateOutputFile(0, L"Z:\\dev\\full"), 0);
        WriteBlock(0, "abc", 3);
        EXPECT_EQ(finish(0), 0);
    }
}
