#include "cad/print/printcon.h"

#include <array>
#include <functional>
#include <optional>
#include <utility>

#include "base/dialogs/formplace.h"
#include "base/dialogs/utilcrt.h"
#include "base/draw/brelgraf.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/help/helptext.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "platform/files/fileresolve.h"
#include "platform/files/osfiles.h"
#include "platform/ui/discardingcanvas.h"
#include "tables/access/dbf4.h"
#include "tables/access/tableaccess.h"

namespace {

using platform::Button;
using platform::CheckBox;
using platform::Edit;
using platform::Label;
using platform::ModalResult;
using platform::PageOrientation;
using platform::RadioGroup;

constexpr std::size_t kSetupNameLength = 25;
constexpr std::int32_t kPrinterLabelWidth = 40;
constexpr const char* kSetupTable = "printout.dbf";

// The coordinate state of the drawing window, kept across a replay.
struct CoordinateState {
  PixelRect viewport = Viewport;
  WorldRect world = WorldWindow;
  WorldRect visible = VisibleWindow;
  ZoomRectangle zoom = ZoomRect;
  long double scaleX = ScaleX;
  long double scaleY = ScaleY;
  std::uint8_t keepAspect = KeepAspect;

  void Restore() const {
    Viewport = viewport;
    WorldWindow = world;
    VisibleWindow = visible;
    ZoomRect = zoom;
    ScaleX = scaleX;
    ScaleY = scaleY;
    KeepAspect = keepAspect;
  }
};

PageOrientation OrientationOf(std::uint16_t printOrientation) {
  return printOrientation == 1 ? PageOrientation::Portrait : PageOrientation::Landscape;
}

// The current record of the setup table, read whole before any control shows it; once a read
// failed (a table that lacks fields) nothing more is read, so the error shows once.
struct StoredSetup {
  std::array<std::string, 4> numbers;  // fields 2 to 5: the scales and the origins
  bool landscape = false;
  bool monochrome = false;
  bool fitLimits = false;
  bool borderLine = false;
};

StoredSetup ReadStoredSetup() {
  StoredSetup setup;
  for (std::size_t i = 0; i < setup.numbers.size(); ++i) {
    setup.numbers[i] = GetTableFieldWhileOk(static_cast<std::int32_t>(i) + 2);
  }
  setup.landscape = GetTableBoolWhileOk("landscape");
  setup.monochrome = GetTableBoolWhileOk("monochrom");
  setup.fitLimits = GetTableBoolWhileOk("variable");
  setup.borderLine = GetTableBoolWhileOk("borderline");
  return setup;
}

std::string Known(const std::optional<std::int32_t>& value) {
  return value ? IntText(*value) : "?";
}

std::string TechnologyText(const std::optional<std::int32_t>& technology) {
  if (!technology) return "?";
  switch (*technology) {
    case 0:
      return "Plotter";
    case 1:
      return "Rasterbildschirm";
    case 2:
      return "Rasterdrucker";
    case 4:
      return "Zeichendrucker";
    case 5:
      return "Metafile";
    default:
      return "?";
  }
}

}  // namespace

std::string DrawingPdfPath() {
  return AddBackslash(DataDir) + (CurrentFile.empty() ? ShortName : CurrentFile) + "_drawing.pdf";
}

TForm_printconf::TForm_printconf() : platform::Form("TForm_printconf", "", {380, 330}) {
  CenterOnDrawWindow(Placement());
  SetCaption(ToDisplayText("Printout"));
  AddSettingControls();
  AddButtons();
  PrinterInfoMode = 0;
  PresetBySheetKind();
  ShowSettings();
  onShow = [this] { FormActivate(); };
  // The close box cancels as the Cancel button does.
  onClose = [this] {
    if (GetModalResult() != ModalResult::Ok) AbortFlag = 1;
  };
}

void TForm_printconf::AddSettingControls() {
  const std::pair<const char*, const char*> edits[] = {{"Edit_scalex", "Scale x"},
                                                       {"Edit_scaley", "Scale y"},
                                                       {"Edit_xorigin", "Origin x"},
                                                       {"Edit_yorigin", "Origin y"}};
  for (const auto& [edit, label] : edits) {
    Add<Label>(std::string("Label_") + (edit + 5)).SetCaption(ToDisplayText(label));
    Add<Edit>(edit);
  }
  auto& orientation = Add<RadioGroup>("RadioGroup_hochquer");
  orientation.SetCaption(ToDisplayText("Printout"));
  orientation.SetItems({ToDisplayText("Portrait"), ToDisplayText("Landscape")});
  auto& shading = Add<RadioGroup>("RadioGroup_printmono");
  shading.SetCaption(ToDisplayText("shading"));
  shading.SetItems(
      {ToDisplayText("Monochrome"), ToDisplayText(std::string("Color") + " / " + "grey-scale")});
  Add<CheckBox>("CheckBox_umrandung").SetCaption(ToDisplayText("Border line"));
  Add<CheckBox>("CheckBox_anpassen").SetCaption(ToDisplayText("fit limits"));
  Add<Label>("Label_printer");
}

void TForm_printconf::AddButtons() {
  auto& db = Add<Button>("Button_db");
  db.SetCaption(ToDisplayText("Database"));
  db.onClick = [this] { Button_dbClick(); };
  auto& append = Add<Button>("Button_append");
  append.SetCaption(ToDisplayText(std::string("&Apply ") + "Database"));
  append.onClick = [this] { Button_appendClick(); };
  auto& printer = Add<Button>("Button_printer");
  printer.SetCaption(ToDisplayText(std::string("Printer") + "..."));
  printer.onClick = [this] { Button_printerClick(); };
  auto& ok = Add<Button>("Button_ok");
  ok.SetCaption("OK");
  ok.SetDefault(true);
  ok.onClick = [this] { Button_okClick(); };
  auto& cancel = Add<Button>("Button_cancel");
  cancel.SetCaption("Cancel");
  cancel.SetCancel(true);
  cancel.SetModalResult(ModalResult::Cancel);
  cancel.onClick = [] { AbortFlag = 1; };
  auto& help = Add<Button>("Button_help");
  help.SetCaption("&Help");
  help.onClick = [] { ShowHelpText(1030, "", 1); };
}

void TForm_printconf::PresetBySheetKind() {
  switch (SheetKind) {
    case 0:
    case 1:
    case 3:
      PrintScaleX = ScreendumpScale;
      PrintScaleY = PrintScaleVertical;
      PrintOriginX = ScreendumpOrigin[0];
      PrintOriginY = ScreendumpOrigin[1];
      PrintBorder = ScreendumpBorder;
      PrintOrientation = PrinterOrientation;
      break;
    // The A4 sheet true to scale with its trim on the page's edges: its window reaches 5 mm
    // left of the trim and 10 mm above it.
    case 2:
    case 8:
      PrintScaleX = 1.0;
      PrintScaleY = 1.0;
      PrintOriginX = -5;
      PrintOriginY = SheetKind == 8 ? -7 : -10;
      PrintBorder = 0;
      PrintOrientation = 1;
      break;
    default:
      break;
  }
}

void TForm_printconf::ShowSettings() {
  FillScale("Edit_scalex", PrintScaleX);
  FillScale("Edit_scaley", PrintScaleY);
  Get<Edit>("Edit_xorigin").SetText(IntText(PrintOriginX));
  Get<Edit>("Edit_yorigin").SetText(IntText(PrintOriginY));
  Get<CheckBox>("CheckBox_umrandung").SetChecked(PrintBorder != 0);
  Get<RadioGroup>("RadioGroup_printmono").SetItemIndex(WinPrintMode - 1);
  Get<RadioGroup>("RadioGroup_hochquer").SetItemIndex(PrintOrientation - 1);
}

void TForm_printconf::FillScale(const char* edit, double value) {
  (edit == std::string("Edit_scalex") ? filledScaleX_ : filledScaleY_) = value;
  Get<Edit>(edit).Fill(ToDisplayText(RealText(value)));
}

double TForm_printconf::ScaleOf(const char* edit) const {
  const Edit& field = Get<Edit>(edit);
  if (field.Filled()) return edit == std::string("Edit_scalex") ? filledScaleX_ : filledScaleY_;
  return static_cast<double>(TypedReal(FromDisplayText(field.Text())).value_or(0));
}

std::int32_t TForm_printconf::OriginOf(const char* edit) const {
  return TypedInt(FromDisplayText(Get<Edit>(edit).Text())).value_or(0);
}

bool TForm_printconf::OriginsAccepted() {
  for (const auto& [edit, stored] :
       {std::pair{"Edit_xorigin", PrintOriginX}, std::pair{"Edit_yorigin", PrintOriginY}}) {
    Edit& field = Get<Edit>(edit);
    if (TypedInt(FromDisplayText(field.Text()))) continue;
    ShowInt32RangeError();
    field.SetText(IntText(stored));
    field.SetFocus();
    return false;
  }
  return true;
}

bool TForm_printconf::ScalesAccepted() {
  for (const char* edit : {"Edit_scalex", "Edit_scaley"}) {
    if (ScaleOf(edit) > 0) continue;
    const std::string label = Get<Label>(std::string("Label_") + (edit + 5)).Caption();
    ShowError(FromDisplayText(label + ": " + Get<Edit>(edit).Text()));
    Get<Edit>(edit).SetFocus();
    return false;
  }
  return true;
}

void TForm_printconf::StorePrintSettings() {
  PrintScaleX = ScaleOf("Edit_scalex");
  PrintScaleY = ScaleOf("Edit_scaley");
  PrintOriginX = OriginOf("Edit_xorigin");
  PrintOriginY = OriginOf("Edit_yorigin");
  PrintBorder = Get<CheckBox>("CheckBox_umrandung").Checked() ? 1 : 0;
  const std::int32_t mode = Get<RadioGroup>("RadioGroup_printmono").ItemIndex();
  if (mode >= 0) WinPrintMode = static_cast<std::uint16_t>(mode + 1);
  const std::int32_t orientation = Get<RadioGroup>("RadioGroup_hochquer").ItemIndex();
  if (orientation >= 0) PrintOrientation = static_cast<std::uint16_t>(orientation + 1);
}

void TForm_printconf::FormActivate() {
  if (NoPrinterQuery != 0 || PrinterInfoMode != 0) return;
  platform::CurrentPrinter().ProposePdf(DrawingPdfPath());
  ShowPrinterLabel();
  platform::CurrentPrinter().SetJobTitle(CurrentFile);
}

// A name longer than the label's width is shown whole: a PDF path cut short names another file.
void TForm_printconf::ShowPrinterLabel() {
  const std::string name = TrimBlanks(platform::CurrentPrinter().CurrentName());
  const bool fits = name.size() <= static_cast<std::size_t>(kPrinterLabelWidth);
  Get<Label>("Label_printer").SetCaption(fits ? TextRight(name, kPrinterLabelWidth) : name);
}

void TForm_printconf::Button_printerClick() {
  if (platform::CurrentPrinter().Choose()) ShowPrinterLabel();
}

void TForm_printconf::Button_okClick() {
  AbortFlag = 0;
  if (!ScalesAccepted() || !OriginsAccepted()) return;
  StorePrintSettings();
  platform::CurrentPrinter().SetOrientation(OrientationOf(PrintOrientation));
  if (PrinterInfoMode != 0) {
    TForm_printerinfo info;
    info.ShowModal();
  } else {
    PrintDrawing();
  }
  SetModalResult(ModalResult::Ok);
}

void TForm_printconf::PrintDrawing() {
  if (DrawWindow == nullptr) return;  // only the main window's drawing is printed
  TakeDrawingState();
  RunPrintJob();
}

// The first replay brings the coordinate state to the drawing's, which the border line of the
// printout is drawn in before the list sets any window. "fit limits" appends the window records
// of the whole drawing and of the unit square, so after it the replay would end in the unit
// square: the state of the whole drawing is put back instead.
void TForm_printconf::TakeDrawingState() {
  std::optional<CoordinateState> fitted;
  if (Get<CheckBox>("CheckBox_anpassen").Checked()) {
    DrawWindow->RestoreLimit();
    DrawWindow->ResetZoom();
    fitted.emplace();
    DrawWindow->ReSetWindow();
    DrawWindow->ClearViewPort();
  }
  platform::DiscardingCanvas screen(DrawWindow->Surface().ClientSize());
  DrawWindow->Replay(screen, nullptr);
  if (fitted) fitted->Restore();
}

// A job that fails leaves no file behind: a PDF cut short would pass for the drawing.
void TForm_printconf::RunPrintJob() {
  platform::PrinterService& printer = platform::CurrentPrinter();
  printer.ProposePdf(DrawingPdfPath());
  const std::string pdf = printer.PdfFile();
  platform::PrinterDocument& job = printer.Document();
  Printing = 1;
  bool done = job.Begin(OrientationOf(PrintOrientation));
  if (done) DrawWindow->FormPaint();
  Printing = 0;
  if (done) done = job.End();
  DrawWindow->Surface().Invalidate();
  if (!done) {
    if (!pdf.empty()) platform::os::Unlink(pdf);
    ShowError("file write error");
    AbortFlag = 1;
    return;
  }
  if (!pdf.empty()) ShowInfo("PDF: " + PathInText(pdf));
}

bool TForm_printconf::OpenSetupTable() {
  const std::string local = AddBackslash(PrintoutDir) + kSetupTable;
  if (FileThere(local)) {
    OpenTableFile(platform::ResolveFileName(local));
  } else {
    OpenTable("printout");
  }
  if (AbortFlag == 0 && dadav::DbfForm->tzdbf.Active()) return true;
  CloseTableFile();
  AbortFlag = 1;
  return false;
}

void TForm_printconf::Button_dbClick() {
  AbortFlag = 0;
  if (!OpenSetupTable()) return;
  SetTableTitles("printout", "Printout");
  const std::uint16_t help = HelpNumber;
  SetHelpNumber(1040);
  if (PrintSetupRecNo > 0) GotoTableRecord(PrintSetupRecNo);
  BrowseExitKey = 27;
  ShowTable("", 1);
  SetHelpNumber(help);
  // Enter on a table without rows picks nothing.
  if (BrowseChoseRecord()) {
    TakeSetup();
  }
  CloseTableFile();
  AbortFlag = 0;
}

void TForm_printconf::TakeSetup() {
  const StoredSetup setup = ReadStoredSetup();
  if (AbortFlag != 0) return;
  const char* const edits[] = {"Edit_scalex", "Edit_scaley", "Edit_xorigin", "Edit_yorigin"};
  for (std::size_t i = 0; i < setup.numbers.size(); ++i) {
    Get<Edit>(edits[i]).SetText(ToDisplayText(TrimBlanks(setup.numbers[i])));
  }
  Get<RadioGroup>("RadioGroup_hochquer").SetItemIndex(setup.landscape ? 1 : 0);
  Get<RadioGroup>("RadioGroup_printmono").SetItemIndex(setup.monochrome ? 0 : 1);
  Get<CheckBox>("CheckBox_anpassen").SetChecked(setup.fitLimits);
  Get<CheckBox>("CheckBox_umrandung").SetChecked(setup.borderLine);
  PrintSetupRecNo = static_cast<std::uint16_t>(SelectedRecord);
}

void TForm_printconf::Button_appendClick() {
  AbortFlag = 0;
  if (!ScalesAccepted() || !OriginsAccepted()) return;
  if (!OpenSetupTable()) return;
  std::string name;
  InputText("Name", kSetupNameLength, name);
  if (AbortFlag == 0) AppendSetup(name);
  CloseTableFile();
}

void TForm_printconf::AppendSetup(const std::string& name) {
  // A refused field stops the setup at its one box: the record in edit would keep that field of
  // another setup, and closing the table drops it unwritten.
  const std::function<void()> puts[] = {
      [&] { PutTableStr("name", name); },
      [&] { PutTableFloat("xscale", ScaleOf("Edit_scalex")); },
      [&] { PutTableFloat("yscale", ScaleOf("Edit_scaley")); },
      [&] { PutTableInt("xorigin", OriginOf("Edit_xorigin")); },
      [&] { PutTableInt("yorigin", OriginOf("Edit_yorigin")); },
      [&] { PutTableBool("landscape", Get<RadioGroup>("RadioGroup_hochquer").ItemIndex() == 1); },
      [&] { PutTableBool("monochrom", Get<RadioGroup>("RadioGroup_printmono").ItemIndex() == 0); },
      [&] { PutTableBool("variable", Get<CheckBox>("CheckBox_anpassen").Checked()); },
      [&] { PutTableBool("borderline", Get<CheckBox>("CheckBox_umrandung").Checked()); },
  };
  for (const auto& put : puts) {
    put();
    if (AbortFlag != 0) return;
  }
  if (AppendTableRecord() == 0) AbortFlag = 1;
}

void ShowPrintForm(std::uint8_t printerInfoMode) {
  TForm_printconf form;
  form.PrinterInfoMode = printerInfoMode;
  form.ShowModal();
}

std::vector<std::pair<std::string, std::string>> PrinterInfoRows(
    const platform::PrinterCaps& caps) {
  std::vector<std::pair<std::string, std::string>> rows = {
      {"Name", caps.name},
      {"Treiberversion", Known(caps.driverVersion)},
      {"Technologie", TechnologyText(caps.technology)},
      {"Druckbreite (mm)", Known(caps.widthMm)},
      {"Druckh\x94he (mm)", Known(caps.heightMm)},
      {"Breite (Pixel)", Known(caps.widthPixels)},
      {"H\x94he (Pixel)", Known(caps.heightPixels)},
      {"Linker Seitenoffset (Pixel)", Known(caps.offsetX)},
      {"Oberer Seitenoffset (Pixel)", Known(caps.offsetY)},
      {"DPI (horizontal)", Known(caps.dpiX)},
      {"DPI (vertikal)", Known(caps.dpiY)},
      {"Pinsel", Known(caps.brushes)},
      {"Stifte", Known(caps.pens)},
      {"Markierer", Known(caps.markers)},
      {"Farben", Known(caps.colours)},
      {"Schriften", IntText(static_cast<std::int32_t>(caps.fonts.size()))},
  };
  for (auto& row : rows) row.first = ToDisplayText(row.first);
  for (const std::string& font : caps.fonts) rows.emplace_back("", font);
  return rows;
}

TForm_printerinfo::TForm_printerinfo() : platform::Form("TForm_printerinfo", "", {420, 480}) {
  CenterOnDrawWindow(Placement());
  const auto rows = PrinterInfoRows(platform::CurrentPrinter().Caps());
  auto& grid = Add<platform::StringGrid>("StringGrid1");
  grid.SetFixed(0, 0);
  grid.SetSize(2, static_cast<std::int32_t>(rows.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    grid.SetCell(0, static_cast<std::int32_t>(i), rows[i].first);
    grid.SetCell(1, static_cast<std::int32_t>(i), rows[i].second);
  }
  auto& ok = Add<Button>("Button_ok");
  ok.SetCaption("OK");
  ok.SetDefault(true);
  ok.SetModalResult(ModalResult::Ok);
}
