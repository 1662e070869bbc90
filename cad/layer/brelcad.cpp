#include "cad/layer/brelcad.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "base/files/utilpath.h"
#include "base/report/launcher.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/utilstr.h"
#include "cad/layer/caddim.h"
#include "cad/layer/caddisp.h"
#include "cad/layer/cadhead.h"
#include "cad/layer/cadplot.h"
#include "cad/layer/cadplotline.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadstream.h"
#include "cad/layer/cadvar.h"
#include "cad/layer/confpenwerk.h"
#include "cad/layer/dxfread.h"
#include "cad/layer/dxfutil.h"
#include "platform/files/osfiles.h"
#include "platform/ui/dialog.h"

namespace {

// PolylineMode as it was before an output that had to switch it off.
std::optional<std::uint8_t> polyline_mode_before;

const CadWriter* target_writer() {
  return cad_writer_of(CadTarget);
}

// A run without a drawing window (the command line) has no screen to draw on.
bool has_screen() {
  return Drawer != nullptr && DrawWindow != nullptr;
}

bool valid_block_name(const std::string& name) {
  return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

// The save dialog's answer as the output file name with the target's extension, empty when the
// dialog gave no name; false on Cancel or a refused name.
bool ask_file_name(const std::string& ext) {
  platform::FileRequest request;
  request.kind = platform::DialogKind::SaveFile;
  request.folder = AddBackslash(CadDir);
  request.name = PathWithoutExt(CurrentFile);
  request.filters = {{"*." + ext, "*." + ext}, {"*.*", "*.*"}};
  platform::FileResult result = platform::Dialogs().ChooseFile(request);
  HourglassOff();
  if (!result.chosen) {
    AbortFlag = 1;
    return false;
  }
  CadFileName.clear();
  if (result.path.empty()) return true;
  std::string name = result.path;
  std::size_t slash = name.find_last_of('/');
  bool has_dot = name.find('.', slash == std::string::npos ? 0 : slash + 1) != std::string::npos;
  // A refused name is not kept as the output file's name.
  const std::string file = (has_dot ? PathWithoutExt(name) : name) + "." + ext;
  CheckOutputFileName(file);
  if (AbortFlag == 0) CadFileName = file;
  return AbortFlag == 0;
}

bool open_file(const CadWriter& w) {
  if (CadBatch) {
    CadFileName = CurrentFile + "." + w.extension;
    CheckOldOutputWritable(CadFileName);
    if (AbortFlag != 0) return false;
  } else if (!ask_file_name(w.extension)) {
    return false;
  }
  // A writer of its own file refuses an empty name itself, with its message; for the others the
  // output just stops.
  if (w.own_file) return true;
  if (CadFileName.empty()) {
    AbortFlag = 1;
    return false;
  }
  return cad_list_file_create(CadFileName);
}

bool open_target(const CadWriter& w) {
  if (w.extension != nullptr) return open_file(w);
  if (CadTarget == kCadScreen) {
    if (!has_screen()) {
      AbortFlag = 1;
      return false;
    }
    Drawer->grClear();
    Drawer->grWaitCursor();
  } else if (CadTarget == kCadPlot) {
    CadFileName = cad_plot_file_name();
    return cad_plot_file_create(CadFileName);
  }
  return true;
}

void reset_output_state() {
  cad_text_align(0, 0);
  cad_line_spacing(1.0L);
  cad_line_style(0);
  cad_dim_scale(1.0L);
  cad_set_numbered_layers(0);
  InBlocks = 0;
  SuppressOpen = 0;
  TitleBlockMode = 0;
  TitleBlockLanguage = 0;
  if (CadTarget == kCadStep && Mode3D < 2 && PolylineMode != 0) {
    polyline_mode_before = PolylineMode;
    PolylineMode = 0;
  }
}

// Deletes the block files this run wrote.
void delete_own_block_files() {
  for (const std::string& name : cad_created_block_files()) platform::os::Unlink(name);
  cad_forget_block_files();
}

bool opens_after_export(std::uint16_t target) {
  return target == kCadDxf || target == kCadIges || target == kCadTextList || target == kCadStl ||
         target == kCadStep;
}

}  // namespace

void cad_open(std::uint16_t target) {
  cad_offset(0, 0);
  SheetKind = 0;
  cad_stream_reset_errors();
  cad_dxf_to_list_file();
  if (target == kCadNone) {
    if (CadBatch) {
      AbortFlag = 1;  // a command-line run never asks
      return;
    }
    cad_choose_target();
  } else {
    CadTarget = target;
  }
  if (AbortFlag) return;
  const CadWriter* w = target_writer();
  bool known = CadTarget <= 7 || CadTarget == kCadCode;
  if (w == nullptr && known) {
    ShowError("CAD target not available");
    AbortFlag = 1;
    return;
  }
  if (w == nullptr) return;  // an unused code discards everything
  if (!open_target(*w)) return;
  if (w->open) w->open();
  reset_output_state();
}

void cad_choose_target() {
  static const char* const kTargets[7] = {
      "DXF", "IGES", "Control Output to Screen", "PENWERK - Send to Printer/Plotter", "TXT",
      "STL", "STEP"};
  for (int i = 0; i < 7; ++i) ChoiceTexts[i + 1] = kTargets[i];
  SetHelpNumber(2050);
  // The choice preselects line 1 for a target it does not offer, so it works on a copy that
  // only an answer makes the target.
  std::uint16_t chosen = CadTarget;
  ChooseItem("CAD Code", Mode3D != 0 ? 7 : 6, chosen);
  if (AbortFlag) return;
  CadTarget = chosen;
  if (CadTarget != kCadPlot) return;
  if (PlotCommandLines.Count >= 2) {
    for (int i = 1; i <= PlotCommandLines.Count && i <= 5; ++i) {
      ChoiceTexts[i] = PlotCommandLines.Lines[i];
    }
    SetHelpNumber(2055);
    ChooseItem("PENWERK Command Line", std::min<int>(PlotCommandLines.Count, 5),
               PlotCommandLines.Chosen);
    if (AbortFlag) return;
  } else {
    PlotCommandLines.Chosen = 1;
  }
  std::string& chosen_line = PlotCommandLines.Lines[PlotCommandLines.Chosen];
  {
    TForm_confpenwerk options;
    options.CommandLine = chosen_line;
    options.ShowModal();
    // Cancel keeps the line; the prompt below offers it all the same.
    if (AbortFlag == 0) chosen_line = options.CommandLine;
  }
  std::string line = chosen_line;
  SetHelpNumber(2060);
  InputText("PENWERK command line (0=Parameter)", 60, line);
  if (AbortFlag) return;
  if (line.empty() || line[0] == '0') {
    line = chosen_line;  // whose program folder the builder proposes
    plot_command_line(line);
    if (AbortFlag) return;
  }
  chosen_line = line;
}

void cad_set_target(std::uint16_t code) {
  CadTarget = code;
}

void cad_tables(std::int32_t mode) {
  const CadWriter* w = target_writer();
  if (w && w->tables) w->tables(mode);
}

void cad_blocks_begin() {
  InBlocks = 1;
  const CadWriter* w = target_writer();
  if (w && w->blocks_begin) w->blocks_begin();
}

void cad_block_begin(const std::string& name) {
  const CadWriter* w = target_writer();
  if (w == nullptr) return;
  if (!w->block_files) {
    if (AbortFlag == 0 && w->block_begin) w->block_begin(name);
    return;
  }
  if (AbortFlag != 0 || !valid_block_name(name)) {
    cad_block_file_discard();
    AbortFlag = 1;
    return;
  }
  cad_block_file_create(cad_block_file_name(name));
}

void cad_block_end() {
  const CadWriter* w = target_writer();
  bool block_file = w != nullptr && w->block_files;
  if (AbortFlag) {
    // A failed block does not stop the drawing; its inserts find no block file.
    AbortFlag = 0;
    if (block_file) cad_block_file_close();
  } else if (block_file) {
    dxf_eof();
  } else if (w && w->block_end) {
    w->block_end();
  }
  if (block_file) cad_dxf_to_list_file();
}

void cad_blocks_end() {
  InBlocks = 0;
  const CadWriter* w = target_writer();
  if (w && w->blocks_end) w->blocks_end();
}

void cad_entities_begin() {
  const CadWriter* w = target_writer();
  if (w && w->entities_begin) w->entities_begin();
  cad_insert_logos();
}

bool cad_output_complete() {
  const CadWriter* w = target_writer();
  return w == nullptr || w->output_complete == nullptr || w->output_complete();
}

void cad_close() {
  const CadWriter* w = target_writer();
  if (w && w->close) w->close();
  if (CadTarget == kCadScreen) {
    if (has_screen()) {
      Drawer->grClearViewPort();
      Drawer->grNormalCursor();
    }
    delete_own_block_files();
  }
  cad_set_3d_mode(0);
  if (polyline_mode_before) {
    PolylineMode = *polyline_mode_before;
    polyline_mode_before.reset();
  }
  // Whatever cleared the flag meanwhile, a failed stream means an incomplete output.
  if (cad_stream_failed()) AbortFlag = 1;
  if (AbortFlag == 0 && SuppressOpen == 0 && OpenAfterExport != 0 &&
      opens_after_export(CadTarget) && CommandLineParams.size() < 2) {
    OpenDocumentReported(CadFileName);
  }
}

void cad_offset(long double x, long double y) {
  DrawOffset = {x, y};
}

void cad_set_3d_mode(std::int32_t n) {
  Mode3D = n;
}

bool DeleteTempBlockFiles() {
  AbortFlag = 0;
  delete_own_block_files();
  return true;
}
