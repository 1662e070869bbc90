// Drawing header: screen stamp, print border, logos and the STL height prompt.
#include "base/settings/wprinvar.h"
#include "tests/cad/cadtest.h"

namespace {

using platform::DialogClose;
using platform::DialogKind;
using platform::headless::Step;

using Header = CadTest;

std::vector<std::string> Records(const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& r : DisplayList) {
    if (r.rfind(prefix, 0) == 0) found.push_back(r);
  }
  return found;
}

TEST_F(Header, ScreenStamp) {
  CurrentFile.clear();
  const std::string program = "BRELCOR " + ProductCode + " V" + ProgVersion;
  for (std::uint8_t hide : {std::uint8_t{1}, std::uint8_t{0}}) {
    HideFooter = hide;
    cad_open(kCadScreen);
    cad_header_default();
    EXPECT_NEAR(static_cast<double>(TextHeight), 0.72, 1e-12);
    auto texts = Records("6;");
    ASSERT_EQ(texts.size(), 1u);
    if (hide) {
      EXPECT_EQ(texts[0], "6;0.8;0.24;" + program);
    } else {
      EXPECT_EQ(texts[0].rfind("6;0.8;0.24;", 0), 0u) << texts[0];
      EXPECT_NE(texts[0].find(" - " + program + " - "), std::string::npos);
      EXPECT_EQ(texts[0].substr(texts[0].size() - 3), " - ");
    }
    cad_close();
  }
}

TEST_F(Header, LogosOnlyOnUnframedScreenAndPlotDrawings) {
  WriteBytes(Temp("$LOGO_2.dx$"), CrLf({"  0", "LINE", " 11", "480", "  0", "EOF"}));
  for (auto [target, sheet, logo] :
       {std::tuple<std::uint16_t, decltype(SheetKind), bool>{kCadScreen, 0, true},
        {kCadScreen, 2, false},
        {kCadScreen, 3, false},
        {kCadPlot, 0, true},
        {kCadPlot, 3, false},
        {kCadDxf, 0, false}}) {
    OpenBatch(target, "l");
    cad_header_default();
    SheetKind = sheet;
    std::size_t lines_before = Records("4;").size();
    cad_entities_begin();
    cad_blocks_end();
    bool drawn = Records("4;").size() > lines_before;
    cad_close();
    std::string file = target == kCadPlot ? Temp("penwerk.dxf") : Temp("l.dxf");
    bool inserted = target != kCadScreen && ReadBytes(file).find("LOGO_2") != std::string::npos;
    EXPECT_EQ(drawn || inserted, logo) << target << " " << sheet;
    std::filesystem::remove(file);
  }
}

// Where the plot file's border lies is checked by ezdxf on the "plot" sample.
TEST_F(Header, PrintBorderKeepsTheLayerAndStaysOutOfDxfFiles) {
  PrintBorder = 1;
  for (std::uint16_t target : {kCadPlot, kCadDxf}) {
    OpenBatch(target, "b");
    cad_layer(3);
    cad_header_default();
    cad_entities_begin();
    EXPECT_EQ(CurrentLayerNumber, 3);
    cad_blocks_end();
    cad_close();
  }
  EXPECT_NE(ReadBytes(Temp("penwerk.dxf")).find(CrLf({"LINE", "  8", "19"})), std::string::npos);
  EXPECT_EQ(ReadBytes(Temp("b.dxf")).find(CrLf({"  8", "19"})), std::string::npos);
}

TEST_F(Header, StlHeightPrompt) {
  CurrentFile = Temp("s");
  dialogs_->Expect(Step(DialogKind::SaveFile).Type(Temp("s")));
  dialogs_->Expect(Step(DialogKind::Text).Closing(DialogClose::Cancel));
  cad_open(kCadStl);
  cad_header_default();
  EXPECT_EQ(std::tuple(AbortFlag, SuppressOpen, ZTop), std::tuple(0, 1, 1));
  cad_close();
  OpenBatch(kCadStl, "s");
  cad_header(0, 0, 10, 10, 7);
  EXPECT_EQ(ZTop, 7);
  cad_header(0, 0, 10, 10, 0);
  EXPECT_EQ(ZTop, 7);
  cad_close();
  EXPECT_TRUE(dialogs_->UsedUp());
  EXPECT_FALSE(dialogs_->Failed());
}

}  // namespace
