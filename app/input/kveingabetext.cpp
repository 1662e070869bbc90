#include "app/input/kveingabetext.h"

#include "base/dialogs/formplace.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"

namespace {

using platform::Button;
using platform::Edit;
using platform::GroupBox;
using platform::Label;
using platform::ModalResult;

constexpr std::size_t kNameLength = 25;
constexpr std::size_t kNumberLength = 18;
constexpr std::size_t kName2Length = 30;
constexpr std::size_t kInfoLength = 65;

// The edits with the variables they edit, in the order of the form.
struct TextField {
  const char* edit;
  std::string* variable;
};

const TextField kFields[] = {
    {"Edit_zeichname1", &DrawingName[kShaft]},
    {"Edit_zeichnr1", &DrawingNo[kShaft]},
    {"Edit_zeichname21", &DrawingName2[kShaft]},
    {"Edit_zeichname2", &DrawingName[kHub]},
    {"Edit_zeichnr2", &DrawingNo[kHub]},
    {"Edit_zeichname22", &DrawingName2[kHub]},
    {"Edit_info1", &DrawingTexts[1]},
    {"Edit_info2", &DrawingTexts[2]},
};

}  // namespace

TForm_kveingabetext::TForm_kveingabetext()
    : platform::Form("TForm_kveingabetext", ToDisplayText(LongTitle), {560, 300}) {
  CenterOnDrawWindow(Placement());
  AddPartGroup("GroupBox_INT", VocInnerPart, "1");
  AddPartGroup("GroupBox_EXT", VocOuterPart, "2");
  for (int line = 1; line <= 2; ++line) {
    const std::string number = line == 1 ? "1" : "2";
    Add<Label>("Label_info" + number).SetCaption(ToDisplayText(VocText + " " + number));
    AddEdit(*this, "Edit_info" + number, kInfoLength, DrawingTexts[static_cast<std::size_t>(line)]);
  }
  auto& ok = Add<Button>("Button_ok");
  ok.SetCaption("OK");
  ok.SetDefault(true);
  ok.SetModalResult(ModalResult::Ok);
  ok.onClick = [this] {
    AbortFlag = 0;
    Store();
  };
  auto& cancel = Add<Button>("Button_cancel");
  cancel.SetCaption("Cancel");
  cancel.SetCancel(true);
  cancel.SetModalResult(ModalResult::Cancel);
  // The close box cancels too, so the quick input stops instead of going on as if OK.
  onClose = [this] {
    if (GetModalResult() != ModalResult::Ok) AbortFlag = 1;
  };
}

void TForm_kveingabetext::AddPartGroup(const char* group, const std::string& part,
                                       const char* suffix) {
  auto& box = Add<GroupBox>(group);
  box.SetCaption(ToDisplayText(" " + part + " "));
  const std::string s = suffix;
  const int index = s == "1" ? kShaft : kHub;
  box.Add<Label>("Label_zeichname" + s).SetCaption(ToDisplayText(VocDrawingName));
  AddEdit(box, "Edit_zeichname" + s, kNameLength, DrawingName[index]);
  box.Add<Label>("Label_zeichnr" + s).SetCaption(ToDisplayText(VocDrawingNumber));
  AddEdit(box, "Edit_zeichnr" + s, kNumberLength, DrawingNo[index]);
  box.Add<Label>("Label_zeichname2" + s).SetCaption(ToDisplayText(VocDrawingName + " 2"));
  AddEdit(box, "Edit_zeichname2" + s, kName2Length, DrawingName2[index]);
}

void TForm_kveingabetext::AddEdit(platform::Container& parent, const std::string& name,
                                  std::size_t maxLength, const std::string& stored) {
  auto& edit = parent.Add<Edit>(name);
  edit.SetMaxLength(maxLength);
  fields_.FillText(edit, stored);
}

void TForm_kveingabetext::Store() {
  for (const TextField& field : kFields) *field.variable = fields_.ReadText(Get<Edit>(field.edit));
}

void ShowTextInput() {
  TForm_kveingabetext form;
  form.ShowModal();
}
