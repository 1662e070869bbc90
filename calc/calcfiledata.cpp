#include "calc/calcfiledata.h"

#include <algorithm>

#include "base/brelvar.h"
#include "base/listfile.h"
#include "base/wbrelvar.h"
#include "calc/drawinginfotexts.h"

namespace {

void TakeRecord(const kv6record& r, CalcFileData& data) {
  data.P3GRow = r.P3GRow;
  data.d1 = r.d1, data.d2 = r.d2, data.d3 = r.d3, data.e1 = r.e1, data.d4 = r.d4, data.d5 = r.d5;
  data.d6 = r.d6, data.d6pre = r.d6pre, data.d7 = r.d7, data.e2 = r.e2;
  data.r1 = r.r1, data.r2 = r.r2;
  data.l = r.l, data.T = r.T, data.Mb = r.Mb;
  data.DisplacementCase = r.DisplacementCase;
  data.KA = r.KA, data.fW = r.fW;
  data.DimensionMode = r.DimensionMode;
  data.TolShaft = r.TolShaft;
  data.l1 = r.l1, data.l2 = r.l2, data.dB1 = r.dB1, data.dB2 = r.dB2;
}

void GiveRecord(const CalcFileData& data, kv6record& r) {
  r.P3GRow = data.P3GRow;
  r.d1 = data.d1, r.d2 = data.d2, r.d3 = data.d3, r.e1 = data.e1, r.d4 = data.d4, r.d5 = data.d5;
  r.d6 = data.d6, r.d6pre = data.d6pre, r.d7 = data.d7, r.e2 = data.e2;
  r.r1 = data.r1, r.r2 = data.r2;
  r.l = data.l, r.T = data.T, r.Mb = data.Mb;
  r.DisplacementCase = data.DisplacementCase;
  r.KA = data.KA, r.fW = data.fW;
  r.DimensionMode = data.DimensionMode;
  r.TolShaft = data.TolShaft;
  r.l1 = data.l1, r.l2 = data.l2, r.dB1 = data.dB1, r.dB2 = data.dB2;
}

}  // namespace

CalcFileData CalcFileSnapshot() {
  CalcFileData data;
  const std::vector<std::string> header =
      ListingHeaderLines(DrawingTexts[1], DrawingTexts[2], DrawingTexts[3]);
  std::copy(header.begin(), header.end(), data.Header.begin());
  data.DrawingName = DrawingName;
  data.DrawingNo = DrawingNo;
  data.DrawingName2 = DrawingName2;
  TakeRecord(CalcData, data);
  for (int part = kShaft; part <= kHub; ++part) {
    data.Materials[part] = {Materials[part].Name, Materials[part].Re, PartPzul[part],
                            PartFH[part],         PartFS[part],       MaterialRecNo[part],
                            Materials[part].Ident};
  }
  data.ChangesHeading = DiChangesHeading;
  for (int i = 1; i <= ChangeCount; ++i) data.Changes.push_back(ChangeEntries[i]);
  data.TitleBlock = TitleBlockFields;
  for (int i = 1; i <= DrawingTextCount; ++i) data.Texts.push_back(DrawingTextRecords[i]);
  data.Links = DocumentLinks;
  data.TitleBlockStandard = TitleBlockStandard;
  data.DrawingTextMode = DrawingTextMode;
  return data;
}

void CommitCalcFile(const CalcFileData& data) {
  for (int i = 1; i <= 3; ++i) DrawingTexts[i] = data.Header[static_cast<std::size_t>(3 + i)];
  DrawingName = data.DrawingName;
  DrawingNo = data.DrawingNo;
  DrawingName2 = data.DrawingName2;
  GiveRecord(data, CalcData);
  for (int part = kShaft; part <= kHub; ++part) {
    const CalcFileMaterial& m = data.Materials[part];
    Materials[part].Name = m.Name;
    Materials[part].Re = m.Re;
    Materials[part].Ident = m.Ident;
    PartPzul[part] = m.Pzul;
    PartFH[part] = m.FH;
    PartFS[part] = m.FS;
    MaterialRecNo[part] = m.RecNo;
  }
  ChangeCount =
      static_cast<std::uint16_t>(std::min<std::size_t>(data.Changes.size(), kChangeSlotCount));
  for (int i = 1; i <= ChangeCount; ++i) ChangeEntries[i] = data.Changes[i - 1U];
  TitleBlockFields = data.TitleBlock;
  DrawingTextCount =
      static_cast<std::uint16_t>(std::min<std::size_t>(data.Texts.size(), kDrawingTextSlotCount));
  for (int i = 1; i <= DrawingTextCount; ++i) DrawingTextRecords[i] = data.Texts[i - 1U];
  DocumentLinks = data.Links;
  TitleBlockStandard = data.TitleBlockStandard;
  DrawingTextMode = data.DrawingTextMode;
}
