#include "cad/layer/cadhead.h"

#include "base/dialogs/utilcrt.h"
#include "base/draw/breldraw.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/displaytext.h"
#include "base/text/utildate.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/caddisp.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"

namespace {

void ask_stl_height(long double& height) {
  if (CadBatch) return;  // a command-line run keeps the height as passed
  SetHelpNumber(2900);
  InputLength("height", height, 0, 1000);
  if (AbortFlag) {
    AbortFlag = 0;
    SuppressOpen = 1;
  }
}

void print_border() {
  cad_layer(19);
  cad_rect(DrawingExtents.xmin, DrawingExtents.ymin, DrawingExtents.xmax, DrawingExtents.ymax);
}

std::string stamp_text() {
  std::string program = "BRELCOR " + ProductCode + " V" + ProgVersion;
  if (HideFooter) return program;
  std::string file = ShortenMiddle(PathInText(CurrentFileName()), 120);
  return TodayText() + " " + HourMinuteText() + " - " + program + " - " + file;
}

void screen_stamp(long double xmin, long double ymin, long double xmax, long double ymax) {
  cad_text_style(2, 0, 0.006L * (ymax - ymin), 0.0045L * (xmax - xmin));
  cad_layer(30);
  cad_text(stamp_text(), xmin + 0.005L * (xmax - xmin), ymin + 0.002L * (ymax - ymin));
}

void insert_logo(const char* name, long double y_fraction) {
  if (!FileThere(AddBackslash(TempDir) + "$" + name + ".dx$")) return;
  const CadExtents& e = DrawingExtents;
  cad_insert(name, e.xmin + 0.91L * e.width, e.ymin + y_fraction * e.height, 0, e.width / 480,
             e.height / 360);
}

}  // namespace

void cad_header(long double xmin, long double ymin, long double xmax, long double ymax,
                long double height) {
  if (height > 0 && CadTarget == kCadStl) ask_stl_height(height);
  DrawingExtents = {xmin, xmax, ymin, ymax, xmax - xmin, ymax - ymin};
  const CadWriter* w = cad_writer_of(CadTarget);
  if (w && w->header) w->header(xmin, ymin, xmax, ymax, height);
  if (CadTarget == kCadScreen) {
    if (PrintBorder) print_border();
    screen_stamp(xmin, ymin, xmax, ymax);
  }
  if (height > 0) cad_setz(0, height);
}

void cad_header_default() {
  cad_header(0, 0, 160, 120, 1);
}

void cad_insert_logos() {
  if (SheetKind == 2 || SheetKind == 3) return;
  if (CadTarget != kCadScreen && CadTarget != kCadPlot) return;
  insert_logo("LOGO_2", 0.01L);
  insert_logo("LOGO_3", 0.96L);
}

void cad_plot_border() {
  if (!PrintBorder) return;
  std::uint8_t layer = CurrentLayerNumber;
  print_border();
  cad_layer(layer);
}
