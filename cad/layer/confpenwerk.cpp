#include "cad/layer/confpenwerk.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "base/dialogs/formplace.h"
#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/files/utilpath.h"
#include "base/help/helptext.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "cad/layer/cadplot.h"
#include "calc/calcfileformat.h"

const std::array<std::string_view, 35> PsFontNames = {
    "Times-Roman",
    "Times-Italic",
    "Times-Bold",
    "Times-BoldItalic",
    "Helvetica",
    "Helvetica-Oblique",
    "Helvetica-Bold",
    "Helvetica-BoldOblique",
    "Helvetica-Narrow",
    "Helvetica-Narrow-Oblique",
    "Helvetica-Narrow-Bold",
    "Helvetica-Narrow-BoldOblique",
    "Courier",
    "Courier-Oblique",
    "Courier-Bold",
    "Courier-BoldOblique",
    "Palatino-Roman",
    "Palatino-Italic",
    "Palatino-Bold",
    "Palatino-BoldItalic",
    "AvantGarde-Book",
    "AvantGarde-Demi",
    "AvantGarde-BookOblique",
    "AvantGarde-DemiOblique",
    "Bookman-Light",
    "Bookman-Demi",
    "Bookman-LightItalic",
    "Bookman-DemiItalic",
    "NewCenturySchlbk-Roman",
    "NewCenturySchlbk-Bold",
    "NewCenturySchlbk-Italic",
    "NewCenturySchlbk-BoldItalic",
    "ZapfChancery-MediumItalic",
    "Symbol",
    "other fonts",
};

namespace {

using platform::Button;
using platform::CheckBox;
using platform::ComboBox;
using platform::Control;
using platform::Edit;
using platform::Label;
using platform::ModalResult;
using platform::RadioGroup;

constexpr std::uint16_t kHelpNumber = 2055;
constexpr std::int32_t kSerial = 0;
constexpr std::int32_t kParallel = 1;
constexpr std::int32_t kFile = 2;
constexpr std::int32_t kPostScript = 1;

// Each number edit with its default text, the help text of its hint and whether it takes a whole
// number.
struct EditDefault {
  const char* name;
  const char* text;
  std::uint16_t hint;
  bool whole;
};

const EditDefault kEdits[] = {
    {"Edit_com", "1", 2120, true},    {"Edit_lpt", "1", 2120, true},
    {"Edit_scale", "1", 2140, false}, {"Edit_xnull", "0", 2150, false},
    {"Edit_ynull", "0", 2150, false}, {"Edit_textbreitenfaktor", "1", 2160, false},
};

// Whether the edit holds a number its option takes; blanks around it are no error.
bool HoldsNumber(const EditDefault& field, const std::string& text) {
  if (field.whole) return TypedInt(text).has_value();
  const std::optional<long double> value = TypedReal(text);
  return value && std::fabs(*value) <= kLargestInput;
}

// The hints of the other controls.
const std::pair<const char*, std::uint16_t> kHints[] = {
    {"RadioGroup_outcode", 2090}, {"RadioGroup_d", 2120},    {"CheckBox_scale", 2140},
    {"Edit_outdir", 2130},        {"ComboBox_psfont", 2280}, {"CheckBox_rotate", 2145},
    {"Edit_penwerkPath", 2080},
};

bool has_text(const std::string& text) {
  return !TrimBlanks(text).empty();
}

// The drawing file in a folder, as the plot program is told it.
std::string plot_file_in(const std::string& folder) {
  return cad_quote_command_word(AddBackslash(folder) + "penwerk");
}

}  // namespace

TForm_confpenwerk::TForm_confpenwerk()
    : platform::Form("TForm_confpenwerk", "PENWERK", {520, 430}) {
  CenterOnDrawWindow(Placement());
  AddProgramControls();
  AddDestinationControls();
  AddScaleControls();
  AddButtons();
  SetHints();
  EnableForDestination();
  EnableForInterface();
  RebuildOnChange();
  onShow = [this] { Get<Label>("Label_commandline").SetCaption(CommandLine); };
  onClose = [this] {
    if (GetModalResult() != ModalResult::Ok) AbortFlag = 1;
  };
}

void TForm_confpenwerk::AddProgramControls() {
  Add<Label>("Label_penwerkpath").SetCaption(ToDisplayText("PENWERK Program directory"));
  Add<Edit>("Edit_penwerkPath").SetText("c:\\penwerk\\wpenwerk");
  auto& browse = Add<Button>("Button_penwerkpath");
  browse.SetCaption("...");
  browse.onClick = [this] {
    Edit& path = Get<Edit>("Edit_penwerkPath");
    std::string chosen;
    SelectFile(path.Text(), "*.*", chosen);
    path.SetText(chosen);
    BuildPlotCommandLine();
  };
}

void TForm_confpenwerk::AddDestinationControls() {
  auto& code = Add<RadioGroup>("RadioGroup_outcode");
  code.SetCaption(ToDisplayText("destination code"));
  code.SetItems(std::vector<std::string>(kPlotDestinations.begin(), kPlotDestinations.end()));
  code.SetItemIndex(0);
  auto& interface = Add<RadioGroup>("RadioGroup_d");
  interface.SetCaption(ToDisplayText("output interface"));
  interface.SetItems(std::vector<std::string>(kPlotInterfaces.begin(), kPlotInterfaces.end()));
  interface.SetItemIndex(kParallel);
  Add<Label>("Label_com").SetCaption("COM-Port");
  Add<Edit>("Edit_com");
  Add<Label>("Label_lpt").SetCaption("LPT-Port");
  Add<Edit>("Edit_lpt");
  Add<Edit>("Edit_outdir").SetText(TempDir);
  auto& folder = Add<Button>("Button_outDir");
  folder.SetCaption("...");
  folder.onClick = [this] {
    Edit& outdir = Get<Edit>("Edit_outdir");
    std::string chosen;
    SelectDirectory(outdir.Text(), chosen);
    outdir.SetText(chosen);
    BuildPlotCommandLine();
  };
  auto& temp = Add<Button>("Button_tempdir");
  temp.SetCaption("TEMP");
  temp.onClick = [this] {
    Get<Edit>("Edit_outdir").SetText(TempDir);
    BuildPlotCommandLine();
  };
  Add<Label>("Label_psfont").SetCaption(ToDisplayText("Postscript font"));
  auto& font = Add<ComboBox>("ComboBox_psfont");
  font.SetItems(std::vector<std::string>(PsFontNames.begin(), PsFontNames.end()));
  font.SetEditable(true);
}

void TForm_confpenwerk::AddScaleControls() {
  Add<Label>("Label_scale").SetCaption(ToDisplayText("scale"));
  Add<Edit>("Edit_scale");
  Add<CheckBox>("CheckBox_scale").SetCaption(ToDisplayText("scale fit limits ?"));
  Add<CheckBox>("CheckBox_rotate").SetCaption(ToDisplayText("rotate 90 degrees ?"));
  Add<Label>("Label_xnull").SetCaption(ToDisplayText("reference point shifting x direction"));
  Add<Edit>("Edit_xnull");
  Add<Label>("Label_ynull").SetCaption(ToDisplayText("reference point shifting y direction"));
  Add<Edit>("Edit_ynull");
  Add<Label>("Label_textbreitenfaktor").SetCaption(ToDisplayText("Textwidth/height"));
  Add<Edit>("Edit_textbreitenfaktor");
  for (const EditDefault& edit : kEdits) Get<Edit>(edit.name).SetText(edit.text);
  Add<Label>("Label_commandline").SetWordWrap(true);
}

void TForm_confpenwerk::AddButtons() {
  auto& help = Add<Button>("Button_help");
  help.SetCaption(ToDisplayText("&Help"));
  help.onClick = [] { ShowHelpText(kHelpNumber, "", 1); };
  auto& cancel = Add<Button>("Button_cancel");
  cancel.SetCaption(ToDisplayText("Cancel"));
  cancel.SetCancel(true);
  cancel.SetModalResult(ModalResult::Cancel);
  cancel.onClick = [] { AbortFlag = 1; };
  auto& ok = Add<Button>("Button_ok");
  ok.SetCaption(ToDisplayText("OK"));
  ok.SetDefault(true);
  ok.onClick = [this] {
    if (!NumbersAccepted()) return;
    BuildPlotCommandLine();
    AbortFlag = 0;
    SetModalResult(ModalResult::Ok);
  };
}

// The first edit in use that holds no number its option takes is refused with the range message and
// shows its default again.
bool TForm_confpenwerk::NumbersAccepted() {
  for (const EditDefault& field : kEdits) {
    Edit& edit = Get<Edit>(field.name);
    if (!edit.Enabled() || HoldsNumber(field, edit.Text())) continue;
    if (field.whole) {
      ShowInt32RangeError();
    } else {
      ShowRangeError(RealText(-kLargestInput), RealText(kLargestInput));
    }
    edit.SetText(field.text);
    // The line shown follows the default too.
    if (edit.onChange) edit.onChange();
    edit.SetFocus();
    return false;
  }
  return true;
}

void TForm_confpenwerk::SetHints() {
  if (HelpLevel == 0) return;
  auto hint = [this](const char* name, std::uint16_t number) {
    std::string text;
    HelpEntryLine(number, text);
    Get<Control>(name).SetHint(text);
  };
  for (const EditDefault& edit : kEdits) hint(edit.name, edit.hint);
  for (const auto& [name, number] : kHints) hint(name, number);
}

void TForm_confpenwerk::EnableForDestination() {
  Get<ComboBox>("ComboBox_psfont")
      .SetEnabled(Get<RadioGroup>("RadioGroup_outcode").ItemIndex() == kPostScript);
}

// Only the port or folder of the chosen interface can be edited.
void TForm_confpenwerk::EnableForInterface() {
  const std::int32_t chosen = Get<RadioGroup>("RadioGroup_d").ItemIndex();
  Get<Edit>("Edit_com").SetEnabled(chosen == kSerial);
  Get<Edit>("Edit_lpt").SetEnabled(chosen == kParallel);
  Get<Edit>("Edit_outdir").SetEnabled(chosen == kFile);
}

void TForm_confpenwerk::ScaleFitClicked() {
  Edit& scale = Get<Edit>("Edit_scale");
  const bool fit = Get<CheckBox>("CheckBox_scale").Checked();
  if (fit) scale.SetText("0");
  scale.SetEnabled(!fit);
}

void TForm_confpenwerk::RebuildOnChange() {
  for (const char* name : {"Edit_penwerkPath", "Edit_com", "Edit_lpt", "Edit_outdir", "Edit_scale",
                           "Edit_xnull", "Edit_ynull", "Edit_textbreitenfaktor"}) {
    Get<Edit>(name).onChange = [this] { BuildPlotCommandLine(); };
  }
  Get<RadioGroup>("RadioGroup_outcode").onClick = [this] {
    EnableForDestination();
    BuildPlotCommandLine();
  };
  Get<RadioGroup>("RadioGroup_d").onClick = [this] {
    EnableForInterface();
    BuildPlotCommandLine();
  };
  Get<CheckBox>("CheckBox_scale").onClick = [this] {
    ScaleFitClicked();
    BuildPlotCommandLine();
  };
  Get<CheckBox>("CheckBox_rotate").onClick = [this] { BuildPlotCommandLine(); };
  Get<ComboBox>("ComboBox_psfont").onChange = [this] { BuildPlotCommandLine(); };
}

void TForm_confpenwerk::BuildPlotCommandLine() {
  auto text = [this](const char* edit) { return TrimBlanks(Get<Edit>(edit).Text()); };
  auto real = [&text](const char* edit) { return TypedReal(text(edit)).value_or(0); };
  const std::string& outdir = text("Edit_outdir");
  std::string line = cad_quote_command_word(text("Edit_penwerkPath")) + " " + plot_file_in(outdir);
  const std::int32_t code = Get<RadioGroup>("RadioGroup_outcode").ItemIndex();
  line += " /C" + std::string(kPlotDestinationCodes[code < 0 ? 0 : code]);
  const std::int32_t interface = Get<RadioGroup>("RadioGroup_d").ItemIndex();
  if (interface != kParallel) line += " /D" + IntText(interface + 1);
  if (interface == kSerial || interface == kParallel) {
    const std::int32_t port =
        TypedInt(text(interface == kSerial ? "Edit_com" : "Edit_lpt")).value_or(0);
    if (port != 1) line += " /P" + IntText(port);
  } else if (interface == kFile && has_text(outdir)) {
    line += " /F" + plot_file_in(outdir);
  }
  const long double scale = real("Edit_scale");
  if (scale == 0) {
    line += " /M*";
  } else if (scale != 1) {
    line += " /M" + text("Edit_scale");
  }
  if (real("Edit_xnull") != 0) line += " /X" + text("Edit_xnull");
  if (real("Edit_ynull") != 0) line += " /Y" + text("Edit_ynull");
  if (real("Edit_textbreitenfaktor") != 1) line += " /B" + text("Edit_textbreitenfaktor");
  if (Get<CheckBox>("CheckBox_rotate").Checked()) line += " /R";
  if (code == kPostScript) line += " /T" + Get<ComboBox>("ComboBox_psfont").Text();
  CommandLine = line;
  Get<Label>("Label_commandline").SetCaption(CommandLine);
}
