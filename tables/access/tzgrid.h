#pragma once
// The grid model of a command dataset: the columns of its fields, a map from grid rows to record
// numbers (natural or index order, hidden deleted records left out), a cache of row contents
// read in blocks by record number, and the grid's rules for colours, deleted records, boolean
// boxes, date masks, title and corner clicks and the Ctrl+Delete restore. Painting reads records
// into the cache only: the dataset's position and current record stay where they are.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/ui/datagrid.h"
#include "tables/access/tzcdataset.h"

namespace dadav {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

struct TGridFont {
  std::string name;
  platform::Color color;
  std::int32_t size = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

struct TGridColumn {
  std::string fieldName;
  std::string titleCaption;
  std::int32_t width = 0;
  platform::Color color = platform::kWhite;
  TGridFont font;
  TAlignment alignment = TAlignment::taLeftJustify;
  bool readOnly = false;
  platform::Color titleColor{192, 192, 192};
  TAlignment titleAlignment = TAlignment::taLeftJustify;
  TGridFont titleFont;
};

// A colour by name ("clRed") or number (0x00BBGGRR); black for anything else.
platform::Color ColorFromText(const std::string& text);
// "name,colour,size": the low byte is the point size, 0x100 bold, 0x200 italic, 0x400 underline,
// 0x800 strike-out.
TGridFont FontFromText(const std::string& text);
// An alignment name; left for any other.
TAlignment AlignmentFromText(const std::string& text);
// Reads a stored column layout ("cvColumn=1", "cvWidthStr=80", ...) into the columns. A lone
// empty default column goes first; entries before the first cvColumn are ignored.
void ReadSavedColumns(std::vector<TGridColumn>& columns, const std::vector<std::string>& entries);

// The edit mask of date fields: picture 1 year first, others year last; "9999" with the century.
std::string DateEditMaskText(std::uint8_t picture, bool century);
// The same mask in the toolkit's form: "9" becomes "0", "/" the date separator.
std::string ToolkitMask(const std::string& mask, char separator);

using TTzChangeColorsEvent = std::function<void(
    std::int32_t row, const std::vector<std::string>& fields, platform::RowColors& colors)>;

class TTzGrid : public platform::GridModel {
 public:
  TTzGrid(platform::DataGrid& control, TTzCDataSet& dataset);
  ~TTzGrid() override;
  TTzGrid(const TTzGrid&) = delete;
  TTzGrid& operator=(const TTzGrid&) = delete;

  bool AutoAppend = true;
  bool DepressDisabled = false;
  // The grid's delete confirmation option.
  bool ConfirmDelete = true;
  platform::Color FixedColor{212, 208, 200};
  TTzChangeColorsEvent OnChangeColorsEvent;
  std::function<void(std::int32_t column)> OnDepressTitle;
  std::function<void()> OnCornerLeftClick;
  std::function<void()> OnCornerRightClick;
  // Keys reach the owner first; true when it handled the key.
  std::function<bool(std::uint16_t key, bool ctrl)> OnKeyDown;
  // Runs every action the user starts in the grid; the owner puts its error guard here.
  std::function<void(const std::function<void()>& action)> ActionGuard;

  platform::DataGrid& Control() { return control_; }
  const std::vector<TGridColumn>& Columns() const { return columns_; }
  // The layout stored as "savedColumns"; writing one gives an empty list.
  void SetSavedColumns(const std::vector<std::string>& entries);
  std::vector<std::string> SavedColumns() const { return {}; }

  // Reads the table's rows again: after a pack, an append, a post that changed the key, a
  // change of the hidden records or of the index.
  void Refresh();
  // Draws the rows again as they stand, and puts the current cell on the dataset's record.
  void Repaint();
  // Forgets the rows read so far; the next paint reads them again.
  void ClearRowCache() { cache_.clear(); }
  std::int32_t RowOfRecord(std::int32_t record);
  std::int32_t RecordOfRow(std::int32_t row);

  std::int32_t RowCount() override;
  std::int32_t ColumnCount() override;
  std::string Title(std::int32_t column) override;
  std::int32_t ColumnWidth(std::int32_t column) override;
  platform::CellKind Kind(std::int32_t column) override;
  bool ColumnReadOnly(std::int32_t column) override;
  std::string EditMask(std::int32_t column) override;
  std::string CellText(std::int32_t row, std::int32_t column) override;
  bool CellChecked(std::int32_t row, std::int32_t column) override;
  bool RowDeleted(std::int32_t row) override;
  platform::RowColors Colors(std::int32_t row) override;
  bool SetCellText(std::int32_t row, std::int32_t column, const std::string& text) override;
  void ToggleCell(std::int32_t row, std::int32_t column) override;

 private:
  struct CachedRow {
    std::int32_t record = 0;
    std::vector<std::uint8_t> bytes;
  };
  void DefaultColumns();
  const FieldDescriptor* FieldOf(std::int32_t column);
  TField* DatasetField(std::int32_t column);
  void BuildRowMap();
  std::int32_t MappedRows() const;
  bool IsAppendRow(std::int32_t row);
  bool IsEditedRow(std::int32_t row);
  const CachedRow* Cached(std::int32_t row);
  void FillBlock(std::int32_t block);
  std::int32_t BlockRows() const;
  // The dataset on the row's record, a pending edit of another row posted first.
  bool MoveDatasetTo(std::int32_t row);
  void FollowDataset();
  void CurrentChanged();
  void PastEnd();
  bool KeyDown(std::uint16_t key, bool ctrl);
  void LeaveAppendRow();
  // Stores the typed cell into its field; a refusal is shown and the field keeps its value.
  bool TakeCellText(const std::function<void()>& store);
  // The action under ActionGuard.
  void Run(const std::function<void()>& action);

  platform::DataGrid& control_;
  TTzCDataSet& dataset_;
  int listener_ = 0;
  std::vector<TGridColumn> columns_;
  // The fields the columns were made for: another table gets columns of its own.
  TDbfFieldProps columnsFor_;
  bool identity_ = true;
  std::int32_t identityCount_ = 0;
  std::vector<std::int32_t> rows_;
  std::vector<std::int32_t> rowOfRecord_;
  std::map<std::int32_t, std::vector<CachedRow>> cache_;
  bool following_ = false;
};

}  // namespace dadav
