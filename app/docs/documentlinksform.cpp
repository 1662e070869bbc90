#include "app/docs/documentlinksform.h"

#include "app/docs/formbuttons.h"
#include "app/docs/linklauncher.h"
#include "base/dialogs/formplace.h"
#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/help/helptext.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "calc/documentlinks.h"
#include "platform/ui/forms.h"

namespace {

class TForm_confDoku final : public platform::Form {
 public:
  TForm_confDoku() : platform::Form("TForm_confDoku", "", {600, 520}) {
    std::string title;
    SetWindowTitle(title);
    SetCaption("Document Links  -  " + title);
    std::string programHint, fileHint;
    HelpHint(2710, programHint);
    HelpHint(2720, fileHint);
    for (int n = 1; n <= kDocumentLinkCount; ++n) AddLink(n, programHint, fileHint);
    AddOkCancelHelp(*this, "&Help Text", 2730);
    onShow = [this] { FormShow(); };
  }

  void Store() const {
    for (int n = 1; n <= kDocumentLinkCount; ++n) DocumentLinks[n] = {Program(n), File(n)};
  }

 private:
  const std::string& Program(int n) const {
    return Get<platform::Edit>("Edit_prog" + IntText(n)).Text();
  }
  const std::string& File(int n) const {
    return Get<platform::Edit>("Edit_file" + IntText(n)).Text();
  }

  // Programs on this system carry no ".exe": the program choice lists every file.
  void AddLink(int n, const std::string& programHint, const std::string& fileHint) {
    const std::string number = IntText(n);
    auto& group = Add<platform::GroupBox>("GroupBox" + number);
    AddPath(group, "prog", "Program ", number, programHint, "*");
    AddPath(group, "file", "File ", number, fileHint, "*.*");
    auto& program = Add<platform::Button>("Button" + number);
    program.SetCaption("Exec Prog");
    program.onClick = [this, n] { ExecLinkProgram(Program(n), File(n)); };
    auto& file = Add<platform::Button>("Button" + number + "f");
    file.SetCaption("Exec File");
    file.onClick = [this, n] { ExecLinkFile(File(n)); };
  }

  // The label, edit and browse button of a program or file; the edit keeps its text when the
  // choice is cancelled.
  static void AddPath(platform::GroupBox& group, const std::string& kind,
                      const std::string& caption, const std::string& number,
                      const std::string& hint, const std::string& mask) {
    auto& label = group.Add<platform::Label>("Label_" + kind + number);
    label.SetCaption(caption + number);
    label.SetHint(hint);
    auto& edit = group.Add<platform::Edit>("Edit_" + kind + number);
    auto& browse = group.Add<platform::Button>("Button_" + kind + number);
    browse.SetCaption("...");
    browse.onClick = [&edit, mask] {
      std::string chosen;
      SelectFile(edit.Text(), mask, chosen);
      edit.SetText(chosen);
    };
  }

  void FormShow() {
    for (int n = 1; n <= kDocumentLinkCount; ++n) {
      Get<platform::Edit>("Edit_prog" + IntText(n)).SetText(DocumentLinks[n].Program);
      Get<platform::Edit>("Edit_file" + IntText(n)).SetText(DocumentLinks[n].File);
    }
  }
};

}  // namespace

void EditDocumentLinks() {
  TForm_confDoku form;
  CenterOnDrawWindow(form.Placement());
  const bool ok = form.ShowModal() == platform::ModalResult::Ok;
  if (ok) form.Store();
  AbortFlag = ok ? 0 : 1;
}
