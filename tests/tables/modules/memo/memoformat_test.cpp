// The three memo layouts byte by byte as AddMemo writes them, the header's next free block
// after every write, and the block size a header gives.
#include "tables/modules/memo/memoformat.h"

#include "tables/modules/memo/memowrite.h"
#include "tests/tables/modules/memo/memotest.h"

namespace {

using namespace memotest;

std::string Zeros(std::size_t n) {
  return std::string(n, '\0');
}

class MemoFormat : public MemoTest {};

TEST_F(MemoFormat, LayoutAMemosEndWithTwo1AAndFillTheirLastBlock) {
  NewMemoTable(0x83);
  const std::string fresh = MemoFileBytes(0x83);
  ASSERT_EQ(fresh.size(), 513u);
  EXPECT_EQ(fresh[512], '\x1A');
  EXPECT_EQ(AddMemo("Hello"), 1) << "the first memo overwrites the 0x1A of a new file";
  std::string bytes = MemoFileBytes(0x83);
  ASSERT_EQ(bytes.size(), 1024u);
  EXPECT_EQ(bytes.substr(512), "Hello\x1A\x1A" + Zeros(505));
  EXPECT_EQ(NextFree(0x83, bytes), 2u);
  EXPECT_EQ(AddMemo(std::string(510, 'a')), 2) << "510 bytes and two 0x1A fill one block";
  EXPECT_EQ(AddMemo(std::string(511, 'b')), 3);
  EXPECT_EQ(AddMemo(std::string(600, 'c') + "   "), 5) << "511 bytes took two blocks";
  bytes = MemoFileBytes(0x83);
  ASSERT_EQ(bytes.size(), 7u * 512);
  EXPECT_EQ(bytes.substr(5 * 512), std::string(600, 'c') + "\x1A\x1A" + Zeros(422))
      << "trailing blanks are not stored";
  EXPECT_EQ(NextFree(0x83, bytes), 7u);
}

TEST_F(MemoFormat, LayoutBRecordsHaveABigEndianGroupHeader) {
  NewMemoTable(0xF5, "t", 64);
  std::string bytes = MemoFileBytes(0xF5);
  ASSERT_EQ(bytes.size(), 512u);
  EXPECT_EQ(NextFree(0xF5, bytes), 8u);
  EXPECT_EQ(bytes.substr(6, 2), std::string("\0\x40", 2));
  EXPECT_EQ(AddMemo("Hi"), 8);
  EXPECT_EQ(AddMemo(std::string(100, 'x')), 9);
  bytes = MemoFileBytes(0xF5);
  EXPECT_EQ(bytes.substr(512, 10), std::string("\0\0\0\1\0\0\0\2Hi", 10));
  EXPECT_EQ(bytes.size(), 9u * 64 + 108);
  EXPECT_EQ(NextFree(0xF5, bytes), 11u);
  CloseAll();
  NewMemoTable(0xF5, "u", 100);
  EXPECT_EQ(NextFree(0xF5, MemoFileBytes(0xF5, "u")), 6u);
}

TEST_F(MemoFormat, LayoutCRecordsHaveALittleEndianGroupHeaderCountingItself) {
  NewMemoTable(0x8B);
  std::string bytes = MemoFileBytes(0x8B);
  ASSERT_EQ(bytes.size(), 24u);
  EXPECT_EQ(bytes.substr(8, 8), std::string("t") + Zeros(7));
  EXPECT_EQ(AddMemo("abc"), 1);
  bytes = MemoFileBytes(0x8B);
  ASSERT_EQ(bytes.size(), 512u + 11);
  EXPECT_EQ(bytes.substr(24, 488), Zeros(488));
  EXPECT_EQ(bytes.substr(512), std::string("\xFF\xFF\x08\x00\x0B\0\0\0abc", 11));
  EXPECT_EQ(NextFree(0x8B, bytes), 2u);
  EXPECT_EQ(AddMemo("d"), 2) << "the next memo starts at the next block boundary";
  EXPECT_EQ(NextFree(0x8B, MemoFileBytes(0x8B)), 3u);
}

TEST_F(MemoFormat, BlanksOnlyAddNothing) {
  for (std::uint8_t type : kTypes) {
    NewMemoTable(type);
    const std::string before = MemoFileBytes(type);
    EXPECT_EQ(AddMemo("   \r\n\t  "), 0);
    EXPECT_EQ(AddMemo(""), 0);
    EXPECT_EQ(MemoFileBytes(type), before);
    CloseAll();
  }
}

TEST_F(MemoFormat, ABlockOutsideTheFileIsError1003WithItsText) {
  NewMemoTable(0x8B);
  AppendWithMemo(1, "one");
  EXPECT_EQ(ErrorOf([] { GetMemo(3); }),
            "Error # 1003 (Invalid memo address)\r\n" + Path("t.dbt") + " Record # 1 [GetMemo]");
  EXPECT_EQ(MemoLines.Count(), 0u);
  EXPECT_EQ(ErrorOf([] { GetMemo(-9'999'999'999); }).substr(0, 36),
            "Error # 1003 (Invalid memo address)\r");
  EXPECT_EQ(ErrorOf([] { GetMemo(99'999'999'999); }).substr(0, 36),
            "Error # 1003 (Invalid memo address)\r");
  EXPECT_EQ(ErrorOf([] { MemoHooks.assignMemo(2); }).substr(0, 36),
            "Error # 1003 (Invalid memo address)\r");
}

TEST_F(MemoFormat, HeaderBlockSizeZeroOrNegativeIsTheEngineSetting) {
  const std::uint8_t c0[24] = {1, 0, 0, 0, 0, 0, 0, 0, 't', 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1, 0, 0};
  EXPECT_EQ(BlockSizeOfHeader(0x8B, c0, 24, 256), 256);
  std::uint8_t negative[24] = {};
  negative[20] = 0x00;
  negative[21] = 0x80;
  EXPECT_EQ(BlockSizeOfHeader(0x8B, negative, 24, 512), 512);
  negative[21] = 0x01;
  EXPECT_EQ(BlockSizeOfHeader(0x8B, negative, 24, 512), 256);
  std::uint8_t b[8] = {0, 0, 0, 1, 0, 0, 0, 0};
  EXPECT_EQ(BlockSizeOfHeader(0xF5, b, 8, 512), 512);
  EXPECT_EQ(BlockSizeOfHeader(0x83, b, 0, 64), 512);
  EXPECT_EQ(BlockSizeOfHeader(0x8B, b, 3, 64), 64) << "a header cut short";
  EXPECT_EQ(MemoTypeOfVersion(0x03), 0x8B);
  EXPECT_EQ(MemoTypeOfVersion(0x8C), 0x8C);
}

TEST_F(MemoFormat, AZeroBlockSizeHeaderWritesAtTheSettingsBoundary) {
  NewMemoTable(0x8B);
  CloseAll();
  std::string bytes = MemoFileBytes(0x8B);
  bytes[20] = bytes[21] = '\0';
  Put("t.dbt", bytes);
  MemoBlockSize = 128;
  USE(Path("t.dbf"));
  EXPECT_EQ(AddMemo("x"), 1);
  EXPECT_EQ(MemoFileBytes(0x8B).size(), 128u + 9);
}

TEST_F(MemoFormat, HeaderCounterGrowsByTheBlocksReadOnlyWhereTheHeaderHoldsIt) {
  NewMemoTable(0x8B);
  AppendWithMemo(1, std::string(700, 'a'));
  ASSERT_TRUE(GetMemo(1));
  AddMemo("b");
  EXPECT_EQ(U32(MemoFileBytes(0x8B), 32), 2u) << "two blocks read";
  AddMemo("c");
  EXPECT_EQ(U32(MemoFileBytes(0x8B), 32), 2u) << "nothing read since";
  CloseAll();
  NewMemoTable(0x8B, "s", 32);
  AddMemo("memo in block 1");
  const std::string before = MemoFileBytes(0x8B, "s").substr(32, 4);
  ASSERT_TRUE(GetMemo(1));
  AddMemo("d");
  EXPECT_EQ(MemoFileBytes(0x8B, "s").substr(32, 4), before) << "offset 32 is a memo here";
}

TEST_F(MemoFormat, NextFreeBlockIsTheSizeInBlocksAfterEveryWrite) {
  for (std::uint8_t type : kTypes) {
    NewMemoTable(type, "t", 64);
    const std::size_t blockSize = type == 0x83 ? 512 : 64;
    for (int i = 1; i <= 5; ++i) {
      AppendWithMemo(i, std::string(static_cast<std::size_t>(i * 97), 'x'));
      const std::string bytes = MemoFileBytes(type);
      EXPECT_EQ(NextFree(type, bytes), Ceil(bytes.size(), blockSize)) << int{type} << " " << i;
    }
    GO(2);
    ASSERT_TRUE(GetMemo(Reference()));
    MemoLines.Add("more", kLineEndHard);
    SetReference(static_cast<std::int32_t>(EditMemo()));
    const std::string bytes = MemoFileBytes(type);
    EXPECT_EQ(NextFree(type, bytes), Ceil(bytes.size(), blockSize)) << int{type};
    CloseAll();
  }
}

}  // namespace
