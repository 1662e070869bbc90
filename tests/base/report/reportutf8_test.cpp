// Report text that leaves the program for editors and printers: a file the user names is UTF-8,
// the text printer takes UTF-8 through the print system and the printer's own bytes on a device
// file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/base/reportfixture.h"
#include "tests/support/scopedvariable.h"

namespace {

using platform::DialogKind;
using platform::MessageAnswer;
using platform::headless::Step;

// "N/mm²" and "Gußeisen" in code page 850 and in UTF-8.
constexpr char kStress850[] = "stress 12 N/mm\xFD";
constexpr char kMaterial850[] =
    "Gu\xE1"
    "eisen";
constexpr char kStressUtf8[] = "stress 12 N/mm\xC2\xB2";
constexpr char kMaterialUtf8[] =
    "Gu\xC3\x9F"
    "eisen";
constexpr char kSetupBytes[] = "\x1b@setup";

class ReportUtf8 : public ReportTest {
 protected:
  void WriteReport(std::uint16_t device) {
    SetReportHeader("", "Stresses", "", "", "", 0);
    OpenReport(device, "");
    if (AbortFlag != 0) return;
    RewriteOrFail(ListFile);
    if (AbortFlag == 0) {
      ReportLine(kStress850);
      ReportLine(kMaterial850);
    }
    CloseReport();
  }

  static bool HasBoth(const std::string& bytes, const char* stress, const char* material) {
    return bytes.find(stress) != std::string::npos && bytes.find(material) != std::string::npos;
  }
};

TEST_F(ReportUtf8, FilesTheUserNamesAreUtf8AsAreTheirCopies) {
  script_.Expect(Step(DialogKind::SaveFile).Type(Path("file3.txt")));
  WriteReport(3);
  EXPECT_TRUE(HasBoth(Read("file3.txt"), kStressUtf8, kMaterialUtf8)) << Read("file3.txt");
  EXPECT_EQ(Read("temp/outwin.txt"), Read("file3.txt"));

  TextDeviceWindow = 1;
  script_.Expect(Step(DialogKind::SaveFile).Type(Path("file6.txt")));
  WriteReport(6);
  EXPECT_TRUE(HasBoth(Read("file6.txt"), kStressUtf8, kMaterialUtf8)) << Read("file6.txt");
  EXPECT_EQ(Read("temp/$$1.txt"), Read("file6.txt"));
  EXPECT_EQ(ReportToUserFile, 0);
}

// The system's text printer port, with a stand-in "lp" that keeps its arguments and standard
// input, and an "lpstat" that knows no queue.
class TextPrinterPort : public ReportUtf8 {
 protected:
  TextPrinterPort() {
    std::filesystem::create_directory(Path("bin"));
    Script("bin/lp", "printf '%s\\n' \"$@\" > " + Path("lp.args") + "\ncat > " + Path("lp.stdin"));
    Script("bin/lpstat", "exit 1");
    Write("text.hxp", kSetupBytes);
    script_.Expect(Step(DialogKind::Box).Answer(MessageAnswer::No));  // not single pages
  }

  void Script(const std::string& name, const std::string& body) const {
    Write(name, "#!/bin/sh\n" + body + "\n");
    ::chmod(Path(name).c_str(), 0755);
  }

  ScopedVariable path_{"PATH", Path("bin") + ":" + std::getenv("PATH")};
  ScopedVariable device_{"KV6_LPT1", std::nullopt};
  platform::Substitute<platform::RawPrinter, platform::RawPrinter> port_{
      platform::MakeSystemRawPrinter()};
};

TEST_F(TextPrinterPort, WithoutADeviceFileLpGetsUtf8TextWithoutTheSetupFile) {
  WriteReport(2);
  EXPECT_EQ(AbortFlag, 0);
  const std::string text = Read("lp.stdin");
  EXPECT_TRUE(HasBoth(text, kStressUtf8, kMaterialUtf8)) << text;
  EXPECT_EQ(text.find(kSetupBytes), std::string::npos);
  EXPECT_EQ(Read("lp.args").find("raw"), std::string::npos) << Read("lp.args");
}

TEST_F(TextPrinterPort, AFailingLpIsAPrintError) {
  Script("bin/lp", "exit 1");
  WriteReport(2);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(script_.Transcript().back(), "Error  : |file write error");
}

TEST_F(TextPrinterPort, ADeviceFileGetsThePrintersOwnBytes) {
  Write("lpt1", "");
  ScopedVariable device("KV6_LPT1", Path("lpt1"));
  WriteReport(2);
  EXPECT_EQ(AbortFlag, 0);
  const std::string bytes = Read("lpt1");
  EXPECT_EQ(bytes.rfind(kSetupBytes, 0), 0u);
  EXPECT_TRUE(HasBoth(bytes, kStress850, kMaterial850));
  EXPECT_FALSE(std::filesystem::exists(Path("lp.stdin")));
}

}  // namespace
