// The colour picker.
#include "app/config/selectcolor.h"

#include <array>

#include "base/dialogs/formplace.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"

namespace {

constexpr int kColourCount = 16;
constexpr std::array<const char*, kColourCount> kColourNames = {
    "red",   "yellow",     "green",      "cyan",      "blue",     "magenta",
    "white", "dark blue",  "dark green", "dark cyan", "dark red", "dark magenta",
    "brown", "light grey", "dark grey",  "black"};

}  // namespace

void ColourNames() {
  for (int i = 1; i <= kColourCount; ++i)
    ChoiceTexts[static_cast<std::size_t>(i)] = kColourNames[static_cast<std::size_t>(i - 1)];
}

TForm_selectcolor::TForm_selectcolor()
    : platform::Form("TForm_selectcolor", "Select Color", {220, 330}),
      ListBox_colors(Add<platform::ListBox>("ListBox_colors")) {
  std::vector<std::string> lines;
  for (int i = 1; i <= kColourCount; ++i) {
    lines.push_back(IntText(i) + " (" + ToDisplayText(ChoiceTexts[static_cast<std::size_t>(i)]) +
                    ")");
  }
  ListBox_colors.SetItems(std::move(lines));
  platform::Button& ok = Add<platform::Button>("Button_ok");
  ok.SetCaption("OK");
  ok.SetDefault(true);
  ok.onClick = [this] {
    // OK without a line selected would give colour 0, which names no colour.
    if (ListBox_colors.ItemIndex() >= 0) SetModalResult(platform::ModalResult::Ok);
  };
  platform::Button& cancel = Add<platform::Button>("Button_cancel");
  cancel.SetCaption("Cancel");
  cancel.SetCancel(true);
  cancel.SetModalResult(platform::ModalResult::Cancel);
  CenterOnDrawWindow(Placement());
}

CadColour PickCadColour(CadColour current) {
  ColourNames();
  TForm_selectcolor picker;
  picker.ListBox_colors.SetItemIndex(current.number - 1);
  const bool chosen = picker.ShowModal() == platform::ModalResult::Ok;
  AbortFlag = 0;
  return chosen ? CadColour{picker.ListBox_colors.ItemIndex() + 1} : current;
}
