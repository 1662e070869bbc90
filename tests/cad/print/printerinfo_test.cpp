// The printer information: its rows in order, the technology texts, unknown capabilities and one
// row per font.
#include "printtest.h"

namespace {

using platform::PrinterCaps;

TEST(drawprint_info, RowsInOrderWithTechnologyTextsAndUnknownValues) {
  PrinterCaps caps;
  caps.name = "Office";
  caps.widthMm = 203;
  caps.dpiX = 600;
  caps.colours = -1;
  caps.fonts = {"Sans", "Serif", "Mono"};
  const auto rows = PrinterInfoRows(caps);
  const std::vector<std::string> labels = {"Name",
                                           "Treiberversion",
                                           "Technologie",
                                           "Druckbreite (mm)",
                                           "Druckh\xF6he (mm)",
                                           "Breite (Pixel)",
                                           "H\xF6he (Pixel)",
                                           "Linker Seitenoffset (Pixel)",
                                           "Oberer Seitenoffset (Pixel)",
                                           "DPI (horizontal)",
                                           "DPI (vertikal)",
                                           "Pinsel",
                                           "Stifte",
                                           "Markierer",
                                           "Farben",
                                           "Schriften"};
  ASSERT_EQ(rows.size(), labels.size() + 3);
  for (std::size_t i = 0; i < labels.size(); ++i) EXPECT_EQ(rows[i].first, labels[i]) << i;
  EXPECT_EQ(rows[0].second, "Office");
  EXPECT_EQ(rows[1].second, "?");
  EXPECT_EQ(rows[2].second, "?");
  EXPECT_EQ(rows[3].second, "203");
  EXPECT_EQ(rows[4].second, "?");
  EXPECT_EQ(rows[9].second, "600");
  EXPECT_EQ(rows[14].second, "-1");
  EXPECT_EQ(rows[15].second, "3");
  EXPECT_EQ(rows[16], std::make_pair(std::string(), std::string("Sans")));
  EXPECT_EQ(rows[18].second, "Mono");

  const std::pair<int, const char*> technologies[] = {{0, "Plotter"},
                                                      {1, "Rasterbildschirm"},
                                                      {2, "Rasterdrucker"},
                                                      {3, "?"},
                                                      {4, "Zeichendrucker"},
                                                      {5, "Metafile"},
                                                      {6, "?"},
                                                      {99, "?"}};
  for (const auto& [code, text] : technologies) {
    caps.technology = code;
    EXPECT_EQ(PrinterInfoRows(caps)[2].second, text) << code;
  }
}

class drawprint_info_form : public PrintTest {};

TEST_F(drawprint_info_form, TheFormListsTheCurrentPrinterAndThePdfWriter) {
  printers_->AddPrinter(Printer("Office", 6, {"A", "B"}));
  TForm_printerinfo office;
  const auto& grid = office.Get<platform::StringGrid>("StringGrid1");
  EXPECT_EQ(grid.ColCount(), 2);
  EXPECT_EQ(grid.RowCount(), 18);
  EXPECT_EQ(grid.Cell(1, 0), "Office");
  EXPECT_EQ(grid.Cell(1, 2), "?");
  EXPECT_EQ(grid.Cell(1, 17), "B");

  printers_->UsePdf(Path("out.pdf"));
  TForm_printerinfo pdf;
  const auto& writer = pdf.Get<platform::StringGrid>("StringGrid1");
  EXPECT_EQ(writer.Cell(1, 0), "PDF: " + Path("out.pdf"));
  EXPECT_EQ(writer.Cell(1, 2), "Metafile");
  EXPECT_EQ(writer.Cell(1, 3), "210");
  EXPECT_EQ(writer.Cell(1, 4), "297");
  EXPECT_EQ(writer.Cell(1, 7), "0");
  EXPECT_EQ(writer.Cell(1, 9), "600");
}

}  // namespace
