#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <tuple>
#include <vector>

#include "base/report/showtextfile.h"
#include "base/report/textprint.h"
#include "platform/files/filelock.h"
#include "tests/base/reportfixture.h"

namespace {

using platform::DialogClose;
using platform::DialogKind;
using platform::MessageAnswer;
using platform::headless::Step;

class report_devices : public ReportTest {};

TEST_F(report_devices, AStoppedReportLeavesNoFileBehind) {
  script_.Expect(Step(DialogKind::SaveFile).Type(Path("part.txt")));
  Open(3);
  RewriteOrFail(ListFile);
  ReportLine("half a report");
  AbortFlag = 1;
  CloseReport();
  EXPECT_EQ(std::tuple(AbortFlag, Files(), ReportDeviceCode),
            std::tuple(1, std::vector<std::string>{}, 1));

  AbortFlag = 0;
  Open(1);
  RewriteOrFail(ListFile);
  ReportLine("x");
  Open(8);  // a report still open is closed as abandoned first
  EXPECT_EQ(AbortFlag, 0);
  WriteSample();
  EXPECT_TRUE(viewer_.shown.empty());
  EXPECT_EQ(Files(), (std::vector<std::string>{"temp/OUTDOS.TXT", "temp/outwin.txt"}));
}

// A copy that cannot be made says which file and why: a source that is missing, a destination
// whose folder is a file, and a full disk, found at a write (a copy longer than the buffer) or
// only at the close.
TEST_F(report_devices, AFailedCopyNamesTheFileAndTheCause) {
  Write("short.txt", "a line\r\n");
  Write("long.txt", std::string(100000, 'x') + "\r\n");
  struct Case {
    std::string source, destination, says;
  };
  std::vector<Case> cases = {
      {"none.txt", Path("c.txt"), "cannot read " + Path("none.txt") + ": not found"},
      {"short.txt", Path("short.txt/c.txt"),
       "cannot write " + Path("short.txt/c.txt") + ": path not found"}};
  if (::access("/dev/full", W_OK) == 0) {
    for (const char* source : {"short.txt", "long.txt"}) {
      cases.push_back({source, "/dev/full", "cannot write /dev/full: disk full"});
    }
  }
  for (const Case& c : cases) {
    AbortFlag = 0;
    CopyTextFileConverted(Path(c.source), c.destination);
    EXPECT_EQ(AbortFlag, 1) << c.source << " to " << c.destination;
    ASSERT_FALSE(script_.Transcript().empty());
    EXPECT_EQ(script_.Transcript().back(), "Error  : |" + c.says);
  }
  AbortFlag = 0;
}

TEST_F(report_devices, DeviceChoiceStartsOnTheConfiguredDevice) {
  TextDevice = 8;
  TextDeviceWindow = 1;
  script_.Expect(Step(DialogKind::Radio).Select(4));
  Open(0);
  EXPECT_EQ(ReportDeviceCode, 5);
  EXPECT_EQ(script_.Requests().back().selected, 0);  // device 8 starts on the first item
  CloseReport();
}

TEST_F(report_devices, TemporaryNameSkipsOneLockedElsewhere) {
  const std::string first = dir_ + "/temp/$OUT1.TMP";
  const int fd = ::open(first.c_str(), O_RDWR | O_CREAT, 0666);
  ASSERT_EQ(platform::LockRange(fd, 0, 1, true), 0);
  std::string name;
  TempReportName(name);
  EXPECT_EQ(name, dir_ + "/temp/$OUT2.TMP");
  ::close(fd);
  CloseReport();
  TempReportName(name);
  EXPECT_EQ(name, first);  // a stale file is reused
  CloseReport();
}

TEST_F(report_devices, ErrorMessagesReportNeedsMessages) {
  ErrorMessagesReport();
  EXPECT_NE(script_.Transcript().back().find("Calculation successful without error messages"),
            std::string::npos);
  AddMessage("Error  : e1 = 0 !");
  ErrorMessagesReport();
  ASSERT_EQ(viewer_.shown.size(), 1u);
  for (const char* text : {"REMARKS, WARNINGS AND ERROR MESSAGES", "Error  : e1 = 0 !"}) {
    EXPECT_NE(viewer_.shown[0].textUtf8.find(text), std::string::npos) << text;
  }
}

// As on the command line: without a viewer the report's file name goes to standard error,
// without a printer printing fails with its message.
TEST_F(report_devices, WithoutViewerOrPrinterTheCommandLinePolicyServes) {
  const platform::Substitute<platform::TextViewerBackend, platform::TextViewerBackend> noViewer(
      nullptr);
  const platform::Substitute<platform::TextPrinterBackend, platform::TextPrinterBackend> noPrinter(
      nullptr);
  Write("temp/outwin.txt", "line\r\n");
  testing::internal::CaptureStderr();
  ShowTextFileViewer(Path("r.txt"));
  PrintTextFile(Path("temp/outwin.txt"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), dir_ + "/temp/outwin.txt\n");
  EXPECT_EQ(script_.Transcript(), std::vector<std::string>{"Error  : |print error"});
}

class print_text : public ReportTest {
 protected:
  void Print(const std::string& content) {
    Write("r.txt", content);
    PrintTextFile(Path("r.txt"));
  }
};

TEST_F(print_text, PageRangeFormFeedLinesAndNoTrailingBlankPage) {
  LinesPerPage = 66;
  printer_.from = 2;
  printer_.to = 2;
  Print("one\r\n\fhidden\r\ntwo a\r\ntwo b\r\n\f\r\nthree\r\n\f");
  ASSERT_EQ(printer_.jobs.size(), 1u);
  const auto& job = printer_.jobs[0];
  EXPECT_EQ(std::tuple(job.request.maxPage, job.request.fromPage), std::tuple(3, 2));
  ASSERT_EQ(job.pages.size(), 1u);
  ASSERT_EQ(job.pages[0].lines.size(), 2u);
  EXPECT_EQ(std::tuple(job.pages[0].lines[0].text, job.pages[0].lines[1].y, job.pages[0].font.face),
            std::tuple("two a", 100, "Courier New"));

  printer_.from = printer_.to = 0;
  std::string many;
  for (int i = 1; i <= 300; ++i) many += "page " + std::to_string(i) + "\r\n\f\r\n";
  Print(many);
  EXPECT_EQ(printer_.jobs.back().pages.size(), 300u);
  EXPECT_EQ(printer_.jobs.back().pages.back().lines[0].text, "page 300");

  printer_.cancel = true;
  Print("x\r\n");
  EXPECT_EQ(std::tuple(printer_.jobs.size(), printer_.dialogs.back().maxPage), std::tuple(2u, 1));
}

TEST_F(print_text, MissingFileIsReported) {
  PrintTextFile(Path("none.txt"));
  EXPECT_NE(script_.Transcript().back().find("none.txt not found !"), std::string::npos);
}

class viewer : public ReportTest {};

// Print puts the report into a PDF named after the current file (or the program) where there is
// no printer; Export hands the converted copy to the text editor, and an editor that fails says so.
TEST_F(viewer, PrintNamesItsPdfAndExportOpensTheEditorOrSaysWhyNot) {
  Write("r.txt", "line\r\n");
  viewer_.presses = {platform::ViewerPress::Print, platform::ViewerPress::Export};
  ShowTextFileViewer(Path("r.txt"));
  CurrentFile.clear();
  viewer_.presses = {platform::ViewerPress::Print};
  ShowTextFileViewer(Path("r.txt"));
  ASSERT_EQ(printer_.jobs.size(), 2u);
  EXPECT_EQ(printer_.jobs[0].request.pdfFileName, DataDir + "/calc1.pdf");
  EXPECT_EQ(printer_.jobs[1].request.pdfFileName, DataDir + "/" + ShortName + ".pdf");
  const std::string outwin = viewer_.shown[0].fileName;
  EXPECT_EQ(launcher_.edited, std::vector<std::string>{outwin});
  launcher_.openResult.exitStatus = 1;
  viewer_.presses = {platform::ViewerPress::Export};
  ShowTextFileViewer(Path("r.txt"));
  EXPECT_EQ(script_.Transcript().back(),
            "Error  : |Cannot open " + outwin + " with editor (exit code 1)");
}

TEST_F(viewer, MissingCopyRectCarriedOverAndConvertedLongLines) {
  ShowTextFileViewer(Path("r.txt"));
  EXPECT_NE(script_.Transcript().back().find("outwin.txt not found !"), std::string::npos);
  EXPECT_EQ(viewer_.shown[0].rect, (platform::WindowRect{10, 40, 700, 440}));
  viewer_.closeRect = {5, 6, 800, 500};
  ShowTextFileViewer(Path("r.txt"));
  ShowTextFileViewer(Path("r.txt"));
  EXPECT_EQ(viewer_.shown[2].rect, (platform::WindowRect{5, 6, 800, 500}));

  Write("long.txt", std::string(300, '\x84') + "\r\n");
  CopyTextFileConverted(Path("long.txt"), Path("long.utf8"));
  EXPECT_EQ(Read("long.utf8").size(), 600u + 2u);
  Write("empty.txt", "");
  CopyTextFileConverted(Path("empty.txt"), Path("empty.utf8"));
  EXPECT_EQ(Read("empty.utf8"), "\r\n");
}

}  // namespace
