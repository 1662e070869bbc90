// The grid model over a command dataset: row map, row cache and the grid's rules.

#include "tables/access/tzgrid.h"

#include <algorithm>
#include <cstring>

#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "tables/access/cellnumber.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4rows.h"
#include "tables/core/tzdate.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"

namespace dadav {

namespace {

constexpr std::size_t kCacheRows = 512;

struct NamedColor {
  const char* name;
  platform::Color color;
};

constexpr NamedColor kColors[] = {
    {"CLBLACK", {0, 0, 0}},       {"CLMAROON", {128, 0, 0}},      {"CLGREEN", {0, 128, 0}},
    {"CLOLIVE", {128, 128, 0}},   {"CLNAVY", {0, 0, 128}},        {"CLPURPLE", {128, 0, 128}},
    {"CLTEAL", {0, 128, 128}},    {"CLGRAY", {128, 128, 128}},    {"CLSILVER", {192, 192, 192}},
    {"CLRED", {255, 0, 0}},       {"CLLIME", {0, 255, 0}},        {"CLYELLOW", {255, 255, 0}},
    {"CLBLUE", {0, 0, 255}},      {"CLFUCHSIA", {255, 0, 255}},   {"CLAQUA", {0, 255, 255}},
    {"CLWHITE", {255, 255, 255}}, {"CLBTNFACE", {212, 208, 200}}, {"CLWINDOW", {255, 255, 255}},
    {"CLWINDOWTEXT", {0, 0, 0}},
};

// Marks the grid as following the dataset for a scope, however the scope ends.
class Following {
 public:
  explicit Following(bool& flag) : flag_(flag) { flag_ = true; }
  ~Following() { flag_ = false; }
  Following(const Following&) = delete;
  Following& operator=(const Following&) = delete;

 private:
  bool& flag_;
};

}  // namespace

platform::Color ColorFromText(const std::string& text) {
  const std::string upper = UpperStr(AllTrim(text));
  for (const NamedColor& named : kColors) {
    if (upper == named.name) return named.color;
  }
  std::string digits = upper;
  int base = 10;
  if (!digits.empty() && digits[0] == '$') {
    digits.erase(0, 1);
    base = 16;
  }
  if (digits.empty()) return platform::kBlack;
  std::uint32_t value = 0;
  for (char c : digits) {
    const int digit = c >= '0' && c <= '9' ? c - '0' : (c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99);
    if (digit >= base) return platform::kBlack;
    value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
  }
  return platform::ColorFromValue(value);
}

TGridFont FontFromText(const std::string& text) {
  const std::vector<std::string> parts = SplitCommas(text);
  TGridFont font;
  font.name = parts[0];
  if (parts.size() > 1) font.color = ColorFromText(parts[1]);
  if (parts.size() > 2) {
    const std::int32_t style = ValLong(AllTrim(parts[2]));
    font.size = style & 0xFF;
    font.bold = (style & 0x100) != 0;
    font.italic = (style & 0x200) != 0;
    font.underline = (style & 0x400) != 0;
    font.strikeOut = (style & 0x800) != 0;
  }
  return font;
}

TAlignment AlignmentFromText(const std::string& text) {
  const std::string name = AllTrim(text);
  if (name == "taRightJustify") return TAlignment::taRightJustify;
  if (name == "taCenter") return TAlignment::taCenter;
  return TAlignment::taLeftJustify;
}

void ReadSavedColumns(std::vector<TGridColumn>& columns, const std::vector<std::string>& entries) {
  if (columns.size() == 1 && columns[0].fieldName.empty() && columns[0].titleCaption.empty()) {
    columns.clear();
  }
  TGridColumn* current = nullptr;
  for (const std::string& entry : entries) {
    const std::size_t equals = entry.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = AllTrim(entry.substr(0, equals));
    const std::string value = entry.substr(equals + 1);
    if (key == "cvColumn") {
      const std::int32_t n = ValLong(AllTrim(value));
      if (n < 0) continue;
      while (columns.size() <= static_cast<std::size_t>(n)) columns.emplace_back();
      current = &columns[static_cast<std::size_t>(n)];
      continue;
    }
    if (current == nullptr) continue;
    if (key == "cvColorStr") current->color = ColorFromText(value);
    if (key == "cvWidthStr") current->width = ValLong(AllTrim(value));
    if (key == "cvFontStr") current->font = FontFromText(value);
    if (key == "cvAlignmentStr") current->alignment = AlignmentFromText(value);
    if (key == "cvReadOnlyStr") current->readOnly = UpperStr(AllTrim(value)) == "TRUE";
    if (key == "cvTitleColorStr") current->titleColor = ColorFromText(value);
    if (key == "cvTitleCaptionStr") current->titleCaption = value;
    if (key == "cvTitleAlignmentStr") current->titleAlignment = AlignmentFromText(value);
    if (key == "cvTitleFontStr") current->titleFont = FontFromText(value);
    if (key == "cvFieldNameStr") current->fieldName = AllTrim(value);
  }
}

std::string DateEditMaskText(std::uint8_t picture, bool century) {
  const std::string year = century ? "9999" : "99";
  if (picture == 1) return year + "/99/99;1; ";
  return "99/99/" + year + ";1; ";
}

std::string ToolkitMask(const std::string& mask, char separator) {
  const std::string body = mask.substr(0, mask.find(';'));
  std::string qt;
  for (char c : body) {
    if (c == '9') {
      qt += '0';
    } else if (c == '/') {
      if (std::strchr("AaNnXx90Dd#HhBb><!\\[]{}", separator) != nullptr) qt += '\\';
      qt += separator;
    } else {
      qt += c;
    }
  }
  return qt + "; ";
}

TTzGrid::TTzGrid(platform::DataGrid& control, TTzCDataSet& dataset)
    : control_(control), dataset_(dataset) {
  listener_ = dataset_.AddListener([this](TDataEvent event, TField*) {
    if (event == TDataEvent::deDataSetChange || event == TDataEvent::deDataSetScroll) {
      FollowDataset();
    }
  });
  control_.onCurrentChanged = [this] { Run([this] { CurrentChanged(); }); };
  control_.onPastEnd = [this] { Run([this] { PastEnd(); }); };
  control_.onKeyDown = [this](std::uint16_t key, bool ctrl) {
    bool handled = true;
    Run([&] { handled = KeyDown(key, ctrl); });
    return handled;
  };
  control_.onTitleClick = [this](std::int32_t column) {
    if (!DepressDisabled && OnDepressTitle) Run([&] { OnDepressTitle(column); });
  };
  control_.onCornerClick = [this](bool left) {
    const auto& handler = left ? OnCornerLeftClick : OnCornerRightClick;
    if (handler) Run(handler);
  };
  Refresh();
}

TTzGrid::~TTzGrid() {
  dataset_.RemoveListener(listener_);
  control_.onCurrentChanged = nullptr;
  control_.onPastEnd = nullptr;
  control_.onKeyDown = nullptr;
  control_.onTitleClick = nullptr;
  control_.onCornerClick = nullptr;
  control_.SetModel(nullptr);
}

void TTzGrid::DefaultColumns() {
  columns_.clear();
  columnsFor_ = dataset_.FieldProps();
  if (!dataset_.Active()) return;
  for (const TDbfFieldProp& prop : dataset_.FieldProps()) {
    TGridColumn column;
    column.fieldName = prop.name;
    column.titleCaption = prop.name;
    column.width =
        prop.type == 'D' ? 10 : (prop.type == 'L' ? 1 : (prop.type == 'M' ? 4 : prop.length));
    columns_.push_back(column);
  }
}

void TTzGrid::SetSavedColumns(const std::vector<std::string>& entries) {
  ReadSavedColumns(columns_, entries);
  columnsFor_ = dataset_.FieldProps();
  control_.Reset();
}

void TTzGrid::Refresh() {
  if (columnsFor_ != dataset_.FieldProps()) DefaultColumns();
  cache_.clear();
  BuildRowMap();
  if (control_.Model() != this) {
    control_.SetModel(this);
  } else {
    control_.Reset();
  }
  FollowDataset();
}

void TTzGrid::Repaint() {
  control_.Reset();
  FollowDataset();
}

void TTzGrid::BuildRowMap() {
  rows_.clear();
  rowOfRecord_.clear();
  identity_ = true;
  identityCount_ = 0;
  if (!dataset_.Active()) return;
  Select(dataset_.WorkArea());
  const WorkArea& area = *Area();
  RefreshRecCount();
  const bool indexed = Indexed();
  if (!indexed && !area.hideDeleted) {
    identityCount_ = area.recCount;
    return;
  }
  identity_ = false;
  std::vector<bool> live;
  if (area.hideDeleted) {
    live.assign(static_cast<std::size_t>(area.recCount) + 1, false);
    for (std::int32_t record : LiveRecordNumbers(area))
      live[static_cast<std::size_t>(record)] = true;
  }
  const auto visible = [&](std::int32_t record) {
    return record >= 1 && record <= area.recCount &&
           (live.empty() || live[static_cast<std::size_t>(record)]);
  };
  if (!indexed) {
    for (std::int32_t record = 1; record <= area.recCount; ++record) {
      if (visible(record)) rows_.push_back(record);
    }
  } else {
    const std::int32_t here = dadav::RecNo();
    {
      IndexBracket bracket(true, IndexHooks.setReadSemaphore);
      std::int32_t record = IndexHooks.firstKey();
      while (!IndexHooks.indexEof() && record >= 1 && record <= area.recCount) {
        if (visible(record)) rows_.push_back(record);
        const std::int32_t next = IndexHooks.nextKey();
        if (next == record) break;
        record = next;
      }
    }
    GoIfValid(here);
  }
  rowOfRecord_.assign(static_cast<std::size_t>(area.recCount) + 1, -1);
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    rowOfRecord_[static_cast<std::size_t>(rows_[row])] = static_cast<std::int32_t>(row);
  }
}

std::int32_t TTzGrid::MappedRows() const {
  return identity_ ? identityCount_ : static_cast<std::int32_t>(rows_.size());
}

std::int32_t TTzGrid::RowOfRecord(std::int32_t record) {
  if (identity_) return record >= 1 && record <= identityCount_ ? record - 1 : -1;
  if (record < 1 || static_cast<std::size_t>(record) >= rowOfRecord_.size()) return -1;
  return rowOfRecord_[static_cast<std::size_t>(record)];
}

std::int32_t TTzGrid::RecordOfRow(std::int32_t row) {
  if (row < 0 || row >= MappedRows()) return 0;
  return identity_ ? row + 1 : rows_[static_cast<std::size_t>(row)];
}

bool TTzGrid::IsAppendRow(std::int32_t row) {
  return dataset_.State() == TDataSetState::dsInsert && row == MappedRows();
}

bool TTzGrid::IsEditedRow(std::int32_t row) {
  if (IsAppendRow(row)) return true;
  return dataset_.State() == TDataSetState::dsEdit && RecordOfRow(row) == dataset_.RecNo();
}

std::int32_t TTzGrid::BlockRows() const {
  return std::max(control_.VisibleRows(), 1);
}

void TTzGrid::FillBlock(std::int32_t block) {
  const std::int32_t size = BlockRows();
  const std::int32_t first = block * size;
  const std::int32_t last = std::min(first + size, MappedRows());
  const WorkArea* area = WorkAreaTable[dataset_.WorkArea()].get();
  std::vector<CachedRow> rows;
  std::vector<std::uint8_t> bytes;
  for (std::int32_t row = first; row < last;) {
    // A run of rows on consecutive records is read in one go.
    std::int32_t run = 1;
    while (row + run < last && RecordOfRow(row + run) == RecordOfRow(row) + run) ++run;
    const std::int32_t read = ReadRecordBlock(*area, RecordOfRow(row), run, bytes);
    for (std::int32_t i = 0; i < run; ++i) {
      CachedRow cached;
      cached.record = RecordOfRow(row + i);
      if (i < read) {
        const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(i) * area->recordLength;
        cached.bytes.assign(begin, begin + area->recordLength);
      }
      rows.push_back(std::move(cached));
    }
    row += run;
  }
  if (cache_.size() * static_cast<std::size_t>(size) >= kCacheRows) cache_.clear();
  cache_[block] = std::move(rows);
}

const TTzGrid::CachedRow* TTzGrid::Cached(std::int32_t row) {
  if (row < 0 || row >= MappedRows() || !dataset_.Active()) return nullptr;
  const std::int32_t size = BlockRows();
  const std::int32_t block = row / size;
  auto found = cache_.find(block);
  if (found == cache_.end()) {
    FillBlock(block);
    found = cache_.find(block);
  }
  const std::size_t index = static_cast<std::size_t>(row - block * size);
  if (index >= found->second.size() || found->second[index].bytes.empty()) return nullptr;
  return &found->second[index];
}

const FieldDescriptor* TTzGrid::FieldOf(std::int32_t column) {
  if (column < 0 || column >= ColumnCount() || !dataset_.Active()) return nullptr;
  const WorkArea* area = WorkAreaTable[dataset_.WorkArea()].get();
  const std::string name = UpperStr(columns_[static_cast<std::size_t>(column)].fieldName);
  for (const FieldDescriptor& f : area->fields) {
    if (UpperStr(f.name.substr(0, 10)) == name) return &f;
  }
  return nullptr;
}

TField* TTzGrid::DatasetField(std::int32_t column) {
  if (column < 0 || column >= ColumnCount()) return nullptr;
  return dataset_.FindField(columns_[static_cast<std::size_t>(column)].fieldName);
}

std::int32_t TTzGrid::RowCount() {
  return MappedRows() + (dataset_.State() == TDataSetState::dsInsert ? 1 : 0);
}

std::int32_t TTzGrid::ColumnCount() {
  return static_cast<std::int32_t>(columns_.size());
}

std::string TTzGrid::Title(std::int32_t column) {
  if (column < 0 || column >= ColumnCount()) return {};
  return columns_[static_cast<std::size_t>(column)].titleCaption;
}

std::int32_t TTzGrid::ColumnWidth(std::int32_t column) {
  if (column < 0 || column >= ColumnCount()) return 0;
  return columns_[static_cast<std::size_t>(column)].width;
}

platform::CellKind TTzGrid::Kind(std::int32_t column) {
  const FieldDescriptor* f = FieldOf(column);
  if (f == nullptr) return platform::CellKind::Text;
  switch (f->type) {
    case 'N':
    case 'F':
      return platform::CellKind::Number;
    case 'L':
      return platform::CellKind::Boolean;
    case 'D':
      return platform::CellKind::Date;
    case 'M':
      return platform::CellKind::Memo;
    default:
      return platform::CellKind::Text;
  }
}

bool TTzGrid::ColumnReadOnly(std::int32_t column) {
  if (column < 0 || column >= ColumnCount()) return true;
  return columns_[static_cast<std::size_t>(column)].readOnly || FieldOf(column) == nullptr ||
         Kind(column) == platform::CellKind::Memo || !dataset_.CanModify();
}

std::string TTzGrid::EditMask(std::int32_t column) {
  if (Kind(column) != platform::CellKind::Date) return {};
  return ToolkitMask(DateEditMaskText(DateFormat, CenturyOn), DateSeparator);
}

std::string TTzGrid::CellText(std::int32_t row, std::int32_t column) {
  const FieldDescriptor* f = FieldOf(column);
  if (f == nullptr) return {};
  std::string text;
  if (IsEditedRow(row)) {
    TField* field = DatasetField(column);
    if (field == nullptr) return {};
    if (f->type == 'M') {
      Select(dataset_.WorkArea());
      FieldAsText(field->FieldNo(), text);
      return text;
    }
    return field->AsString();
  }
  const CachedRow* cached = Cached(row);
  if (cached == nullptr) return {};
  text = RawFieldText(cached->bytes.data(), *f);
  if (f->type == 'L') {
    TField* field = DatasetField(column);
    const auto* boolean = dynamic_cast<TBooleanField*>(field);
    const bool on = text == LogicalLetters.substr(1, 1);
    return boolean != nullptr ? (on ? boolean->TrueText() : boolean->FalseText())
                              : (on ? "True" : "False");
  }
  return f->type == 'C' ? RTrim(text) : AllTrim(text);
}

bool TTzGrid::CellChecked(std::int32_t row, std::int32_t column) {
  const FieldDescriptor* f = FieldOf(column);
  if (f == nullptr || f->type != 'L') return false;
  if (IsEditedRow(row)) {
    TField* field = DatasetField(column);
    return field != nullptr && field->AsBoolean();
  }
  const CachedRow* cached = Cached(row);
  return cached != nullptr && RawFieldText(cached->bytes.data(), *f) == LogicalLetters.substr(1, 1);
}

bool TTzGrid::RowDeleted(std::int32_t row) {
  if (IsAppendRow(row)) return false;
  const CachedRow* cached = Cached(row);
  return cached != nullptr && RawDeleted(cached->bytes.data());
}

platform::RowColors TTzGrid::Colors(std::int32_t row) {
  platform::RowColors colors{FixedColor,       platform::kWhite, platform::kBlack, {0, 0, 128},
                             platform::kWhite, {255, 0, 0},      platform::kBlack};
  if (OnChangeColorsEvent && row >= 0 && row < RowCount()) {
    std::vector<std::string> fields;
    for (std::int32_t column = 0; column < ColumnCount(); ++column) {
      fields.push_back(CellText(row, column));
    }
    OnChangeColorsEvent(row, fields, colors);
  }
  return colors;
}

bool TTzGrid::MoveDatasetTo(std::int32_t row) {
  if (IsAppendRow(row)) return true;
  const std::int32_t record = RecordOfRow(row);
  if (record == 0) return false;
  if (dataset_.RecNo() != record) {
    if (dataset_.State() == TDataSetState::dsInsert) LeaveAppendRow();
    const Following following(following_);
    dataset_.SetRecNo(record);
  }
  return dataset_.RecNo() == record;
}

bool TTzGrid::SetCellText(std::int32_t row, std::int32_t column, const std::string& text) {
  TField* field = DatasetField(column);
  if (field == nullptr || ColumnReadOnly(column)) return false;
  std::optional<double> number;
  if (Kind(column) == platform::CellKind::Number && !AllTrim(text).empty()) {
    number = CellNumber(*FieldOf(column), text);
    if (!number) {
      RefuseCellNumber(*FieldOf(column));
      return false;
    }
  }
  bool taken = false;
  Run([&] {
    if (!MoveDatasetTo(row)) return;
    if (dataset_.State() == TDataSetState::dsBrowse) dataset_.Edit();
    taken = TakeCellText([&] { number ? field->SetAsFloat(*number) : field->SetAsString(text); });
  });
  return taken;
}

bool TTzGrid::TakeCellText(const std::function<void()>& store) {
  try {
    store();
    return true;
  } catch (const EDatabaseError& refused) {
    // The field keeps its value; the user learns why the text was not taken.
    platform::Dialogs().ShowBox({platform::ApplicationTitle(), refused.what(),
                                 platform::MessageButtons::Ok, platform::MessageIcon::Warning});
    return false;
  }
}

void TTzGrid::ToggleCell(std::int32_t row, std::int32_t column) {
  TField* field = DatasetField(column);
  if (field == nullptr || Kind(column) != platform::CellKind::Boolean || ColumnReadOnly(column) ||
      !control_.HasOption(platform::kGridEditing) || control_.HasOption(platform::kGridRowSelect)) {
    return;
  }
  Run([&] {
    if (!MoveDatasetTo(row)) return;
    if (dataset_.State() == TDataSetState::dsBrowse) dataset_.Edit();
    field->SetAsBoolean(!field->AsBoolean());
    control_.Reset();
  });
}

void TTzGrid::Run(const std::function<void()>& action) {
  if (ActionGuard) {
    ActionGuard(action);
  } else {
    action();
  }
}

void TTzGrid::LeaveAppendRow() {
  {
    const Following following(following_);
    dataset_.CheckBrowseMode();
  }
  Refresh();
}

void TTzGrid::CurrentChanged() {
  if (following_) return;
  const std::int32_t row = control_.Row();
  if (row < 0) return;
  if (dataset_.State() == TDataSetState::dsInsert && !IsAppendRow(row)) {
    LeaveAppendRow();
    control_.SetCurrent(row, control_.Col());
  }
  if (dataset_.State() == TDataSetState::dsEdit && RecordOfRow(row) != dataset_.RecNo()) {
    {
      const Following following(following_);
      dataset_.CheckBrowseMode();
    }
    cache_.clear();
  }
  MoveDatasetTo(row);
}

void TTzGrid::PastEnd() {
  if (!AutoAppend || !control_.HasOption(platform::kGridEditing) ||
      control_.HasOption(platform::kGridRowSelect) || !dataset_.CanModify() ||
      dataset_.State() == TDataSetState::dsInsert) {
    return;
  }
  {
    const Following following(following_);
    dataset_.Append();
  }
  control_.Reset();
  control_.SetCurrent(MappedRows(), control_.Col());
}

bool TTzGrid::KeyDown(std::uint16_t key, bool ctrl) {
  if (OnKeyDown && OnKeyDown(key, ctrl)) return true;
  if (key != platform::keys::kDelete || !ctrl || !control_.HasOption(platform::kGridEditing) ||
      !dataset_.Active() || !dataset_.CanModify() || dataset_.RecNo() == 0) {
    return false;
  }
  if (!dataset_.RecordDeleted()) return false;
  if (ConfirmDelete && platform::Dialogs().ShowBox(
                           {"Confirm", "Restore Record ?", platform::MessageButtons::OkCancel,
                            platform::MessageIcon::Question}) != platform::MessageAnswer::Ok) {
    return true;
  }
  dataset_.Restore();
  Refresh();
  return true;
}

void TTzGrid::FollowDataset() {
  if (following_ || !dataset_.Active()) return;
  // A record being inserted stands in the row after the last.
  const std::int32_t row =
      dataset_.State() == TDataSetState::dsInsert ? MappedRows() : RowOfRecord(dataset_.RecNo());
  if (row >= 0 && row != control_.Row()) {
    const Following following(following_);
    control_.SetCurrent(row, control_.Col());
  }
}

}  // namespace dadav
