// APPEND FROM with virtual files on either side: the real virtual-file module behind the core.
#include <gtest/gtest.h>

#include <fstream>

#include "tables/core/dbf4append.h"
#include "tables/core/dbf4delim.h"
#include "tests/tables/modules/vfile/vfiletest.h"

namespace {

using enginetest::Def;
using enginetest::FieldText;
using enginetest::NewTable;
using vfiletest::VFileTest;
using Strings = std::vector<std::string>;

class VFileAppendTest : public VFileTest {
 protected:
  // "src.dbf": NAME C(10), BORN D with the stored dates 19400501 and 20260315, closed again.
  std::string MakeSource() {
    const std::string path = Path("src.dbf");
    NewTable(path, {Def("NAME", 'C', 10), Def("BORN", 'D', 8)}, 2, [](int i) {
      enginetest::SetText(1, "Name" + std::to_string(i));
      dadav::PutStoredField(2, i == 1 ? "19400501" : "20260315");
    });
    dadav::CloseArea();
    return path;
  }

  // Every record of the current area: field `field` as text, dates as YYYYMMDD.
  static Strings Column(std::int32_t field) {
    Strings values;
    for (dadav::GoTop(); !dadav::dEOF(); dadav::SKIP(1)) {
      const std::string text = FieldText(field);
      values.push_back(dadav::FieldType(field) == 'D' ? dadav::DateToDtos(text) : text);
    }
    return values;
  }
};

// The caller's buffer may be larger than the structure needs; only the structure's record is
// taken from the source.
TEST_F(VFileAppendTest, VirtualTargetTakesTheRecordItsStructureDefines) {
  const std::string source = MakeSource();
  std::vector<std::uint8_t> buffer(256);
  dadav::USE("WIDE VIRTUAL FILE", buffer.data(), static_cast<std::uint16_t>(buffer.size()));
  dadav::AddStru({Def("NAME", 'C', 10), Def("BORN", 'D', 8)});
  dadav::AppendFrom(source);
  EXPECT_EQ(dadav::LastErrorCode, 0);
  EXPECT_EQ(Column(1), (Strings{"Name1     ", "Name2     "}));
}

TEST_F(VFileAppendTest, VirtualSourceIsFoundByTheNameItWasOpenedWith) {
  dadav::USE("names.vf fifo virtual file alias N", buffer_, kSize);
  dadav::AddStru({Def("NAME", 'C', 10), Def("ID", 'N', 8)});
  Add("Gear", 1);
  Add("Hub", 2);
  EXPECT_EQ(Failure([] { dadav::AppendFrom("NAMES.VF VIRTUAL FILE"); }).first, 214);
  dadav::Select(2);
  NewTable(Path("t.dbf"), {Def("ID", 'N', 3), Def("NAME", 'C', 4)});
  dadav::AppendFrom("Names.vf LINKED LIST");
  EXPECT_EQ(dadav::LastErrorCode, 0);
  EXPECT_EQ(Column(2), (Strings{"Gear", "Hub "}));
  EXPECT_EQ(Failure([] { dadav::AppendFrom("N VIRTUAL"); }).first, 215);
}

// Without SET CENTURY a two-digit year would move 1940 to 2040: a virtual file keeps the year
// whole, whichever way the date arrives.
TEST_F(VFileAppendTest, DatesReachAVirtualTargetWithTheirCentury) {
  const std::string source = MakeSource();
  const Strings dates = {"19400501", "20260315"};
  std::vector<std::uint8_t> buffer(64);
  const auto size = static_cast<std::uint16_t>(buffer.size());
  dadav::USE("SAME VIRTUAL FILE", buffer.data(), size);
  dadav::AddStru({Def("NAME", 'C', 10), Def("BORN", 'D', 8)});
  dadav::AppendFrom(source);
  EXPECT_EQ(Column(2), dates);

  dadav::USE("OTHER VIRTUAL FILE", buffer.data(), size);
  dadav::AddStru({Def("BORN", 'D', 8)});
  dadav::AppendFrom(source);
  EXPECT_EQ(Column(1), dates);

  std::ofstream(Path("dates.txt"), std::ios::binary) << "19400501\r\n20260315\r\n";
  dadav::USE("TEXT VIRTUAL FILE", buffer.data(), size);
  dadav::AddStru({Def("BORN", 'D', 8)});
  EXPECT_EQ(dadav::AppendFromDelimited(Path("dates.txt"), false), 2);
  EXPECT_EQ(Column(1), dates);

  // and back into a table, still with the century
  dadav::Select(2);
  NewTable(Path("t.dbf"), {Def("BORN", 'D', 8)});
  dadav::AppendFrom("TEXT VIRTUAL FILE");
  EXPECT_EQ(std::tuple(enginetest::Stored(1, 1), enginetest::Stored(1, 2)),
            std::tuple(dates[0], dates[1]));
}

// A new record starts blank as a table's does, so fields the source does not fill never keep
// the previous record's values.
TEST_F(VFileAppendTest, FieldsWithoutSourceStartBlank) {
  const std::string source = MakeSource();
  std::ofstream(Path("names.txt"), std::ios::binary) << "Gear\r\nHub\r\n";
  std::vector<std::uint8_t> buffer(64);
  const auto size = static_cast<std::uint16_t>(buffer.size());
  const auto open = [&](const char* name) {
    dadav::USE(std::string(name) + " VIRTUAL FILE", buffer.data(), size);
    dadav::AddStru({Def("NAME", 'C', 10), Def("ID", 'N', 8), Def("OK", 'L', 1), Def("CODE", 'C', 3),
                    Def("DUE", 'D', 8)});
    // values a previous record would leave behind
    const std::int32_t id = 7;
    std::memcpy(dadav::FieldAddress(2), &id, 4);
    enginetest::SetLogical(3, true);
    enginetest::SetText(4, "abc");
    enginetest::SetText(5, "03/15/2026");
  };
  const auto expectBlank = [] {
    EXPECT_EQ(Column(2), Strings(2, "       0"));
    EXPECT_EQ(Column(3), Strings(2, "N"));
    EXPECT_EQ(Column(4), Strings(2, "   "));
    EXPECT_EQ(Column(5), Strings(2, "        "));
  };
  open("FROMTABLE");
  dadav::AppendFrom(source);
  expectBlank();
  open("FROMTEXT");
  EXPECT_EQ(dadav::AppendFromDelimited(Path("names.txt"), false), 2);
  expectBlank();
}

}  // namespace
