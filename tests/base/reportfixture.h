// A report test: dialog fixture globals, a pinned clock (2024-03-05 9:07 UTC), recording viewer,
// printers and program launcher, and a sample report that exercises every kind of line.
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "base/dialogs/utilcrtfile.h"
#include "base/files/listfile.h"
#include "base/report/reportdevice.h"
#include "base/report/reportmessages.h"
#include "base/report/textreport.h"
#include "base/settings/wprinvar.h"
#include "base/text/messages.h"
#include "dialogfixture.h"
#include "fakemachine.h"
#include "platform/headless/recordingservices.h"

class ReportTest : public DialogTest {
 protected:
  ReportTest() {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    machine_->now = std::chrono::system_clock::from_time_t(1709629620);  // 2024-03-05 09:07 UTC
    InitPrintSetup();
    InitReportEngine();
    LongTitle = "KV6 Test";
    ProgVersion = "6.0";
    ProductCode = "KV6";
    CurrentFile = "calc1";
    DataDir = dir_ + "/data";
    FileExt = "KV6";
    std::filesystem::create_directory(DataDir);
    ::chdir(dir_.c_str());
  }
  ~ReportTest() override { ::chdir("/"); }

  // Rows, a 20-character last cell, a wrapped text, special characters and the messages.
  void WriteSample(std::int32_t rows = 3) {
    SetReportHeader("", "Sample <report>", "first & line", "second line", "", 0);
    SetTableColumns("Quantity", "Symbol", "Unit", "Value", "Limit");
    if (AbortFlag != 0) return;
    RewriteOrFail(ListFile);
    if (AbortFlag == 0) {
      ReportPageHeader(1, 1);
      for (std::int32_t i = 1; i <= rows; ++i) {
        ReportRow5("torque " + std::to_string(i), "T", "Nm", "12.5", "<20 & >10");
      }
      ReportRow4("diameter", "d1", "mm", "12345678901234567890");
      ReportWrapped(std::string(40, 'w') + " " + std::string(40, 'x') + " end");
      ReportLine("a < b & c > d \x84\x94\x81");
      ReportLine(RuleSingle());
      ReportMessages();
    }
    CloseReport();
  }

  void Open(std::uint16_t device) { OpenReport(device, ""); }

  platform::Substitute<platform::Machine, FakeMachine> machine_;
  platform::RecordedViewer viewerSlot_;
  platform::RecordedTextPrinter printerSlot_;
  platform::RecordedRawPrinter rawSlot_;
  platform::RecordedLauncher launcherSlot_;
  platform::RecordingTextViewer& viewer_ = *viewerSlot_;
  platform::RecordingTextPrinter& printer_ = *printerSlot_;
  platform::RecordingRawPrinter& raw_ = *rawSlot_;
  platform::RecordingLauncher& launcher_ = *launcherSlot_;
};
