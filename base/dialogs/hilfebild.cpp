#include "base/dialogs/hilfebild.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/dialogs/formplace.h"
#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/draw/breldraw.h"
#include "base/files/textfile.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/help/hbild.h"
#include "base/help/helptext.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/displaytext.h"
#include "base/text/utilstr.h"
#include "platform/files/fileresolve.h"
#include "platform/ui/forms.h"

namespace {

constexpr std::int32_t kMaxListLines = 130;
constexpr std::size_t kNameLength = 8;
constexpr std::size_t kTextLength = 50;

enum Action : std::uint16_t { kShow = 0, kNew = 1, kInsert = 2, kDelete = 3, kModify = 9 };

struct ListLine {
  std::string name;
  std::string text;
};

std::string ListFileName() {
  return AddBackslash(PltDir) + LowerText(ShortName) + ".dbh";
}

std::vector<ListLine> ReadList() {
  std::vector<ListLine> list;
  TextFile file;
  file.Assign(ListFileName());
  file.Reset();
  std::string line;
  while (file.IoResult() == 0 && !file.Eof() && std::int32_t(list.size()) < kMaxListLines) {
    file.ReadLine(line);
    ListLine entry;
    std::size_t pos = 0;
    ReadDbhField(line, pos, entry.name);
    ReadDbhField(line, pos, entry.text);
    list.push_back(entry);
  }
  file.Close();
  return list;
}

std::string ShownLine(const ListLine& line) {
  const std::string name =
      line.name.size() > kNameLength ? line.name : TextLeft(line.name, kNameLength);
  return name + ": " + line.text;
}

std::string ImageName(const ListLine& line) {
  return LowerText(NoBlanks(line.name));
}

void WriteList(const std::vector<ListLine>& list) {
  std::vector<std::string> lines;
  for (const ListLine& line : list) lines.push_back(DbhLine(line.name, line.text));
  ReplaceFileLines(platform::ResolveFileName(ListFileName()), lines);
}

// The list form: a drop-down of the list lines, arrows to the neighbouring line, and the
// commands. Leaving it clears AbortFlag to show a line or run a command, OK sets it.
class TForm_hilfebild final : public platform::Form {
 public:
  TForm_hilfebild(std::int32_t lineCount, std::int32_t currentLine)
      : platform::Form("TForm_hilfebild", ToDisplayText(ProductCode + " " + "Auxiliary Images"),
                       {520, 110}),
        LineCount(lineCount),
        CurrentLine(currentLine) {
    auto& list = Add<platform::ComboBox>("ListBox1");
    auto& spin = Add<platform::SpinButton>("SpinButton1");
    auto& ok = AddButton("Button_ok", "OK", [this] {
      AbortFlag = 1;
      Action = kShow;
      Leave();
    });
    ok.SetDefault(true);
    ok.SetCancel(true);
    AddButton("Button_help", "&Help", [] {
      ShowHelpText(HelpNumber, "", 1);
      AbortFlag = 0;
    });
    AddButton("Button_neu", "&New", [this, &list] {
      list.SetItemIndex(-1);
      Command(kNew);
    });
    auto& modify = AddButton("Button_aendern", "&Modify", [this] { Command(kModify); });
    AddButton("Button_einfuegen", "&Insert", [this] { Command(kInsert); });
    auto& remove = AddButton("Button_loeschen", "&Delete", [this] { Command(kDelete); });
    // An empty list has no line to modify or delete.
    modify.SetEnabled(lineCount > 0);
    remove.SetEnabled(lineCount > 0);
    list.onChange = [this] {
      if (Filling) return;
      AbortFlag = 0;
      Leave();
    };
    spin.onUpClick = [this, &list] { Step(list, list.ItemIndex() > 0 ? -1 : 0); };
    spin.onDownClick = [this, &list] { Step(list, list.ItemIndex() < LineCount - 1 ? 1 : 0); };
    onShow = [this, &list] { Fill(list); };
    // The form opens where the user left it last time.
    PlaceAuxImageForm(Placement());
    onClose = [this] {
      if (!Placement().HasPosition()) return;
      AuxImageFormLeft = Placement().Position().x;
      AuxImageFormTop = Placement().Position().y;
    };
  }

  std::int32_t Position() const { return Get<platform::ComboBox>("ListBox1").ItemIndex() + 1; }

  bool Filling = false;
  std::int32_t LineCount;
  std::int32_t CurrentLine;
  std::uint16_t Action = kShow;

 private:
  platform::Button& AddButton(const std::string& name, const std::string& caption,
                              std::function<void()> click) {
    auto& button = Add<platform::Button>(name);
    button.SetCaption(caption);
    button.onClick = std::move(click);
    return button;
  }

  void Fill(platform::ComboBox& list) {
    Filling = true;
    std::vector<std::string> items;
    for (std::int32_t i = 1; i <= LineCount; ++i) items.push_back(ToDisplayText(ChoiceTexts[i]));
    list.SetItems(items);
    list.SetItemIndex(CurrentLine - 1);
    Action = kShow;
    Filling = false;
  }

  void Step(platform::ComboBox& list, std::int32_t by) {
    list.SetItemIndex(list.ItemIndex() + by);
    AbortFlag = 0;
    Leave();
  }

  void Command(std::uint16_t action) {
    Action = action;
    AbortFlag = 0;
    Leave();
  }

  void Leave() { SetModalResult(platform::ModalResult::Ok); }
};

// The 1-based line a command works on: the selected one, else one the user chooses.
bool CommandLine(std::int32_t n, std::int32_t selected, const std::string& title,
                 std::int32_t& line) {
  if (selected > 0) {
    line = selected;
    return true;
  }
  std::uint16_t chosen = 1;
  ChooseItem(title, n, chosen);
  line = chosen;
  return AbortFlag == 0;
}

bool ChooseImage(std::string& name) {
  std::string folder = PltDir;
  SelectFileOfKind(1, folder, "*.plt", name);
  return AbortFlag == 0;
}

bool AskDescription(std::string& text) {
  InputText("Aux.Graph. Information", kTextLength, text);
  return AbortFlag == 0;
}

// New, Insert, Delete and Modify; false when the run ends.
bool RunCommand(std::uint16_t action, std::vector<ListLine>& list, std::int32_t selected) {
  const std::int32_t n = static_cast<std::int32_t>(list.size());
  std::int32_t line = 0;
  ListLine entry;
  switch (action) {
    case kNew:
      if (!ChooseImage(entry.name)) return false;
      SetHelpNumber(2310);
      if (!AskDescription(entry.text)) return false;
      list.push_back(entry);
      break;
    case kDelete:
      SetHelpNumber(2320);
      if (!CommandLine(n, selected, "Select line to delete...", line)) return false;
      if (selected > 0 && !AskYesNo("Delete ?")) return false;
      list.erase(list.begin() + (line - 1));
      break;
    case kModify:
      SetHelpNumber(2330);
      if (!CommandLine(n, selected, "Select line to modify...", line)) return false;
      entry = list[line - 1];
      SetHelpNumber(2340);
      InputText("File name (without extension .plt)", kNameLength, entry.name);
      if (AbortFlag != 0) return false;
      SetHelpNumber(2330);
      if (!AskDescription(entry.text)) return false;
      list[line - 1] = entry;
      break;
    case kInsert:
      SetHelpNumber(2350);
      // An empty list has one place to insert at.
      if (n == 0) {
        line = 1;
      } else if (!CommandLine(n, selected, "Insert before which line ?", line)) {
        return false;
      }
      if (!ChooseImage(entry.name)) return false;
      SetHelpNumber(2330);
      if (!AskDescription(entry.text)) return false;
      if (n > 0 && line > n) return true;  // nothing stands there to insert before
      list.insert(list.begin() + (line - 1), entry);
      break;
    default:
      AbortFlag = 1;
      return false;
  }
  WriteList(list);
  return AbortFlag == 0;
}

// Without a list: open dialogs and images until the dialog is cancelled.
void BrowseWithoutList() {
  HourglassOff();
  std::string folder = PltDir;
  std::string name;
  SelectFileOfKind(1, folder, "*.plt", name);
  if (AbortFlag != 0) return;
  PltDir = folder;
  ShowAuxImage(name);
  AbortFlag = 0;
}

}  // namespace

void ReadDbhField(const std::string& line, std::size_t& pos, std::string& text) {
  text.clear();
  if (pos < line.size() && line[pos] == ',') ++pos;
  if (pos >= line.size() || line[pos] == '\r' || line[pos] == '\n') return;
  if (line[pos] == '"') {
    ++pos;
  } else {
    ShowError("DBH file error");
  }
  const std::size_t close = line.find('"', pos);
  const std::size_t end = close == std::string::npos ? line.size() : close;
  text = line.substr(pos, end - pos);
  pos = close == std::string::npos ? line.size() : close + 1;
}

std::string DbhLine(const std::string& name, const std::string& text) {
  std::string quotedName = name;
  std::string quotedText = text;
  ReplaceChar('"', '\'', quotedName);
  ReplaceChar('"', '\'', quotedText);
  return "\"" + quotedName + "\",\"" + quotedText + "\"";
}

void ShowAuxImage(const std::string& name) {
  SheetKind = 1;
  if (Drawer == nullptr) return;
  Drawer->grClear();
  Drawer->grHeader(0, 0, 160, 120);
  PlotNamedImage(LowerText(name));
}

void AuxImages() {
  AbortFlag = 0;
  bool firstPass = true;
  std::int32_t currentLine = 1;
  for (;;) {
    if (!FileThere(ListFileName())) {
      BrowseWithoutList();
      if (AbortFlag != 0) return;
      continue;
    }
    std::vector<ListLine> list = ReadList();
    const auto n = static_cast<std::int32_t>(list.size());
    for (std::int32_t i = 1; i <= std::min(n, kMaxListLines); ++i) {
      ChoiceTexts[i] = ShownLine(list[i - 1]);
    }
    SetHelpNumber(2300);
    std::uint16_t action = kShow;
    std::int32_t position = 1;
    // The first pass shows the first line without the form, when there is one.
    if (!firstPass || n == 0) {
      TForm_hilfebild form(n, currentLine);
      if (form.ShowModal() != platform::ModalResult::Ok) AbortFlag = 1;
      if (AbortFlag != 0) return;
      action = form.Action;
      position = form.Position();
    }
    firstPass = false;
    if (action != kShow) {
      if (!RunCommand(action, list, position)) return;
      // After New the last line of the old list, after the others nothing is preselected.
      currentLine = action == kNew ? n : n + 1;
      continue;
    }
    if (position == 0) {
      AbortFlag = 1;
      return;
    }
    ShowAuxImage(ImageName(list[position - 1]));
    if (AbortFlag != 0) {
      AbortFlag = 0;
      return;
    }
    currentLine = position;
  }
}
