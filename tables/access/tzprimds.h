#pragma once
// The engine's dataset: a cursor over one table that the grid, the navigator and the browse form
// work on. It turns the dataset operations (moves, bookmarks, editing, typed fields, locate) into
// a small set of engine operations, the Tzi operations, that the derived datasets implement over
// a work area. There is one record buffer, the current record: a field written goes into it at
// once, and Post stores it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tables/access/tzfields.h"
#include "tables/core/dbf4locate.h"

namespace dadav {

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

enum class TDataEvent {
  deDataSetChange,
  deDataSetScroll,
  deRecordChange,
  deFieldChange,
  deUpdateState
};

// Engine codes of the dataset layer.
constexpr int kTziOpenFailed = 1401;
constexpr int kTziAtBegin = 1402;
constexpr int kTziAtEnd = 1403;
constexpr int kTziNoFileName = 1404;

// A record number; 0 is the nil bookmark.
using TBookmark = std::int32_t;

struct TLocateOptions {
  bool caseInsensitive = false;
  bool partialKey = false;
};

class TTzPrimDataset {
 public:
  using Listener = std::function<void(TDataEvent event, TField* field)>;

  explicit TTzPrimDataset(std::string name);
  virtual ~TTzPrimDataset();
  TTzPrimDataset(const TTzPrimDataset&) = delete;
  TTzPrimDataset& operator=(const TTzPrimDataset&) = delete;

  const std::string& Name() const { return name_; }

  void Open();
  void Close();
  bool Active() const { return state_ != TDataSetState::dsInactive; }
  void SetActive(bool active);
  TDataSetState State() const { return state_; }

  void First();
  void Last();
  void Next();
  void Prior();
  std::int32_t MoveBy(std::int32_t distance);
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  bool IsEmpty() const { return bof_ && eof_; }
  // The current record's number; 0 when there is none.
  std::int32_t RecNo() const { return current_; }
  void SetRecNo(std::int32_t record);
  std::int32_t RecordCount();
  // Index order active: records do not follow their numbers.
  virtual bool IsSequenced();

  TBookmark GetBookmark() const { return current_; }
  void GotoBookmark(TBookmark bookmark);
  bool BookmarkValid(TBookmark bookmark);
  int CompareBookmarks(TBookmark a, TBookmark b);

  virtual bool CanModify();
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  void Restore();
  // Ends a pending edit: posts it when a field was written, else cancels it, so that a record
  // nobody typed into is never stored.
  void CheckBrowseMode();
  // Reads the engine's position again, after a command moved it.
  void Resync();
  // Reads the current record from the file again.
  void Refresh();

  std::int32_t FieldCount() const { return static_cast<std::int32_t>(fields_.size()); }
  TField& Fields(std::int32_t index);  // 0-based
  // By name, compared without regard to case; nullptr when absent.
  TField* FindField(const std::string& name) const;
  TField& FieldByName(const std::string& name) const;

  // Field names separated by ";", one value each.
  bool Locate(const std::string& keyFields, const std::vector<LocateVariant>& keyValues,
              TLocateOptions options);
  // The result fields' texts of the record found, without moving; empty when none is found.
  std::vector<std::string> Lookup(const std::string& keyFields,
                                  const std::vector<LocateVariant>& keyValues,
                                  const std::string& resultFields);

  int AddListener(Listener listener);
  void RemoveListener(int id);

  // Field access for the fields: false for a field without a value.
  bool GetFieldData(const TField& field, TFieldValue& value);
  // Stores a value (nullptr: none) into the current record.
  void SetFieldData(TField& field, const TFieldValue* value);

 protected:
  virtual std::string ErrorTextOf(int code);
  virtual void TziSetToBegin() = 0;
  virtual void TziSetToEnd() = 0;
  virtual int TziOpen() = 0;
  virtual void TziClose() = 0;
  virtual std::int32_t TziGetRecordCount() = 0;
  virtual void TziForceReread() = 0;
  virtual int TziInsertRecord(bool append) = 0;
  virtual int TziDeleteRecord() = 0;
  virtual int TziRestoreRecord() = 0;
  virtual void TziInitRecord() = 0;
  virtual int TziModifyRecord() = 0;
  virtual int TziGetRecord(std::int32_t& record) = 0;
  virtual int TziGetNextRecord(std::int32_t& record) = 0;
  virtual int TziGetPriorRecord(std::int32_t& record) = 0;
  virtual bool TziGetFieldData(const TField& field, TFieldValue& value) = 0;
  virtual void TziSetFieldData(const TField& field, const TFieldValue* value) = 0;
  virtual void SafeGo(std::int32_t record) = 0;
  virtual bool TziLocate(const std::string& keyFields, const std::vector<LocateVariant>& values,
                         TLocateOptions options) = 0;
  virtual bool TziLookup(const std::string& keyFields, const std::vector<LocateVariant>& values,
                         const std::string& resultFields, std::vector<std::string>& results) = 0;
  virtual int TziCompareBookmarks(TBookmark a, TBookmark b) = 0;
  // Around Restore, for the restore events.
  virtual void DoBeforeRestore() {}
  virtual void DoAfterRestore() {}
  // The field objects of the open table, in field order.
  virtual std::vector<std::unique_ptr<TField>> InitFieldDefs() = 0;

  // Raises the failure of a Tzi operation's code (0 passes).
  void Check(int code);
  void Notify(TDataEvent event, TField* field = nullptr);
  void SetState(TDataSetState state);
  // Takes the record the engine stands on as the current one.
  void TakeRecord(int code, std::int32_t record);

 private:
  void CheckActive() const;
  void PostChanges();
  void StartInsert(bool append);

  std::string name_;
  TDataSetState state_ = TDataSetState::dsInactive;
  std::vector<std::unique_ptr<TField>> fields_;
  std::int32_t current_ = 0;
  bool bof_ = true;
  bool eof_ = true;
  bool appending_ = true;
  bool modified_ = false;
  std::vector<std::pair<int, Listener>> listeners_;
  int nextListener_ = 1;
};

// The text of a failed Tzi operation.
std::string DatasetErrorText(int code, const std::string& engineText);

}  // namespace dadav
