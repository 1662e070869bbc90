#include "app/input/materialtables.h"

#include <string>

#include "base/dialogs/utilcrt.h"
#include "base/settings/wbrelvar.h"
#include "base/text/messages.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "calc/calctexts.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"
#include "tables/access/tableaccess.h"

namespace {

constexpr int kTextPolygonProfile = 52;
constexpr std::uint16_t kMaterialHelp = 9500;
constexpr std::uint16_t kProfileHelp = 9510;
constexpr std::uint16_t kTypeHelp = 9520;
constexpr char kEnter = 13;
constexpr char kEsc = 27;

long double RealField(std::int32_t n) {
  return TextToReal(GetTableField(n));
}

std::int32_t IntField(std::int32_t n) {
  return TextToInt(GetTableField(n));
}

// Opens the table under its titles: the table's name, and the title that leads the caption
// and names the help item. False when it could not be opened.
bool OpenTitled(const std::string& table, const std::string& title) {
  SetTableTitles(table, title);
  OpenTable(table);
  return AbortFlag == 0;
}

void IndexOnFirstField(const std::string& table) {
  IndexOnTemp(TableFieldName(1), table);
}

// Shows the browse form; true when the user chose a row with Enter. A browse closed any other
// way chooses nothing.
bool RowChosen(std::uint16_t mode, std::uint16_t help) {
  SetHelpNumber(help);
  BrowseExitKey = kEsc;
  ShowTable("", mode);
  return BrowseExitKey == kEnter && AbortFlag == 0;
}

// The type of the part's material gives its fS and fH: fields 5 and 6 of the type row for the
// shaft, 7 and 8 for the hub.
void ReadPartFactors(int part) {
  if (!OpenTitled("kv3wstyp", VocMaterialTypes)) return;
  IndexOnFirstField("kv3wstyp");
  const std::int32_t type = Materials[part].TypeNo;
  TableFind(IntTextBlank(type, 2));
  if (TableFound()) {
    ReadMaterialType();
    PartFS[part] = part == kShaft ? MaterialType.Field5 : MaterialType.Field7;
    PartFH[part] = part == kShaft ? MaterialType.Field6 : MaterialType.Field8;
  } else {
    const std::string text = VocMaterialType + " " + IntTextZero(type, 2) + " " + VocNotFound + ".";
    ShowError(text);
    AddMessage(text);
  }
  CloseTableFile();
}

}  // namespace

void ReadP3GProfileRow() {
  kv6record& r = CalcData;
  r.d1 = RealField(1);
  r.d2 = RealField(2);
  r.d3 = RealField(3);
  r.e1 = RealField(4);
  r.d4 = r.d1;
  r.d5 = r.d2;
  r.d6 = r.d3;
  r.d6pre = RealField(5);
  r.d7 = RealField(6);
  r.e2 = r.e1;
  r.r1 = RealField(7);
  r.r2 = RealField(8);
}

void SelectP3GProfile(std::uint16_t mode) {
  if (!OpenTitled("p3g", CalcTexts[kTextPolygonProfile] + " P3G")) return;
  IndexOnFirstField("p3g");
  if (CalcData.P3GRow != 0) GotoTableRecord(CalcData.P3GRow);
  if (RowChosen(mode, kProfileHelp) && mode == 1) {
    ReadP3GProfileRow();
    CalcData.P3GRow = SelectedRecord;
  }
  CloseTableFile();
}

void ReadMaterialRecord(int part) {
  RKM1BASE_Record& m = Materials[part];
  m.Ident = GetTableField(1);
  m.Name = TrimBlanks(GetTableField(2));
  m.Name2 = TrimBlanks(GetTableField(3));
  m.TypeNo = IntField(4);
  m.Rm = IntField(5);
  m.Re = IntField(6);
  m.E = IntField(7);
  m.Val8 = static_cast<double>(RealField(8));
  m.Val9 = static_cast<double>(RealField(9));
  m.Poisson = static_cast<double>(RealField(10));
  m.Val11 = static_cast<double>(RealField(11));
  m.Text12 = GetTableField(12);
  m.Text13 = GetTableField(13);
}

void ReadMaterialType() {
  MaterialType.TypeNo = IntField(1);
  MaterialType.Name = GetTableField(2);
  MaterialType.Field3 = static_cast<double>(RealField(3));
  MaterialType.Field4 = static_cast<double>(RealField(4));
  MaterialType.Field5 = static_cast<double>(RealField(5));
  MaterialType.Field6 = static_cast<double>(RealField(6));
  MaterialType.Field7 = static_cast<double>(RealField(7));
  MaterialType.Field8 = static_cast<double>(RealField(8));
}

bool PickMaterial(std::uint16_t mode, int part) {
  if (!OpenTitled("rkm1base", VocMaterial + " " + PartName(static_cast<std::uint16_t>(part)))) {
    return false;
  }
  IndexOnFirstField("rkm1base");
  TableFind(Materials[part].Ident);
  if (!TableFound()) {
    // An Ident no longer in the table: the record the material came from, or the first.
    if (MaterialRecNo[part] != 0) {
      GotoTableRecord(MaterialRecNo[part]);
    } else {
      GotoClamped(1);
    }
  }
  const bool chosen = RowChosen(mode, kMaterialHelp) && mode != 0;
  if (chosen) {
    ReadMaterialRecord(part);
    MaterialRecNo[part] = static_cast<std::uint16_t>(SelectedRecord);
  }
  CloseTableFile();
  if (chosen) ReadPartFactors(part);
  return chosen;
}

void BrowseMaterials(std::uint16_t mode) {
  if (!OpenTitled("rkm1base", VocMaterialDatabase)) return;
  if (RowChosen(mode, kMaterialHelp) && mode != 0) ReadMaterialRecord(kShaft);
  CloseTableFile();
}

void BrowseMaterialTypes(std::uint16_t mode) {
  const std::string title = VocMaterialTypes + " " + VocWith + " fH " + VocAnd + " fS";
  if (!OpenTitled("kv3wstyp", title)) {
    AddMessage("Fatal  : DIN 6885 " + VocDatabase);
    return;
  }
  IndexOnFirstField("kv3wstyp");
  if (RowChosen(mode, kTypeHelp) && mode != 0) ReadMaterialType();
  CloseTableFile();
}
