// The table picks without a form: the profile row with the hub taking the shaft's profile, where
// the profile browse opens and under which title, the browse of the materials and of the types,
// and a pick whose type table is missing.
#include "app/input/materialtables.h"

#include "base/help/helptext.h"
#include "base/settings/wbrelvar.h"
#include "tables/access/tableaccess.h"
#include "tests/app/input/inputtest.h"

namespace {

using platform::Form;

class MaterialTables : public InputTest {};

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

}  // namespace
