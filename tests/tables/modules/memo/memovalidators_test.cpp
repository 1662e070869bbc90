// The engine's memo files against two independent implementations, python3-dbf and Perl's
// XBase: each reads the memos the engine wrote (added, edited in place, appended from a table,
// written as blobs, packed), and the engine reads the memos each of them wrote.
#include <filesystem>
#include <fstream>

#include "platform/files/codepage.h"
#include "tables/core/dbf4append.h"
#include "tables/core/dbf4pack.h"
#include "tables/modules/memo/blob.h"
#include "tables/modules/memo/memowrite.h"
#include "tests/support/command.h"
#include "tests/tables/modules/memo/memotest.h"

namespace {

using namespace memotest;

bool Have(const std::string& probe) {
  return std::system((probe + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    hex += kDigits[static_cast<std::uint8_t>(c) >> 4];
    hex += kDigits[static_cast<std::uint8_t>(c) & 15];
  }
  return hex;
}

// Memo bytes of a length in the DOS code page: words with umlauts, lines ended by CR LF,
// never a blank or a line end last.
std::string MemoBytes(std::size_t length, int seed) {
  static const std::string kWords[] = {"Welle",
                                       "Nabe",
                                       "\x84u\xE1"
                                       "ere",
                                       "Profil",
                                       "M\x94glich",
                                       "\x9A"
                                       "ber"};
  std::string text;
  for (std::size_t i = 0; text.size() < length; ++i) {
    text += kWords[(i + static_cast<std::size_t>(seed)) % 6];
    text += (i % 9 == 8) ? "\r\n" : " ";
  }
  text.resize(length);
  while (text.back() == ' ' || text.back() == '\r' || text.back() == '\n') text.back() = 'x';
  return text;
}

class MemoValidators : public MemoTest {
 protected:
  void SetUp() override {
    MemoTest::SetUp();
    if (!Have("/usr/bin/python3 -c 'import dbf'") || !Have("/usr/bin/perl -MXBase -e 1")) {
      GTEST_SKIP() << "python3-dbf or libdbd-xbase-perl missing";
    }
  }

  static std::string Script(const char* name) {
    return (std::filesystem::path(__FILE__).parent_path() / name).string();
  }
  static std::vector<std::string> OutputLines(const std::string& output) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = output.find('\n'); end != std::string::npos;
         start = end + 1, end = output.find('\n', start)) {
      lines.push_back(output.substr(start, end - start));
    }
    return lines;
  }
  std::vector<std::string> PythonReads(const std::string& table) const {
    return OutputLines(RunCommand("/usr/bin/python3 " + Script("memo_validate.py") + " read " +
                                  Path(table) + " 2>&1")
                           .output);
  }
  std::vector<std::string> PerlReads(const std::string& table) const {
    return OutputLines(
        RunCommand("/usr/bin/perl " + Script("memo_validate.pl") + " read " + Path(table) + " 2>&1")
            .output);
  }
  std::string HexFile(const std::vector<std::string>& memos) const {
    std::ofstream out(Path("memos.hex"));
    for (const std::string& memo : memos) out << Hex(memo) << "\n";
    return Path("memos.hex");
  }

  // The engine's table: its memos as the other programs must read them (CP850 bytes).
  std::vector<std::string> WriteWithEngine(std::uint8_t type) {
    TableLanguageOem = true;
    NewTable(Path("src.dbf"), {Def("ID", 'N', 4), Def("NOTE", 'C', 40)}, 1, [](int) {
      SetInt(1, 6);
      SetText(2, "Angeh\xE4ngt aus der Tabelle");
    });
    CloseAll();
    NewMemoTable(type);
    const std::string multiBlock = MemoBytes(2000, 1);
    AppendWithMemo(1, platform::OemToAnsi(MemoBytes(7, 2)));
    AppendWithMemo(2, platform::OemToAnsi(multiBlock));
    AppendWithMemo(3, "gel\xF6scht");
    AppendWithMemo(4, platform::OemToAnsi(MemoBytes(510, 3)));
    AppendWithMemo(5, "erste Fassung\r\nzweite Zeile\r\n");
    GO(5);
    GetMemo(Reference());
    MemoLines.Add("dazu \xF6", kLineEndHard);
    SetReference(static_cast<std::int32_t>(EditMemo()));
    Replace();
    AppendFrom(Path("src.dbf"));
    std::vector<std::string> expected = {MemoBytes(7, 2), multiBlock, MemoBytes(510, 3),
                                         "erste Fassung\r\nzweite Zeile\r\ndazu \x94\r\n",
                                         "Angeh\x84ngt aus der Tabelle"};
    if (type != 0x83) {
      const std::string blob = MemoBytes(3000, 4);
      const std::string ansi = platform::OemToAnsi(blob);
      AppendWithMemo(7, "");
      SetReference(static_cast<std::int32_t>(OpenBlob(false, 0, kBlobWrite)));
      WriteBlobStream(ansi.data(), 1000, 1);
      WriteBlobStream(ansi.data() + 1000, 1000, 1);
      SeekBlob(0, 0);
      WriteBlobStream(ansi.data(), 500, 1);
      SeekBlob(0, 2);
      WriteBlobStream(ansi.data() + 2000, 1000, 1);
      CloseBlob();
      Replace();
      expected.push_back(blob);
    }
    GO(3);
    DeleteRec();
    EXPECT_TRUE(Pack());
    CloseAll();
    for (std::string& memo : expected) memo = Hex(memo);
    return expected;
  }

  // Reads every memo of a table another program wrote, three ways, as bytes.
  void ExpectEngineReads(const std::string& table, const std::vector<std::string>& memos) {
    TableLanguageOem = false;
    USE(Path(table));
    ASSERT_EQ(RecCount(), static_cast<std::int32_t>(memos.size())) << table;
    for (std::int32_t n = 1; n <= RecCount(); ++n) {
      GO(n);
      const std::string& memo = memos[static_cast<std::size_t>(n - 1)];
      ASSERT_TRUE(GetMemo(Reference()));
      std::string joined;
      for (std::size_t i = 0; i < MemoLines.Count(); ++i) {
        joined += MemoLines.Text(i);
        if (MemoLines.End(i) == kLineEndHard) joined += "\r\n";
      }
      EXPECT_EQ(joined, memo) << table << " record " << n;
      std::string logical = Lines(Reference());
      for (std::size_t bar = logical.find('|'); bar != std::string::npos;
           bar = logical.find('|', bar)) {
        logical.replace(bar, 1, "\r\n");
      }
      EXPECT_EQ(logical, memo) << table << " record " << n;
      OpenBlob(false, Reference(), kBlobRead);
      std::string data(5000, '\0');
      data.resize(static_cast<std::size_t>(ReadBlobStream(data.data(), 5000, 2)));
      CloseBlob();
      EXPECT_EQ(data, memo) << table << " record " << n;
    }
    CloseAll();
  }
};

TEST_F(MemoValidators, BothReadTheEnginesLayoutAAndLayoutBMemos) {
  for (std::uint8_t type : {std::uint8_t{0x83}, std::uint8_t{0xF5}}) {
    SCOPED_TRACE(int{type});
    const std::vector<std::string> expected = WriteWithEngine(type);
    EXPECT_EQ(PythonReads("t.dbf"), expected);
    EXPECT_EQ(PerlReads("t.dbf"), expected);
    std::filesystem::remove(Path(MemoName(type)));
  }
}

TEST_F(MemoValidators, PerlReadsTheEnginesLayoutCMemos) {
  const std::vector<std::string> expected = WriteWithEngine(0x8B);
  EXPECT_EQ(PerlReads("t.dbf"), expected);
}

// A record without a memo keeps blanks in its memo field: a "0" there is a TypeError to
// python3-dbf, and Perl's XBase reads the memo file's header as its memo.
TEST_F(MemoValidators, BothReadARecordWithoutMemoAsEmpty) {
  for (std::uint8_t type : kTypes) {
    SCOPED_TRACE(int{type});
    NewMemoTable(type);
    AppendWithMemo(1, "erste");
    AppendWithMemo(2, "");
    AppendWithMemo(3, "dritte");
    CloseAll();
    const std::vector<std::string> expected = {Hex("erste"), "", Hex("dritte")};
    // python3-dbf refuses tables of version 0x8B.
    if (type != 0x8B) {
      EXPECT_EQ(PythonReads("t.dbf"), expected);
    }
    EXPECT_EQ(PerlReads("t.dbf"), expected);
    std::filesystem::remove(Path(MemoName(type)));
  }
}

TEST_F(MemoValidators, BothReadTheEnginesMemosInTablesPythonMade) {
  const std::vector<std::string> theirs = {MemoBytes(20, 1), MemoBytes(600, 2), MemoBytes(90, 3)};
  const std::string hex = HexFile(theirs);
  for (const char* kind : {"db3", "fp"}) {
    SCOPED_TRACE(kind);
    RunCommand("/usr/bin/python3 " + Script("memo_validate.py") + " write " + Path(kind) + " " +
               kind + " " + hex);
    TableLanguageOem = true;
    USE(Path(kind) + " EXCLUSIVE");
    GO(2);
    GetMemo(Reference());
    MemoLines.Add("Erg\xE4nzung", kLineEndNone);
    SetReference(static_cast<std::int32_t>(EditMemo()));
    Replace();
    AppendWithMemo(4, platform::OemToAnsi(MemoBytes(1500, 4)));
    CloseAll();
    const std::vector<std::string> expected = {Hex(theirs[0]), Hex(theirs[1] + "Erg\x84nzung"),
                                               Hex(theirs[2]), Hex(MemoBytes(1500, 4))};
    EXPECT_EQ(PythonReads(kind), expected);
    EXPECT_EQ(PerlReads(kind), expected);
  }
}

TEST_F(MemoValidators, TheEngineReadsTheirMemosOfOneTo2000Bytes) {
  std::vector<std::string> memos;
  int seed = 0;
  for (std::size_t length : {1, 7, 100, 255, 300, 503, 509, 510, 511, 512, 513, 1000, 2000}) {
    memos.push_back(MemoBytes(length, seed++));
  }
  const std::string hex = HexFile(memos);
  for (const char* kind : {"db3", "fp"}) {
    RunCommand("/usr/bin/python3 " + Script("memo_validate.py") + " write " + Path(kind) + " " +
               kind + " " + hex);
    ExpectEngineReads(kind, memos);
  }
  for (const char* version : {"3", "0x8B", "0xF5"}) {
    const std::string table = std::string("pl") + version;
    RunCommand("/usr/bin/perl " + Script("memo_validate.pl") + " write " + Path(table) + " " +
               version + " " + hex);
    ExpectEngineReads(table, memos);
  }
}

}  // namespace
