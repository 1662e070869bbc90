#pragma once
// The printout of the drawing in the window: the print form with scale, origin, orientation,
// colour mode and border line, named print setups kept in the table "printout.dbf", the choice of
// the printer, and the form that lists what the current printer can do.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/print/currentprinter.h"
#include "platform/ui/forms.h"

// Shown modally and freed by its caller. OK prints the drawing with the settings shown, or, in
// printer-information mode, only stores them and lists the printer's capabilities. Cancel and the
// close box set AbortFlag. The settings are preset by the kind of drawing on the screen when the
// form is made, so they stay preset after a Cancel.
class TForm_printconf final : public platform::Form {
 public:
  TForm_printconf();

  // Set before the form shows: 1 for the printer setup, where OK prints nothing.
  std::uint8_t PrinterInfoMode = 0;

  // The controls into the print settings. A radio group with no item chosen keeps its setting; a
  // scale the user left as filled keeps the exact value it was filled from.
  void StorePrintSettings();

 private:
  void AddSettingControls();
  void AddButtons();
  void PresetBySheetKind();
  void ShowSettings();
  void FillScale(const char* edit, double value);
  double ScaleOf(const char* edit) const;
  // Both scales above 0, or the refusal shown and the focus on the first bad one.
  bool ScalesAccepted();
  std::int32_t OriginOf(const char* edit) const;
  // Both origins whole numbers, or the range message shown, the stored origin shown again and
  // the focus on the first bad one.
  bool OriginsAccepted();

  void FormActivate();
  void Button_printerClick();
  void Button_okClick();
  void Button_dbClick();
  void Button_appendClick();

  void ShowPrinterLabel();
  void PrintDrawing();
  void TakeDrawingState();
  // A failed job shows "file write error" and sets AbortFlag.
  void RunPrintJob();
  // Opens "printout.dbf"; false when it could not be opened (the user was told).
  bool OpenSetupTable();
  void TakeSetup();
  void AppendSetup(const std::string& name);

  double filledScaleX_ = 0;
  double filledScaleY_ = 0;
};

// File, Print (0) and File, Printer Setup (1): the print form shown modally in that mode.
void ShowPrintForm(std::uint8_t printerInfoMode);

class TForm_printerinfo final : public platform::Form {
 public:
  TForm_printerinfo();
};

// The rows of the printer information, label and value, in display text.
std::vector<std::pair<std::string, std::string>> PrinterInfoRows(const platform::PrinterCaps& caps);

// The file the PDF writer writes a drawing into: beside the calculation file, named after it.
std::string DrawingPdfPath();
