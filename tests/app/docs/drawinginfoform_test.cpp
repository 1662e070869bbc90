// The drawing-information form: both title-block layouts, the reading of the drawing-text grid,
// the sheet-format choice and how the form closes.
#include "app/docs/drawinginfoform.h"

#include <gtest/gtest.h>

#include "base/settings/brelvar.h"
#include "base/text/utildate.h"
#include "cad/layer/cadvar.h"
#include "calc/drawinginfo.h"
#include "tests/app/documentationfixture.h"

namespace {

using platform::Form;
using platform::StringGrid;

StringGrid& Grid(Form& form, const std::string& name) {
  return form.Get<StringGrid>(name);
}

class DrawingInfoForm : public DocumentationTest {
 protected:
  // OK after the user typed the drawing-text rows given as (row, x, text).
  void OkWithTexts(std::vector<std::tuple<int, std::string, std::string>> rows) {
    InForm([rows](Form& form) {
      for (const auto& [row, x, text] : rows) {
        Grid(form, "StringGrid2").TypeCell(1, row, x);
        Grid(form, "StringGrid2").TypeCell(5, row, text);
      }
      Press(form, "Button_ok");
    });
    ShowDrawingInfo();
  }
};

// A row without text ends the list; commas count as decimal points, an empty cell as 0.
TEST_F(DrawingInfoForm, TextRowsAreReadUpToTheFirstEmptyText) {
  OkWithTexts({{1, "12,5", "first"}, {2, "", "second"}, {4, "7", "fourth"}});
  EXPECT_EQ(DrawingTextCount, 2);
  EXPECT_EQ(DrawingTextRecords[1].x, 12.5L);
  EXPECT_EQ(DrawingTextRecords[1].Text, "first");
  EXPECT_EQ(DrawingTextRecords[2].x, 0.0L);
  EXPECT_EQ(std::tuple(Modified, AbortFlag), std::tuple(1, 0));
}

// A number cell that holds no number is refused with the range message and shows its old text.
TEST_F(DrawingInfoForm, ACellThatHoldsNoNumberIsRefused) {
  DrawingTextRecords[1] = {1, 2, 3, 4, "old", 5};
  DrawingTextCount = 1;
  std::string shown;
  InForm([&shown](Form& form) {
    Grid(form, "StringGrid2").TypeCell(6, 1, "5 a");
    Press(form, "Button_ok");
    shown = Grid(form, "StringGrid2").Cell(6, 1);
  });
  ShowDrawingInfo();
  EXPECT_EQ(std::tuple(shown, script_.Transcript().at(1)),
            std::tuple("5", "Error  : |Valid Data are: -2147483648 .. 2147483647 !"));
}

TEST_F(DrawingInfoForm, AnEmptyGridStoresOneEmptyRecord) {
  DrawingTextRecords[1] = {1, 2, 3, 4, "old", 5};
  DrawingTextRecords[2] = {1, 2, 3, 4, "old", 5};
  DrawingTextCount = 0;
  OkWithTexts({{8, "", "beyond an empty row"}});
  EXPECT_EQ(DrawingTextCount, 1);
  EXPECT_EQ(DrawingTextRecords[1], DrawingTextRecord{});
}

TEST_F(DrawingInfoForm, TheGridShowsTheStoredTextsAndEightRowsAreRead) {
  for (int i = 1; i <= kDrawingTextSlotCount; ++i) {
    DrawingTextRecords[i] = {10, 20, 3.5L, 90, "Text " + std::to_string(i), i};
  }
  DrawingTextCount = kDrawingTextSlotCount;
  std::vector<std::string> row1;
  InForm([&](Form& form) {
    for (int col = 0; col <= 6; ++col) row1.push_back(Grid(form, "StringGrid2").Cell(col, 1));
    Press(form, "Button_ok");
  });
  ShowDrawingInfo();
  EXPECT_EQ(row1, (std::vector<std::string>{"1", "10", "20", "3.5", "90", "Text 1", "1"}));
  EXPECT_EQ(DrawingTextCount, kDrawingTextSlotCount);
  EXPECT_EQ(DrawingTextRecords[8], (DrawingTextRecord{10, 20, 3.5L, 90, "Text 8", 8}));
}

// DIN 6771: four date/name rows (the fourth labelled with the approval text), date buttons and
// the replacement fields.
TEST_F(DrawingInfoForm, DinLayoutStoresFourRowsAndTheReplacementTexts) {
  TitleBlockStandard = 0;
  ApprovalFieldText = "Released";
  std::string caption, approval;
  InForm([&](Form& form) {
    caption = form.Caption();
    approval = Grid(form, "StringGrid1").Cell(0, 4);
    EXPECT_FALSE(Grid(form, "StringGrid3").Visible());
    Grid(form, "StringGrid1").TypeCell(2, 4, "Boss");
    Press(form, "Button4");
    Type(form, "Edit_ersatzfuer", "ABCDEFGHIJKLMNOPQ");
    Press(form, "Button_ok");
  });
  ShowDrawingInfo();
  EXPECT_EQ(std::tuple(caption, approval), std::tuple("Info drawing DIN 6771", "Released"));
  EXPECT_EQ(TitleBlockFields.Rows[4], (TitleRow{TodayText(), "Boss"}));
  EXPECT_EQ(TitleBlockFields.ReplacementFor, "ABCDEFGHIJKLMNO");
  ApprovalFieldText.clear();
}

// ISO 7200 has no fourth row: OK empties it, keeps the hidden replacement texts and stores the
// three ISO fields.
TEST_F(DrawingInfoForm, IsoLayoutClearsRowFourAndStoresItsOwnFields) {
  TitleBlockStandard = 1;
  TitleBlockFields.Rows[4] = {"01.01.2020", "Boss"};
  TitleBlockFields.ReplacementFor = "old drawing";
  std::string caption, head;
  InForm([&](Form& form) {
    caption = form.Caption();
    head = Grid(form, "StringGrid1").Cell(1, 0);
    EXPECT_FALSE(form.Get<platform::Button>("Button1").Visible());
    EXPECT_FALSE(form.Get<platform::Edit>("Edit_ersatzfuer").Visible());
    EXPECT_EQ(Grid(form, "StringGrid3").Cell(0, 2), "Document type");
    Grid(form, "StringGrid1").TypeCell(2, 1, "Ann");
    Grid(form, "StringGrid3").TypeCell(1, 2, "Part drawing");
    Press(form, "Button_ok");
  });
  ShowDrawingInfo();
  EXPECT_EQ(std::tuple(caption, head), std::tuple("Info drawing ISO 7200", " (Date)"));
  EXPECT_EQ(TitleBlockFields.Rows[4], TitleRow{});
  EXPECT_EQ(TitleBlockFields.Rows[1].Name, "Ann");
  EXPECT_EQ(TitleBlockFields.ReplacementFor, "old drawing");
  EXPECT_EQ(TitleBlockFields.DocumentType, "Part drawing");
}

// The choice "-" hides the grid only when it is made, not when the form opens with it.
TEST_F(DrawingInfoForm, TheSheetChoiceHidesTheTextGridWhenMade) {
  DrawingTextMode = kDrawingTextsNone;
  std::vector<bool> visible;
  InForm([&](Form& form) {
    auto& mode = form.Get<platform::ComboBox>("ComboBox_zeichtextmode");
    visible.push_back(Grid(form, "StringGrid2").Visible());
    mode.Choose(1);
    mode.Choose(3);
    visible.push_back(Grid(form, "StringGrid2").Visible());
    mode.Choose(2);
    visible.push_back(Grid(form, "StringGrid2").Visible());
    Press(form, "Button_ok");
  });
  ShowDrawingInfo();
  EXPECT_EQ(visible, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(DrawingTextMode, kDrawingTextsA4A3);
}

TEST_F(DrawingInfoForm, CancelAndTheCloseBoxStoreNothing) {
  const TitleBlockFieldSet before = TitleBlockFields;
  for (const bool closeBox : {false, true}) {
    AbortFlag = 0;
    InForm([closeBox](Form& form) {
      Grid(form, "StringGrid1").TypeCell(2, 1, "typed");
      Grid(form, "StringGrid2").TypeCell(5, 1, "typed");
      if (!closeBox) Press(form, "Button_cancel");
    });
    ShowDrawingInfo();
    EXPECT_EQ(std::tuple(AbortFlag, Modified, DrawingTextCount), std::tuple(1, 0, 0));
    EXPECT_EQ(TitleBlockFields, before);
  }
}

}  // namespace
