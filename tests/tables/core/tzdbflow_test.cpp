#include <clocale>
#include <random>

#include "enginetest.h"
#include "platform/files/filefaults.h"
#include "platform/system/services.h"
#include "tables/core/dbf4nav.h"

namespace {

using namespace dadav;
using namespace enginetest;

class DbfLayer : public EngineTest {};

std::vector<std::uint8_t> Header(std::uint8_t version, int count, int headerLength,
                                 int recordLength) {
  std::vector<std::uint8_t> h(32, 0);
  const int bytes[] = {version,           126,         3, 15, count, 0, 0, 0, headerLength,
                       headerLength >> 8, recordLength};
  for (int i = 0; i < 11; ++i) h[i] = static_cast<std::uint8_t>(bytes[i]);
  return h;
}

void AddField(std::vector<std::uint8_t>& h, const char* name, char type, int length, int decimals) {
  std::vector<std::uint8_t> d(32, 0);
  std::memcpy(d.data(), name, std::strlen(name));
  d[11] = static_cast<std::uint8_t>(type);
  d[16] = static_cast<std::uint8_t>(length);
  d[17] = static_cast<std::uint8_t>(decimals);
  h.insert(h.end(), d.begin(), d.end());
}

TEST_F(DbfLayer, CreateTwoAppendsAndCloseGiveExactBytes) {
  std::string path = Path("golden.dbf");
  const std::pair<const char*, double> records[] = {{"AB", 2.25}, {"CDEFG", -1.0}};
  NewTable(path, {Def("name", 'C', 5), Def("Val", 'N', 5, 1)}, 2,
           [&](int i) { SetText(1, records[i - 1].first), SetReal(2, records[i - 1].second); });
  CloseAll();
  std::vector<std::uint8_t> want = Header(0x03, 2, 97, 11);
  AddField(want, "NAME", 'C', 5, 0);
  AddField(want, "VAL", 'N', 5, 1);
  want.push_back(0x0D);
  for (const char* record : {" AB     2.3", " CDEFG -1.0"})
    want.insert(want.end(), record, record + 11);
  want.push_back(0x1A);
  EXPECT_EQ(ReadBytes(path), want);
}

TEST_F(DbfLayer, CreateRulesAndMemoFile) {
  EXPECT_THROW(CreateDBF(Path("bad.dbf"), {Def("A", 'C', 0)}), EDadavError);
  EXPECT_THROW(CreateDBF(Path("bad.dbf"), {Def("A", 'Y', 3)}), EDadavError);
  CreateDBF(Path("m.dbf"), {Def("D", 'D', 3), Def("T", 'M', 0)});
  std::vector<std::uint8_t> memo = ReadBytes(Path("m.dbt"));
  ASSERT_EQ(memo.size(), 24u);
  EXPECT_EQ(std::string(memo.begin() + 8, memo.begin() + 9), "m");
  EXPECT_EQ(std::vector<std::uint8_t>(memo.begin() + 18, memo.begin() + 20),
            (std::vector<std::uint8_t>{0x02, 0x01}));
  std::vector<std::uint8_t> table = ReadBytes(Path("m.dbf"));
  EXPECT_EQ(table[0], 0x8B);
  EXPECT_EQ(table[32 + 16], 8);  // the D field got length 8
  USE(Path("m.dbf") + " EXCLUSIVE");
  ClearRecord();
  Append();
  CloseAll();
  table = ReadBytes(Path("m.dbf"));
  EXPECT_EQ(std::string(table.end() - 11, table.end() - 1), "          ") << "no memo: blanks";
  // A "0" other programs may have stored reads as no memo too, and goes back as blanks.
  std::memcpy(&*(table.end() - 11), "         0", 10);
  WriteBytes(Path("m.dbf"), table);
  USE(Path("m.dbf") + " EXCLUSIVE");
  std::string text;
  FieldAsText(2, text);
  EXPECT_EQ(text, "none");
  Replace();
  CloseAll();
  table = ReadBytes(Path("m.dbf"));
  EXPECT_EQ(std::string(table.end() - 11, table.end() - 1), "          ");
  MemoType = 0x83;
  CreateDBF(Path("F.DBF"), {Def("X", 'F', 6, 2), Def("M", 'M', 0)});
  EXPECT_EQ(ReadBytes(Path("F.DBF"))[32 + 11], 'N');
  EXPECT_EQ(ReadBytes(Path("F.DBT")).size(), 513u);
  MemoType = 0x8B;
}

TEST_F(DbfLayer, DamagedHeadersGiveTheirMessages) {
  std::vector<std::uint8_t> good = Header(0x03, 0, 65, 4);
  AddField(good, "A", 'C', 3, 0);
  good.push_back(0x0D);
  auto with = [&](std::size_t at, std::uint8_t v) {
    auto h = good;
    h[at] = v;
    return h;
  };
  auto noFields = Header(0x03, 0, 33, 1);
  noFields.push_back(0x0D);
  // A logical of length 0 last in the record would read and write one byte past it.
  auto emptyLogical = Header(0x03, 0, 65, 1);
  AddField(emptyLogical, "OK", 'L', 0, 0);
  emptyLogical.push_back(0x0D);
  const std::tuple<std::vector<std::uint8_t>, std::uint16_t, const char*> cases[] = {
      {std::vector<std::uint8_t>(20, 3), 210,
       " is not a dBASE database. (Prolog is less than 32 bytes) [USE/OpenDBF]"},
      {with(0, 0x30), 210, " is not a dBASE database.(Invalid version byte)+ [USE/OpenDBF]"},
      {with(0, 0x05), 210, " is not a dBASE database.(Invalid version byte)+ [USE/OpenDBF]"},
      {noFields, 210, " is not a dBASE database. (Number of fields is out of range) [Use/OpenDbf]"},
      {with(32, 0x0D), 222, " [Use/OpenDbf]"},
      {with(10, 2), 210,
       " is not a dBASE database. (Record length does not match the fields) [USE/OpenDbf]"},
      {with(7, 0x80), 210,
       " is not a dBASE database. (Number of records is out of range) [USE/OpenDbf]"},
      {with(32 + 11, 'Y'), 211, " is not a valid field type"},
      {with(32 + 11, 'D'), 211, " is not 8 bytes long"},
      {emptyLogical, 211, "Field: OK [L] in "},
      {with(32 + 11, 'L'), 211, " is not 1 byte long"},
      {Header(0x02, 0, 0, 2), 210,
       " is not a dBASE database.(Header is less than 521 bytes) [Use/OpenDBF]"},
  };
  for (const auto& [bytes, code, message] : cases) {
    WriteBytes(Path("bad.dbf"), bytes);
    try {
      USE(Path("bad.dbf"));
      ADD_FAILURE() << message;
    } catch (const EDadavError& e) {
      EXPECT_EQ(LastErrorCode, code) << message;
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    }
    EXPECT_EQ(Area(), nullptr);
  }
}

// The end-of-file position is one past the last record, so a stored count must leave room for it.
TEST_F(DbfLayer, RecordCountsWithoutRoomPastTheEnd) {
  auto table = [](std::uint32_t count) {
    std::vector<std::uint8_t> h = Header(0x03, 0, 65, 4);
    std::memcpy(h.data() + 4, &count, 4);
    AddField(h, "A", 'C', 3, 0);
    h.push_back(0x0D);
    for (char c : std::string(" abc")) h.push_back(static_cast<std::uint8_t>(c));
    return h;
  };
  WriteBytes(Path("max.dbf"), table(0x7FFFFFFF));
  try {
    USE(Path("max.dbf"));
    ADD_FAILURE() << "opened";
  } catch (const EDadavError& e) {
    EXPECT_EQ(LastErrorCode, 210) << e.what();
  }
  // An exclusive open looks for trailing records past the largest count the engine allows.
  WriteBytes(Path("largest.dbf"), table(0x7FFFFFFE));
  USE(Path("largest.dbf") + " EXCLUSIVE");
  EXPECT_EQ(RecCount(), 0x7FFFFFFE);
  // That table is full: an append is refused and changes nothing (the size limit only keeps a
  // faulty engine from writing gigabytes).
  const std::vector<std::uint8_t> before = ReadBytes(Path("largest.dbf"));
  ClearRecord();
  WithFileSizeLimit(1 << 20, [] {
    for (int i = 0; i < 2; ++i) EXPECT_THROW(Append(), EDadavError);
  });
  EXPECT_EQ(LastErrorCode, 212);
  EXPECT_EQ(RecCount(), 0x7FFFFFFE);
  CloseAll();
  EXPECT_EQ(ReadBytes(Path("largest.dbf")), before);
}

// An exclusive table writes its record count into the header at close, as other xBase programs
// expect; records a crash left beyond that count are taken in by the next exclusive open, whose
// close writes the count that takes them in.
TEST_F(DbfLayer, RecordsBeyondTheHeaderCountAreTakenInByTheNextExclusiveOpen) {
  const auto headerCount = [this] {
    const std::vector<std::uint8_t> bytes = ReadBytes(Path("c.dbf"));
    return bytes[4] | bytes[5] << 8;
  };
  NewTable(Path("c.dbf"), {Def("A", 'C', 4)}, 3,
           [](int i) { SetText(1, "R" + std::to_string(i)); });
  EXPECT_EQ(headerCount(), 0) << "an open exclusive table keeps its count to itself";
  CloseAll();
  EXPECT_EQ(headerCount(), 3);
  USE(Path("c.dbf") + " EXCLUSIVE");
  for (const char* text : {"R4", "R5"}) {
    ClearRecord();
    SetText(1, text);
    Append();
  }
  const std::vector<std::uint8_t> crashed = ReadBytes(Path("c.dbf"));
  CloseAll();
  WriteBytes(Path("c.dbf"), crashed);
  EXPECT_EQ(headerCount(), 3) << "what programs that trust the header see";
  USE(Path("c.dbf") + " EXCLUSIVE");
  EXPECT_EQ(RecCount(), 5);
  EXPECT_EQ(Stored(1, 5), "R5  ");
  ClearRecord();
  SetText(1, "R6");
  Append();
  EXPECT_EQ(RecNo(), 6) << "the append went after the records taken in";
  CloseAll();
  EXPECT_EQ(headerCount(), 6);
}

TEST_F(DbfLayer, Version2With32FieldsAndLevel7) {
  std::vector<std::uint8_t> v2(521, 0);
  v2[0] = 0x02;
  v2[1] = 1;
  v2[6] = 33;
  for (int i = 0; i < 32; ++i) {
    std::uint8_t* d = v2.data() + 8 + i * 16;
    d[0] = static_cast<std::uint8_t>('A' + i % 26);
    d[1] = static_cast<std::uint8_t>('0' + i / 26);
    d[11] = 'C';
    d[12] = 1;
  }
  v2[520] = 0x0D;
  std::string record = " " + std::string(32, 'x');
  v2.insert(v2.end(), record.begin(), record.end());
  WriteBytes(Path("v2.dbf"), v2);
  USE(Path("v2.dbf"));
  EXPECT_EQ(std::tuple(FieldCount(), FieldText(32)), std::tuple(32, std::string("x")));
  MemoType = 0x8C;
  CreateDBF(Path("l7.dbf"), {Def("LONGNAME", 'N', 4), Def("B", 'B', 0)});
  MemoType = 0x8B;
  std::vector<std::uint8_t> l7 = ReadBytes(Path("l7.dbf"));
  EXPECT_EQ(l7[0], 0x8C);
  EXPECT_EQ(std::string(l7.begin() + 32, l7.begin() + 40), "DBWINWE0");
  EXPECT_EQ(l7[29], 0);
  USE(Path("l7.dbf") + " ALIAS L7");
  EXPECT_EQ(std::tuple(FieldCount(), FieldType(2), FieldLen(1)), std::tuple(2, 'M', 4));
}

TEST_F(DbfLayer, GermanLocaleStillStoresAPoint) {
  const char* old = std::setlocale(LC_ALL, "de_DE.UTF-8");
  if (old == nullptr) GTEST_SKIP() << "de_DE.UTF-8 missing";
  DecimalChar = ',';
  NewTable(Path("de.dbf"), {Def("V", 'N', 8, 2)}, 1, [](int) { SetReal(1, 3.5); });
  EXPECT_EQ(FieldText(1), "    3,50");
  CloseAll();
  std::setlocale(LC_ALL, "C");
  std::vector<std::uint8_t> bytes = ReadBytes(Path("de.dbf"));
  EXPECT_EQ(std::string(bytes.end() - 9, bytes.end() - 1), "    3.50");
}

TEST_F(DbfLayer, ReplaceKeepsWideNumbersAndOldDates) {
  std::string path = Path("keep.dbf");
  CreateDBF(path,
            {Def("BIG", 'N', 11), Def("HUGE", 'N', 20), Def("BORN", 'D', 8), Def("NOTE", 'C', 2)});
  std::vector<std::uint8_t> bytes = ReadBytes(path);
  bytes.pop_back();
  const std::string stored = std::string(" 12345678901") + " 9999999999999999999" + "19400101";
  std::string record = stored + "ab";
  bytes.insert(bytes.end(), record.begin(), record.end());
  bytes.push_back(0x1A);
  bytes[4] = 1;
  WriteBytes(path, bytes);
  CenturyBase = 1956;
  USE(path + " EXCLUSIVE");
  EXPECT_EQ(FieldText(1), "12345678901");
  EXPECT_EQ(FieldText(3), "01/01/40");
  SetText(4, "cd");
  Replace();
  CloseAll();
  std::vector<std::uint8_t> after = ReadBytes(path);
  EXPECT_EQ(std::string(after.end() - 43, after.end() - 1), stored + "cd");
  USE(path + " EXCLUSIVE");
  SetText(3, "02/01/40");
  Replace();
  after = ReadBytes(path);
  EXPECT_EQ(std::string(after.end() - 11, after.end() - 3), "20400201");
  SetText(3, "2/30/40");
  Replace();
  CloseAll();
  after = ReadBytes(path);
  EXPECT_EQ(std::string(after.end() - 11, after.end() - 3), "        ");
}

// The same date text appended again is read again under the window and picture of its time.
TEST_F(DbfLayer, ARepeatedDateFollowsTheWindowAndPicture) {
  std::string path = Path("dates.dbf");
  NewTable(path, {Def("BORN", 'D', 8)});
  const std::tuple<std::uint16_t, std::uint8_t, const char*, const char*> cases[] = {
      {1930, 0, "01/02/40", "19400102"},
      {1950, 0, "01/02/40", "20400102"},
      {1950, 2, "01/02/40", "20400201"},
      {1950, 2, "31/02/40", "        "}};
  int record = 0;
  for (const auto& [base, picture, text, dtos] : cases) {
    CenturyBase = base;
    SetDateFormat(picture);
    ClearRecord();
    SetText(1, text);
    Append();
    EXPECT_EQ(Stored(1, ++record), dtos) << base << " " << text;
  }
}

double RealAt(int field) {
  double value = 0;
  std::memcpy(&value, FieldAddress(field), 8);
  return value;
}

// Records whose stored dates and numbers repeat are read as if each were converted anew: under
// the date picture and century in force, and over whatever the native record held before.
TEST_F(DbfLayer, RepeatedStoredValuesReadAsConvertedAnew) {
  std::string path = Path("repeat.dbf");
  NewTable(path, {Def("BORN", 'D', 8), Def("PRICE", 'N', 8, 2), Def("MEMO", 'M', 10)}, 3,
           [](int) { SetText(1, "03/15/26"), SetReal(2, 2.5); });
  GO(1);
  EXPECT_EQ(FieldText(1), "03/15/26");
  SetDateFormat(2);
  GO(2);
  EXPECT_EQ(FieldText(1), "15/03/26");
  CenturyOn = true;
  GO(3);
  EXPECT_EQ(FieldText(1), "15/03/2026");
  CenturyOn = false;
  SetReal(2, 9.75);
  SetText(1, "01/01/99");
  GO(3);
  EXPECT_EQ(RealAt(2), 2.5);
  EXPECT_EQ(FieldText(1), "15/03/26");
  SetDateFormat(3);
  ClearRecord();
  EXPECT_EQ(FieldText(1), "  -  -  ");
  SetDateFormat(0);
  ClearRecord();
  EXPECT_EQ(FieldText(1), "  /  /  ");
  EXPECT_EQ(RealAt(2), 0.0);
}

TEST_F(DbfLayer, ShortWriteLeavesTheTableWhole) {
  std::string path = Path("short.dbf");
  NewTable(path, {Def("T", 'C', 200)}, 1);
  WithFileSizeLimit(ReadBytes(path).size() + 50, [] { EXPECT_THROW(Append(), EDadavError); });
  EXPECT_EQ(LastErrorCode, 101);
  EXPECT_EQ(RecCount(), 1);
  CloseAll();
  std::vector<std::uint8_t> bytes = ReadBytes(path);
  EXPECT_EQ(bytes[4], 1);
  EXPECT_EQ(bytes.size(), 65u + 201u + 1u);
}

// CREATE over a table replaces it only once the new one is complete: a failed write leaves the old.
TEST_F(DbfLayer, AFailedCreateLeavesTheOldTable) {
  const std::string path = Path("c.dbf");
  NewTable(path, {Def("T", 'C', 10)}, 2);
  CloseAll();
  const std::vector<std::uint8_t> old = ReadBytes(path);
  {
    platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
    faults->FailWrite(1);
    EXPECT_THROW(CreateDBF(path, {Def("N", 'N', 5)}), EDadavError);
  }
  EXPECT_EQ(ReadBytes(path), old);
}

TEST_F(DbfLayer, MutatedHeadersNeverCrash) {
  std::string path = Path("fuzz.dbf");
  NewTable(path, {Def("A", 'C', 3), Def("N", 'N', 12, 3), Def("D", 'D', 8), Def("L", 'L', 1)}, 3);
  CloseAll();
  const std::vector<std::uint8_t> clean = ReadBytes(path);
  auto tryTable = [&](const std::vector<std::uint8_t>& bytes, const std::string& option) {
    WriteBytes(path, bytes);
    try {
      USE(path + option);
      for (int i = 0; i < 5 && !dEOF(); ++i) SKIP(1);
      if (!option.empty()) {
        Append();
        GO(1);
        Replace();
      }
      CloseAll();
    } catch (const EDadavError&) {
      try {
        CloseAll();
      } catch (const EDadavError&) {
      }
    }
  };
  std::mt19937 random(8);
  for (int round = 0; round < 400; ++round) {
    std::vector<std::uint8_t> bytes = clean;
    int flips = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < flips; ++i) bytes[random() % 160] = static_cast<std::uint8_t>(random());
    if (round % 7 == 0) bytes.resize(random() % bytes.size());
    tryTable(bytes, "");
  }
  // The types whose values have a size of their own, at every short length, as the last field
  // with the record ending where it ends; read and written.
  constexpr std::size_t kLast = 32 + 3 * 32;
  for (char type : {'L', 'D', 'M', 'N'}) {
    for (std::uint8_t length = 0; length <= 2; ++length) {
      std::vector<std::uint8_t> bytes = clean;
      bytes[kLast + 11] = static_cast<std::uint8_t>(type);
      bytes[kLast + 16] = length;
      bytes[10] = static_cast<std::uint8_t>(1 + 3 + 12 + 8 + length);
      tryTable(bytes, " EXCLUSIVE");
    }
  }
}

}  // namespace
