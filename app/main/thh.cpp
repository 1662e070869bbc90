#include "app/main/thh.h"

#include "app/docs/documentlinksform.h"
#include "app/filetable/buildfiletable.h"
#include "app/input/kveingabetext.h"
#include "app/lang/language.h"
#include "app/main/currentfile.h"
#include "app/main/mainmenu.h"
#include "app/main/programidentity.h"
#include "app/main/quickinput.h"
#include "app/main/recentfiles.h"
#include "app/main/startprogram.h"
#include "app/spreadsheet/spreadsheetlink.h"
#include "base/dialogs/formplace.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/help/anistep.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "cad/drawings/drawsettingsform.h"
#include "cad/drawings/outputdrawing.h"
#include "cad/layer/brelcad.h"
#include "calc/calcfile.h"
#include "calc/documentlinks.h"
#include "calc/drawinginfo.h"
#include "calc/kv6rech.h"
#include "calc/kv6record.h"
#include "tables/access/dbf4.h"

Thh* hh = nullptr;

namespace {

constexpr std::uint16_t kStlElement = 2;

}  // namespace

Thh::Thh()
    : outputDrawing(OutputDrawing),
      surface_(window_, RunAnimationStep),
      graphics_(surface_),
      drawer_(std::make_unique<TDrawer>()) {
  window_.SetCaption("KV6");
  BuildMenu();
  window_.onCloseQuery = [this] { return FormCloseQuery(); };
  DrawWindowForm = &window_.Form();
  if (hh == nullptr) hh = this;
}

Thh::~Thh() {
  if (hh == this) hh = nullptr;
  if (DrawWindowForm == &window_.Form()) DrawWindowForm = nullptr;
}

void Thh::BuildMenu() {
  BuildMainMenu(window_.Menus(), *this);
}

std::optional<int> Thh::FormCreate(const CommandLine& line) {
  SetMenuCaptions(window_.Menus());
  SetProgramIdentity();
  ReadConfigKeepingStartFolders();
  AbortFlag = 0;
  ReadRecentFiles();
  AbortFlag = 0;
  InitRecentMenu(window_.Menus());
  dadav::CreateDbfForm();
  if (const std::optional<int> code = StartProgram(line)) return code;
  AbortFlag = 0;
  SetupMainWindow(window_.Form());
  if (Language >= 1) {
    SetLanguage(*this, Language);
  } else {
    SetMenuCaptions(window_.Menus());
  }
  UpdateCaption();
  return std::nullopt;
}

bool Thh::FormCloseQuery() {
  AbortFlag = 0;
  AskSaveModified();
  if (AbortFlag != 0) return false;
  DeleteTempBlockFiles();
  return true;
}

void Thh::FormDestroy() {
  WriteRecentFiles();
  dadav::FreeDbfForm();
}

void Thh::ApplyMenuCaptions() {
  SetMenuCaptions(window_.Menus());
}

void Thh::UpdateCaption() {
  ::UpdateCaption(window_);
}

void Thh::Draw(std::uint16_t device, std::uint16_t drawing) {
  outputDrawing(device, drawing);
}

void Thh::mi_fileNewClick() {
  AskSaveModified();
  if (AbortFlag != 0) return;
  if (FileThere(AddBackslash(DataDir) + "null." + FileExt)) LoadCalcFile("null");
  CurrentFile.clear();
  UpdateCaption();
  ResetDrawingInfo();
  ResetDocumentTexts();
  Drawer->grClear();
  QuickInput();
  UpdateMessageCount(window_);
  Modified = 1;
}

void Thh::mi_fileOpenClick() {
  AskSaveModified();
  if (AbortFlag != 0) return;
  // The dialog sets the file and its folder only for a file that was taken over.
  if (!LoadCalcFile("")) return;
  AbortFlag = 0;
  Modified = 0;
  AddRecentFile(CurrentFile);
  UpdateMessageCount(window_);
  UpdateCaption();
}

void Thh::mi_fileOpenTableClick() {
  AskSaveModified();
  if (AbortFlag != 0) return;
  BuildFileTable({[this](const std::string& caption) { window_.SetCaption(caption); },
                  [this] {
                    UpdateMessageCount(window_);
                    UpdateCaption();
                  },
                  [this] { UpdateCaption(); }});
}

void Thh::mi_FileSaveClick() {
  if (SaveCurrentFile(CurrentFile)) Modified = 0;
  UpdateCaption();
}

void Thh::mi_FileSaveAsClick() {
  if (WriteCalcFile("")) {
    AddRecentFile(CurrentFile);
    Modified = 0;
  }
  UpdateCaption();
}

void Thh::mi_fileRecentClick(std::int32_t n) {
  OpenRecentFile(window_, n);
}

void Thh::mi_fileexitClick() {
  window_.Close();
}

void Thh::mi_EditTextClick() {
  ShowTextInput();
  if (AbortFlag == 0) Modified = 1;
}

void Thh::InputFormClick(void (*showForm)()) {
  showForm();
  if (AbortFlag != 0) return;
  Modified = 1;
  CalculateP3G();
  UpdateMessageCount(window_);
}

void Thh::mi_editconfigClick() {
  TForm_kv6config form;
  form.HideDiameter = 1;
  form.ShowModal();
  if (AbortFlag == 0) Draw(3, 2);
}

// The solids are always written as one closed body.
void Thh::mi_stlClick(std::uint16_t drawing) {
  CalcData.CadElement = kStlElement;
  Draw(6, drawing);
}

void Thh::mi_DocumentSetupClick() {
  EditDocumentLinks();
  if (AbortFlag == 0) Modified = 1;
}

void Thh::mi_OleStartExcelClick() {
  StartSpreadsheet();
  if (AbortFlag != 0) return;
  for (const char* item : {"mi_OleExportExcel", "mi_OleImportExcel"}) {
    if (platform::MenuItem* found = window_.Menus().FindItem(item)) found->SetEnabled(true);
  }
}

void Thh::mi_OleExportExcelClick() {
  ExportCalcFileToSpreadsheet();
}

void Thh::mi_OlePrintoutExcelClick() {
  PrintoutToExcel();
}

void Thh::mi_languageClick(std::int32_t code) {
  SetLanguage(*this, code);
}
