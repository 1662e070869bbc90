// The table picks without a form: the profile row with the hub taking the shaft's profile, where
// the profile browse opens and under which title, the browse of the materials and of the types,
// a pick whose type table is missing, Enter where there is no row, and tables that are damaged,
// foreign or short of fields in the program's own error mode.
#include "app/input/materialtables.h"

#include "base/help/helptext.h"
#include "base/settings/wbrelvar.h"
#include "tables/access/tableaccess.h"
#include "tests/app/input/inputtest.h"
#include "tests/tables/core/haltrecorder.h"

namespace {

using platform::Form;

class MaterialTables : public InputTest {
 protected:
  std::size_t BoxCount(const std::string& text) const {
    std::size_t count = 0;
    for (const std::string& line : dialogs_->Transcript()) {
      count += line.find(text) != std::string::npos ? 1 : 0;
    }
    return count;
  }
  bool Said(const std::string& text) const {
    for (std::size_t i = 1; i <= MessageCount; ++i) {
      if (Messages[i].find(text) != std::string::npos) return true;
    }
    return false;
  }
  // The profile table's eight fields, by position.
  void WriteProfiles(std::size_t fieldCount, const std::vector<std::vector<std::string>>& rows) {
    std::vector<dadav::FieldDescriptor> fields;
    for (const char* name : {"D1", "D2", "D3", "E1", "D6", "D7", "R1", "R2"}) {
      if (fields.size() < fieldCount) fields.push_back(enginetest::Def(name, 'N', 6, 2));
    }
    WriteTable("p3g.dbf", fields, rows);
  }
  void ExpectNoHalt() const {
    EXPECT_TRUE(EngineHaltRecorder::Statuses().empty());
    EXPECT_FALSE(dadav::Halting);
    EXPECT_EQ(BoxCount("Program halted."), 0u);
  }
};

TEST_F(MaterialTables, AProfileRowGivesShaftAndHubTheSameProfile) {
  CalcData.P3GRow = 3;
  std::int32_t openedAt = 0;
  std::string caption;
  InForm([&](Form& form) {
    openedAt = TableRecNo();
    caption = form.Caption();
    dadav::DbfForm->GoRecord(11);
    form.PressEnter();
  });
  SelectP3GProfile(1);
  EXPECT_EQ(openedAt, 3);
  EXPECT_EQ(caption.rfind("polygon profile P3G", 0), 0u) << caption;
  EXPECT_EQ(HelpNumber, 9510);
  const kv6record& r = CalcData;
  EXPECT_EQ(r.P3GRow, 11);
  EXPECT_EQ(std::tuple(r.d1, r.d2, r.d3, r.e1), std::tuple(40.0L, 43.0L, 37.0L, 1.5L));
  EXPECT_EQ(std::tuple(r.d4, r.d5, r.d6, r.e2), std::tuple(40.0L, 43.0L, 37.0L, 1.5L));
  EXPECT_EQ(std::tuple(r.d6pre, r.d7, r.r1, r.r2), std::tuple(36.6L, 12.0L, 29.75L, 10.25L));
}

// The material browse of the table menu takes a row for the shaft only; the type browse only
// into MaterialType.
TEST_F(MaterialTables, TheBrowsesOfTheTableMenu) {
  const RKM1BASE_Record hub = Materials[kHub];
  PickRow(6);
  BrowseMaterials(1);
  EXPECT_EQ(Materials[kShaft].Name, "C45");
  EXPECT_EQ(Materials[kHub], hub);
  const long double fs = PartFS[kShaft];
  PickRow(4);
  BrowseMaterialTypes(1);
  EXPECT_EQ(MaterialType.TypeNo, 4);
  EXPECT_EQ(MaterialType.Field7, 2.0);
  EXPECT_EQ(PartFS[kShaft], fs);
}

// Without the type table its message goes to the list, and no fatal stop is made of it.
TEST_F(MaterialTables, AMissingTypeTableIsAMessageWithoutAFatalStop) {
  std::filesystem::remove(Path("tables/kv3wstyp.dbf"));
  BrowseMaterialTypes(1);
  EXPECT_EQ(Messages[1], "Fatal  : DIN 6885 database");
  EXPECT_EQ(FatalFlag, 0);
  EXPECT_EQ(AbortFlag, 1);

  // A material row read before the type table failed is still taken.
  AbortFlag = 0;
  PartFS[kHub] = 1.75L;
  PickRow(2);
  EXPECT_TRUE(PickMaterial(1, kHub));
  EXPECT_EQ(Materials[kHub].Name, "S275JR");
  EXPECT_EQ(MaterialRecNo[kHub], 2);
  EXPECT_EQ(PartFS[kHub], 1.75L);
}

// Enter in a browse without rows picks nothing: the record, the material and its factors stay.
TEST_F(MaterialTables, EnterWhereThereIsNoRowChangesNothing) {
  WriteProfiles(8, {});
  WriteMaterials({});
  const kv6record connection = CalcData;
  const RKM1BASE_Record shaft = Materials[kShaft];
  const long double fs = PartFS[kShaft];
  const auto enter = [](Form& form) { form.PressEnter(); };
  InForm(enter);
  SelectP3GProfile(1);
  EXPECT_EQ(AbortFlag, 1);
  AbortFlag = 0;
  InForm(enter);
  EXPECT_FALSE(PickMaterial(1, kShaft));
  AbortFlag = 0;
  InForm(enter);
  BrowseMaterials(1);
  EXPECT_TRUE(dialogs_->UsedUp());
  EXPECT_EQ(CalcData, connection);
  EXPECT_EQ(Materials[kShaft], shaft);
  EXPECT_EQ(PartFS[kShaft], fs);
  EXPECT_FALSE(Said("not found"));
  EXPECT_EQ(BoxCount("Error  : "), 0u);
}

// A text file where a table should be: the engine's text in a box for each pick and browse, no
// browse, and the program goes on with the connection as it was.
TEST_F(MaterialTables, AForeignFileIsTheEnginesErrorAndNothingEndsTheProgram) {
  const EngineHaltRecorder halts;
  for (const char* table : {"p3g.dbf", "rkm1base.dbf", "kv3wstyp.dbf"}) {
    Put(std::string("tables/") + table, "d1;d2;d3;e1\r\n40;43;37;1.5\r\n");
  }
  const kv6record connection = CalcData;
  const auto materials = Materials;
  SelectP3GProfile(1);
  EXPECT_EQ(AbortFlag, 1);
  AbortFlag = 0;
  EXPECT_FALSE(PickMaterial(1, kHub));
  AbortFlag = 0;
  SelectP3GProfile(0);
  AbortFlag = 0;
  BrowseMaterials(0);
  AbortFlag = 0;
  BrowseMaterialTypes(0);
  ExpectNoHalt();
  EXPECT_EQ(BoxCount("Error  : |Error # 210 (Not a dBASE data file)"), 5u);
  EXPECT_TRUE(Boxed("p3g.dbf"));
  EXPECT_TRUE(dialogs_->UsedUp());
  EXPECT_EQ(CalcData, connection);
  EXPECT_EQ(Materials, materials);
  EXPECT_FALSE(dadav::DbfForm->tzdbf.Active());

  // The tables put right, the next pick works.
  std::filesystem::copy_file(DataPath("p3g.dbf"), Path("tables/p3g.dbf"),
                             std::filesystem::copy_options::overwrite_existing);
  AbortFlag = 0;
  PickRow(11);
  SelectP3GProfile(1);
  EXPECT_EQ(CalcData.d1, 40.0L);
}

// With the engine's real halt in place: a pick from a file that is no table, and from a type table
// short of fields, ends in the child process's own exit, not in the halt's exit with the error
// code.
TEST_F(MaterialTables, NoPickFromABrokenTableEndsTheProcess) {
  Put("tables/p3g.dbf", "d1;d2;d3;e1\r\n40;43;37;1.5\r\n");
  using enginetest::Def;
  WriteTable("kv3wstyp.dbf",
             {Def("TYPENO", 'C', 2), Def("NAME", 'C', 30), Def("FS_KEY", 'N', 5, 2),
              Def("FH_KEY", 'N', 5, 2)},
             {{" 4", "Grey iron", "1.2", "1.1"}});
  ASSERT_FALSE(dadav::ExceptionMode);
  ASSERT_TRUE(dadav::ReportErrors);
  const auto pickBoth = [this] {
    SelectP3GProfile(1);
    AbortFlag = 0;
    PickRow(12);
    PickMaterial(1, kHub);
    std::exit(BoxCount("Error  : |Error # 2") == 2 ? 0 : 1);
  };
  EXPECT_EXIT(pickBoth(), ::testing::ExitedWithCode(0), "");
}

// Tables short of the fields read by position: one box each, and a row is taken whole or not at
// all. The material row read before the short type table failed stays taken, its factors do not
// change.
TEST_F(MaterialTables, ATableShortOfFieldsIsOneBoxAndTakesNoPartOfItsRow) {
  const EngineHaltRecorder halts;
  WriteProfiles(4, {{"50", "53.5", "46.5", "1.75"}});
  const kv6record connection = CalcData;
  PickRow(1);
  SelectP3GProfile(1);
  EXPECT_EQ(CalcData, connection);
  EXPECT_EQ(AbortFlag, 1);

  using enginetest::Def;
  WriteTable("rkm1base.dbf", {Def("IDENT", 'C', 9), Def("NAME", 'C', 18), Def("NAME2", 'C', 18)},
             {{"1.0503", "C45", "C45E"}});
  const RKM1BASE_Record shaft = Materials[kShaft];
  const std::uint16_t shaftRow = MaterialRecNo[kShaft];
  AbortFlag = 0;
  PickRow(1);
  EXPECT_FALSE(PickMaterial(1, kShaft));
  EXPECT_EQ(Materials[kShaft], shaft);
  EXPECT_EQ(MaterialRecNo[kShaft], shaftRow);

  WriteMaterials({{"1.0503", "C45", "", "5", "650", "430", "210000", "7.85", "11.5", "0.3", "81000",
                   "EN 10083", ""}});
  WriteTable("kv3wstyp.dbf",
             {Def("TYPENO", 'C', 2), Def("NAME", 'C', 30), Def("FS_KEY", 'N', 5, 2),
              Def("FH_KEY", 'N', 5, 2)},
             {{" 5", "Steel", "1.2", "1.1"}});
  PartFS[kHub] = 1.25L;
  PartFH[kHub] = 1.125L;
  const std::int32_t typeBefore = MaterialType.TypeNo;
  AbortFlag = 0;
  PickRow(1);
  EXPECT_TRUE(PickMaterial(1, kHub));
  EXPECT_EQ(Materials[kHub].Name, "C45");
  EXPECT_EQ(std::tuple(PartFS[kHub], PartFH[kHub]), std::tuple(1.25L, 1.125L));
  EXPECT_EQ(MaterialType.TypeNo, typeBefore);
  EXPECT_EQ(AbortFlag, 1);

  ExpectNoHalt();
  EXPECT_EQ(BoxCount("Error  : |Error # 220 (Invalid parameter)"), 3u);
  EXPECT_EQ(BoxCount("Error  : "), 3u);
  EXPECT_FALSE(Said("not found"));
  EXPECT_TRUE(dialogs_->UsedUp());
  EXPECT_FALSE(dadav::DbfForm->tzdbf.Active());
}

}  // namespace
