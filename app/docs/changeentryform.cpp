#include "app/docs/changeentryform.h"

#include "app/docs/formbuttons.h"
#include "base/dialogs/formplace.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/utildate.h"
#include "calc/descriptiontext.h"
#include "calc/drawinginfo.h"
#include "calc/drawinginfotexts.h"
#include "platform/ui/forms.h"

namespace {

class TForm_EinAend final : public platform::Form {
 public:
  explicit TForm_EinAend(std::uint16_t changeIndex)
      : platform::Form("TForm_EinAend", ToDisplayText(DiModification), {420, 200}),
        ChangeIndex(changeIndex) {
    AddField("aenderung", DiTextOfChanges, 20);
    AddField("datum", DiDate, 10);
    auto& today = Add<platform::Button>("Button_datum");
    today.SetCaption(std::string("<").append(ToDisplayText(TodayText())));
    today.onClick = [this] { Get<platform::Edit>("Edit_datum").SetText(TodayText()); };
    AddField("bearbeiter", DiResponsible, 5);
    AddField("beschreibung", DiDescription, 255);
    AddOkCancelHelp(*this, "&Help", 3000);
    onShow = [this] { FormShow(); };
  }

  // The edits' texts into the entry; a text the user left as shown keeps its stored bytes.
  void Store() const {
    ChangeEntry& entry = ChangeEntries[ChangeIndex];
    entry.ChangeText = StoredAfterEdit(Text("aenderung"), entry.ChangeText);
    entry.ChangeDate = Text("datum");
    entry.Editor = StoredAfterEdit(Text("bearbeiter"), entry.Editor);
    StoreDescription(entry.Description);
  }

  const std::uint16_t ChangeIndex;

 private:
  void AddField(const std::string& name, const std::string& label, std::size_t maxLength) {
    Add<platform::Label>("Label_" + name).SetCaption(ToDisplayText(label));
    Add<platform::Edit>("Edit_" + name).SetMaxLength(maxLength);
  }

  void FormShow() {
    SetCaption(ToDisplayText(DiModification) + " " + IntText(ChangeIndex));
    const ChangeEntry& entry = ChangeEntries[ChangeIndex];
    SetText("aenderung", ToDisplayText(entry.ChangeText));
    SetText("datum", entry.ChangeDate);
    SetText("bearbeiter", ToDisplayText(entry.Editor));
    SetText("beschreibung", ToDisplayText(DescriptionAsOneLine(entry.Description)));
  }

  // Only an edited description reads "|" as a line break: an unchanged one keeps its own breaks
  // and the box-drawing characters the display shows as "|".
  void StoreDescription(std::string& description) const {
    const std::string oneLine = DescriptionAsOneLine(description);
    const std::string typed = StoredAfterEdit(Text("beschreibung"), oneLine);
    if (typed != oneLine) description = DescriptionFromOneLine(typed);
  }

  const std::string& Text(const std::string& name) const {
    return Get<platform::Edit>("Edit_" + name).Text();
  }
  void SetText(const std::string& name, std::string text) {
    Get<platform::Edit>("Edit_" + name).SetText(std::move(text));
  }
};

}  // namespace

void EditChangeEntry(std::uint16_t index) {
  if (index < 1 || index > kChangeSlotCount) return;
  TForm_EinAend form(index);
  CenterOnDrawWindow(form.Placement());
  const bool ok = form.ShowModal() == platform::ModalResult::Ok;
  if (ok) form.Store();
  AbortFlag = ok ? 0 : 1;
}
