// Report layout goldens: one scripted report (five- and four-cell rows, a 20-character last cell,
// wrapped text, a rule passed as a line, the messages section) on the screen, tab-separated and
// HTML devices, for printout styles 1-4 and header modes 1 and 2, with 20 lines a page and a
// pinned clock. The code-page-850 report file and its UTF-8 copy are compared byte for byte with
// the files in tests/base/golden/. The temporary folder reads as "/tmp/kv6dialogXXXXXX" there
// (MaskFolder).
//
// Header modes change nothing on the tab-separated and HTML devices, so both modes of those are
// compared with one file.
//
// To regenerate after an intended layout change, run
//   KV6_REGENERATE_GOLDEN=1 build/test/tests/test_base --gtest_filter='*report_golden*'
// and read every changed file before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>
#include <utility>

#include "base/dialogs/helperr.h"
#include "tests/base/reportfixture.h"
#include "tests/support/maskfolder.h"

namespace {

// Device, printout style, header mode.
using GoldenCase = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t>;

// The report file (code page 850) as the viewer saw it while it was shown.
class ReportFileCapture final : public platform::TextViewerBackend {
 public:
  explicit ReportFileCapture(std::string& bytes) : bytes_(bytes) {}
  platform::WindowRect Show(const platform::TextViewerRequest&) override {
    std::ifstream in(ReportFileName, std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), {});
    return {};
  }

 private:
  std::string& bytes_;
};

class report_golden : public ReportTest, public ::testing::WithParamInterface<GoldenCase> {
 protected:
  report_golden() {
    std::tie(device_, PrintoutStyle, HeaderMode) = GetParam();
    LinesPerPage = 20;
    HtmlBrowser = "C:\\Browser\\browser.exe";
    DrawingTexts[1] = "Drawing 4711";
    DrawingTexts[2] = "Shaft & hub";
    DrawingTexts[3] = "";
    Write("KV6.err",
          "Warning: s < smin ! (1)\r\n"
          "The wall thickness of the hub is below the recommended minimum for the chosen profile "
          "size, so the hub may widen under load.\r\n"
          "Choose a larger hub diameter.\r\n");
    AddMessage("Warning: s < smin ! (1)");
    AddMessage("Error  : d1 <= 0 !");
  }

  void WriteReport() {
    SetReportHeader("", "Golden <report>", "shaft & hub", "second line", "",
                    PrintoutStyle % 2 == 0 ? 1 : 0);
    SetTableColumns("Quantity", "Symbol", "Unit", "Value", "Limit");
    Open(device_);
    ASSERT_EQ(AbortFlag, 0);
    RewriteOrFail(ListFile);
    ReportPageHeader(1, 1);
    for (int i = 1; i <= 6; ++i) {
      ReportRow5("torque " + std::to_string(i), "T" + std::to_string(i), "Nm",
                 std::to_string(i * 125) + ".0", "<20 & >10");
    }
    ReportRow4("diameter", "d1", "mm", "25.000");
    ReportRow4("fit of the hub bore", "ISO", "-", "H7 / g6 0.000/-0.021");
    ReportWrapped(
        "Stresses in the hub (\x84u\xE1\x65re Spannung) are checked against the "
        "permissible values of the material at the operating temperature given.");
    ReportLine("a < b & c > d \x84\x94\x81");
    ReportLine(RuleSingle());
    ReportMessages();
    CloseReport();
    ASSERT_EQ(AbortFlag, 0);
  }

  // (golden name, produced bytes) of the report file and of its copy.
  std::vector<std::pair<std::string, std::string>> Outputs() const {
    const std::string base = "d" + std::to_string(device_) + "_style" +
                             std::to_string(PrintoutStyle) +
                             (device_ == 1 ? "_mode" + std::to_string(HeaderMode) : "");
    switch (device_) {
      case 1:
        return {{base + ".cp850", shownReport_}, {base + ".utf8", Read("temp/outwin.txt")}};
      case 6:
        return {{base + ".cp850", Read("temp/$$$1.txt")}, {base + ".utf8", Read("temp/$$1.txt")}};
      default:
        return {{base + ".htm", Read("temp/KV6.htm")}};
    }
  }

  std::string Normalized(std::string text) const { return MaskFolder(std::move(text), dir_); }

  std::uint16_t device_ = 0;
  std::string shownReport_;
  platform::Substitute<platform::TextViewerBackend, ReportFileCapture> capture_{
      std::make_unique<ReportFileCapture>(shownReport_)};
};

std::filesystem::path GoldenFolder() {
  return std::filesystem::path(__FILE__).parent_path() / "golden";
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_P(report_golden, FilesMatchTheGoldens) {
  WriteReport();
  const bool regenerate = std::getenv("KV6_REGENERATE_GOLDEN") != nullptr;
  for (const auto& [name, bytes] : Outputs()) {
    const std::string produced = Normalized(bytes);
    const auto golden = GoldenFolder() / name;
    if (regenerate) {
      std::filesystem::create_directories(GoldenFolder());
      std::ofstream(golden, std::ios::binary) << produced;
      continue;
    }
    ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
    EXPECT_EQ(produced, ReadFile(golden)) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Devices, report_golden,
                         ::testing::Combine(::testing::Values<std::uint16_t>(1, 6, 7),
                                            ::testing::Values<std::uint16_t>(1, 2, 3, 4),
                                            ::testing::Values<std::uint16_t>(1, 2)),
                         [](const auto& test) {
                           return "device" + std::to_string(std::get<0>(test.param)) + "_style" +
                                  std::to_string(std::get<1>(test.param)) + "_mode" +
                                  std::to_string(std::get<2>(test.param));
                         });

}  // namespace
