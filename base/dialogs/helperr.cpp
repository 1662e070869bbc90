#include "base/dialogs/helperr.h"

#include <algorithm>
#include <vector>

#include "base/dialogs/formplace.h"
#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/files/textfile.h"
#include "base/files/utilpath.h"
#include "base/help/helptext.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/messages.h"
#include "base/text/utilstr.h"
#include "platform/files/fileresolve.h"
#include "platform/ui/forms.h"

namespace {

constexpr std::size_t kKeyLength = 15;
const char* const kNoHelp = "no help description available for this error message.";

struct MessageHelp {
  bool fileFound = false;
  bool recordFound = false;
  std::string origin;
  std::string remedy;
};

MessageHelp LookUp(const std::string& message) {
  MessageHelp help;
  TextFile file;
  file.Assign(MessageHelpFileName());
  file.Reset();
  if (file.IoResult() != 0) return help;
  help.fileFound = true;
  std::string line;
  while (!file.Eof()) {
    file.ReadLine(line);
    if (!MessageKeyMatches(line, message)) continue;
    if (file.Eof()) break;  // a record needs its origin line
    help.recordFound = true;
    file.ReadLine(help.origin);
    file.ReadLine(help.remedy);
    break;
  }
  file.Close();
  return help;
}

std::string OneLine(std::string text) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    line += (text[i] == '\r' || text[i] == '\n') ? ' ' : text[i];
  }
  return line;
}

bool ReadAllLines(const std::string& name, std::vector<std::string>& lines) {
  TextFile file;
  file.Assign(name);
  file.Reset();
  if (file.IoResult() != 0) return false;
  std::string line;
  while (!file.Eof()) {
    file.ReadLine(line);
    lines.push_back(line);
  }
  file.Close();
  return true;
}

const std::string& MessageAt(std::int32_t index) {
  static const std::string none;
  return index >= 1 && index <= kMaxMessages ? Messages[index] : none;
}

}  // namespace

std::string MessageHelpFileName() {
  return AddBackslash(PltDir) + ShortName + ".err";
}

bool MessageKeyMatches(const std::string& line, const std::string& message) {
  return line.substr(0, kKeyLength) == message.substr(0, kKeyLength);
}

void ErrorOrigin(std::int32_t index, std::string& text) {
  const MessageHelp help = LookUp(MessageAt(index));
  text = !help.fileFound ? "" : help.recordFound ? help.origin : kNoHelp;
}

void ErrorRemedy(std::int32_t index, std::string& text) {
  const MessageHelp help = LookUp(MessageAt(index));
  text = help.recordFound ? help.remedy : "";
}

void ShowErrorHelp(std::int32_t index) {
  CheckFileReadable(platform::ResolveFileName(MessageHelpFileName()));
  if (AbortFlag != 0) return;
  const MessageHelp help = LookUp(MessageAt(index));
  if (!help.recordFound) {
    ShowMessageTitled("Message", kNoHelp);
    return;
  }
  ShowErrorHelpForm(MessageAt(index), help.origin, help.remedy);
}

void SaveErrorHelp(const std::string& message, const std::string& origin,
                   const std::string& remedy) {
  const std::string name = platform::ResolveFileName(MessageHelpFileName());
  CheckFileReadable(name);
  if (AbortFlag != 0) return;
  std::vector<std::string> lines;
  if (!ReadAllLines(name, lines)) return;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!MessageKeyMatches(lines[i], message)) continue;
    lines.resize(std::max(lines.size(), i + 3));
    lines[i + 1] = OneLine(origin);
    lines[i + 2] = OneLine(remedy);
    ReplaceFileLines(name, lines);
    return;
  }
  ShowPlainText(message + " not found.");
}

namespace {

// The message help form: the message (read only: the save finds its record by it), its origin
// and remedy, editable.
class Thelperr final : public platform::Form {
 public:
  Thelperr() : platform::Form("Thelperr", ToDisplayText("Error Message"), {480, 360}) {
    Add<platform::Label>("Label_meldung").SetCaption(ToDisplayText("Error Message"));
    auto& message = Add<platform::Edit>("Edit_meldung");
    message.SetReadOnly(true);
    Add<platform::Label>("Label_ursache").SetCaption(ToDisplayText("Origin"));
    auto& origin = Add<platform::Memo>("Memo_ursache");
    Add<platform::Label>("Label_abhilfe").SetCaption(ToDisplayText("Remedy"));
    auto& remedy = Add<platform::Memo>("Memo_abhilfe");
    auto& ok = Add<platform::Button>("Button_ok");
    ok.SetCaption("OK");
    ok.SetDefault(true);
    ok.SetModalResult(platform::ModalResult::Ok);
    auto& help = Add<platform::Button>("Button_help");
    help.SetCaption("&Help");
    help.onClick = [] { ShowHelpText(1970, "", 1); };
    origin.onChange = [this] { Changed = true; };
    remedy.onChange = [this] { Changed = true; };
  }

  static std::string Joined(const platform::Memo& memo) {
    std::string text;
    for (const std::string& line : memo.Lines()) text += (text.empty() ? "" : " ") + line;
    return text;
  }

  bool Changed = false;
};

}  // namespace

void ShowErrorHelpForm(const std::string& message, const std::string& origin,
                       const std::string& remedy) {
  Thelperr form;
  form.Get<platform::Edit>("Edit_meldung").SetText(ToDisplayText(message));
  form.Get<platform::Memo>("Memo_ursache").SetLines({ToDisplayText(origin)});
  form.Get<platform::Memo>("Memo_abhilfe").SetLines({ToDisplayText(remedy)});
  CenterOnDrawWindow(form.Placement());
  const platform::ModalResult result = form.ShowModal();
  if (result != platform::ModalResult::Ok || !form.Changed) return;
  if (!AskYesNo("Save Changes ?")) return;
  SaveErrorHelp(
      message, StoredAfterEdit(Thelperr::Joined(form.Get<platform::Memo>("Memo_ursache")), origin),
      StoredAfterEdit(Thelperr::Joined(form.Get<platform::Memo>("Memo_abhilfe")), remedy));
}

void ShowCalcMessages() {
  if (HasParam("/NOGUI")) return;
  const std::int32_t n = MessageCount;
  if (n == 0) {
    ShowInfo("Calculation successful without error messages");
    return;
  }
  AbortFlag = 0;
  for (std::int32_t i = 1; i <= n; ++i) ChoiceTexts[i] = Messages[i];
  ChoiceTexts[n + 1] = "Continue...";
  std::uint16_t chosen = HelpLevel < 2 ? static_cast<std::uint16_t>(n + 1) : 1;
  for (;;) {
    SetHelpNumber(1210);
    ChooseItem("Calculation done. Select message for more info or continue.", n + 1, chosen);
    if (AbortFlag != 0 || chosen == n + 1) return;
    ShowErrorHelp(chosen);
    if (AbortFlag != 0) return;
    ++chosen;
    if (chosen == n + 1) return;
  }
}
