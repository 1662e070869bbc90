// The command File, open table: the listing, then the pick loop of the table window.
#include "app/filetable/buildfiletable.h"

#include <vector>

#include "app/filetable/filetablerows.h"
#include "app/filetable/formpreview.h"
#include "base/dialogs/utilcrt.h"
#include "base/draw/breldraw.h"
#include "base/files/utilpath.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "calc/calcfile.h"
#include "calc/connectionstate.h"

namespace {

void TellFilesLeftOut(std::size_t count) {
  if (count == 0) return;
  ShowInfo(IntText(static_cast<std::int32_t>(count)) + (count == 1 ? " file" : " files") +
           " left out: the names hold letters KV6 cannot use");
}

// Each row is read by loading its file into the program; the connection the user works on comes
// back afterwards, so that looking at the table changes nothing.
void ListFiles(TForm_preview& table, const FileTableHooks& hooks) {
  const ConnectionState current = ConnectionState::Current();
  const std::vector<std::string> files = CalcFileNames(DataDir);
  std::vector<std::vector<std::string>> rows;
  rows.reserve(files.size() + 1);
  rows.push_back(FileTableHeader());
  HourglassOn();
  for (const std::string& name : files) {
    if (hooks.showProgress) hooks.showProgress(ToDisplayText(LongTitle) + " -> " + name);
    rows.push_back(FileTableRow(DataDir, name));
  }
  HourglassOff();
  current.Restore();
  table.Fill(std::move(rows), files);
  TellFilesLeftOut(CalcFilesLeftOut(DataDir));
}

// The picked file replaces the program's connection only when it loads.
void LoadPicked(const std::string& name, const FileTableHooks& hooks) {
  if (LoadCalcFile(ListedFilePath(DataDir, name))) CurrentFile = NameWithoutExt(name);
  AbortFlag = 0;
  if (hooks.afterLoad) hooks.afterLoad();
}

}  // namespace

void BuildFileTable(const FileTableHooks& hooks) {
  if (Drawer != nullptr) Drawer->grClear();
  TForm_preview table;
  ListFiles(table, hooks);
  for (;;) {
    if (table.ShowModal() != platform::ModalResult::Ok) break;
    LoadPicked(table.FileOfRow(table.SelectedRow), hooks);
  }
  AbortFlag = 1;
  if (hooks.afterClose) hooks.afterClose();
}
