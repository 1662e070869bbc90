// The dataset cursor: states, the current record, moves and editing over the Tzi operations.

#include "tables/access/tzprimds.h"

#include <algorithm>

#include "tables/core/tzerror.h"
#include "tables/core/tztext.h"

namespace dadav {

std::string DatasetErrorText(int code, const std::string& engineText) {
  if (code == kTziNoFileName) return "The FileName property of the dataset not set";
  if (code >= kTziOpenFailed && code <= kTziAtEnd) return "Dataset error: " + std::to_string(code);
  return "Dataset error: " + engineText;
}

TTzPrimDataset::TTzPrimDataset(std::string name) : name_(std::move(name)) {}

TTzPrimDataset::~TTzPrimDataset() = default;

std::string TTzPrimDataset::ErrorTextOf(int code) {
  return ErrorText(static_cast<std::uint16_t>(code));
}

void TTzPrimDataset::Check(int code) {
  if (code != 0) throw EDatabaseError(DatasetErrorText(code, ErrorTextOf(code)));
}

void TTzPrimDataset::Notify(TDataEvent event, TField* field) {
  // A listener may add or remove listeners; work on a copy.
  const auto listeners = listeners_;
  for (const auto& entry : listeners) entry.second(event, field);
}

void TTzPrimDataset::SetState(TDataSetState state) {
  if (state_ == state) return;
  state_ = state;
  Notify(TDataEvent::deUpdateState);
}

void TTzPrimDataset::CheckActive() const {
  if (!Active()) throw EDatabaseError("Cannot perform this operation on a closed dataset");
}

void TTzPrimDataset::Open() {
  if (Active()) return;
  Check(TziOpen());
  fields_ = InitFieldDefs();
  state_ = TDataSetState::dsBrowse;
  TziSetToBegin();
  std::int32_t record = 0;
  const int code = TziGetNextRecord(record);
  TakeRecord(code, record);
  bof_ = true;
  Notify(TDataEvent::deDataSetChange);
}

void TTzPrimDataset::Close() {
  if (!Active()) return;
  if (state_ != TDataSetState::dsBrowse) Cancel();
  fields_.clear();
  current_ = 0;
  bof_ = eof_ = true;
  state_ = TDataSetState::dsInactive;
  TziClose();
  Notify(TDataEvent::deDataSetChange);
}

void TTzPrimDataset::SetActive(bool active) {
  if (active) {
    Open();
  } else {
    Close();
  }
}

void TTzPrimDataset::TakeRecord(int code, std::int32_t record) {
  if (code == 0) {
    current_ = record;
    bof_ = eof_ = false;
    return;
  }
  if (code != kTziAtBegin && code != kTziAtEnd) Check(code);
  if (TziGetRecordCount() < 1) {
    current_ = 0;
    bof_ = eof_ = true;
  } else if (code == kTziAtEnd) {
    eof_ = true;
  } else {
    bof_ = true;
  }
}

void TTzPrimDataset::First() {
  CheckActive();
  CheckBrowseMode();
  TziSetToBegin();
  std::int32_t record = 0;
  const int code = TziGetNextRecord(record);
  TakeRecord(code, record);
  bof_ = true;
  Notify(TDataEvent::deDataSetChange);
}

void TTzPrimDataset::Last() {
  CheckActive();
  CheckBrowseMode();
  TziSetToEnd();
  std::int32_t record = 0;
  const int code = TziGetPriorRecord(record);
  TakeRecord(code, record);
  eof_ = true;
  Notify(TDataEvent::deDataSetChange);
}

void TTzPrimDataset::Next() {
  CheckActive();
  CheckBrowseMode();
  if (eof_) return;
  std::int32_t record = 0;
  const int code = TziGetNextRecord(record);
  TakeRecord(code, record);
  if (code == 0) Notify(TDataEvent::deDataSetScroll);
}

void TTzPrimDataset::Prior() {
  CheckActive();
  CheckBrowseMode();
  if (bof_) return;
  std::int32_t record = 0;
  const int code = TziGetPriorRecord(record);
  TakeRecord(code, record);
  if (code == 0) Notify(TDataEvent::deDataSetScroll);
}

std::int32_t TTzPrimDataset::MoveBy(std::int32_t distance) {
  std::int32_t moved = 0;
  while (distance > 0 && !eof_) {
    Next();
    if (!eof_) ++moved;
    --distance;
  }
  while (distance < 0 && !bof_) {
    Prior();
    if (!bof_) --moved;
    ++distance;
  }
  return moved;
}

void TTzPrimDataset::SetRecNo(std::int32_t record) {
  CheckActive();
  CheckBrowseMode();
  SafeGo(record);
  Resync();
}

std::int32_t TTzPrimDataset::RecordCount() {
  CheckActive();
  return TziGetRecordCount();
}

bool TTzPrimDataset::IsSequenced() {
  return true;
}

void TTzPrimDataset::GotoBookmark(TBookmark bookmark) {
  SetRecNo(bookmark);
}

bool TTzPrimDataset::BookmarkValid(TBookmark bookmark) {
  if (!Active() || bookmark == 0) return false;
  const TBookmark here = current_;
  SafeGo(bookmark);
  std::int32_t record = 0;
  const bool valid = TziGetRecord(record) == 0 && record == bookmark;
  if (here != 0) SafeGo(here);
  return valid;
}

int TTzPrimDataset::CompareBookmarks(TBookmark a, TBookmark b) {
  if (a == 0 || b == 0) {
    if (a == 0 && b == 0) return 0;
    return a == 0 ? 1 : -1;
  }
  return TziCompareBookmarks(a, b);
}

bool TTzPrimDataset::CanModify() {
  return true;
}

void TTzPrimDataset::Edit() {
  CheckActive();
  if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) return;
  if (!CanModify()) throw EDatabaseError("Cannot modify a read-only dataset");
  if (current_ == 0) {
    Append();
    return;
  }
  modified_ = false;
  SetState(TDataSetState::dsEdit);
}

void TTzPrimDataset::Insert() {
  StartInsert(false);
}

void TTzPrimDataset::StartInsert(bool append) {
  CheckActive();
  CheckBrowseMode();
  appending_ = append;
  if (!CanModify()) throw EDatabaseError("Cannot modify a read-only dataset");
  TziInitRecord();
  modified_ = false;
  SetState(TDataSetState::dsInsert);
  Notify(TDataEvent::deRecordChange);
}

void TTzPrimDataset::Append() {
  StartInsert(true);
}

void TTzPrimDataset::PostChanges() {
  const bool inserting = state_ == TDataSetState::dsInsert;
  // A failed write keeps the edit: the typed record is neither lost nor taken for stored.
  Check(inserting ? TziInsertRecord(appending_) : TziModifyRecord());
  state_ = TDataSetState::dsBrowse;
}

void TTzPrimDataset::Post() {
  CheckActive();
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
  PostChanges();
  Resync();
  Notify(TDataEvent::deUpdateState);
}

void TTzPrimDataset::Cancel() {
  CheckActive();
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
  state_ = TDataSetState::dsBrowse;
  Resync();
  Notify(TDataEvent::deUpdateState);
}

void TTzPrimDataset::CheckBrowseMode() {
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
  if (modified_) {
    Post();
  } else {
    Cancel();
  }
}

void TTzPrimDataset::Delete() {
  CheckActive();
  if (state_ == TDataSetState::dsInsert) {
    Cancel();
    return;
  }
  if (current_ == 0) throw EDatabaseError("Cannot perform this operation on an empty dataset");
  state_ = TDataSetState::dsBrowse;
  Check(TziDeleteRecord());
  Resync();
}

void TTzPrimDataset::Restore() {
  CheckActive();
  CheckBrowseMode();
  if (current_ == 0) throw EDatabaseError("Cannot perform this operation on an empty dataset");
  DoBeforeRestore();
  Check(TziRestoreRecord());
  Resync();
  DoAfterRestore();
}

void TTzPrimDataset::Resync() {
  if (!Active()) return;
  std::int32_t record = 0;
  const int code = TziGetRecord(record);
  if (code == 0) {
    TakeRecord(code, record);
  } else if (code == kTziAtBegin || code == kTziAtEnd) {
    current_ = 0;
    bof_ = code == kTziAtBegin || TziGetRecordCount() < 1;
    eof_ = code == kTziAtEnd || TziGetRecordCount() < 1;
  } else {
    Check(code);
  }
  Notify(TDataEvent::deDataSetChange);
}

void TTzPrimDataset::Refresh() {
  CheckActive();
  CheckBrowseMode();
  TziForceReread();
  Resync();
}

TField& TTzPrimDataset::Fields(std::int32_t index) {
  if (index < 0 || index >= FieldCount()) {
    throw EDatabaseError("List index out of bounds (" + std::to_string(index) + ")");
  }
  return *fields_[static_cast<std::size_t>(index)];
}

TField* TTzPrimDataset::FindField(const std::string& name) const {
  const std::string wanted = UpperStr(AllTrim(name));
  for (const auto& field : fields_) {
    if (UpperStr(field->FieldName()) == wanted) return field.get();
  }
  return nullptr;
}

TField& TTzPrimDataset::FieldByName(const std::string& name) const {
  TField* field = FindField(name);
  if (field == nullptr) throw EDatabaseError(name_ + ": Field '" + name + "' not found");
  return *field;
}

bool TTzPrimDataset::Locate(const std::string& keyFields,
                            const std::vector<LocateVariant>& keyValues, TLocateOptions options) {
  CheckActive();
  CheckBrowseMode();
  const bool found = TziLocate(keyFields, keyValues, options);
  if (found) Resync();
  return found;
}

std::vector<std::string> TTzPrimDataset::Lookup(const std::string& keyFields,
                                                const std::vector<LocateVariant>& keyValues,
                                                const std::string& resultFields) {
  CheckActive();
  CheckBrowseMode();
  std::vector<std::string> results;
  if (!TziLookup(keyFields, keyValues, resultFields, results)) results.clear();
  return results;
}

int TTzPrimDataset::AddListener(Listener listener) {
  listeners_.emplace_back(nextListener_, std::move(listener));
  return nextListener_++;
}

void TTzPrimDataset::RemoveListener(int id) {
  std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

bool TTzPrimDataset::GetFieldData(const TField& field, TFieldValue& value) {
  CheckActive();
  return TziGetFieldData(field, value);
}

void TTzPrimDataset::SetFieldData(TField& field, const TFieldValue* value) {
  CheckActive();
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) {
    throw EDatabaseError("Dataset not in edit or insert mode");
  }
  TziSetFieldData(field, value);
  modified_ = true;
  Notify(TDataEvent::deFieldChange, &field);
}

}  // namespace dadav
