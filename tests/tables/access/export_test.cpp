// The browse form's outputs checked by other programs: the HTML export and the printed table on
// the file, spreadsheet and HTML devices, and the table after grid edits, a pack and appends as
// an independent DBF reader sees it.
#include <chrono>
#include <cstdlib>

#include "base/dialogs/utilcrtfile.h"
#include "base/report/textreport.h"
#include "base/settings/wprinvar.h"
#include "base/text/utildate.h"
#include "browsetest.h"
#include "platform/headless/recordingservices.h"
#include "platform/ui/keys.h"
#include "tables/core/tztext.h"
#include "tests/base/fakemachine.h"
#include "tests/support/command.h"
#include "tests/support/htmlcheck.h"

namespace {

using namespace dadav;
using namespace accesstest;
using platform::DialogKind;
using platform::headless::Step;

class tablereportexport : public BrowseTest {
 protected:
  void SetUp() override {
    BrowseTest::SetUp();
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    machine_->now = std::chrono::system_clock::from_time_t(1709629620);  // 2024-03-05 09:07 UTC
    InitPrintSetup();
    InitReportEngine();
    ProductCode = "KV6";
    ProgVersion = "6.0";
    CurrentFile = "calc1";
    HtmlBrowser.clear();
  }
  // Ten fields; the first holds "<", "&" and a German sharp s (stored in code page 850).
  void OpenTenFields() {
    const std::string path = Path("tables/mat.dbf");
    NewTable(path,
             {Def("NAME", 'C', 10), Def("QTY", 'N', 5), Def("PRICE", 'N', 8, 2), Def("OK", 'L', 1),
              Def("A", 'C', 2), Def("B", 'C', 2), Def("C", 'C', 2), Def("D", 'C', 2),
              Def("E", 'C', 2), Def("F", 'C', 2)},
             2,
             [](int i) {
               SetText(1, i == 1 ? "a<b&c"
                                 : "Gu\xDF"
                                   "eisen");
               SetInt32(2, i * 7);
               SetReal(3, i * 1.25);
               SetLogical(4, i == 1);
               for (int f = 5; f <= 10; ++f) SetText(f, std::string(1, static_cast<char>('k' + f)));
             },
             {2});
    CloseAll();
    Form().SetTableFile(path);
    Form().SetTitles("Materials", "Shaft");
  }
  // file: the name the save dialog of the device is answered with, if it asks.
  void PrintOn(std::uint16_t device, const std::string& file = "") {
    TextDevice = device;
    TextDeviceWindow = 0;
    Show("", 2, [&](platform::Form& form) {
      if (!file.empty()) script_->Expect(Step(DialogKind::SaveFile).Type(file));
      form.Menus().FindItem("mi_filePrint")->Click();
      form.PressEnter();
    });
  }

  platform::Substitute<platform::Machine, FakeMachine> machine_;
};

TEST_F(tablereportexport, TheHtmlExportIsTheTableLineByLineInUtf8) {
  OpenTenFields();
  Show("", 2, [&](platform::Form& form) {
    script_->Expect(Step(DialogKind::SaveFile).Type(Path("mat.htm")));
    form.Menus().FindItem("mi_fileExportHtml")->Click();
    form.PressEnter();
  });
  EXPECT_EQ(script_->FileRequests().back().name, "mat");
  const std::string expected =
      "<HTML>\r\n"
      "<head><meta charset=\"utf-8\"><title>mat.htm</title></head>\r\n"
      "<BODY BGCOLOR=\"C0C0C0\">\r\n"
      "<P>KV6 V6.0</P>\r\n"
      "<P>" +
      UpperStr(Path("mat.htm")) +
      "</P>\r\n"
      "<P>" +
      TodayText() +
      " - 9:07</P>\r\n"
      "<HR>\r\n"
      "<TABLE BORDER = \"1\" WIDTH= \"100%\">\r\n"
      "<TR><TD><CENTER>NAME</CENTER></TD><TD><CENTER>QTY</CENTER></TD><TD><CENTER>PRICE</CENTER>"
      "</TD><TD><CENTER>OK</CENTER></TD><TD><CENTER>A</CENTER></TD><TD><CENTER>B</CENTER></TD>"
      "<TD><CENTER>C</CENTER></TD><TD><CENTER>D</CENTER></TD><TD><CENTER>E</CENTER></TD><TD>"
      "<CENTER>F</CENTER></TD></TR>\r\n"
      "<TR><TD>a&lt;b&amp;c     </TD><TD>    7</TD><TD>    1.25</TD><TD>Y</TD><TD>p </TD><TD>q "
      "</TD><TD>r </TD><TD>s </TD><TD>t </TD><TD>u </TD></TR>\r\n"
      "<TR><TD>Gu\xC3\x9F"
      "eisen  </TD><TD>   14</TD><TD>    2.50</TD><TD>N</TD><TD>p </TD><TD>q "
      "</TD><TD>r </TD><TD>s </TD><TD>t </TD><TD>u </TD></TR>\r\n"
      "</TABLE>\r\n"
      "</BODY>\r\n"
      "</HTML>\r\n";
  const std::string page = Bytes("mat.htm");
  EXPECT_EQ(page, expected);
  ExpectValidHtml(Path("mat.htm"));
}

TEST_F(tablereportexport, TheConfiguredViewerShowsTheExportAndAnEmptyOneNothing) {
  OpenTenFields();
  const platform::RecordedLauncher launcher;
  Show("", 2, [&](platform::Form& form) {
    script_->Expect(Step(DialogKind::SaveFile).Type(Path("quiet.htm")));
    form.Menus().FindItem("mi_fileExportHtml")->Click();
    HtmlBrowser = "sh";
    script_->Expect(Step(DialogKind::SaveFile).Type(Path("shown.htm")));
    form.Menus().FindItem("mi_fileExportHtml")->Click();
    form.PressEnter();
  });
  EXPECT_TRUE(std::filesystem::exists(Path("quiet.htm")));
  ASSERT_EQ(launcher->programs.size(), 1u);
  EXPECT_EQ(launcher->programs[0], (std::vector<std::string>{"sh", Path("shown.htm")}));
  EXPECT_TRUE(launcher->documents.empty());
}

TEST_F(tablereportexport, AFailedExportWriteRemovesTheFileAndStartsNothing) {
  OpenTenFields();
  const platform::RecordedLauncher launcher;
  HtmlBrowser = "sh";
  std::filesystem::create_directory(Path("gone"));
  Show("", 2, [&](platform::Form& form) {
    script_->Expect(Step(DialogKind::SaveFile).Type(Path("gone/x/mat.htm")));
    form.Menus().FindItem("mi_fileExportHtml")->Click();
    form.PressEnter();
  });
  EXPECT_TRUE(Shown("file write error"));
  EXPECT_FALSE(std::filesystem::exists(Path("gone/x/mat.htm")));
  EXPECT_TRUE(launcher->programs.empty());
}

TEST_F(tablereportexport, PrintingWritesTheFirstSevenFieldsOnEachDevice) {
  OpenTenFields();
  PrintOn(3, Path("mat.txt"));
  const std::string text = Bytes("mat.txt");
  EXPECT_NE(text.find("NAME       QTY   PRICE    OKA  B  C  \r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("C  D"), std::string::npos) << text;
  EXPECT_EQ(text.find("Symbol"), std::string::npos) << text;
  EXPECT_NE(text.find("a<b&c          7     1.25 Y p  q  r   \r\n"), std::string::npos) << text;

  PrintOn(6);
  const std::string tabs = Bytes("temp/$$1.txt");
  EXPECT_NE(tabs.find("NAME\tQTY\tPRICE\tOK\tA\tB\tC\r\n"), std::string::npos) << tabs;

  PrintOn(7, Path("print.htm"));
  const std::string page = Bytes("print.htm");
  EXPECT_NE(page.find("<TD><DIV ALIGN=RIGHT>    1.25</DIV></TD>"), std::string::npos) << page;
  EXPECT_NE(page.find("a&lt;b&amp;c"), std::string::npos) << page;
  EXPECT_NE(page.find("Gu\xC3\x9F"
                      "eisen"),
            std::string::npos)
      << page;
  ExpectValidHtml(Path("print.htm"));
}

TEST_F(tablereportexport, AnIndependentReaderSeesGridEditsPackAndAppends) {
  OpenTenFields();
  Put("more.txt", "\"Stahl\",3,9.5,T,\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\r\n");
  Show("", 2, [&](platform::Form& form) {
    auto& grid = form.Get<platform::DataGrid>("TzGrid1");
    grid.ClickCell(0, 1);
    grid.TypeInCell("42");
    grid.CommitEditor();
    grid.PressKey(platform::keys::kDown);
    script_->Expect(Step(DialogKind::Box).Answer(platform::MessageAnswer::Yes));
    form.Menus().FindItem("mi_editPack")->Click();
    script_->Expect(Step(DialogKind::OpenFile).Type(Path("more.txt")));
    form.Menus().FindItem("mi_fileAppendDelimited")->Click();
    Form().PutFieldStr("NAME",
                       "Gu\xDF"
                       "stahl");
    EXPECT_EQ(Form().AppendLocked(), 1);
    form.PressEnter();
  });
  Form().Deactivate();
  const CommandResult read = RunCommand(
      "/usr/bin/python3 -c \"import dbfread\n"
      "for r in dbfread.DBF('" +
      Path("tables/mat.dbf") +
      "', encoding='cp850'):\n"
      "  print(r['NAME'], r['QTY'], r['PRICE'], r['OK'], sep='|')\"");
  ASSERT_EQ(read.status, 0) << read.output;
  EXPECT_EQ(read.output,
            "a<b&c|42|1.25|True\n"
            "Stahl|3|9.5|True\n"
            "Gu\xC3\x9Fstahl|3|9.5|True\n");
}

}  // namespace
