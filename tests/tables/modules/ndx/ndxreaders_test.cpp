// Other programs read an index that carries the in-change mark exactly as they read it without:
// Perl XBase (libdbd-xbase-perl) walks and seeks it alike. (python3-dbf reads no NDX files; the
// tools of Debian's libxbase64 find no record through any index here, and its own reindex fails.)

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tables/modules/ndx/ndxtest.h"

namespace {

using namespace dadav;
using namespace enginetest;
using ndxtest::Entry;

constexpr std::size_t kMarkOffset = 480;

class IndexReaders : public ndxtest::IndexTest {
 protected:
  void SetUp() override {
    IndexTest::SetUp();
    NewTable(Path("r.dbf"), {Def("NAME", 'C', 10), Def("QTY", 'N', 10, 2)}, 700, [](int i) {
      SetText(1, "N" + std::to_string(i * 7919 % 100003));
      SetReal(2, (i * 37 % 1000) / 4.0 - 50);
    });
    MakeIndexExpr("NAME", Path("name.ndx"));
    MakeIndexExpr("QTY", Path("qty.ndx"));
    CloseAll();
    // The marked copies are taken while a change is under way, as a crash would leave them;
    // the unmarked ones once the change is done.
    USE(Path("r.dbf") + " EXCLUSIVE");
    CloseAndSetIndexTo(Path("name.ndx") + " " + Path("qty.ndx"));
    ClearRecord();
    SetText(1, "ADDED");
    SetReal(2, 12.5);
    Append();
    for (const char* index : {"name", "qty"}) {
      const std::vector<std::uint8_t> marked = ReadBytes(Path(index) + ".ndx");
      EXPECT_EQ(std::string(marked.begin() + kMarkOffset, marked.begin() + kMarkOffset + 8),
                "INCHANGE");
      WriteBytes(Path(index) + "_m.ndx", marked);
    }
    CloseAll();
  }

  // The pairs of an index file as walked leaf by leaf, sure to be sound.
  std::vector<Entry> Entries(const std::string& index) {
    const ndxtest::TreeReport report = ndxtest::CheckIndexFile(Path(index));
    EXPECT_EQ(report.problem, "") << index;
    return report.entries;
  }
};

TEST_F(IndexReaders, PerlXBaseReadsAMarkedIndexAsAnUnmarkedOne) {
  if (!ndxtest::HavePerlReader()) GTEST_SKIP() << "libdbd-xbase-perl missing";
  for (const char* index : {"name", "qty"}) {
    const std::vector<Entry> entries = Entries(std::string(index) + ".ndx");
    EXPECT_EQ(entries.size(), 701u);
    EXPECT_EQ(Entries(std::string(index) + "_m.ndx"), entries);
    for (const std::string file : {".ndx", "_m.ndx"}) {
      EXPECT_EQ(ndxtest::PerlDisagreement(Path(index) + file, entries, Path("list.txt")), "")
          << index << file;
    }
  }
}

}  // namespace
