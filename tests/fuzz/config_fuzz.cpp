// The configuration file read as the start reads it, the menu language switched, then the
// settings form left without typing: Save, OK. A second untouched OK changes no setting, and a
// saved file reads back to the settings it was written from, but for those the reader takes from
// the screen. A difference aborts.
//
// The start's folder checks are left out: they make and remove files in whatever folders the
// input names.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/config/tconfig.h"
#include "app/lang/language.h"
#include "app/main/configfile.h"
#include "app/main/programidentity.h"
#include "app/main/startprogram.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "calc/calcstart.h"
#include "platform/files/osfiles.h"
#include "platform/headless/dialogscript.h"
#include "tests/fuzz/fuzzrun.h"

namespace {

constexpr std::int32_t kLanguages[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12};
// Lines of the file after the labelled items: the dialog scale is the second, the menu language
// the sixth.
constexpr std::size_t kTailLines = 60;
constexpr std::size_t kDialogScaleInTail = 1;
constexpr std::size_t kLanguageInTail = 5;

class MenulessForm final : public LanguageForm {
 public:
  void ApplyMenuCaptions() override {}
  void UpdateCaption() override {}
};

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

// The settings as the file holds them, with every real at its full width.
std::vector<std::string> Settings() {
  const std::int32_t digits = FloatDigits;
  FloatDigits = 9;
  std::vector<std::string> lines = ConfigFileLines();
  lines.push_back(IntText(digits));
  FloatDigits = digits;
  return lines;
}

// Aborts on the first line where the settings differ, naming it.
void RequireSame(const std::vector<std::string>& got, const std::vector<std::string>& expected,
                 const char* what) {
  for (std::size_t i = 0; i < std::max(got.size(), expected.size()); ++i) {
    const char* has = i < got.size() ? got[i].c_str() : "(none)";
    const char* had = i < expected.size() ? expected[i].c_str() : "(none)";
    if (std::string_view(has) != had) {
      std::fprintf(stderr, "%s: line %zu is \"%s\", was \"%s\"\n", what, i + 1, has, had);
      std::abort();
    }
  }
}

std::vector<std::string> FileLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) break;
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

void PressInSettingsForm(const FuzzRun& run, std::vector<const char*> buttons) {
  run.Dialogs().Expect(
      platform::headless::Step(platform::DialogKind::Form).Act([buttons](platform::Form& form) {
        for (const char* button : buttons) form.Get<platform::Button>(button).Click();
      }));
  ConfigureSettings();
}

void Blank(std::vector<std::string>& lines, std::string_view label) {
  const auto found = std::find(lines.begin(), lines.end(), label);
  if (found != lines.end() && found + 1 != lines.end()) found[1].clear();
}

// The settings the reader takes from the screen, as its size codes say, and the menu language,
// kept only where the file says so, left out.
std::vector<std::string> AsReaderKeepsThem(std::vector<std::string> lines) {
  if (lines.size() <= kTailLines) return lines;
  const std::size_t tail = lines.size() - kTailLines;
  if (ScreenSizeCode == 1 || ScreenSizeCode == 2) {
    Blank(lines, "Horizontal Pixels");
    Blank(lines, "Vertical Pixels");
  }
  if (DialogSizeCode == 1) {
    Blank(lines, "Input Window Scale %");
    lines[tail + kDialogScaleInTail].clear();
  }
  if (TextWindowSizeCode == 1) Blank(lines, "Text window left/top/width/height");
  if (SaveMenuLanguage == 0) lines[tail + kLanguageInTail].clear();
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  StartCalculationUnits();
  SetProgramIdentity();
  ConfigDir = run.Path("");
  const std::string path = ConfigDir + ShortName + ".cfg";
  run.Put(ShortName + ".cfg", Bytes(data, size));
  ReadConfigKeepingStartFolders();
  AbortFlag = 0;
  // The first byte, of a line the reader skips, picks the language the user switches to.
  MenulessForm mainForm;
  SetLanguage(mainForm, kLanguages[size == 0 ? 0 : data[0] % std::size(kLanguages)]);

  PressInSettingsForm(run, {"Button_save", "Button_ok"});
  const std::vector<std::string> afterOk = Settings();
  PressInSettingsForm(run, {"Button_ok"});
  RequireSame(Settings(), afterOk, "an untouched OK changed a setting");

  // The next start reads the saved file and saves again: the reader's repairs of values the
  // first start did not read are in place, and what is saved now reads back as it was saved.
  Require(ReadConfigFile(path), "the saved file does not open");
  PressInSettingsForm(run, {"Button_save", "Button_ok"});
  std::string saved;
  Require(platform::os::ReadWholeFile(path, saved), "Save wrote no file");
  Require(ReadConfigFile(path), "the saved file does not open");
  RequireSame(AsReaderKeepsThem(ConfigFileLines()), AsReaderKeepsThem(FileLines(saved)),
              "the saved file reads back to other settings");
  return 0;
}
