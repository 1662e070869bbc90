// Blob streams: reading every record form, writing with seeks, the text flag and the code page,
// and the memo lock a writing blob holds.
#include "tables/modules/memo/blob.h"

#include "tables/modules/memo/memowrite.h"
#include "tests/tables/modules/memo/memotest.h"

namespace {

using namespace memotest;

class BlobTest : public MemoTest {
 protected:
  static std::string Read(std::int64_t count, std::int32_t textMode = 2) {
    std::string data(static_cast<std::size_t>(count), '\0');
    data.resize(static_cast<std::size_t>(ReadBlobStream(data.data(), count, textMode)));
    return data;
  }
  static std::int64_t Write(const std::string& data, std::int32_t textMode = 2) {
    return WriteBlobStream(data.data(), static_cast<std::int64_t>(data.size()), textMode);
  }
  static std::string ReadAll(std::int64_t reference) {
    OpenBlob(false, reference, kBlobRead);
    std::string data = Read(100000);
    CloseBlob();
    return data;
  }
};

TEST_F(BlobTest, ATextFormRecordEndsAtItsFirst1AAndSeekFromTheEndFindsThatLength) {
  NewMemoTable(0x83);
  const std::int64_t block = AddMemo(std::string(1000, 'x') + "yz");
  EXPECT_EQ(OpenBlob(false, block, kBlobRead), -block) << "type 0x83 blocks come back negative";
  EXPECT_EQ(SeekBlob(-2, 2), 1000);
  EXPECT_EQ(Read(10), "yz");
  EXPECT_EQ(SeekBlob(-5, 0), 0);
  EXPECT_EQ(Read(2000), std::string(1000, 'x') + "yz");
  EXPECT_EQ(Read(10), "");
  EXPECT_EQ(SeekBlob(0, 2), 1002);
  CloseBlob();
}

TEST_F(BlobTest, ABlobInALayoutAFileHasAGroupHeaderAndANegativeReference) {
  NewMemoTable(0x83);
  AddMemo("text");
  const std::int64_t reference = OpenBlob(false, 0, kBlobWrite);
  EXPECT_EQ(reference, -2);
  const std::string data("\0\x1A\x01 binary", 10);
  EXPECT_EQ(Write(data), 10);
  CloseBlob();
  const std::string bytes = MemoFileBytes(0x83);
  EXPECT_EQ(bytes.substr(1024), std::string("\xFF\xFF\x08\0\x12\0\0\0", 8) + data);
  EXPECT_EQ(NextFree(0x83, bytes), Ceil(bytes.size(), 512));
  EXPECT_EQ(ReadAll(reference), data);
  EXPECT_EQ(ReadAll(-reference), data);
}

TEST_F(BlobTest, TheLengthIsTheHighestPositionWrittenWhateverTheSeeks) {
  for (std::uint8_t type : kTypes) {
    SCOPED_TRACE(int{type});
    NewMemoTable(type);
    const std::int64_t reference = OpenBlob(false, 0, kBlobWrite);
    Write("0123456789");
    EXPECT_EQ(SeekBlob(2, 0), 2);
    Write("ab");
    EXPECT_EQ(SeekBlob(-3, 2), 7) << "from the end in write mode: the highest position";
    Write("C");
    EXPECT_EQ(SeekBlob(0, 1), 8);
    CloseBlob();
    EXPECT_EQ(ReadAll(reference), "01ab456C89");
    OpenBlob(false, reference, kBlobRead);
    EXPECT_EQ(SeekBlob(-4, 2), 6);
    EXPECT_EQ(Read(3), "6C8");
    CloseBlob();
    CloseAll();
  }
}

TEST_F(BlobTest, TheDecideFlagTakesTheFirstChunksKindForTheWholeStream) {
  TableLanguageOem = true;
  NewMemoTable(0xF5);
  std::int64_t reference = OpenBlob(true, 0, kBlobWrite);
  Write("M\xFCller ", 0);
  Write(std::string("\0\xFC", 2), 0);
  CloseBlob();
  EXPECT_EQ(MemoFileBytes(0xF5).substr(520), std::string("M\x81ller \0\x81", 9))
      << "text for later chunks too";
  OpenBlob(true, reference, kBlobRead);
  EXPECT_EQ(Read(7, 0), "M\xFCller ");
  EXPECT_EQ(Read(2, 0), std::string("\0\xFC", 2)) << "text once the first chunk was";
  CloseBlob();
  OpenBlob(true, reference, kBlobRead);
  EXPECT_EQ(Read(9, 0), std::string("M\x81ller \0\x81", 9)) << "a first chunk with 0x00";
  CloseBlob();
  reference = OpenBlob(true, 0, kBlobWrite);
  Write(std::string("\0\xFC", 2), 0);
  Write("\xFC", 0);
  CloseBlob();
  EXPECT_EQ(ReadAll(reference), std::string("\0\xFC\xFC", 3)) << "binary from the first chunk";
}

TEST_F(BlobTest, TextIsConvertedOnlyInDosCodePageTables) {
  NewMemoTable(0x8B);
  const std::int64_t reference = OpenBlob(false, 0, kBlobWrite);
  Write("\xFC", 1);
  CloseBlob();
  EXPECT_EQ(MemoFileBytes(0x8B).substr(520), "\xFC");
  OpenBlob(false, reference, kBlobRead);
  EXPECT_EQ(Read(5, 1), "\xFC");
  CloseBlob();
  CloseAll();
  TableLanguageOem = true;
  USE(Path("t.dbf"));
  OpenBlob(false, reference, kBlobRead);
  EXPECT_EQ(Read(5, 1), "\xB3") << "read as CP850";
  CloseBlob();
}

TEST_F(BlobTest, AWritingBlobHoldsTheMemoLockUntilItIsClosed) {
  NewMemoTable(0x8B);
  CloseAll();
  USE(Path("t.dbf"));
  Select(2);
  USE(Path("t.dbf") + " ALIAS OTHER");
  Select(1);
  OpenBlob(false, 0, kBlobWrite);
  Write("blob");
  Select(2);
  EXPECT_EQ(ErrorOf([] { AddMemo("other"); }),
            "Error # 1017 (Cannot lock memo file)\r\n" + Path("t.dbt") + " [AddMemo()]");
  Select(1);
  CloseBlob();
  Select(2);
  EXPECT_EQ(AddMemo("other"), 2);
  EXPECT_EQ(ReadAll(1), "blob");
}

TEST_F(BlobTest, BlocksOutsideTheFileAndClosedBlobsMoveNothing) {
  NewMemoTable(0x8B);
  EXPECT_EQ(ErrorOf([] { OpenBlob(false, 5, kBlobRead); }),
            "Error # 1003 (Invalid memo address)\r\n5 " + Path("t.dbt") +
                " Record # 0 [CreateBlobDescriptor]");
  char byte = 0;
  EXPECT_EQ(ReadBlobStream(&byte, 1, 2), 0);
  EXPECT_EQ(WriteBlobStream(&byte, 1, 2), 0);
  EXPECT_EQ(SeekBlob(3, 0), 0);
  EXPECT_EQ(OpenBlob(false, 0, kBlobRead), 0) << "block 0 is an empty blob";
  EXPECT_EQ(ReadBlobStream(&byte, 1, 2), 0);
  CloseBlob();
}

}  // namespace
