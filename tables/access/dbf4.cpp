// The browse form: its controls and menu, the two views, the wrapper methods the table access
// procedures call, and the user's commands under the guard.

#include "tables/access/dbf4.h"

#include <algorithm>

#include "base/dialogs/utilcrt.h"
#include "base/files/utilpath.h"
#include "base/help/helptext.h"
#include "base/report/launcher.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"
#include "tables/modules/ndx/ndxmanage.h"

namespace dadav {

Tdbf4* DbfForm = nullptr;

namespace {

Dbf4MenuCaptions EnglishCaptions() {
  return {};
}

constexpr std::uint16_t kSearchHelp = 2450;
constexpr std::uint16_t kDatabaseHelp = 3210;

using platform::NavigatorButton;

constexpr NavigatorButton kMoveButtons[] = {NavigatorButton::First, NavigatorButton::Prior,
                                            NavigatorButton::Next, NavigatorButton::Last};
constexpr const char* kNavigatorHints[platform::kNavigatorButtons] = {
    "First record",  "Prior record", "Next record", "Last record", "Insert record",
    "Delete record", "Edit record",  "Post edit",   "Cancel edit", "Refresh data"};

std::string NumberText(std::int32_t n) {
  return IntToStrW(n, 0);
}

platform::MessageAnswer Ask(const std::string& question, platform::MessageButtons buttons) {
  return platform::Dialogs().ShowBox(
      {platform::ApplicationTitle(), question, buttons, platform::MessageIcon::Question});
}

std::string ChosenFile(platform::DialogKind kind, const std::string& folder,
                       const std::string& name, std::vector<platform::FileFilter> filters) {
  platform::FileRequest request;
  request.kind = kind;
  request.folder = folder;
  request.name = name;
  request.filters = std::move(filters);
  const platform::FileResult result = platform::Dialogs().ChooseFile(request);
  return result.chosen ? result.path : std::string();
}

// A save dialog that starts in the folder of the table; a name without extension gets the
// default one.
std::string ChosenExportFile(const std::string& tablePath, const std::string& name,
                             const std::string& defaultExt,
                             std::vector<platform::FileFilter> filters) {
  std::string dir, base, ext;
  FSplit(tablePath, dir, base, ext);
  const std::string path =
      ChosenFile(platform::DialogKind::SaveFile, dir, name, std::move(filters));
  return path.empty() ? path : AddDefaultExt(path, defaultExt);
}

}  // namespace

Dbf4MenuCaptions (*Dbf4MenuCaptionSource)() = &EnglishCaptions;

Tdbf4::Tdbf4() : platform::Form("dbf4", "", {640, 480}) {
  tzdbf.SetHideDeletedRecs(true);
  tzdbf.SetTableLanguage(TTzTableLanguage::tlOem);
  TzVFile1.SetTableLanguage(TTzTableLanguage::tlOem);
  BuildControls();
  BuildMenu();
  grid_ = std::make_unique<TTzGrid>(*gridControl_, tzdbf);
  navigator_ = std::make_unique<TTzNavigator>(*navigatorControl_, tzdbf);
  navigator_->OnClick = [this](NavigatorButton) { Resynchronise(); };
  const auto guard = [this](const std::function<void()>& action) { GuardedStep(action); };
  grid_->ActionGuard = guard;
  navigator_->ActionGuard = guard;
  grid_->OnKeyDown = [this](std::uint16_t key, bool) { return GridKeyDown(key); };
  grid_->OnDepressTitle = [this](std::int32_t column) { TitleClick(column); };
  onShow = [this] { FormShow(); };
}

Tdbf4::~Tdbf4() {
  grid_.reset();
  navigator_.reset();
  try {
    tzdbf.Close();
  } catch (const std::exception&) {
    // The table goes with the form; what its close reports cannot be shown any more.
  }
}

void Tdbf4::BuildControls() {
  Add<platform::Label>("Label_title1");
  Add<platform::Label>("Label_title2");
  gridControl_ = &Add<platform::DataGrid>("TzGrid1");
  platform::Font courier;
  courier.face = "Courier New";
  gridControl_->SetFont(courier);
  gridControl_->SetBooleanBox(platform::BooleanBox::CheckBox);
  gridControl_->onCellClick = [this](std::int32_t, std::int32_t) {
    Guarded([this] { CellClick(); });
  };
  gridControl_->onKeyUp = [this](std::uint16_t) { GuardedStep([this] { ShowPosition(); }); };
  navigatorControl_ = &Add<platform::DataNavigator>("TzNavigator1");
  for (std::size_t i = 0; i < platform::kNavigatorButtons; ++i) {
    navigatorControl_->SetButtonHint(static_cast<NavigatorButton>(i), kNavigatorHints[i]);
  }
  Add<platform::Label>("Label_filename").SetVisible(false);
  auto& recno = Add<platform::Edit>("Edit_recno");
  recno.onChange = [this] { Guarded([this] { RecnoChange(); }); };
  Add<platform::Label>("Label_reccount");
  auto& ok = Add<platform::Button>("Button_ok");
  ok.SetCaption("OK");
  ok.SetDefault(true);
  ok.onClick = [this] { Guarded([this] { OkClick(); }); };
  auto& cancel = Add<platform::Button>("Button_cancel");
  cancel.SetCaption("Cancel");
  cancel.SetCancel(true);
  cancel.onClick = [this] { CancelClick(); };
  Add<platform::Button>("Button_search").SetCaption("&Search");
  Get<platform::Button>("Button_search").onClick = [this] { SearchClick(); };
  Add<platform::Button>("Button_SearchNext").SetCaption("Search &Next");
  Get<platform::Button>("Button_SearchNext").onClick = [this] { SearchNextClick(); };
}

void Tdbf4::BuildMenu() {
  platform::MenuBar& bar = Menus();
  platform::Menu& file = bar.AddMenu("mi_File", "");
  file.AddItem("mi_fileExportHtml", "Export &HTML...", [this] { ExportHtmlClick(); });
  file.AddItem("mi_fileSaveAsDelimited", "Save as &text...", [this] { SaveAsDelimitedClick(); });
  file.AddSeparator("N1");
  file.AddItem("mi_fileAppenddbf", "Append from &DBF...", [this] { AppendDbfClick(); });
  file.AddItem("mi_fileAppendDelimited", "Append from te&xt...",
               [this] { AppendDelimitedClick(); });
  file.AddSeparator("N2");
  file.AddItem("mi_filePrint", "", [this] { PrintClick(); });
  file.AddSeparator("N3");
  file.AddItem("mi_fileExit", "", [this] { Guarded([this] { CloseTable(); }); });
  platform::Menu& edit = bar.AddMenu("mi_edit", "");
  edit.AddItem("mi_editAppend", "&Append", [this] { AppendClick(); });
  edit.AddItem("mi_editPack", "&Pack", [this] { PackClick(); });
  platform::Menu& view = bar.AddMenu("mi_view", "");
  view.AddItem("mi_viewSearch", "&Search", [this] { SearchClick(); });
  view.AddItem("mi_viewSearchNext", "Search &Next", [this] { SearchNextClick(); });
  platform::Menu& help = bar.AddMenu("mi_Help", "");
  help.AddItem("mi_helpdbf", "", [] {
    ShowHelpText(HelpNumber, "", 1);
    AbortFlag = 0;
  });
  help.AddItem("mi_helpCommon", "", [] {
    ShowHelpText(kDatabaseHelp, "", 1);
    AbortFlag = 0;
  });
  help.AddItem("mi_helphilfebild", "Aux. &Image", [] {
    ShowHelpText(HelpNumber, "", 2);
    AbortFlag = 0;
  });
  help.AddItem("mi_helpDatei", "", [this] {
    ShowPlainText(Get<platform::Label>("Label_filename").Caption());
    AbortFlag = 0;
  });
  ApplyMenuCaptions();
}

void Tdbf4::ApplyMenuCaptions() {
  const Dbf4MenuCaptions captions = Dbf4MenuCaptionSource();
  platform::MenuBar& bar = Menus();
  const auto setMenu = [&bar](const char* name, const platform::TaggedText& text) {
    bar.FindMenu(name)->SetCaption(text.bytes, text.codePage);
  };
  const auto setItem = [&bar](const char* name, const platform::TaggedText& text) {
    bar.FindItem(name)->SetCaption(text.bytes, text.codePage);
  };
  setMenu("mi_File", captions.file);
  setItem("mi_helpDatei", captions.file);
  setItem("mi_filePrint", captions.print);
  setItem("mi_fileExit", captions.exit);
  setMenu("mi_edit", captions.edit);
  setMenu("mi_view", captions.view);
  setMenu("mi_Help", captions.help);
  setItem("mi_helpCommon", captions.database);
  bar.FindItem("mi_editPack")->SetShortcut("");
}

void Tdbf4::SetTableFile(const std::string& path) {
  HourglassOn();
  tzdbf.SetHideDeletedRecs(true);
  tzdbf.SetDbfFileName(path);
  tzdbf.Open();
  Get<platform::Label>("Label_filename").SetCaption(path);
  grid_->Refresh();
  HourglassOff();
}

void Tdbf4::SetTitles(const std::string& title1, const std::string& title2) {
  Get<platform::Label>("Label_title1").SetCaption(title1);
  Get<platform::Label>("Label_title2").SetCaption(title2);
  Menus().FindItem("mi_helpdbf")->SetCaption(title2);
}

void Tdbf4::SelectionView(std::uint16_t mode) {
  const std::string& title1 = Get<platform::Label>("Label_title1").Caption();
  const std::string& title2 = Get<platform::Label>("Label_title2").Caption();
  SetCaption(title2 + "   " + title1);
  for (std::size_t i = 0; i < platform::kNavigatorButtons; ++i) {
    navigatorControl_->SetButtonVisible(static_cast<NavigatorButton>(i), false);
  }
  for (NavigatorButton button : kMoveButtons) navigatorControl_->SetButtonVisible(button, true);
  for (const char* name :
       {"mi_fileAppenddbf", "mi_fileAppendDelimited", "N2", "mi_editPack", "mi_editAppend"}) {
    Menus().FindItem(name)->SetVisible(false);
  }
  Menus().FindMenu("mi_edit")->SetVisible(false);
  gridControl_->SetOptions(platform::kGridTitles | platform::kGridIndicator |
                           platform::kGridColumnResize | platform::kGridColLines |
                           platform::kGridRowLines | platform::kGridTabs |
                           platform::kGridRowSelect);
  if (mode == 1) tzdbf.SetHideDeletedRecs(true);
  if (mode == 4) tzdbf.SetHideDeletedRecs(false);
}

void Tdbf4::EditView() {
  const std::string& title1 = Get<platform::Label>("Label_title1").Caption();
  const std::string& title2 = Get<platform::Label>("Label_title2").Caption();
  const std::string& path = Get<platform::Label>("Label_filename").Caption();
  SetCaption(title2 + "  " + title1 + "  (" + path + ")");
  for (std::size_t i = 0; i < platform::kNavigatorButtons; ++i) {
    navigatorControl_->SetButtonVisible(static_cast<NavigatorButton>(i), true);
  }
  for (const char* name :
       {"mi_fileAppenddbf", "mi_fileAppendDelimited", "N2", "mi_editPack", "mi_editAppend"}) {
    Menus().FindItem(name)->SetVisible(true);
  }
  Menus().FindMenu("mi_edit")->SetVisible(true);
  gridControl_->SetOptions(platform::kGridEditing | platform::kGridTitles |
                           platform::kGridIndicator | platform::kGridColumnResize |
                           platform::kGridColLines | platform::kGridRowLines | platform::kGridTabs);
  tzdbf.SetHideDeletedRecs(false);
  std::string dir, name, ext;
  FSplit(path, dir, name, ext);
  if (dir == AddBackslash(TempDir)) {
    ShowPlainText("No Write Access for dbf directory !  Temp directory used.");
  }
}

void Tdbf4::ShowTable(const std::string& command, std::uint16_t mode) {
  ApplyMenuCaptions();
  Guarded([&] {
    if (mode == 1 || mode == 4 || mode == 5) {
      SelectionView(mode);
    } else {
      EditView();
    }
  });
  closeAfterSelection_ = command == "CLOSE";
  if (ShowModal() == platform::ModalResult::Ok) return;
  // Cancel, Esc and the close box: an edit not posted is dropped.
  Guarded([this] {
    if (tzdbf.Active()) tzdbf.Cancel();
  });
  AbortFlag = 1;
  BrowseExitKey = 27;
}

void Tdbf4::FormShow() {
  if (closeAfterSelection_) {
    gridControl_->SetCurrent(gridControl_->Row(), std::max(BrowseGridPos[1] - 1, 0));
  }
  ShowPosition();
}

void Tdbf4::ShowPosition() {
  if (!tzdbf.Active()) return;
  Get<platform::Label>("Label_reccount").SetCaption("/" + NumberText(RecCount()));
  Get<platform::Edit>("Edit_recno").SetText(NumberText(tzdbf.RecNo()));
}

void Tdbf4::CloseTable() {
  AbortFlag = 0;
  if (tzdbf.Active()) tzdbf.CheckBrowseMode();
  BrowseExitKey = 13;
  SelectedRecord = tzdbf.Active() ? tzdbf.RecNo() : 0;
  BrowseGridPos[0] = gridControl_->Row() - gridControl_->TopRow() + 1;
  BrowseGridPos[1] = gridControl_->Col() + 1;
  SetModalResult(platform::ModalResult::Ok);
}

void Tdbf4::OkClick() {
  if (gridControl_->EditorOpen()) {
    if (!gridControl_->CommitEditor()) return;
    tzdbf.CheckBrowseMode();
    grid_->Refresh();
    return;
  }
  CloseTable();
}

void Tdbf4::CancelClick() {
  if (gridControl_->EditorOpen()) {
    gridControl_->CancelEditor();
    return;
  }
  SetModalResult(platform::ModalResult::Cancel);
}

void Tdbf4::CellClick() {
  ShowPosition();
  if (closeAfterSelection_) CloseTable();
}

bool Tdbf4::GridKeyDown(std::uint16_t key) {
  if (closeAfterSelection_ && (key == platform::keys::kUp || key == platform::keys::kDown)) {
    Guarded([this] { CloseTable(); });
    return true;
  }
  return false;
}

void Tdbf4::RecnoChange() {
  const std::string text = AllTrim(Get<platform::Edit>("Edit_recno").Text());
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return;
  const std::int64_t n = ParseFieldInt(text);
  if (n >= 1 && n <= RecCount()) GoRecord(static_cast<std::int32_t>(n));
}

void Tdbf4::GoRecord(std::int32_t record) {
  tzdbf.Go(record);
}

void Tdbf4::Deactivate() {
  tzdbf.Close();
  grid_->Refresh();
  HourglassOff();
}

std::int32_t Tdbf4::AppendLocked() {
  if (!tzdbf.ALock()) {
    // The record the puts prepared is not appended; nothing of it may reach the old record.
    tzdbf.Cancel();
    return 0;
  }
  const bool appended = tzdbf.AppendRec();
  tzdbf.UnLock();
  grid_->Refresh();
  return appended ? 1 : 0;
}

std::int32_t Tdbf4::RecNo() {
  return tzdbf.RecNo();
}

std::int32_t Tdbf4::RecCount() {
  return tzdbf.RecordCount();
}

std::int32_t Tdbf4::FieldCount() {
  return tzdbf.FieldCount();
}

bool Tdbf4::Pack() {
  HourglassOn();
  const bool packed = tzdbf.Pack();
  grid_->Refresh();
  HourglassOff();
  return packed;
}

void Tdbf4::Search(const std::string& text, std::int32_t& field, bool fromTop) {
  tzdbf.Search(text, field, fromTop);
}

std::string Tdbf4::GetFieldText(std::int32_t field) {
  std::string text;
  tzdbf.SField(field, text);
  return text;
}

std::string Tdbf4::FieldName(std::int32_t field) {
  if (field < 1 || field > FieldCount()) return {};
  std::string name;
  tzdbf.Field(field, name);
  return name;
}

void Tdbf4::PutFieldStr(const std::string& name, const std::string& text) {
  tzdbf.PutFieldStr(name, text);
}

void Tdbf4::PutFieldFloat(const std::string& name, double value) {
  tzdbf.PutFieldFloat(name, value);
}

void Tdbf4::PutFieldInt(const std::string& name, std::int64_t value) {
  tzdbf.PutFieldInt(name, value);
}

void Tdbf4::PutFieldBool(const std::string& name, bool value) {
  tzdbf.PutFieldBool(name, value);
}

bool Tdbf4::GetFieldBool(const std::string& name) {
  return tzdbf.GetFieldBool(name);
}

bool Tdbf4::IndexOn(const std::string& keyExpression, const std::string& indexFile) {
  HourglassOn();
  tzdbf.IndexOn(keyExpression, indexFile);
  HourglassOff();
  // The dataset reads its record again afterwards; the build's error stays pending.
  return PendingErrorCode == 0;
}

bool Tdbf4::SetIndexTo(const std::string& indexBase) {
  tzdbf.SetIndexTo(ShortPathName(indexBase + ".ndx"));
  grid_->Refresh();
  return PendingErrorCode == 0;
}

void Tdbf4::Find(const std::string& key) {
  const std::string cut = key.substr(0, 100);
  found_ = tzdbf.Find(cut);
  if (!found_ && std::count(cut.begin(), cut.end(), ',') == 1) {
    std::string dotted = cut;
    std::replace(dotted.begin(), dotted.end(), ',', '.');
    found_ = tzdbf.Find(dotted);
  }
  grid_->Refresh();
}

std::string Tdbf4::ControllingIndex() {
  if (!tzdbf.Active()) return {};
  Select(tzdbf.WorkArea());
  std::string name;
  if (Indexed()) GetIndexFileName(1, name);
  return name;
}

void Tdbf4::TitleClick(std::int32_t column) {
  const std::vector<TGridColumn>& columns = grid_->Columns();
  if (column < 0 || static_cast<std::size_t>(column) >= columns.size()) return;
  const std::string& field = columns[static_cast<std::size_t>(column)].fieldName;
  const TDbfFieldProp* prop = nullptr;
  for (const TDbfFieldProp& p : tzdbf.FieldProps()) {
    if (UpperStr(p.name) == UpperStr(field)) prop = &p;
  }
  // The index takes neither logical nor memo keys.
  if (prop == nullptr || prop->type == 'L' || prop->type == 'M') return;
  const std::string key =
      prop->type == 'C' && prop->length > 100 ? "LEFT(" + prop->name + ",100)" : prop->name;
  Guarded([&] {
    tzdbf.CheckBrowseMode();
    SelectedRecord = tzdbf.RecNo();
    const std::string order = ControllingIndex();
    const std::string base = AddBackslash(TempDir) + "$brltemp";
    const bool built = IndexOn(key, base) && SetIndexTo(base);
    if (!built) {
      const std::string text = TakeErrorText();
      tzdbf.SetIndexTo(order);
      platform::Dialogs().ShowBox(
          {"Error  : ", text, platform::MessageButtons::Ok, platform::MessageIcon::Error});
    }
    if (SelectedRecord > 0) tzdbf.SetRecNo(SelectedRecord);
    grid_->Refresh();
  });
}

void Tdbf4::GuardedStep(const std::function<void()>& action) {
  if (ReportFailure(FailureOf(action))) Resynchronise();
}

bool Tdbf4::ReportFailure(const std::string& datasetText) {
  const std::string engineText = TakeErrorText();
  const std::string& text = engineText.empty() ? datasetText : engineText;
  if (text.empty()) return false;
  platform::Dialogs().ShowBox(
      {"Error  : ", text, platform::MessageButtons::Ok, platform::MessageIcon::Error});
  return true;
}

void Tdbf4::Resynchronise() {
  if (!tzdbf.Active()) return;
  try {
    // An edit a failed post kept holds the typed record in the one record buffer, which a
    // read of the table would overwrite.
    if (tzdbf.State() != TDataSetState::dsBrowse) {
      grid_->Repaint();
      return;
    }
    tzdbf.Resync();
    grid_->Refresh();
    ShowPosition();
  } catch (const std::exception&) {
    // The table is gone under the form; the next action reports it.
  }
}

void Tdbf4::SearchFrom(bool fromTop) {
  HourglassOn();
  std::int32_t field = 0;
  Search(lastSearch_, field, fromTop);
  if (field == 0 && lastSearch_.find(',') != std::string::npos) {
    std::string dotted = lastSearch_;
    std::replace(dotted.begin(), dotted.end(), ',', '.');
    Search(dotted, field, fromTop);
  }
  HourglassOff();
  found_ = field != 0;
  if (!found_) ShowPlainText(lastSearch_ + " " + "not found");
  if (found_ && closeAfterSelection_) CloseTable();
}

void Tdbf4::SearchClick() {
  Guarded([this] {
    const std::uint16_t help = HelpNumber;
    HelpNumber = kSearchHelp;
    std::string text = lastSearch_;
    InputText("Type search string", 50, text);
    HelpNumber = help;
    if (AbortFlag != 0) {
      AbortFlag = 0;
      return;
    }
    lastSearch_ = text;
    SearchFrom(true);
  });
}

void Tdbf4::SearchNextClick() {
  if (lastSearch_.empty()) return;
  Guarded([this] { SearchFrom(false); });
}

void Tdbf4::PackClick() {
  Guarded([this] {
    if (Ask("Pack ?", platform::MessageButtons::YesNoCancel) == platform::MessageAnswer::Yes) {
      Pack();
    }
  });
}

void Tdbf4::AppendClick() {
  Guarded([this] { AppendLocked(); });
}

bool Tdbf4::AppendLock() {
  if (tzdbf.ALock()) return true;
  platform::Dialogs().ShowBox({platform::ApplicationTitle(), "Lock failed [Insert]",
                               platform::MessageButtons::Ok, platform::MessageIcon::Warning});
  return false;
}

void Tdbf4::AppendDbfClick() {
  Guarded([this] {
    const std::string path =
        ChosenFile(platform::DialogKind::OpenFile, "", "", {{"*.dbf", "*.dbf"}});
    if (path.empty() || !AppendLock()) return;
    tzdbf.AppendFrom(path);
    tzdbf.UnLock();
    grid_->Refresh();
  });
}

void Tdbf4::AppendDelimitedClick() {
  Guarded([this] {
    const std::string path =
        ChosenFile(platform::DialogKind::OpenFile, "", "", {{"*.txt", "*.txt"}});
    if (path.empty() || !AppendLock()) return;
    tzdbf.AppendFromDelimited(path);
    tzdbf.UnLock();
    grid_->Refresh();
  });
}

void Tdbf4::SaveAsDelimitedClick() {
  Guarded([this] {
    const std::string path = ChosenExportFile(Get<platform::Label>("Label_filename").Caption(), "",
                                              "txt", {{"txt", "*.txt"}, {"All files", "*.*"}});
    if (!path.empty()) tzdbf.CopyToDelimited(path);
  });
}

void Tdbf4::ExportHtmlClick() {
  Guarded([this] {
    const std::string& table = Get<platform::Label>("Label_filename").Caption();
    std::string dir, name, ext;
    FSplit(table, dir, name, ext);
    const std::string path = ChosenExportFile(
        table, name, "htm", {{"HTML files", "*.HTM;*.HTML"}, {"All files", "*.*"}});
    if (path.empty()) return;
    if (!WriteHtmlExport(path)) return;
    if (!HtmlBrowser.empty() && ProgramAvailable(HtmlBrowser, false)) {
      OpenWith(HtmlBrowser, false, path);
    }
  });
}

}  // namespace dadav

namespace dadav {

namespace {

std::unique_ptr<Tdbf4>& FormHolder() {
  static std::unique_ptr<Tdbf4> form;
  return form;
}

}  // namespace

void CreateDbfForm() {
  FormHolder() = std::make_unique<Tdbf4>();
  DbfForm = FormHolder().get();
}

void FreeDbfForm() {
  FormHolder().reset();
  DbfForm = nullptr;
}

}  // namespace dadav
