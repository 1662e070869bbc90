#include "calc/calcfiledata.h"

#include <algorithm>

#include "base/files/listfile.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "calc/drawinginfotexts.h"

namespace {

// The record fields the file holds; the snapshot names them as the record does, so one copy
// serves both directions.
template <typename From, typename To>
void CopyRecordFields(const From& from, To& to) {
  to.P3GRow = from.P3GRow;
  to.d1 = from.d1, to.d2 = from.d2, to.d3 = from.d3, to.e1 = from.e1, to.d4 = from.d4;
  to.d5 = from.d5, to.d6 = from.d6, to.d6pre = from.d6pre, to.d7 = from.d7, to.e2 = from.e2;
  to.r1 = from.r1, to.r2 = from.r2;
  to.l = from.l, to.T = from.T, to.Mb = from.Mb;
  to.DisplacementCase = from.DisplacementCase;
  to.KA = from.KA, to.fW = from.fW;
  to.DimensionMode = from.DimensionMode;
  to.TolShaft = from.TolShaft;
  to.l1 = from.l1, to.l2 = from.l2, to.dB1 = from.dB1, to.dB2 = from.dB2;
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
  CopyRecordFields(CalcData, data);
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
  CopyRecordFields(data, CalcData);
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
