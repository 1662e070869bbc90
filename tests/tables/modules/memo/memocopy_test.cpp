// Copying memos between the layouts (APPEND FROM): every pair of layouts, with texts and with
// data holding 0x00 and 0x1A, and APPEND FROM text and memo fields into memo fields.
#include "tables/modules/memo/memocopy.h"
#include "tables/core/dbf4append.h"
#include "tables/core/dbf4pack.h"
#include "tables/modules/memo/blob.h"
#include "tables/modules/memo/memowrite.h"
#include "tests/tables/modules/memo/memotest.h"

namespace {

using namespace memotest;

const std::string kBinary(
    "a\0b\x1A"
    "c\xFF",
    6);

class MemoCopyTest : public MemoTest {
 protected:
  static std::int64_t WriteBinary(const std::string& data) {
    const std::int64_t reference = OpenBlob(false, 0, kBlobWrite);
    WriteBlobStream(data.data(), static_cast<std::int64_t>(data.size()), 2);
    CloseBlob();
    return reference;
  }
  static std::string ReadBinary(std::int64_t reference) {
    std::string data(100, '\0');
    OpenBlob(false, reference, kBlobRead);
    data.resize(static_cast<std::size_t>(ReadBlobStream(data.data(), 100, 2)));
    CloseBlob();
    return data;
  }
};

TEST_F(MemoCopyTest, EveryLayoutPairKeepsTextsAndBinaryData) {
  for (std::uint8_t from : kTypes) {
    for (std::uint8_t to : kTypes) {
      SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to));
      Select(1);
      NewMemoTable(from, "s");
      const std::int64_t text = AddMemo(std::string(700, 't') + "\r\nend");
      const std::int64_t binary = WriteBinary(kBinary);
      const std::int64_t cut = AddMemo(std::string("abc\0def", 7));
      EXPECT_EQ(binary < 0, from == 0x83) << "a blob in a type-0x83 file is negative";
      Select(2);
      NewMemoTable(to, "d");
      const std::int64_t textCopy = CopyMemo(1, text, false);
      const std::int64_t binaryCopy = CopyMemo(1, binary, false);
      const std::int64_t cutCopy = CopyMemo(1, cut, false);
      EXPECT_EQ(Lines(static_cast<std::int32_t>(textCopy)), std::string(700, 't') + "|end");
      EXPECT_EQ(ReadBinary(binaryCopy), kBinary);
      EXPECT_EQ(binaryCopy < 0, to == 0x83) << "keeps its group header in a type-0x83 file";
      EXPECT_GT(textCopy, 0);
      // A text-form record is copied as reading shows it: to its 0x1A, past a 0x00.
      EXPECT_EQ(ReadBinary(cutCopy), std::string("abc\0def", 7));
      const std::string bytes = MemoFileBytes(to, "d");
      EXPECT_EQ(NextFree(to, bytes), Ceil(bytes.size(), 512));
      if (to == 0x83) {
        EXPECT_EQ(bytes.substr(512 * static_cast<std::size_t>(textCopy) + 702, 3), "end");
        EXPECT_EQ(bytes.substr(512 * static_cast<std::size_t>(textCopy) + 705, 3),
                  std::string("\x1A\x1A\0", 3));
      }
      CloseAll();
    }
  }
}

// A text-form record holding a 0x00 before its end mark, as AddMemo writes it into a type-0x83
// file and other programs into a dBASE IV one, reads whole; APPEND FROM into every layout,
// COPY TO (the copy that keeps the block number) and PACK keep it byte for byte.
TEST_F(MemoCopyTest, ATextHoldingAZeroIsCopiedAndPackedWhole) {
  const std::string text("abc\0def ghi", 11);
  for (std::uint8_t from : {std::uint8_t{0x83}, std::uint8_t{0x8B}}) {
    SCOPED_TRACE(int{from});
    NewMemoTable(from, "s");
    std::int32_t block = 1;
    if (from == 0x83) {
      block = static_cast<std::int32_t>(AddMemo(text));
    } else {
      CloseAll();
      std::string bytes = MemoFileBytes(from, "s");
      bytes.resize(512 * Ceil(bytes.size(), 512), '\0');
      block = static_cast<std::int32_t>(bytes.size() / 512);
      Put(MemoName(from, "s"), bytes + text + "\x1A\x1A" + std::string(499, '\0'));
      USE(Path("s.dbf") + " EXCLUSIVE");
    }
    ClearRecord();
    SetReference(block);
    Append();
    EXPECT_EQ(ReadBinary(block), text);
    CloseAll();
    for (std::uint8_t to : kTypes) {
      SCOPED_TRACE(int{to});
      Select(2);
      NewMemoTable(to, "d");
      AppendFrom(Path("s.dbf"));
      GO(1);
      EXPECT_EQ(ReadBinary(Reference()), text) << "APPEND FROM";
      Select(1);
      USE(Path("s.dbf") + " EXCLUSIVE");
      Select(2);
      EXPECT_EQ(ReadBinary(MemoHooks.copyMemoAsNew(1, block)), text) << "COPY TO";
      CloseAll();
    }
    USE(Path("s.dbf") + " EXCLUSIVE");
    ASSERT_TRUE(Pack());
    EXPECT_EQ(ReadBinary(Reference()), text) << "PACK";
    CloseAll();
  }
}

TEST_F(MemoCopyTest, CopyAsNewKeepsTheBlockNumber) {
  Select(1);
  NewMemoTable(0x8B, "s");
  AddMemo("first");
  const std::int64_t second = AddMemo("second");
  Select(2);
  NewMemoTable(0xF5, "d");
  EXPECT_EQ(MemoHooks.copyMemoAsNew(1, static_cast<std::int32_t>(second)), second);
  EXPECT_EQ(Lines(static_cast<std::int32_t>(second)), "second");
  EXPECT_EQ(CopyMemo(1, 0, false), 0);
  EXPECT_EQ(ErrorOf([] { CopyMemo(1, 40, false); }).substr(0, 36),
            "Error # 1003 (Invalid memo address)\r");
}

TEST_F(MemoCopyTest, AppendFromFillsMemoFieldsFromTextAndFromMemos) {
  NewTable(Path("src.dbf"), {Def("ID", 'N', 4), Def("NOTE", 'C', 40)}, 3, [](int i) {
    SetInt(1, i);
    SetText(2, i == 2 ? "   " : "text " + std::to_string(i));
  });
  CloseAll();
  NewMemoTable(0x83, "m");
  AppendFrom(Path("src.dbf"));
  ASSERT_EQ(RecCount(), 3);
  GO(1);
  EXPECT_EQ(Lines(Reference()), "text 1");
  GO(2);
  EXPECT_EQ(Reference(), 0) << "a blank text makes no memo";
  GO(3);
  EXPECT_EQ(Lines(Reference()), "text 3");
  CloseAll();
  NewMemoTable(0xF5, "f");
  AppendFrom(Path("m.dbf"));
  ASSERT_EQ(RecCount(), 3);
  GO(3);
  EXPECT_EQ(Lines(Reference()), "text 3");
  EXPECT_EQ(MemoFileBytes(0xF5, "f").substr(512 + 8, 6), "text 1");
}

}  // namespace
