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
constexpr char kEsc = 27;

long double RealField(std::int32_t n) {
  return TextToReal(GetTableFieldWhileOk(n));
}

std::int32_t IntField(std::int32_t n) {
  return TextToInt(GetTableFieldWhileOk(n));
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
// way, or left with Enter where there is no row, chooses nothing and sets AbortFlag.
bool RowChosen(std::uint16_t mode, std::uint16_t help) {
  SetHelpNumber(help);
  BrowseExitKey = kEsc;
  ShowTable("", mode);
  if (BrowseChoseRecord()) return true;
  AbortFlag = 1;
  return false;
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
    if (AbortFlag == 0) {
      PartFS[part] = part == kShaft ? MaterialType.Field5 : MaterialType.Field7;
      PartFH[part] = part == kShaft ? MaterialType.Field6 : MaterialType.Field8;
    }
  } else if (AbortFlag == 0) {
    const std::string text = VocMaterialType + " " + IntTextZero(type, 2) + " " + VocNotFound + ".";
    ShowError(text);
    AddMessage(text);
  }
  CloseTableFile();
}

}  // namespace

void ReadP3GProfileRow() {
  long double fields[9] = {};
  for (std::int32_t n = 1; n <= 8; ++n) fields[n] = RealField(n);
  if (AbortFlag != 0) return;
  kv6record& r = CalcData;
  r.d1 = fields[1];
  r.d2 = fields[2];
  r.d3 = fields[3];
  r.e1 = fields[4];
  r.d4 = r.d1;
  r.d5 = r.d2;
  r.d6 = r.d3;
  r.d6pre = fields[5];
  r.d7 = fields[6];
  r.e2 = r.e1;
  r.r1 = fields[7];
  r.r2 = fields[8];
}

void SelectP3GProfile(std::uint16_t mode) {
  if (!OpenTitled("p3g", CalcTexts[kTextPolygonProfile] + " P3G")) return;
  IndexOnFirstField("p3g");
  if (CalcData.P3GRow != 0) GotoTableRecord(CalcData.P3GRow);
  if (RowChosen(mode, kProfileHelp) && mode == 1) {
    ReadP3GProfileRow();
    if (AbortFlag == 0) CalcData.P3GRow = SelectedRecord;
  }
  CloseTableFile();
}

void ReadMaterialRecord(int part) {
  RKM1BASE_Record m = Materials[part];
  m.Ident = GetTableFieldWhileOk(1);
  m.Name = TrimBlanks(GetTableFieldWhileOk(2));
  m.Name2 = TrimBlanks(GetTableFieldWhileOk(3));
  m.TypeNo = IntField(4);
  m.Rm = IntField(5);
  m.Re = IntField(6);
  m.E = IntField(7);
  m.Val8 = static_cast<double>(RealField(8));
  m.Val9 = static_cast<double>(RealField(9));
  m.Poisson = static_cast<double>(RealField(10));
  m.Val11 = static_cast<double>(RealField(11));
  m.Text12 = GetTableFieldWhileOk(12);
  m.Text13 = GetTableFieldWhileOk(13);
  if (AbortFlag == 0) Materials[part] = m;
}

void ReadMaterialType() {
  KV3WSTYP_Record type = MaterialType;
  type.TypeNo = IntField(1);
  type.Name = GetTableFieldWhileOk(2);
  type.Field3 = static_cast<double>(RealField(3));
  type.Field4 = static_cast<double>(RealField(4));
  type.Field5 = static_cast<double>(RealField(5));
  type.Field6 = static_cast<double>(RealField(6));
  type.Field7 = static_cast<double>(RealField(7));
  type.Field8 = static_cast<double>(RealField(8));
  if (AbortFlag == 0) MaterialType = type;
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
  bool chosen = RowChosen(mode, kMaterialHelp) && mode != 0;
  if (chosen) {
    ReadMaterialRecord(part);
    chosen = AbortFlag == 0;
  }
  if (chosen) MaterialRecNo[part] = static_cast<std::uint16_t>(SelectedRecord);
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
