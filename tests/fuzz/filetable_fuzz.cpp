// A calculation file listed in the table of calculation files between two sound ones, the table
// sorted by a column, exported and the file picked; the table shows again as it was. No row
// depends on the file listed before it: each file listed after another than its neighbour in the
// table gives the table's row. A difference aborts.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/filetable/buildfiletable.h"
#include "app/filetable/filetablerows.h"
#include "app/filetable/formpreview.h"
#include "app/main/programidentity.h"
#include "base/settings/wbrelvar.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "platform/headless/dialogscript.h"
#include "platform/headless/recordingservices.h"
#include "tests/app/tools/calcfilegen.h"
#include "tests/fuzz/fuzzrun.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The input sorts between the two sound files.
const std::string kInput = "m.kv6";
const std::string kBefore = "a.kv6";
const std::string kAfter = "z.kv6";
constexpr std::int32_t kColumns = 20;

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

Rows GridRows(const TForm_preview& table) {
  Rows rows;
  for (std::int32_t r = 1; r < table.StringGrid1.RowCount(); ++r) {
    std::vector<std::string> row;
    for (std::int32_t c = 0; c < table.StringGrid1.ColCount(); ++c) {
      row.push_back(table.StringGrid1.Cell(c, r));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<std::string> RowOf(const Rows& rows, const std::string& file) {
  for (const std::vector<std::string>& row : rows) {
    if (!row.empty() && row[0] == file) return row;
  }
  return {};
}

// Sorted by the column, exported, and the input picked.
void SortExportAndPick(TForm_preview& table, std::int32_t column, Rows& listed) {
  const platform::Rect head = table.StringGrid1.CellRect(column, 0);
  table.StringGrid1.MouseDown(platform::MouseButton::Right, (head.left + head.right) / 2,
                              (head.top + head.bottom) / 2);
  table.Menus().FindItem("mi_fileExportExcel")->Click();
  listed = GridRows(table);
  for (std::int32_t r = 1; r < table.StringGrid1.RowCount(); ++r) {
    if (table.FileOfRow(r) == kInput) table.StringGrid1.SelectCell(0, r);
  }
}

void InTable(const FuzzRun& run, std::function<void(TForm_preview&)> act) {
  run.Dialogs().Expect(
      platform::headless::Step(platform::DialogKind::Form).Act([act](platform::Form& form) {
        act(dynamic_cast<TForm_preview&>(form));
      }));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  const platform::RecordedLauncher launcher;
  for (std::string& text : DrawingTexts) text.clear();
  DecimalSeparator = '.';
  StartCalculationUnits();
  SetProgramIdentity();
  DataDir = run.Path("data/");
  std::filesystem::create_directory(DataDir);
  calcfilegen::SetConnection(1);
  Require(calcfilegen::Write(DataDir, kBefore), "a sound file was not written");
  calcfilegen::SetConnection(5);
  Require(calcfilegen::Write(DataDir, kAfter), "a sound file was not written");
  run.Put("data/" + kInput, Bytes(data, size));

  Rows listed, shownAgain;
  InTable(run, [&](TForm_preview& table) {
    SortExportAndPick(table, static_cast<std::int32_t>(size % kColumns), listed);
  });
  InTable(run, [&](TForm_preview& table) {
    shownAgain = GridRows(table);
    table.Menus().FindItem("mi_fileExit")->Click();
  });
  BuildFileTable({});
  Require(listed.size() == 3, "a file is missing from the table");
  Require(shownAgain == listed, "the table changed after a pick");
  const bool loaded = CurrentFile == "m";
  Require(LoadCalcFile(DataDir + kInput) == loaded, "the pick loaded other than a load does");

  // Each file listed after another file than in the table.
  for (const auto& [previous, file] :
       {std::pair{kAfter, kInput}, std::pair{kInput, kBefore}, std::pair{kBefore, kAfter}}) {
    FileTableRow(DataDir, previous);
    Require(FileTableRow(DataDir, file) == RowOf(listed, file),
            "a row depends on the file listed before it");
  }
  return 0;
}
