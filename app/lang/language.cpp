#include "app/lang/language.h"

#include <limits>

#include "app/lang/vmenuqel.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "calc/calctexts.h"
#include "calc/vocabulary.h"

namespace {

MenuText Plain(const char* text) {
  return {text, platform::kCodePage1252};
}

MenuText Join(const std::vector<MenuText>& pieces) {
  return platform::JoinTagged(pieces);
}

MenuText ProductionDrawingOf(const std::vector<MenuText>& parts) {
  std::vector<MenuText> pieces = parts;
  pieces.push_back(Plain(" "));
  pieces.push_back(MenuTextProductionDrawing);
  return Join(pieces);
}

// The text tables that take 16-bit codes must not see a larger code cut down to a known one.
std::uint16_t NarrowCode(std::int32_t code) {
  if (code < 0 || code > std::numeric_limits<std::uint16_t>::max()) return 0;
  return static_cast<std::uint16_t>(code);
}

}  // namespace

std::vector<MenuCaption> MenuCaptions() {
  const MenuText shaftAndHub = Join({TermShaft, Plain(" + "), TermHub});
  return {
      {"mi_file", MenuTextFile, ""},
      {"mi_fileNew", MenuTextNew, ""},
      {"mi_fileOpen", MenuTextOpen, ""},
      {"mi_FileSave", MenuTextSave, ""},
      {"mi_FileSaveAs", MenuTextSaveAs, ""},
      {"mi_fileexit", MenuTextExit, ""},
      {"mi_fileOpenTable", Join({MenuTextOpen, Plain(" ("), MenuTextTable, Plain(")")}), ""},
      {"mi_fileprint", MenuTextPrint, "Ctrl+P"},
      {"mi_fileprintersetup", MenuTextPrinterSetup, ""},
      {"mi_fileConfig", MenuTextSettings, ""},
      {"mi_editconfig", MenuTextSettings, ""},
      {"mi_Edit", MenuTextEdit, ""},
      {"mi_EditText", MenuTextText, ""},
      {"mi_editabmessungen", MenuTextDimensions, ""},
      {"mi_EditMaterial", MenuTextMaterial, ""},
      {"mi_editlast", TermLoad, ""},
      {"mi_View", MenuTextView, ""},
      {"mi_ViewAusdruck", MenuTextPrintout, ""},
      {"mi_viewP3G", Plain("P3&G"), ""},
      {"mi_viewQuick", Join({MenuTextQuick, Plain(" 1")}), ""},
      {"mi_viewquick3", Join({MenuTextQuick, Plain(" 3")}), ""},
      {"mi_viewquick4", Join({MenuTextQuick, Plain(" 4")}), ""},
      {"mi_viewfertwelle", ProductionDrawingOf({TermShaft}), ""},
      {"mi_cadfertwelle", ProductionDrawingOf({TermShaft}), ""},
      {"mi_viewfertnabe", ProductionDrawingOf({TermHub}), ""},
      {"mi_cadfertnabe", ProductionDrawingOf({TermHub}), ""},
      {"mi_viewfertwellenabe", ProductionDrawingOf({shaftAndHub}), ""},
      {"mi_cadfertwellenabe", ProductionDrawingOf({shaftAndHub}), ""},
      {"mi_viewtabwelle", Join({TermShaft, Plain(" "), MenuTextTable}), ""},
      {"mi_viewtabnabe", Join({TermHub, Plain(" "), MenuTextTable}), ""},
      {"mi_viewErrorMessages", MenuTextErrorMessages, ""},
      {"mi_helpErrorMessages", MenuTextErrorMessages, ""},
      {"mi_CAD", MenuTextCAD, ""},
      {"mi_cadsonstige", Join({MenuTextOthers, Plain("..")}), ""},
      {"mi_stlwelle", TermShaft, ""},
      {"mi_stlnabe", TermHub, ""},
      {"mi_database", MenuTextDatabase, ""},
      {"mi_dbfmaterial", MenuTextMaterial, ""},
      {"mi_dbwstyp", TermMaterialType, ""},
      {"mi_documentation", MenuTextDocument, ""},
      {"mi_docdrawinginfo", MenuTextDrawingData, ""},
      {"mi_docuShowChanges1", MenuTextChangesInfo, ""},
      {"mi_docuPrintChanges", MenuTextChangesPrintout, ""},
      {"mi_docuNewChange", MenuTextChangeNew, ""},
      {"mi_docuModifyChanges", MenuTextChangeEdit, ""},
      {"mi_docudeleteChange", MenuTextChangeDelete, ""},
      {"mi_DocumentSetup", MenuTextDocumentSetup, ""},
      {"mi_Help", MenuTextHelp, ""},
      {"mi_HelpHilfebild", MenuTextAuxImages, ""},
      {"mi_helplanguage", Join({MenuTextMenu, Plain(" "), MenuTextLanguage}), ""},
      {"mi_helpSysInfo", Plain("System Info"), ""},
      {"mi_HelpAbout", {ToDisplayText(ProductCode), platform::kCodePage1252}, ""},
  };
}

void SetMenuCaptions(platform::MenuBar& bar) {
  for (const MenuCaption& entry : MenuCaptions()) {
    if (platform::Menu* menu = bar.FindMenu(entry.item)) {
      menu->SetCaption(entry.caption.bytes, entry.caption.codePage);
    } else if (platform::MenuItem* item = bar.FindItem(entry.item)) {
      item->SetCaption(entry.caption.bytes, entry.caption.codePage);
      if (!entry.shortcut.empty()) item->SetShortcut(entry.shortcut);
    }
  }
}

void SetLanguage(LanguageForm& form, std::int32_t code) {
  Language = code;
  SetMenuTexts(code);
  SetMenuTermsLanguage(code);
  SetCalcTexts(NarrowCode(code));
  SetVocabularyLanguage(NarrowCode(code));
  form.ApplyMenuCaptions();
  form.UpdateCaption();
}
