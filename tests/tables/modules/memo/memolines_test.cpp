// Memos as lines: GetMemo's splitting, the line reader of LOCATE and the evaluator, EditMemo's
// reuse of a layout-C run, the text device, and the code page memo text is stored in.
#include "tables/core/dbf4locate.h"
#include "tables/modules/memo/memodevice.h"
#include "tables/modules/memo/memowrite.h"
#include "tests/tables/modules/memo/memotest.h"

namespace {

using namespace memotest;

class MemoLinesTest : public MemoTest {
 protected:
  void TearDown() override {
    MemoLineLimit = 1024;
    MemoTest::TearDown();
  }

  static std::string AllLines() {
    std::string all;
    for (std::size_t i = 0; i < MemoLines.Count(); ++i) {
      all += "[" + std::string(MemoLines.Text(i)) + "]";
      all += MemoLines.End(i) == kLineEndHard ? "H" : MemoLines.End(i) == kLineEndSoft ? "S" : "-";
    }
    return all;
  }
  static std::string Split(const std::string& stored) {
    GetMemo(AddMemo(stored));
    return AllLines();
  }
};

TEST_F(MemoLinesTest, GetMemoSplitsAtLineEndsAndBreaksLongLines) {
  NewMemoTable(0x8B);
  EXPECT_EQ(Split("one\r\ntwo\x8D\nthree"), "[one]H[two]S[three]-");
  EXPECT_EQ(Split("a\nb\rc\r\n\r\nd"), "[a\nb\rc]H[]H[d]-") << "a lone LF or CR is text";
  const std::string unbroken(300, 'x');
  EXPECT_EQ(Split(unbroken), "[" + unbroken.substr(0, 254) + "]-[" + unbroken.substr(254) + "]-");
  std::string words;
  for (int i = 0; i < 30; ++i) words += "abcdefghi ";
  EXPECT_EQ(Split(words + "end"), "[" + words.substr(0, 250) + "]-[" + words.substr(250) + "end]-")
      << "broken after the last blank before 254";
  const std::string full(254, 'y');
  EXPECT_EQ(Split(full + "\r\nz"), "[" + full + "]H[z]-") << "the line end after 254 characters";
  MemoWidthSwitch = true;
  EXPECT_EQ(Split(std::string(100, 'w')),
            "[" + std::string(79, 'w') + "]-[" + std::string(21, 'w') + "]-");
}

TEST_F(MemoLinesTest, TheLineReaderGivesWholeLogicalLinesSoLocateFindsTextAtColumn280) {
  NewMemoTable(0x8B);
  AppendWithMemo(1, "nothing here");
  AppendWithMemo(2, "first\r\n" + std::string(279, 'a') + "NEEDLE\x8D\nand more\r\nlast");
  GO(2);
  EXPECT_EQ(Lines(Reference()), "first|" + std::string(279, 'a') + "NEEDLEand more|last");
  GoTop();
  EXPECT_TRUE(LocateValue("NOTE", std::string("needle"), true, 1, false));
  EXPECT_EQ(RecNo(), 2);
  EXPECT_TRUE(LocateValue("NOTE", std::string("EEDLEand"), false, 1, false))
      << "a soft break joins the line";
}

TEST_F(MemoLinesTest, TheLineReaderTakesAMemoOfManyLinesAcrossItsReads) {
  NewMemoTable(0xF5);
  std::string text;
  for (int i = 1; i <= 30000; ++i)
    text += "line " + std::to_string(i) + (i % 3 ? "\r\n" : "\x8D\n");
  text += "end";
  const auto block = static_cast<std::int32_t>(AddMemo(text));
  auto reader = MemoHooks.assignMemo(block);
  std::string line;
  int lines = 0;
  std::string third;
  while (reader->ReadLine(line)) {
    if (++lines == 3) third = line;
  }
  EXPECT_EQ(lines, 20001);
  EXPECT_EQ(third, "line 3line 4");
  EXPECT_EQ(line, "line 30000end");
}

TEST_F(MemoLinesTest, LocateOnAReferenceBeyond32BitsFindsNoOtherMemo) {
  NewMemoTable(0x8B);
  AppendWithMemo(1, "needle");
  ClearRecord();
  Append();
  PutStoredField(2, "4294967297");
  Replace();
  EXPECT_EQ(
      ErrorOf([] { LocateValue("NOTE", std::string("needle"), true, 2, false); }).substr(0, 36),
      "Error # 1003 (Invalid memo address)\r")
      << "not the memo in block 1";
}

TEST_F(MemoLinesTest, EditMemoRewritesALayoutCMemoInItsRunWhenItFits) {
  NewMemoTable(0x8B);
  AppendWithMemo(1, std::string(600, 'a'));  // blocks 1 and 2
  AppendWithMemo(2, "second");               // block 3
  const std::size_t size = MemoFileBytes(0x8B).size();
  ASSERT_TRUE(GetMemo(1));
  MemoLines.Clear();
  MemoLines.block = 1;
  MemoLines.Add(std::string(900, 'b').substr(0, 254), kLineEndNone);
  MemoLines.Add(std::string(646, 'b'), kLineEndNone);
  EXPECT_EQ(EditMemo(), 1) << "900 bytes fit the old two blocks";
  EXPECT_EQ(MemoFileBytes(0x8B).size(), size);
  EXPECT_EQ(Lines(3), "second");
  ASSERT_TRUE(GetMemo(1));
  MemoLines.Add(std::string(200, 'c'), kLineEndHard);
  EXPECT_EQ(EditMemo(), 4) << "too long for the old run: to the end";
  EXPECT_EQ(Lines(1), std::string(900, 'b'));
  ASSERT_TRUE(GetMemo(3));
  EXPECT_EQ(EditMemo(), 3) << "the last memo's run reaches to the end of the file";
  std::int32_t block = 3;
  MemoTextDevice device(block);
  ASSERT_TRUE(device.Append());
  device.Write(" appended");
  device.Close();
  EXPECT_EQ(block, 3) << "appending in the run it fits";
  EXPECT_EQ(Lines(3), "second appended");
}

// A group header and 504 characters fill block 1 exactly: the run is that one block, and the
// next memo starts right behind it.
TEST_F(MemoLinesTest, AnOldRunCountsTheBlocksItOccupies) {
  NewMemoTable(0x8B);
  AppendWithMemo(1, std::string(504, 'a'));
  AppendWithMemo(2, "next");
  const std::size_t size = MemoFileBytes(0x8B).size();
  ASSERT_TRUE(GetMemo(1));
  MemoLines.Clear();
  MemoLines.block = 1;
  MemoLines.Add(std::string(254, 'b'), kLineEndNone);
  MemoLines.Add(std::string(250, 'b'), kLineEndNone);
  EXPECT_EQ(EditMemo(), 1) << "504 characters fit the one block";
  EXPECT_EQ(MemoFileBytes(0x8B).size(), size);
  ASSERT_TRUE(GetMemo(1));
  MemoLines.Add(std::string(96, 'c'), kLineEndNone);
  EXPECT_EQ(EditMemo(), 3) << "600 characters need two blocks: to the end";
  EXPECT_EQ(Lines(2), "next");
  EXPECT_EQ(Lines(3), std::string(504, 'b') + std::string(96, 'c'));
}

TEST_F(MemoLinesTest, ADamagedGroupHeaderIsNoRunToReuse) {
  NewMemoTable(0x8B);
  AppendWithMemo(1, "short");
  AppendWithMemo(2, "after");
  CloseAll();
  std::string bytes = MemoFileBytes(0x8B);
  bytes[512 + 7] = '\x7F';  // the first memo claims 2 GiB
  Put("t.dbt", bytes);
  USE(Path("t.dbf"));
  ASSERT_TRUE(GetMemo(1));
  MemoLines.Clear();
  MemoLines.block = 1;
  MemoLines.Add("replacement", kLineEndNone);
  EXPECT_EQ(EditMemo(), 3);
  EXPECT_EQ(Lines(2), "after");
}

TEST_F(MemoLinesTest, OtherLayoutsAlwaysWriteAnEditedMemoAtTheEnd) {
  for (std::uint8_t type : {std::uint8_t{0x83}, std::uint8_t{0xF5}}) {
    NewMemoTable(type);
    const std::int64_t block = AddMemo("a long first memo");
    AddMemo("second");
    ASSERT_TRUE(GetMemo(block));
    MemoLines.DropLast();
    MemoLines.Add("x", kLineEndNone);
    EXPECT_EQ(EditMemo(), 3) << int{type};
    CloseAll();
  }
}

TEST_F(MemoLinesTest, TheDeviceWritesReadsAndAppendsLines) {
  NewMemoTable(0x83);
  std::int32_t block = 0;
  MemoTextDevice device(block);
  ASSERT_TRUE(device.Rewrite());
  device.Write("first line\r\nsoft ");
  device.Write("part\x8D\r\nrest\r\nopen");
  device.Close();
  EXPECT_EQ(device.Error(), 0);
  EXPECT_EQ(block, 1);
  EXPECT_EQ(MemoFileBytes(0x83).substr(512, 35),
            "first line\r\nsoft part\x8D\nrest\r\nopen\x1A\x1A");
  ASSERT_TRUE(device.Reset());
  std::string piece, all;
  while (device.Read(piece)) all += "<" + piece + ">";
  EXPECT_EQ(all, "<first line\r\n><soft part><rest\r\n><open>");
  ASSERT_TRUE(device.Append());
  device.Write("ed\r\n");
  device.Write(std::string(300, 'L'));
  device.Close();
  EXPECT_EQ(device.Error(), 0);
  EXPECT_EQ(block, 2);
  EXPECT_EQ(Lines(block), "first line|soft partrest|opened|" + std::string(300, 'L'));
  const std::string hard(254, 'h');
  ASSERT_TRUE(device.Rewrite());
  device.Write(hard + "\r\n");
  device.Close();
  ASSERT_TRUE(device.Reset());
  ASSERT_TRUE(device.Read(piece));
  EXPECT_EQ(piece, hard + "\r\n") << "a whole line of 254 characters comes through";
}

TEST_F(MemoLinesTest, ATruncatedMemoOrTooManyLinesIsNeverWrittenBack) {
  NewMemoTable(0x8B);
  MemoLineLimit = 5;
  std::int32_t block = static_cast<std::int32_t>(AddMemo("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7"));
  const std::string before = MemoFileBytes(0x8B);
  ASSERT_TRUE(GetMemo(block));
  EXPECT_TRUE(MemoLines.Truncated());
  EXPECT_EQ(MemoLines.Count(), 5u);
  MemoTextDevice device(block);
  ASSERT_TRUE(device.Append());
  device.Write("more\r\n");
  device.Close();
  EXPECT_EQ(device.Error(), 101);
  EXPECT_EQ(block, 1) << "the old memo stays";
  EXPECT_EQ(MemoFileBytes(0x8B), before);
  EXPECT_EQ(Lines(block), "1|2|3|4|5|6|7");
  ASSERT_TRUE(device.Rewrite());
  device.Write("a\rb\rc\rd\re\rf\r");
  device.Close();
  EXPECT_EQ(device.Error(), 101);
  EXPECT_EQ(block, 1);
  EXPECT_EQ(MemoFileBytes(0x8B), before);
}

TEST_F(MemoLinesTest, MemoTextIsStoredInTheTablesCodePageAndSplitBeforeConversion) {
  TableLanguageOem = true;
  NewMemoTable(0x8B);
  // Windows-1252 "Müller", "ì" then LF: stored as CP850 0x81 and 0x8D 0x0A, a soft break.
  const std::int64_t block = AddMemo("M\xFCller\r\nM\xECnchen\xEC\nend");
  EXPECT_EQ(MemoFileBytes(0x8B).substr(520), "M\x81ller\r\nM\x8Dnchen\x8D\nend");
  ASSERT_TRUE(GetMemo(block));
  EXPECT_EQ(AllLines(), "[M\xFCller]H[M\xECnchen]S[end]-");
  EXPECT_EQ(Lines(static_cast<std::int32_t>(block)), "M\xFCller|M\xECnchenend");
  SetReference(static_cast<std::int32_t>(EditMemo()));
  EXPECT_EQ(MemoFileBytes(0x8B).substr(520), "M\x81ller\r\nM\x8Dnchen\x8D\nend");
  CloseAll();
  TableLanguageOem = false;
  NewMemoTable(0x8B, "ansi");
  AddMemo("M\xFCller");
  EXPECT_EQ(MemoFileBytes(0x8B, "ansi").substr(520), "M\xFCller");
}

}  // namespace
