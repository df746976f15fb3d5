#include "exif/ByteOrder.h"
#include "exif/CommentBlock.h"
#include "fileio/OutputFiles.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

namespace {

const char* const PresetFile =
    "4D4D002A 00000008 0001 8769 0004 00000001 0000001A 00000000 0001 9286 0007"
    "00000026 0000002C 00000000 554E49434F444500"
    "0054 0068 0069 0073 0020 0069 0073 0020 0063 006F 006D 006D 0065 006E 0074";

class CommentBlockTest : public testing::Test {
protected:
    std::wstring dir = ScratchDirectory(L"comments");
    void SetUp() override { InitOutputFiles(); }
    void TearDown() override { CloseAllOutputFiles(); }

    Bytes WriteComment(const std::wstring& comment)
    {
        std::wstring path = dir + L"\\my_exif.exif";
        EXPECT_NE(CreateOutputFile(0, path.c_str()), 0);
        WriteCommentBlock(0, comment.c_str());
        EXPECT_EQ(CloseOutputFile(0), 1);
        return ReadFileBytes(path);
    }
};

} // namespace

TEST(ByteOrder, SwapsAreExactForEveryBitPattern)
{
    EXPECT_EQ(SwapBytes32(0x11223344), 0x44332211);
    EXPECT_EQ(static_cast<DWORD>(SwapBytes32(static_cast<LONG>(0x80000000))), 0x00000080u);
    EXPECT_EQ(static_cast<DWORD>(SwapBytes32(-1)), 0xFFFFFFFFu);
    EXPECT_EQ(static_cast<DWORD>(SwapBytes32(0x000000FE)), 0xFE000000u);
    EXPECT_EQ(SwapBytes16(0x00E9), 0xE900);
    EXPECT_EQ(SwapBytes16(0xD83D), 0x3DD8);
    EXPECT_EQ(SwapBytes16(static_cast<LONG>(0xFFFF1234)), 0x3412);
}

TEST_F(CommentBlockTest, ThePresetCommentGivesExactlyTheKnown82Bytes)
{
    EXPECT_EQ(WriteComment(L"This is comment"), HexBytes(PresetFile));
}

TEST_F(CommentBlockTest, TextIsWrittenAsBigEndianUnitsAfterAFixedHeaderWithTheCount)
{
    const Bytes preset = HexBytes(PresetFile);
    struct Case {
        std::wstring comment;
        const char* count;
        const char* text;
    } cases[] = {
        {L" ", "0000000A", "0020"},
        {L"\u00e9t\u00e9", "0000000E", "00E9 0074 00E9"},
        {L"\U0001F600", "0000000C", "D83D DE00"},          // surrogate pair, high unit first
        {L"\u05e9\u4e2d", "0000000C", "05E9 4E2D"},
        {std::wstring(1, wchar_t(0xDC00)) + L"a", "0000000C", "DC00 0061"},  // lone surrogate kept
    };
    for (const Case& c : cases) {
        Bytes file = WriteComment(c.comment);
        const auto count = file.begin() + ExifCommentCountOffset, tail = count + 4,
                   text = file.begin() + ExifCommentTextOffset;
        ASSERT_EQ(file.size(), ExifCommentTextOffset + 2 * c.comment.size());
        EXPECT_EQ(CommentBlockSize(c.comment.c_str()), static_cast<LONG>(file.size()));
        EXPECT_EQ(Bytes(file.begin(), count), Bytes(preset.begin(), preset.begin() + ExifCommentCountOffset));
        EXPECT_EQ(Bytes(count, tail), HexBytes(c.count));
        EXPECT_EQ(Bytes(tail, text), Bytes(preset.begin() + ExifCommentCountOffset + 4, preset.begin() + ExifCommentTextOffset));
        EXPECT_EQ(Bytes(text, file.end()), HexBytes(c.text));
    }
}

TEST_F(CommentBlockTest, ACommentReachesTheDiskInOneWriteFileCallPer4094Bytes)
{
    std::wstring path = dir + L"\\long.exif";
    for (size_t units : {1u, 2021u, 2022u, 4068u, 4069u, 29000u}) {
        std::wstring comment(units, L'\u00e9');
        WriteFileRecorder recorder;
        HANDLE handle = reinterpret_cast<HANDLE>(CreateOutputFile(0, path.c_str()));
        WriteCommentBlock(0, comment.c_str());
        CloseOutputFile(0);
        size_t bytes = 52 + 2 * units;
        EXPECT_EQ(recorder.CallsOn(handle).size(), (bytes + 4093) / 4094) << units;
        Bytes file = ReadFileBytes(path);
        ASSERT_EQ(file.size(), bytes);
        EXPECT_EQ(file[bytes - 2], 0x00);
        EXPECT_EQ(file[bytes - 1], 0xE9);
    }
}
