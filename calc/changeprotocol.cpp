#include "calc/changeprotocol.h"

#include "base/dialogs/utilcrtfile.h"
#include "base/files/listfile.h"
#include "base/report/reportdevice.h"
#include "base/report/textreport.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/utilstr.h"
#include "calc/descriptiontext.h"
#include "calc/drawinginfo.h"
#include "calc/drawinginfotexts.h"
#include "calc/revisionindex.h"

namespace {

std::string ProtocolMark(std::int32_t i) {
  return RevisionIndexText(RevisionIndexStyle == 1 ? 1 : 0, i);
}

void ReplacementLine(const std::string& label, const std::string& text) {
  if (text.empty()) return;
  ReportLine("");
  ReportLine(label + ": " + TextLeft(text, 15));
}

void ChangeLines(std::int32_t i) {
  const ChangeEntry& entry = ChangeEntries[i];
  ReportLine("  " + ProtocolMark(i) + "     " + TextLeft(entry.ChangeDate, 10) + "   " +
             TextLeft(entry.Editor, 6) + "   " + TextLeft(entry.ChangeText, 20));
  for (const std::string& line : DescriptionLines(entry.Description)) ReportLine(" " + line);
  ReportLine(RuleSingle());
}

void ProtocolBody() {
  const TitleBlockFieldSet& title = TitleBlockFields;
  ReportLine("");
  ReportLine(DiDrawingDate + ": " + title.Rows[1].Date + "     " + DiDesignedBy + ": " +
             title.Rows[1].Name);
  ReplacementLine(DiReplacementFor, title.ReplacementFor);
  ReplacementLine(DiReplacedBy, title.ReplacedBy);
  ReportLine("");
  ReportLine(TextLeft(DiIndex, 6) + "  " + TextLeft(DiDate, 10) + "   " + TextLeft(DiCompl, 6) +
             "   " + TextLeft(DiModification, 20));
  ReportLine(RuleDouble());
  for (std::int32_t i = 1; i <= ChangeCount; ++i) ChangeLines(i);
}

}  // namespace

void PrintChangeProtocol(std::uint16_t device) {
  if (AbortFlag != 0) return;
  SetReportHeader(LongTitle + " V" + ProgVersion, DiProtocol, DrawingTexts[1], DrawingTexts[2],
                  DrawingTexts[3], 0);
  OpenReport(device, CurrentFile + ".TXT");
  if (AbortFlag != 0) return;
  RewriteOrFail(ListFile);
  if (AbortFlag == 0) {
    if (ReportDeviceCode != 1) ReportPageHeader(0, 0);
    ProtocolBody();
  }
  CloseReport();
}
