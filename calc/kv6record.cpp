#include "calc/kv6record.h"

#include "calc/calctexts.h"
#include "calc/vocabulary.h"

kv6record CalcData;
PartPair<std::string> DrawingName;
PartPair<std::string> DrawingNo;
PartPair<std::string> DrawingName2;

PartPair<RKM1BASE_Record> Materials;
PartPair<long double> PartFS;
PartPair<long double> PartFH;
PartPair<long double> PartPzul;
PartPair<std::uint16_t> MaterialRecNo;
KV3WSTYP_Record MaterialType;

void ResetCalcData() {
  const long double keptElim = CalcData.elim;
  const long double keptHmin = CalcData.hmin;
  CalcData = kv6record{};
  CalcData.elim = keptElim;
  CalcData.hmin = keptHmin;

  CalcData.TolShaft = "k6";
  CalcData.TolHub = "H7";
  CalcData.KA = 1.0L;
  CalcData.nueFs = 1.0L;
  CalcData.nueFw = 1.0L;
  CalcData.pFs = {1.0L, 1.0L};
  CalcData.pFw = {1.0L, 1.0L};
  CalcData.DisplacementCase = 1;
  CalcData.fW = 1.0L;
  CalcData.Resolution = 360;
  CalcData.CadElement = 2;
  CalcData.DimensionMode = 1;

  DrawingName = {CalcTexts[37], CalcTexts[38]};
  DrawingNo = {"1", "2"};
  DrawingName2 = {};
}

void ResetMaterials() {
  for (int part = kShaft; part <= kHub; ++part) {
    RKM1BASE_Record& material = Materials[part];
    material.Ident.clear();
    material.Name.clear();
    material.Name2 = "1.0037";
    material.TypeNo = 1;
    material.Rm = 370;
    material.Re = 0;
    material.E = 210000;
    material.Poisson = 0.3;
    PartFS[part] = 1.0L;
    PartFH[part] = 1.0L;
    PartPzul[part] = 1.0L;
    MaterialRecNo[part] = 0;
  }
}

std::string PartName(std::uint16_t part) {
  if (part == kShaft) return VocShaft;
  if (part == kHub) return VocHub;
  return {};
}
