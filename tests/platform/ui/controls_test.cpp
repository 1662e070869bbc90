#include "platform/ui/controls.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/ui/forms.h"

namespace platform {
namespace {

// A radio group, a list and a combo box of two items each.
class ChoiceControls : public ::testing::Test {
 protected:
  ChoiceControls() {
    radio.SetItems({"&Yes", "&No"});
    list.SetItems({"a", "b"});
    combo.SetItems({"Input", "Auto"});
  }
  Form form{"TForm_test"};
  RadioGroup& radio = form.Add<RadioGroup>("RadioGroup1");
  ListBox& list = form.Add<ListBox>("ListBox1");
  ComboBox& combo = form.Add<ComboBox>("ComboBox1");
};

TEST_F(ChoiceControls, IndexesOutOfRangeChooseNothing) {
  for (std::int32_t index : {-1, 2, 99}) {
    SCOPED_TRACE(index);
    radio.SetItemIndex(index);
    list.SetItemIndex(index);
    combo.SetItemIndex(index);
    EXPECT_EQ(std::vector<int>({radio.ItemIndex(), list.ItemIndex(), combo.ItemIndex()}),
              std::vector<int>({-1, -1, -1}));
  }
  radio.SetItemIndex(1);
  radio.SetItems({"x"});
  EXPECT_EQ(radio.ItemIndex(), -1);
}

TEST_F(ChoiceControls, UserChoicesFireEventsProgramChoicesDoNot) {
  int radioClicks = 0, listClicks = 0, doubleClicks = 0, comboChanges = 0;
  radio.onClick = [&] { ++radioClicks; };
  list.onClick = [&] { ++listClicks; };
  list.onDoubleClick = [&] { ++doubleClicks; };
  combo.onChange = [&] { ++comboChanges; };
  combo.SetItems({"Input", "Auto"});
  radio.SetItemIndex(0);
  list.SetItemIndex(0);
  combo.SetItemIndex(0);
  EXPECT_EQ(radioClicks + listClicks + comboChanges, 0);

  radio.Choose(1);
  list.DoubleClick(1);
  combo.Choose(1);
  combo.Choose(1);  // the same item again is no change
  radio.Choose(5);  // no such item
  EXPECT_EQ(std::tuple(radio.ItemIndex(), list.ItemIndex(), combo.Text(), radioClicks, listClicks,
                       doubleClicks, comboChanges),
            std::tuple(1, 1, "Auto", 1, 1, 1, 1));
}

TEST_F(ChoiceControls, ComboTextFollowsItems) {
  combo.SetText("Auto");
  EXPECT_EQ(combo.ItemIndex(), 1);
  combo.SetText("A5");
  EXPECT_EQ(combo.ItemIndex(), -1);
  combo.TypeText("Input");  // not editable: the user cannot type
  EXPECT_EQ(combo.Text(), "A5");
  combo.SetEditable(true);
  combo.TypeText("Input");
  EXPECT_EQ(combo.ItemIndex(), 0);
}

// The filled mark lasts while the text is the program's fill: typing the same text keeps it, a
// different text (even typed back afterwards), a refused edit and the program's SetText do not.
TEST(Edit, TheFilledMarkLastsUntilTheTextChanges) {
  Form form{"TForm_test"};
  auto& edit = form.Add<Edit>("Edit_d1graf");
  edit.Fill("112.3");
  edit.TypeText("112.3");
  EXPECT_TRUE(edit.Filled());
  edit.SetReadOnly(true);
  edit.TypeText("40");
  EXPECT_TRUE(edit.Filled());
  edit.SetReadOnly(false);
  edit.TypeText("112.");
  edit.TypeText("112.3");
  EXPECT_FALSE(edit.Filled());
  edit.Fill("1.5748");
  edit.SetText("1.5748");
  EXPECT_FALSE(edit.Filled());
}

TEST(SpinEdit, KeepsTheValueInItsRange) {
  Form form("TForm_test");
  auto& spin = form.Add<SpinEdit>("SpinEdit_dxfdec");
  spin.SetRange(16, 3);  // given in descending order
  EXPECT_EQ(std::vector<int>({spin.Min(), spin.Max(), spin.Value()}), std::vector<int>({3, 16, 3}));
  int changes = 0;
  spin.onChange = [&] { ++changes; };
  spin.TypeValue(40);
  EXPECT_EQ(spin.Value(), 16);
  spin.TypeValue(17);  // clamps to the same value: no change
  EXPECT_EQ(changes, 1);
}

TEST(PageControl, PagesHoldControlsAndSwitchOnlyToExistingPages) {
  Form form("Tconfig");
  auto& pages = form.Add<PageControl>("PageControl1");
  pages.AddPage("Tab_grafik", "Graphics").Add<CheckBox>("CheckBox_zoomMouseWheel");
  pages.AddPage("Tab_cad", "CAD").Add<Edit>("Edit_cadfont");
  EXPECT_NE(form.Find<Edit>("Edit_cadfont"), nullptr);
  int changes = 0;
  pages.onChange = [&] { ++changes; };
  pages.ChoosePage(1);
  pages.ChoosePage(2);
  EXPECT_EQ(pages.ActivePageIndex(), 1);
  EXPECT_EQ(changes, 1);
}

TEST(StringGrid, CellsSurviveResizingAndTheUserKeepsToFixedCellsAndHandlers) {
  Form form("TForm_zeichInfo");
  auto& grid = form.Add<StringGrid>("StringGrid2");
  grid.SetSize(3, 2);
  grid.SetCell(2, 1, "x");
  grid.SetCell(0, 0, "File");
  grid.SetSize(4, 3);
  EXPECT_EQ(grid.Cell(2, 1) + grid.Cell(0, 0), "xFile");
  grid.SetSize(2, 3);
  grid.SetCell(5, 5, "ignored");
  EXPECT_EQ(grid.Cell(2, 1) + grid.Cell(5, 5) + grid.Cell(-1, 0), "");

  grid.SetSize(7, 9);
  grid.SetEditable(true);
  grid.onSelectCell = [](std::int32_t col, std::int32_t) { return col != 3; };
  std::vector<std::pair<int, int>> edited;
  grid.onCellEdited = [&](std::int32_t c, std::int32_t r) { edited.emplace_back(c, r); };
  grid.SelectCell(2, 4);
  grid.SelectCell(3, 5);  // refused by the handler
  grid.SelectCell(0, 5);  // fixed column
  EXPECT_EQ(std::make_pair(grid.Col(), grid.Row()), std::make_pair(2, 4));
  grid.TypeCell(1, 1, "Name");
  grid.TypeCell(0, 1, "heading");  // fixed cells are not edited
  EXPECT_EQ(grid.Cell(1, 1) + grid.Cell(0, 1), "Name");
  EXPECT_EQ(edited, (std::vector<std::pair<int, int>>{{1, 1}}));
}

}  // namespace
}  // namespace platform
