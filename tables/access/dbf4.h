#pragma once
// The program's one window onto a table: a modal form with a data grid, a navigator, search
// buttons, a record-number field and a menu (HTML export, delimited text, appends, print, append
// a record, pack, search, help). In a selection view it is a read-only picker that returns the
// chosen record; in the edit view the user edits the table in place. Every user action runs in
// one guard, so an engine error shows as a message and the form stays open.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/files/taggedtext.h"
#include "platform/ui/datagrid.h"
#include "platform/ui/forms.h"
#include "tables/access/tzfiledataset.h"
#include "tables/access/tzgrid.h"
#include "tables/access/tznavigator.h"
#include "tables/access/tzvfile.h"
#include "tables/core/tzerror.h"

namespace dadav {

// Runs the action with the engine's reporting off: the dataset's text of a failure, empty
// when there was none or the engine recorded its own.
template <class Action>
std::string FailureOf(Action action) {
  const bool reporting = SetReportErrors(false);
  std::string datasetText;
  try {
    action();
  } catch (const EDadavError& error) {
    datasetText = error.what();
  } catch (const EDatabaseError& error) {
    datasetText = error.what();
  } catch (const EAbort&) {
  }
  SetReportErrors(reporting);
  return datasetText;
}

// The seven menu captions in the program's language; English until the program installs its
// own source.
struct Dbf4MenuCaptions {
  platform::TaggedText file{"&File"};
  platform::TaggedText print{"&Print"};
  platform::TaggedText exit{"E&xit"};
  platform::TaggedText edit{"&Edit"};
  platform::TaggedText view{"&View"};
  platform::TaggedText database{"&Database"};
  platform::TaggedText help{"&Help"};
};
extern Dbf4MenuCaptions (*Dbf4MenuCaptionSource)();

class Tdbf4 : public platform::Form {
 public:
  Tdbf4();
  ~Tdbf4() override;

  TTzDbf tzdbf{"tzdbf"};
  // Held for the program's use; the form itself never opens it.
  TTzVFile TzVFile1{"TzVFile1"};

  void SetTableFile(const std::string& path);
  // Modes 1, 4 and 5 pick a record; every other mode edits. "CLOSE" closes after a pick.
  void ShowTable(const std::string& command, std::uint16_t mode);
  void SetTitles(const std::string& title1, const std::string& title2);
  void CloseTable();
  void GoRecord(std::int32_t record);
  void Deactivate();
  // 0 when the append lock was refused or the append failed (its error stays pending).
  std::int32_t AppendLocked();
  std::int32_t RecNo();
  std::int32_t RecCount();
  std::int32_t FieldCount();
  bool Pack();
  void Search(const std::string& text, std::int32_t& field, bool fromTop);
  // Builds an index; false when the build failed (its error stays pending).
  bool IndexOn(const std::string& keyExpression, const std::string& indexFile);
  // base + ".ndx" becomes the controlling index; false when it could not be opened.
  bool SetIndexTo(const std::string& indexBase);
  // An indexed search; a key with one "," is tried again with "." in its place.
  void Find(const std::string& key);
  bool Found() const { return found_; }
  void ForgetFound() { found_ = false; }
  // The file of the controlling index; empty in natural order.
  std::string ControllingIndex();
  std::string GetFieldText(std::int32_t field);
  std::string FieldName(std::int32_t field);
  void PutFieldStr(const std::string& name, const std::string& text);
  void PutFieldFloat(const std::string& name, double value);
  void PutFieldInt(const std::string& name, std::int64_t value);
  void PutFieldBool(const std::string& name, bool value);
  bool GetFieldBool(const std::string& name);

  TTzGrid& Grid() { return *grid_; }
  TTzNavigator& Navigator() { return *navigator_; }
  // Runs a user action: engine errors and dataset errors become a message box and the form
  // takes the table's state again.
  template <class Action>
  void Guarded(Action action);

  // The user's commands, as the menu, the buttons and the grid call them.
  void SearchClick();
  void SearchNextClick();
  void PackClick();
  void AppendClick();
  void AppendDbfClick();
  void AppendDelimitedClick();
  void SaveAsDelimitedClick();
  void ExportHtmlClick();
  void PrintClick();
  // Sorts by the column's field through the temporary index, keeping the current record.
  void TitleClick(std::int32_t column);
  // Writes the HTML page of the table; false after a write error (an old file stays as it was).
  bool WriteHtmlExport(const std::string& fileName);

 private:
  void BuildControls();
  void BuildMenu();
  void ApplyMenuCaptions();
  void SelectionView(std::uint16_t mode);
  void EditView();
  void ShowPosition();
  void FormShow();
  void OkClick();
  void CancelClick();
  void CellClick();
  bool GridKeyDown(std::uint16_t key);
  void RecnoChange();
  void SearchFrom(bool fromTop);
  // The table's append lock for an append of many records; a refusal is shown.
  bool AppendLock();
  void Resynchronise();
  // A step of the grid, the navigator or a key: they keep in step with the table themselves, so
  // the form takes the table's state again only after a failure.
  void GuardedStep(const std::function<void()>& action);
  // Shows the engine's pending error, else the dataset's text; false when there was neither.
  bool ReportFailure(const std::string& datasetText);

  platform::DataGrid* gridControl_ = nullptr;
  platform::DataNavigator* navigatorControl_ = nullptr;
  std::unique_ptr<TTzGrid> grid_;
  std::unique_ptr<TTzNavigator> navigator_;
  std::string lastSearch_;
  bool closeAfterSelection_ = false;
  bool found_ = false;
};

template <class Action>
void Tdbf4::Guarded(Action action) {
  ReportFailure(FailureOf(action));
  Resynchronise();
}

// The one browse form of the program.
extern Tdbf4* DbfForm;
void CreateDbfForm();
void FreeDbfForm();

}  // namespace dadav
