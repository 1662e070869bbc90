#include "accesstest.h"
#include "platform/ui/forms.h"
#include "platform/ui/keys.h"
#include "tables/access/tzfiledataset.h"
#include "tables/access/tzgrid.h"
#include "tables/access/tznavigator.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4rows.h"
#include "tables/core/tzdate.h"

namespace {

using namespace dadav;
using namespace accesstest;
using platform::DialogKind;
using platform::MessageAnswer;
using platform::headless::Step;

class grid : public AccessTest {
 protected:
  // NAME C(8), QTY N(6,0), OK L; record i named "R<i>", odd ones OK.
  void Open(int n, const std::vector<int>& deleted = {}) {
    const std::string path = Path("g.dbf");
    NewTable(
        path, {Def("NAME", 'C', 8), Def("QTY", 'N', 6), Def("OK", 'L', 1)}, n,
        [](int i) {
          SetText(1, "R" + std::to_string(i));
          SetInt32(2, i * 10);
          SetLogical(3, i % 2 == 1);
        },
        deleted);
    CloseAll();
    data_.SetDbfFileName(path);
    data_.Open();
    control_.SetVisibleRows(40);
    control_.SetOptions(platform::kGridEditing | platform::kGridTitles);
    model_ = std::make_unique<TTzGrid>(control_, data_);
  }
  std::int32_t AreaRecNo() {
    Select(data_.WorkArea());
    return dadav::RecNo();
  }

  platform::Form form_{"f"};
  platform::DataGrid& control_ = form_.Add<platform::DataGrid>("TzGrid1");
  TTzDbf data_{"tzdbf"};
  std::unique_ptr<TTzGrid> model_;
};

TEST_F(grid, CellsTitlesAndKindsComeFromTheFields) {
  Open(3);
  EXPECT_EQ(control_.Model(), model_.get());
  EXPECT_EQ(model_->RowCount(), 3);
  EXPECT_EQ(model_->ColumnCount(), 3);
  EXPECT_EQ(model_->Title(1), "QTY");
  EXPECT_EQ(model_->CellText(1, 0), "R2");
  EXPECT_EQ(model_->CellText(1, 1), "20");
  EXPECT_EQ(model_->Kind(1), platform::CellKind::Number);
  EXPECT_EQ(model_->Kind(2), platform::CellKind::Boolean);
  EXPECT_TRUE(model_->CellChecked(0, 2));
  EXPECT_FALSE(model_->CellChecked(1, 2));
  EXPECT_EQ(model_->CellText(1, 2), "False");
  EXPECT_EQ(control_.VisibleCellText(2, 0), "R3");
}

TEST_F(grid, RowColoursComeFromTheRowsOwnFieldsWithoutMovingTheDataset) {
  Open(5, {4});
  data_.SetRecNo(2);
  std::vector<std::int32_t> rows;
  model_->OnChangeColorsEvent = [&](std::int32_t row, const std::vector<std::string>& fields,
                                    platform::RowColors& colors) {
    rows.push_back(row);
    if (fields[0] == "R3") colors.cell = {0, 255, 0};
  };
  const std::uint64_t before = RecordsReadForViews;
  EXPECT_EQ(model_->Colors(2).cell, (platform::Color{0, 255, 0}));
  EXPECT_EQ(model_->Colors(0).cell, platform::kWhite);
  const platform::RowColors deleted = model_->Colors(3);
  EXPECT_EQ(deleted.deleted, (platform::Color{255, 0, 0}));
  EXPECT_TRUE(model_->RowDeleted(3));
  EXPECT_FALSE(model_->RowDeleted(2));
  EXPECT_EQ(rows, (std::vector<std::int32_t>{2, 0, 3}));
  EXPECT_EQ(data_.RecNo(), 2);
  EXPECT_EQ(AreaRecNo(), 2);
  EXPECT_EQ(RecordsReadForViews - before, 5u);  // one block of the screen
}

TEST_F(grid, ClickingABooleanCellTogglesItAndLeavingTheRowPostsIt) {
  Open(3);
  control_.ClickCell(1, 2);
  EXPECT_EQ(data_.RecNo(), 2);
  model_->ToggleCell(1, 2);
  EXPECT_TRUE(model_->CellChecked(1, 2));
  EXPECT_EQ(enginetest::Stored(3, 2), "F");
  control_.PressKey(platform::keys::kDown);
  EXPECT_EQ(data_.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(data_.RecNo(), 3);
  Select(data_.WorkArea());
  EXPECT_EQ(enginetest::Stored(3, 2), "T");
  EXPECT_TRUE(model_->CellChecked(1, 2));
}

TEST_F(grid, NumberCellsTakeDigitsSignAndTheDecimalCharacterOnly) {
  Open(2);
  control_.ClickCell(0, 1);
  control_.TypeInCell("12a");
  EXPECT_FALSE(control_.CommitEditor());
  EXPECT_EQ(data_.State(), TDataSetState::dsBrowse);
  control_.TypeInCell("-42");
  EXPECT_TRUE(control_.CommitEditor());
  control_.TypeInCell("77");
  control_.CancelEditor();
  EXPECT_EQ(model_->CellText(0, 1), "-42");
  data_.Post();
  Select(data_.WorkArea());
  EXPECT_EQ(enginetest::Stored(2, 1), "   -42");
}

// A number cell takes what the input forms take; other text is refused with the valid-data box
// and stays in the open editor.
TEST_F(grid, ANumberCellTakesWhatTheInputFormsTakeAndRefusesOtherText) {
  Open(1);
  // The typed text, the text the cell then shows ("": refused).
  const std::pair<std::string, std::string> cases[] = {
      {" 47 ", "47"}, {"4,0", "4"}, {"4.7", ""}, {"4.7 mm", ""}, {"abc", ""}};
  std::size_t refusals = 0;
  for (const auto& [text, taken] : cases) {
    const bool refused = taken.empty();
    refusals += refused;
    control_.ClickCell(0, 1);
    control_.TypeInCell(text);
    const bool committed = control_.CommitEditor();
    EXPECT_EQ(std::tuple(committed, control_.EditorOpen(), Boxes().size()),
              std::tuple(!refused, refused, refusals))
        << text;
    EXPECT_EQ(refused ? control_.EditorText() : model_->CellText(0, 1), refused ? text : taken);
    control_.CancelEditor();
  }
  EXPECT_TRUE(Shown("Valid Data are: -99999 .. 999999 !"));
}

TEST_F(grid, AnUnchangedAppendRowIsNotStoredAndAChangedOneIs) {
  Open(2);
  control_.ClickCell(1, 0);
  control_.PressKey(platform::keys::kDown);
  EXPECT_EQ(model_->RowCount(), 3);
  EXPECT_EQ(control_.Row(), 2);
  control_.PressKey(platform::keys::kUp);
  EXPECT_EQ(model_->RowCount(), 2);
  EXPECT_EQ(data_.RecordCount(), 2);
  control_.PressKey(platform::keys::kDown);
  control_.PressKey(platform::keys::kDown);
  control_.TypeInCell("NEW");
  EXPECT_TRUE(control_.CommitEditor());
  control_.PressKey(platform::keys::kUp);
  EXPECT_EQ(data_.RecordCount(), 3);
  EXPECT_EQ(model_->RowCount(), 3);
  EXPECT_EQ(model_->CellText(2, 0), "NEW");
}

TEST_F(grid, OpeningAndJumpingToTheEndReadAtMostTwoScreensAndNeverMoveTheTable) {
  Open(10000, {9999});
  const std::uint64_t start = RecordsReadForViews;
  for (std::int32_t row = 0; row < 40; ++row) model_->CellText(row, 0);
  EXPECT_LE(RecordsReadForViews - start, 80u);
  const std::int32_t last = model_->RowCount() - 1;
  EXPECT_EQ(last, 9999);
  const std::uint64_t beforeEnd = RecordsReadForViews;
  control_.SetTopRow(last - 39);
  for (std::int32_t row = last - 39; row <= last; ++row) {
    model_->CellText(row, 0);
    model_->RowDeleted(row);
  }
  EXPECT_LE(RecordsReadForViews - beforeEnd, 80u);
  EXPECT_EQ(model_->CellText(last, 0), "R10000");
  EXPECT_TRUE(model_->RowDeleted(9998));
  EXPECT_EQ(AreaRecNo(), 1);
  EXPECT_EQ(data_.RecNo(), 1);
}

TEST_F(grid, HiddenDeletedRecordsLeaveTheRowMapAndComeBackWhenShown) {
  Open(6, {2, 5});
  data_.SetHideDeletedRecs(true);
  model_->Refresh();
  EXPECT_EQ(model_->RowCount(), 4);
  EXPECT_EQ(model_->RecordOfRow(1), 3);
  EXPECT_EQ(model_->RowOfRecord(6), 3);
  EXPECT_EQ(model_->RowOfRecord(5), -1);
  EXPECT_EQ(model_->CellText(3, 0), "R6");
  data_.SetHideDeletedRecs(false);
  model_->Refresh();
  EXPECT_EQ(model_->RowCount(), 6);
}

TEST_F(grid, CtrlDeleteRestoresADeletedRecordOnlyInTheEditView) {
  Open(3, {2});
  control_.ClickCell(1, 0);
  control_.SetOptions(platform::kGridTitles | platform::kGridRowSelect);
  control_.PressKey(platform::keys::kDelete, true);
  EXPECT_TRUE(data_.RecordDeleted());
  control_.SetOptions(platform::kGridTitles | platform::kGridEditing);
  script_->Expect(Step(DialogKind::Box).Answer(MessageAnswer::Cancel));
  control_.PressKey(platform::keys::kDelete, true);
  EXPECT_TRUE(data_.RecordDeleted());
  script_->Expect(Step(DialogKind::Box).Answer(MessageAnswer::Ok));
  control_.PressKey(platform::keys::kDelete, true);
  EXPECT_FALSE(data_.RecordDeleted());
  EXPECT_FALSE(model_->RowDeleted(1));
  EXPECT_TRUE(Shown("Restore Record ?"));
}

TEST_F(grid, TitleAndCornerClicksReachTheOwnerUnlessDepressIsDisabled) {
  Open(2);
  std::vector<std::int32_t> titles;
  int corners = 0;
  model_->OnDepressTitle = [&](std::int32_t column) { titles.push_back(column); };
  model_->OnCornerLeftClick = [&] { corners += 1; };
  model_->OnCornerRightClick = [&] { corners += 10; };
  control_.ClickTitle(1);
  model_->DepressDisabled = true;
  control_.ClickTitle(2);
  control_.ClickCorner(true);
  control_.ClickCorner(false);
  EXPECT_EQ(titles, (std::vector<std::int32_t>{1}));
  EXPECT_EQ(corners, 11);
}

TEST_F(grid, TheNavigatorDeletesALiveRecordAndRestoresADeletedOne) {
  Open(3, {2});
  platform::DataNavigator& bar = form_.Add<platform::DataNavigator>("TzNavigator1");
  TTzNavigator navigator(bar, data_);
  std::vector<platform::NavigatorButton> clicked;
  navigator.OnClick = [&](platform::NavigatorButton button) { clicked.push_back(button); };
  data_.SetRecNo(2);
  script_->Expect(Step(DialogKind::Box).Answer(MessageAnswer::Ok));
  bar.Click(platform::NavigatorButton::Delete);
  EXPECT_FALSE(data_.RecordDeleted());
  data_.SetRecNo(3);
  script_->Expect(Step(DialogKind::Box).Answer(MessageAnswer::Cancel));
  bar.Click(platform::NavigatorButton::Delete);
  EXPECT_FALSE(data_.RecordDeleted());
  script_->Expect(Step(DialogKind::Box).Answer(MessageAnswer::Ok));
  bar.Click(platform::NavigatorButton::Delete);
  EXPECT_TRUE(data_.RecordDeleted());
  EXPECT_EQ(script_->Requests().size(), 0u);
  bar.SetButtonVisible(platform::NavigatorButton::First, false);
  bar.Click(platform::NavigatorButton::First);
  bar.Click(platform::NavigatorButton::Prior);
  EXPECT_EQ(data_.RecNo(), 2);
  EXPECT_EQ(clicked.size(), 4u);
  const std::vector<std::string>& boxes = Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_NE(boxes[0].find("Restore Record ?"), std::string::npos);
  EXPECT_NE(boxes[2].find("Delete Record ?"), std::string::npos);
}

TEST(grid_layout, AStoredLayoutSetsTheCurrentColumnAndIgnoresEntriesBeforeOne) {
  std::vector<TGridColumn> columns(1);
  ReadSavedColumns(
      columns,
      {"cvWidthStr=5", "cvColumn=1", "cvWidthStr=80", "cvFontStr=Arial,clRed,266",
       "cvAlignmentStr=taCenter", "cvReadOnlyStr=true", "cvTitleCaptionStr=Part", "cvColumn=0",
       "cvAlignmentStr=taSideways", "cvColorStr=$0000FF", "cvFieldNameStr=NAME", "fixedColumns=3"});
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_EQ(columns[0].width, 0);
  EXPECT_EQ(columns[1].width, 80);
  EXPECT_EQ(columns[1].font.name, "Arial");
  EXPECT_EQ(columns[1].font.color, (platform::Color{255, 0, 0}));
  EXPECT_EQ(columns[1].font.size, 10);
  EXPECT_TRUE(columns[1].font.bold);
  EXPECT_FALSE(columns[1].font.italic);
  EXPECT_EQ(columns[1].alignment, TAlignment::taCenter);
  EXPECT_TRUE(columns[1].readOnly);
  EXPECT_EQ(columns[1].titleCaption, "Part");
  EXPECT_EQ(columns[0].alignment, TAlignment::taLeftJustify);
  EXPECT_EQ(columns[0].color, (platform::Color{255, 0, 0}));
  EXPECT_EQ(columns[0].fieldName, "NAME");
  std::vector<TGridColumn> titled(1);
  titled[0].titleCaption = "kept";
  ReadSavedColumns(titled, {"cvColumn=0", "cvWidthStr=9"});
  EXPECT_EQ(titled[0].titleCaption, "kept");
  EXPECT_EQ(titled[0].width, 9);
}

TEST(grid_layout, DateMasksFollowThePictureAndTheCentury) {
  for (std::uint8_t picture = 0; picture <= 8; ++picture) {
    const std::string expected = picture == 1 ? "99/99/99;1; " : "99/99/99;1; ";
    EXPECT_EQ(DateEditMaskText(picture, false), expected);
  }
  EXPECT_EQ(DateEditMaskText(1, true), "9999/99/99;1; ");
  EXPECT_EQ(DateEditMaskText(0, true), "99/99/9999;1; ");
  EXPECT_EQ(DateEditMaskText(5, true), "99/99/9999;1; ");
  EXPECT_EQ(ToolkitMask("99/99/9999;1; ", '.'), "00.00.0000; ");
  EXPECT_EQ(ToolkitMask("9999/99/99;1; ", '-'), "0000-00-00; ");
  EXPECT_EQ(ToolkitMask("99/99/99;1; ", '/'), "00/00/00; ");
}

TEST_F(grid, TheDateColumnsMaskFollowsTheEngineSettings) {
  const std::string path = Path("d.dbf");
  NewTable(path, {Def("WHEN", 'D', 8)}, 1);
  CloseAll();
  data_.SetDbfFileName(path);
  data_.Open();
  model_ = std::make_unique<TTzGrid>(control_, data_);
  for (std::uint8_t picture = 0; picture <= 8; ++picture) {
    for (bool century : {false, true}) {
      CenturyOn = century;
      SetDateFormat(picture);
      const std::string year = century ? "0000" : "00";
      const std::string sep(1, DateSeparator);
      const std::string expected =
          picture == 1 ? year + sep + "00" + sep + "00; " : "00" + sep + "00" + sep + year + "; ";
      EXPECT_EQ(model_->EditMask(0), expected) << int(picture) << century;
    }
  }
  CenturyOn = false;
  SetDateFormat(0);
}

}  // namespace
