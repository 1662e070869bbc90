#include "cad/drawings/outputdrawing.h"

#include "base/dialogs/helperr.h"
#include "base/dialogs/utilcrt.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "cad/drawings/drawingcontent.h"
#include "cad/drawings/drawingmenu.h"
#include "cad/drawings/drawsettingsform.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"
#include "calc/kv6rech.h"

namespace {

constexpr std::uint16_t kMenuHelp = 2050;
constexpr std::uint16_t kOutputHelp = 8260;

// What an entity pass may change and the next pass must start from again, so that every pass
// hands the target the same primitives.
struct PassState {
  std::string layer = CurrentLayer;
  std::uint8_t layer_number = CurrentLayerNumber;
  long double text_height = TextHeight;
  long double text_width_factor = TextWidthFactor;
  long double text_angle = TextAngle;
  long double text_oblique_angle = TextObliqueAngle;
  std::int32_t text_align_h = TextAlignH;
  std::int32_t text_align_v = TextAlignV;
  long double line_spacing = LineSpacing;
  CadPoint current_point = CurrentPoint;
  long double dim_arrow_factor = DimArrowFactor;
  CadPoint draw_offset = DrawOffset;
  std::uint8_t abort_flag = AbortFlag;

  void Restore() const {
    CurrentLayer = layer;
    CurrentLayerNumber = layer_number;
    TextHeight = text_height;
    TextWidthFactor = text_width_factor;
    TextAngle = text_angle;
    TextObliqueAngle = text_oblique_angle;
    TextAlignH = text_align_h;
    TextAlignV = text_align_v;
    LineSpacing = line_spacing;
    CurrentPoint = current_point;
    DimArrowFactor = dim_arrow_factor;
    DrawOffset = draw_offset;
    AbortFlag = abort_flag;
  }
};

// Whose contour the settings form proposes its diameter for; -1 for drawings without the form.
std::int32_t settings_part(std::uint16_t drawing) {
  if (drawing == 1) return 0;
  if (drawing == 9) return 1;
  if (drawing == 10) return 2;
  return -1;
}

// The contour drawings ask for their settings first; a command-line run takes them as an
// immediate OK would. False on Cancel.
bool drawing_settings(std::uint16_t drawing) {
  const std::int32_t part = settings_part(drawing);
  if (part < 0) return true;
  TForm_kv6config form;
  form.SettingsPart = part;
  if (CadBatch) {
    form.DrawSettingsLoad();
    form.DrawSettingsStore();
  } else {
    form.ShowModal();
  }
  return AbortFlag == 0;
}

void entity_passes(std::uint16_t drawing) {
  const PassState before;
  do {
    before.Restore();
    cad_entities_begin();
    DrawingEntities(drawing);
    cad_blocks_end();
  } while (!cad_output_complete());
}

void output(std::uint16_t device, std::uint16_t drawing) {
  SetHelpNumber(kOutputHelp);
  cad_open(device);
  if (AbortFlag) return;
  cad_layer(0);
  DrawingHeader(drawing);
  cad_tables(2);
  cad_blocks_begin();
  DrawingBlocks(drawing);
  cad_blocks_end();
  entity_passes(drawing);
  cad_close();
  HourglassOff();
}

// Picks the drawing of this round: the caller's, or the user's from the menu.
void choose_drawing(std::uint16_t drawing) {
  ++DrawingPage;
  FillDrawingMenu();
  SetHelpNumber(kMenuHelp);
  if (drawing != 0) {
    DrawingPage = drawing;
  } else {
    ChooseItem(DrawingMenuTitle(), kDrawingReturn, DrawingPage);
  }
}

}  // namespace

void OutputDrawing(std::uint16_t device, std::uint16_t drawing) {
  if (FatalFlag) {
    ShowCalcMessages();
    // The command line must fail; on the screen the user has seen why, and the next command
    // (a pick in the form that ran the calculation) must not find the flag set.
    if (CadBatch) AbortFlag = 1;
    // Results left from another run are never drawn; a record without results shows its
    // inputs on the screen.
    if (device != kCadScreen || HasResults()) return;
  }
  // A flag left over from an earlier step, such as an advisory of the calculation, must not
  // stop the drawing.
  AbortFlag = 0;
  if (drawing > kDrawingCount && CadBatch) {
    ShowError("CAD drawing not available");
    AbortFlag = 1;
    return;
  }
  if (drawing > kDrawingReturn) drawing = kDrawingReturn;
  DrawingPage = 0;
  for (;;) {
    choose_drawing(drawing);
    if (AbortFlag || DrawingPage == kDrawingReturn) return;
    if (!drawing_settings(DrawingPage)) return;
    output(device, DrawingPage);
    if (AbortFlag || drawing != 0) return;
  }
}

void RedrawCurrentDrawing() {
  std::uint16_t drawing = 11;
  switch (DefaultView) {
    case 1:
    case 4:
      drawing = 5;
      break;
    case 3:
      drawing = 8;
      break;
    case 5:
      drawing = 2;
      break;
    case 6:
      drawing = 12;
      break;
    default:
      break;
  }
  OutputDrawing(kCadScreen, drawing);
}
