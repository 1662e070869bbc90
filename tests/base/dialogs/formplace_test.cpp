#include "base/dialogs/formplace.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "base/draw/hgvar.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "platform/system/services.h"

namespace {

using platform::FormBorder;
using platform::Point;
using platform::RecordedFormHandle;
using platform::Size;

class PlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    window_.SetPosition({100, 50});
    DrawWindowForm = &window_;
  }
  void TearDown() override { DrawWindowForm = nullptr; }

  RecordedFormHandle window_{Size{800, 600}};
};

TEST_F(PlacementTest, ScaleSizeBySettingAndDensity) {
  const std::array<std::int32_t, 3> cases[] = {
      {125, 120, 156}, {100, 96, 100}, {1, 96, 100}, {100, 120, 125}, {125, 1, 125}};
  for (const auto& [scale, dpi, result] : cases) {
    DialogScale = scale;
    ScreenDpi = dpi;
    EXPECT_EQ(ScaleSize(100), result) << scale << " " << dpi;
  }
  InputWindowScale = 150;
  ScreenDpi = 120;
  EXPECT_EQ(InputScaleDpi(), 187);
}

TEST_F(PlacementTest, CentredOnTheDrawingWindow) {
  DialogScale = 125;
  InputWindowScale = 150;
  RecordedFormHandle form(Size{400, 300});
  CenterOnDrawWindow(form);
  EXPECT_EQ(std::tuple(form.OuterSize(), form.Position(), form.FontScale(), form.Border()),
            std::tuple(Size{600, 450}, Point{200, 145}, 125, FormBorder::Dialog));

  SizeableDialogs = 1;
  InputWindowScale = 300;
  CenterOnDrawWindow(form);  // never left of or above the window
  EXPECT_EQ(std::tuple(form.OuterSize(), form.Position(), form.Border()),
            std::tuple(Size{1200, 900}, Point{100, 50}, FormBorder::Sizeable));
}

TEST_F(PlacementTest, OtherPlacements) {
  DialogScale = 110;
  InputWindowScale = 50;
  ScreenDpi = 144;
  AuxImageFormLeft = 7;
  AuxImageFormTop = 9;
  RecordedFormHandle aux(Size{200, 100}), scaled(Size{200, 100}), dialog(Size{200, 100});
  scaled.SetPosition({33, 44});
  PlaceAuxImageForm(aux);
  ScaleForm(scaled);
  ScaleDialog(dialog);
  EXPECT_EQ(std::tuple(aux.Position(), aux.OuterSize(), scaled.Position(), scaled.OuterSize(),
                       dialog.OuterSize()),
            std::tuple(Point{7, 9}, Size{100, 50}, Point{33, 44}, Size{100, 50}, Size{300, 150}));
}

TEST_F(PlacementTest, MainWindowSetup) {
  HorizontalPixels = 639;
  VerticalPixels = 479;
  BackgroundColour = 0x00FF8040;
  DialogScale = 120;
  window_.SetPosition({300, 300});
  SetupMainWindow(window_);
  EXPECT_EQ(
      std::tuple(window_.ClientSize(), window_.Position(), window_.Background(),
                 window_.FontScale(), window_.TooltipDuration()),
      std::tuple(Size{640, 480}, Point{0, 0}, platform::Color{0x40, 0x80, 0xFF}, 120, 100000));
}

TEST_F(PlacementTest, WindowModeTwoKeepsEveryFormAsDesigned) {
  WindowMode = 2;
  DialogScale = 150;
  InputWindowScale = 150;
  ScreenDpi = 192;
  RecordedFormHandle form(Size{400, 300});
  form.SetPosition({1, 2});
  CenterOnDrawWindow(form);
  PlaceAuxImageForm(form);
  ScaleForm(form);
  ScaleDialog(form);
  SetupMainWindow(form);
  EXPECT_EQ(std::tuple(form.Position(), form.OuterSize(), form.FontScale(), form.ParentFont(),
                       form.TooltipDuration()),
            std::tuple(Point{1, 2}, Size{400, 300}, 100, false, 0));
}

TEST_F(PlacementTest, LargestClientArea) {
  const platform::Substitute<platform::ScreenSource, platform::FixedScreen> screen(
      std::make_unique<platform::FixedScreen>(platform::ScreenFacts{Size{1920, 1080}, 96}));
  EXPECT_EQ(MaxClientWidth(), 1920 - 16);
  EXPECT_EQ(MaxClientHeight(), 1080 - 74);  // 1.9 x 39 = 74.1
}

}  // namespace
