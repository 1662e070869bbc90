#include "app/main/mainmenu.h"

#include <cstdint>
#include <string_view>

#include "app/about/aboutbox.h"
#include "app/about/sysinfo.h"
#include "app/config/tconfig.h"
#include "app/docs/changecommands.h"
#include "app/docs/drawinginfoform.h"
#include "app/input/kv6abm.h"
#include "app/input/kv6load.h"
#include "app/input/kvwst.h"
#include "app/input/materialtables.h"
#include "app/main/currentfile.h"
#include "app/main/thh.h"
#include "app/spreadsheet/spreadsheetlink.h"
#include "base/dialogs/helperr.h"
#include "base/dialogs/hilfebild.h"
#include "base/report/reportmessages.h"
#include "base/settings/wbrelvar.h"
#include "cad/print/printcon.h"
#include "calc/resultsreport.h"

namespace {

using Command = std::function<void(Thh&)>;

Command DrawingCommand(std::uint16_t device, std::uint16_t drawing) {
  return [device, drawing](Thh& form) { form.Draw(device, drawing); };
}

Command Plain(void (*routine)()) {
  return [routine](Thh&) { routine(); };
}

Command InputForm(void (*showForm)()) {
  return [showForm](Thh& form) { form.InputFormClick(showForm); };
}

Command Changes(std::uint16_t action) {
  return [action](Thh&) { ChangeProtocol(action); };
}

Command Recent(std::int32_t n) {
  return [n](Thh& form) { form.mi_fileRecentClick(n); };
}

Command Language(std::int32_t code) {
  return [code](Thh& form) { form.mi_languageClick(code); };
}

MainMenuEntry Menu(const char* name, const char* caption) {
  return {name, "", caption, "", true, true, nullptr};
}

MainMenuEntry Item(const char* name, const char* parent, const char* caption, Command command,
                   const char* shortcut = "") {
  return {name, parent, caption, shortcut, true, true, std::move(command)};
}

MainMenuEntry HiddenItem(const char* name, const char* parent, const char* caption,
                         Command command) {
  return {name, parent, caption, "", false, true, std::move(command)};
}

MainMenuEntry Separator(const char* name, const char* parent, bool visible = true) {
  return {name, parent, "-", "", visible, true, nullptr};
}

std::vector<MainMenuEntry> FileMenu() {
  return {
      Menu("mi_file", "&File"),
      Item(
          "mi_fileNew", "mi_file", "&New...", [](Thh& f) { f.mi_fileNewClick(); }, "Ctrl+N"),
      Item(
          "mi_fileOpen", "mi_file", "&Open...", [](Thh& f) { f.mi_fileOpenClick(); }, "Ctrl+O"),
      Item("mi_fileOpenTable", "mi_file", "Open... (Table)",
           [](Thh& f) { f.mi_fileOpenTableClick(); }),
      Item(
          "mi_FileSave", "mi_file", "&Save...", [](Thh& f) { f.mi_FileSaveClick(); }, "Ctrl+S"),
      Item("mi_FileSaveAs", "mi_file", "Save &As...", [](Thh& f) { f.mi_FileSaveAsClick(); }),
      Separator("N1", "mi_file"),
      Item("ExportDXF1", "mi_file", "Export DXF", DrawingCommand(1, 1)),
      Separator("mi_FileCopy", "mi_file"),
      Item(
          "mi_fileprint", "mi_file", "&Print...", [](Thh&) { ShowPrintForm(0); }, "Ctrl+P"),
      Item("mi_fileprintersetup", "mi_file", "P&rinter Setup", [](Thh&) { ShowPrintForm(1); }),
      Separator("N4", "mi_file"),
      Item("mi_fileConfig", "mi_file", "Se&ttings", Plain(ConfigureSettings)),
      Separator("N3", "mi_file"),
      Item("mi_file1", "mi_file", "1", Recent(1), "Shift+F1"),
      Item("mi_file2", "mi_file", "2", Recent(2), "Shift+F2"),
      Item("mi_file3", "mi_file", "3", Recent(3), "Shift+F3"),
      Item("mi_file4", "mi_file", "4", Recent(4), "Shift+F4"),
      Separator("N12", "mi_file", false),
      Item("mi_fileexit", "mi_file", "E&xit", [](Thh& f) { f.mi_fileexitClick(); }),
  };
}

std::vector<MainMenuEntry> EditAndViewMenus() {
  return {
      Menu("mi_Edit", "&Edit"),
      Item("mi_EditText", "mi_Edit", "&Text", [](Thh& f) { f.mi_EditTextClick(); }),
      Item("mi_editabmessungen", "mi_Edit", "&Dimensions", InputForm(ShowDimensionsForm)),
      Item("mi_EditMaterial", "mi_Edit", "&Material", InputForm(ShowMaterialForm)),
      Item("mi_editlast", "mi_Edit", "&Load", InputForm(ShowLoadForm)),
      Separator("N5", "mi_Edit"),
      Item("mi_editconfig", "mi_Edit", "&Settings", [](Thh& f) { f.mi_editconfigClick(); }),
      Menu("mi_View", "&View"),
      Item("mi_ViewAusdruck", "mi_View", "&Printout", Plain(WritePrintout)),
      Item("mi_viewQuick", "mi_View", "Quick 1", DrawingCommand(3, 5)),
      Item("mi_viewquick3", "mi_View", "Quick 3", DrawingCommand(3, 11)),
      HiddenItem("mi_viewquick4", "mi_View", "Quick 4", DrawingCommand(3, 12)),
      Item("mi_viewP3G", "mi_View", "P3&G", DrawingCommand(3, 2)),
      HiddenItem("mi_viewtabwelle", "mi_View", "Shaft Table", DrawingCommand(3, 3)),
      HiddenItem("mi_viewtabnabe", "mi_View", "Hub Table", DrawingCommand(3, 4)),
      Item("mi_viewfertwelle", "mi_View", "Shaft Production drawing", DrawingCommand(3, 6)),
      Item("mi_viewfertnabe", "mi_View", "Hub Production drawing", DrawingCommand(3, 7)),
      Item("mi_viewfertwellenabe", "mi_View", "Shaft + Hub Production drawing",
           DrawingCommand(3, 8)),
      Separator("N10", "mi_View"),
      Item("mi_viewErrorMessages", "mi_View", "Error messages", Plain(ErrorMessagesReport)),
  };
}

std::vector<MainMenuEntry> CadMenus() {
  return {
      Menu("mi_CAD", "&CAD"),
      Item("mi_cadp3g", "mi_CAD", "P3G", DrawingCommand(0, 1)),
      Item("mi_cadfertwelle", "mi_CAD", "Shaft Production drawing", DrawingCommand(0, 6)),
      Item("mi_cadfertnabe", "mi_CAD", "Hub Production drawing", DrawingCommand(0, 7)),
      Item("mi_cadfertwellenabe", "mi_CAD", "Shaft + Hub Production drawing", DrawingCommand(0, 8)),
      Separator("N2", "mi_CAD"),
      Item("mi_cadsonstige", "mi_CAD", "Others..", DrawingCommand(0, 0)),
      Menu("STL1", "STL"),
      Item("mi_stlwelle", "STL1", "Shaft", [](Thh& f) { f.mi_stlClick(9); }),
      Item("mi_stlnabe", "STL1", "Hub", [](Thh& f) { f.mi_stlClick(10); }),
      Menu("mi_database", "&Database"),
      Item("mi_dbfP3G", "mi_database", "&P3G", [](Thh&) { SelectP3GProfile(0); }),
      Item("mi_dbfmaterial", "mi_database", "&Material", [](Thh&) { BrowseMaterials(0); }),
      Item("mi_dbwstyp", "mi_database", "Material &type", [](Thh&) { BrowseMaterialTypes(0); }),
  };
}

std::vector<MainMenuEntry> DocumentAndOleMenus() {
  return {
      Menu("mi_documentation", "D&ocument"),
      Item("mi_docdrawinginfo", "mi_documentation", "Drawing data", Plain(ShowDrawingInfo)),
      Separator("N20", "mi_documentation"),
      Item("mi_docuShowChanges1", "mi_documentation", "Modifications - Info", Changes(4)),
      Item("mi_docuPrintChanges", "mi_documentation", "Modifications - Printout", Changes(5)),
      Item("mi_docuNewChange", "mi_documentation", "Modification - New", Changes(1)),
      Item("mi_docuModifyChanges", "mi_documentation", "Edit previous modification", Changes(2)),
      Item("mi_docudeleteChange", "mi_documentation", "Delete previous modification", Changes(3)),
      Separator("N21", "mi_documentation"),
      Item("mi_DocumentSetup", "mi_documentation", "Links",
           [](Thh& f) { f.mi_DocumentSetupClick(); }),
      Menu("mi_OLE", "&OLE"),
      Item("mi_OleStartExcel", "mi_OLE", "Start Excel", [](Thh& f) { f.mi_OleStartExcelClick(); }),
      {"mi_OleExportExcel", "mi_OLE", "Export KV6 -> Excel", "", true, false,
       [](Thh& f) { f.mi_OleExportExcelClick(); }},
      {"mi_OleImportExcel", "mi_OLE", "Import Excel -> KV6", "", true, false,
       [](Thh&) { ImportFromSpreadsheet(); }},
      Separator("N8", "mi_OLE"),
      Item("mi_OlePrintoutExcel", "mi_OLE", "Printout -> Excel",
           [](Thh& f) { f.mi_OlePrintoutExcelClick(); }),
  };
}

std::vector<MainMenuEntry> HelpMenu() {
  return {
      Menu("mi_Help", "&Help"),
      Item("mi_HelpHilfebild", "mi_Help", "Auxiliary images", Plain(AuxImages)),
      Item("mi_helpErrorMessages", "mi_Help", "Error messages", Plain(ShowCalcMessages)),
      {"mi_helplanguage", "mi_Help", "Menu Language", "", true, true, nullptr},
      Item("mi_helplanguagedeutsch", "mi_helplanguage", "&Deutsch", Language(1)),
      Item("mi_helplanguageenglisch", "mi_helplanguage", "&English", Language(2)),
      Item("mi_helplanguageRoman", "mi_helplanguage", "&Roman", Language(7)),
      Item("mi_helplanguageKorea", "mi_helplanguage", "&Korea", Language(8)),
      Item("mi_helplanguageChinese", "mi_helplanguage", "&Chinese", Language(12)),
      Item("mi_helpSysInfo", "mi_Help", "System Info", Plain(ShowSysInfo)),
      Item("mi_HelpAbout", "mi_Help", "KV6", Plain(ShowAboutBox)),
  };
}

platform::MenuItem& AddEntry(platform::Menu& menu, const MainMenuEntry& entry, Thh& form) {
  platform::MenuItem& item = menu.AddItem(entry.name, entry.caption);
  if (entry.command) {
    // Every command may change the messages: a calculation, a file, a form's Calc that its Cancel
    // keeps, a language; the count follows whichever way the command ended.
    item.onClick = [&form, command = entry.command] {
      AbortFlag = 0;
      command(form);
      UpdateMessageCountCaption(form.Window().Menus());
    };
  }
  item.SetShortcut(entry.shortcut);
  item.SetVisible(entry.visible);
  item.SetEnabled(entry.enabled);
  return item;
}

}  // namespace

const std::vector<MainMenuEntry>& MainMenuTree() {
  static const std::vector<MainMenuEntry> tree = [] {
    std::vector<MainMenuEntry> all;
    for (auto part :
         {FileMenu(), EditAndViewMenus(), CadMenus(), DocumentAndOleMenus(), HelpMenu()}) {
      for (MainMenuEntry& entry : part) all.push_back(std::move(entry));
    }
    return all;
  }();
  return tree;
}

void BuildMainMenu(platform::MenuBar& bar, Thh& form) {
  for (const MainMenuEntry& entry : MainMenuTree()) {
    const std::string_view parent = entry.parent;
    if (parent.empty()) {
      bar.AddMenu(entry.name, entry.caption);
    } else if (platform::Menu* menu = bar.FindMenu(parent)) {
      AddEntry(*menu, entry, form);
    } else if (platform::MenuItem* owner = bar.FindItem(parent)) {
      AddEntry(owner->AddSubMenu(), entry, form);
    }
  }
}
