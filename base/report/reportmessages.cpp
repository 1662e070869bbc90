#include "base/report/reportmessages.h"

#include <string>

#include "base/dialogs/helperr.h"
#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/files/listfile.h"
#include "base/report/reportdevice.h"
#include "base/report/textreport.h"
#include "base/settings/wbrelvar.h"
#include "base/text/messages.h"

void ReportMessagesSection() {
  if (MessageCount == 0) return;
  const std::uint16_t device = ReportDevice();
  ReportWrite("");
  ReportWrite("");
  ReportLine("REMARKS, WARNINGS AND ERROR MESSAGES");
  if (!IsTxtDevice(device)) {
    ReportLine(RuleDouble());
    ReportWrite("");
    ReportLine(RuleSingle());
  }
  if (IsHtmlDevice(device)) OpenHtmlTable();
  for (std::int32_t i = 1; i <= MessageCount; ++i) {
    std::string origin;
    std::string remedy;
    ErrorOrigin(i, origin);
    ErrorRemedy(i, remedy);
    if (IsTxtDevice(device)) {
      ReportLine(Messages[i] + "\t" + origin + "\t" + remedy);
      continue;
    }
    ReportCell(Messages[i]);
    ReportWrapped(origin);
    ReportWrapped(remedy);
    if (IsHtmlDevice(device)) {
      CloseHtmlTable();
      ReportLine("");
      OpenHtmlTable();
    } else {
      ReportLine(RuleSingle());
    }
  }
  if (IsHtmlDevice(device)) CloseHtmlTable();
}

void ReportMessages() {
  if (MessageCount == 0) return;
  PaperPrompt();
  if (AbortFlag != 0) return;
  NewPageIfNeeded(0);
  ReportMessagesSection();
  PageBreak();
}

void ErrorMessagesReport() {
  AbortFlag = 0;
  if (MessageCount == 0) {
    ShowInfo("Calculation successful without error messages");
    return;
  }
  SetReportHeader(ProductCode + " V" + ProgVersion, "Error Messages", DrawingTexts[1],
                  DrawingTexts[2], DrawingTexts[3], 1);
  if (FatalFlag != 0) {
    ShowCalcMessages();
    return;
  }
  OpenReport(1, CurrentFile + ".txt");
  if (AbortFlag != 0) return;
  RewriteOrFail(ListFile);
  if (AbortFlag == 0) ReportMessages();
  CloseReport();
}
