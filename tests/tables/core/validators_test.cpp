#include "enginetest.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4pack.h"
#include "tests/support/command.h"

namespace {

using namespace dadav;
using namespace enginetest;

bool Have(const std::string& probe) {
  return std::system((probe + " >/dev/null 2>&1").c_str()) == 0;
}

class Validators : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    if (!Have("/usr/bin/python3 -c 'import dbfread, dbf'") || !Have("command -v dbview")) {
      GTEST_SKIP() << "python3-dbfread, python3-dbf or dbview missing";
    }
  }

  static std::string Py(const std::string& code) {
    return RunCommand("/usr/bin/python3 -c \"" + code + "\"").output;
  }
  std::string View() {
    return RunCommand("cd " + dir_ + " && dbview -b -t -d ';' sample.dbf").output;
  }

  std::string WriteSample() {
    std::string path = Path("sample.dbf");
    const std::tuple<const char*, double, double, bool, const char*> rows[] = {
        {"Gu\xDF"
         "eisen",
         3.5, 0.125, true, "01/02/1940"},
        {"gone", 1, 2, false, ""},
        {"big", 123456, -1.5, false, "12/31/2025"}};
    CenturyOn = true;
    auto fill = [&](int i) {
      const auto& [name, qty, rate, ok, born] = rows[i - 1];
      SetText(1, name), SetReal(2, qty), SetReal(3, rate), SetLogical(4, ok), SetText(5, born);
    };
    NewTable(path,
             {Def("NAME", 'C', 10), Def("QTY", 'N', 5, 1), Def("RATE", 'F', 8, 3),
              Def("OK", 'L', 1), Def("BORN", 'D', 8)},
             3, fill, {2});
    CenturyOn = false;
    CloseAll();
    return path;
  }
};

TEST_F(Validators, EngineTableReadsInAllThree) {
  std::string path = WriteSample();
  EXPECT_EQ(Py("import dbfread\nfor r in dbfread.DBF('" + path +
               "', encoding='cp850', load=True): print(r['NAME'], r['QTY'], r['RATE'], r['OK'], "
               "r['BORN'])"),
            "Gu\xC3\x9F"
            "eisen 3.5 0.125 True 1940-01-02\nbig None -1.5 False 2025-12-31\n");
  EXPECT_EQ(Py("import dbf\nt = dbf.Table('" + path +
               "', codepage='cp850')\nt.open()\nprint(len(t), t[0].name.strip(), t[0].qty, "
               "dbf.is_deleted(t[1]))"),
            "3 Gu\xC3\x9F"
            "eisen 3.5 True\n");
  const std::string view = View();
  EXPECT_NE(view.find("3.5"), std::string::npos) << view;
  EXPECT_NE(view.find("19400102"), std::string::npos) << view;
}

TEST_F(Validators, PackedAndSharedAppendsAreSeen) {
  std::string path = WriteSample();
  USE(path);
  ASSERT_TRUE(ALock());
  ClearRecord();
  SetText(1, "shared");
  Append();
  EXPECT_EQ(
      Py("import dbf\nt = dbf.Table('" + path + "', codepage='cp850')\nt.open()\nprint(len(t))"),
      "4\n");
  EXPECT_NE(View().find("shared"), std::string::npos);
  Unlock();
  EXPECT_TRUE(Pack());
  CloseAll();
  EXPECT_EQ(
      Py("import dbfread\nprint(len(dbfread.DBF('" + path + "', encoding='cp850', load=True)))"),
      "3\n");
}

TEST_F(Validators, MemoTableOpensInDbfread) {
  NewTable(Path("memo.dbf"), {Def("A", 'C', 3), Def("NOTE", 'M', 10)}, 1,
           [](int) { SetText(1, "abc"); });
  CloseAll();
  EXPECT_EQ(Py("import dbfread\nprint([dict(r) for r in dbfread.DBF('" + Path("memo.dbf") +
               "', encoding='cp850')])"),
            "[{'A': 'abc', 'NOTE': None}]\n");
}

TEST_F(Validators, EngineReadsPythonTables) {
  std::string script =
      "import dbf\n"
      "for name, kind in (('db3', 'db3'), ('db3m', 'db3'), ('fp', 'fp'), ('vfp', 'vfp')):\n"
      "  fields = 'NAME C(8); QTY N(6,2)' + ('; NOTE M' if name in ('db3m', 'fp') else '')\n"
      "  t = dbf.Table('" +
      dir_ +
      "/' + name + '.dbf', fields, dbf_type=kind, codepage='cp850')\n"
      "  t.open(dbf.READ_WRITE)\n"
      "  t.append(('stahl', 2.5) + (('x',) if 'NOTE' in fields else ()))\n"
      "  t.close()\n";
  Py(script);
  for (auto [name, version] : {std::pair{"db3", 0x03}, {"db3m", 0x83}, {"fp", 0xF5}}) {
    EXPECT_EQ(ReadBytes(Path(name) + ".dbf")[0], version) << name;
    USE(Path(name));
    EXPECT_EQ(std::tuple(RecCount(), FieldText(1), FieldText(2)),
              std::tuple(1, "stahl   ", "  2.50"))
        << name;
    CloseArea();
  }
  EXPECT_THROW(USE(Path("vfp")), EDadavError);
  EXPECT_EQ(LastErrorCode, 210);
}

}  // namespace
