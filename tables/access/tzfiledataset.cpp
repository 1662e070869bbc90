// Opening a DBF table for the file dataset, and its locked writes.

#include "tables/access/tzfiledataset.h"

#include "tables/access/tzblobstream.h"

#include "platform/files/blockfile.h"
#include "platform/ui/dialog.h"
#include "tables/core/bulkprogress.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4delim.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tzprogress.h"
#include "tables/core/tztext.h"
#include "tables/modules/ndx/ndxindex.h"
#include "tables/modules/ndx/ndxmanage.h"
#include "tables/modules/ndx/ndxsearch.h"

namespace dadav {

namespace {

void ShowFileMessage(const std::string& text) {
  platform::Dialogs().ShowBox({platform::ApplicationTitle(), text, platform::MessageButtons::Ok,
                               platform::MessageIcon::Warning});
}

// Puts a setting back however the open ends.
template <class T>
class Restored {
 public:
  Restored(T& setting, T value) : setting_(setting), old_(setting) { setting_ = value; }
  ~Restored() { setting_ = old_; }
  Restored(const Restored&) = delete;
  Restored& operator=(const Restored&) = delete;

 private:
  T& setting_;
  T old_;
};

// After a locked write: a failed one releases its lock and keeps the write's error for the
// caller; a done one moves off a record the view hides, releasing the lock unless it still
// stands on one. True when nothing failed.
bool FinishLockedWrite() {
  const std::uint16_t code = LastErrorCode;
  if (code != 0) {
    Unlock();
    LastErrorCode = code;
    return false;
  }
  SkipToVisible();
  if (RecordVisible()) Unlock();
  return LastErrorCode == 0;
}

}  // namespace

TTzFileDataSet::TTzFileDataSet(std::string name) : TTzCDataSet(std::move(name)) {}

void TTzFileDataSet::SetExclusive(bool exclusive) {
  const bool reopen = Active();
  if (reopen) Close();
  exclusive_ = exclusive;
  if (reopen) Open();
}

bool TTzFileDataSet::CreateMissingTable() {
  if (DbfFields.empty()) {
    ShowFileMessage("FieldList.Count is <= 0 trying to create a database");
    return false;
  }
  const bool reporting = SetReportErrors(false);
  LastErrorCode = 0;
  CreateDBF(DbfFileName(), ParseDbfFields(DbfFields));
  SetReportErrors(reporting);
  if (LastErrorCode == 0 && FileExists(DbfFileName())) return true;
  TakeLastMessage();
  ShowFileMessage("Could not create \"" + DbfFileName() + "\"");
  return false;
}

void TTzFileDataSet::OpenTable() {
  if (CreateIfNotFound && !FileExists(DbfFileName()) && !CreateMissingTable()) return;
  std::string command = DbfFileName();
  if (exclusive_) command += " EXCLUSIVE";
  if (!AllTrim(Name()).empty()) command += " ALIAS " + AllTrim(Name());
  const Restored<bool> countFromSize(CountFromFileSize, AutoFixRecCount);
  const std::uint16_t forced =
      ReadOnly() ? (exclusive_ ? platform::kModeExclusiveRead : platform::kModeSharedRead)
                 : ForcedOpenMode;
  const Restored<std::uint16_t> openMode(ForcedOpenMode, forced);
  USE(command);
  if (LastErrorCode == 0 && Area() != nullptr && !OpenIndexList()) CloseArea();
}

namespace {

constexpr std::size_t kMaxKeyLength = 100;

struct IndexLine {
  std::string expression;
  std::string file;
};

// "order,expression,file", "expression,file" or "file".
IndexLine ParseIndexLine(const std::string& line) {
  IndexLine parsed;
  const std::size_t last = line.rfind(',');
  parsed.file = AllTrim(last == std::string::npos ? line : line.substr(last + 1));
  if (last != std::string::npos) {
    const std::string front = line.substr(0, last);
    const std::size_t first = front.find(',');
    parsed.expression = AllTrim(first == std::string::npos ? front : front.substr(first + 1));
  }
  if (parsed.file.size() > kMaxKeyLength) parsed.file.resize(kMaxKeyLength);
  return parsed;
}

bool RebuildAfterOpenError(std::uint16_t code) {
  return code == 2 || code == 222 || code == 223;
}

}  // namespace

bool TTzFileDataSet::BuildIndex(const std::string& expression, const std::string& file) {
  bool build = true;
  if (OnBeforeMakeIndex) OnBeforeMakeIndex(*this, file, build);
  if (!build) return true;
  if (ShowProgress && ProgressWindow.open != nullptr)
    ProgressWindow.open("Indexing " + file + "...");
  LastErrorCode = 0;
  MakeIndexExpr(expression, file);
  if (ShowProgress && ProgressWindow.close != nullptr) ProgressWindow.close();
  if (LastErrorCode != 0) return false;
  if (OnAfterMakeIndex) OnAfterMakeIndex(*this, file);
  return true;
}

bool TTzFileDataSet::OpenIndexList() {
  std::string names;
  for (const std::string& line : IndexList) {
    if (AllTrim(line).empty()) continue;
    const IndexLine index = ParseIndexLine(line);
    bool build = CreateIndex == TCreateIndexType::ciAlways;
    if (CreateIndex == TCreateIndexType::ciVerifyHeader) {
      const bool reporting = SetReportErrors(false);
      build = IndexRecCount(index.file) != RecCount();
      LastErrorCode = 0;
      SetReportErrors(reporting);
    }
    if (!build) {
      const bool reporting = SetReportErrors(false);
      LastErrorCode = 0;
      dadav::SetIndexTo(index.file, 1, nullptr, nullptr);
      const std::uint16_t code = LastErrorCode;
      TakeLastMessage();
      LastErrorCode = 0;
      SetReportErrors(reporting);
      CloseIndexes();
      build = code != 0 && RebuildAfterOpenError(code) && CreateIndex != TCreateIndexType::ciNever;
      if (code != 0 && !build) {
        ReportError(code, "Cannot open index " + index.file + " [" + Name() + ".OpenTable]");
        return false;
      }
    }
    if (build && !BuildIndex(index.expression, index.file)) return false;
    names += index.file + " ";
  }
  if (names.empty()) return true;
  LastErrorCode = 0;
  CloseAndSetIndexTo(names);
  return LastErrorCode == 0;
}

bool TTzFileDataSet::LockWithRetry(bool (*lock)(), const TTzLockFailedEvent& event,
                                   const char* what) {
  while (!lock()) {
    if (!event) {
      ShowFileMessage(std::string("Lock failed [") + what + "]");
      return false;
    }
    bool retry = false;
    event(*this, retry);
    if (!retry) return false;
  }
  return true;
}

bool TTzFileDataSet::LockedInsert() {
  if (!CanModify()) return false;
  AreaSelect("s_AppendWithLock");
  if (!LockWithRetry(&dadav::ALock, OnALockFailedOnInsert, "Insert")) return false;
  dadav::Append();
  return FinishLockedWrite();
}

bool TTzFileDataSet::LockedDelete() {
  if (!CanModify()) return false;
  AreaSelect("s_DeleteWithLock");
  if (!LockWithRetry(&RLock, OnRLockFailedOnDelete, "Delete")) return false;
  DeleteRec();
  return FinishLockedWrite();
}

bool TTzFileDataSet::LockedRestore() {
  if (!CanModify()) return false;
  AreaSelect("s_RestoreWithLock");
  if (!LockWithRetry(&RLock, OnRLockFailedOnRestore, "Restore")) return false;
  RecallRec();
  Unlock();
  return true;
}

bool TTzFileDataSet::LockedPost() {
  if (!CanModify()) return false;
  AreaSelect("s_ReplaceWithLock");
  if (!LockWithRetry(&RLock, OnRLockFailedOnPost, "Post")) return false;
  Replace();
  return FinishLockedWrite();
}

void TTzFileDataSet::IndexOn(const std::string& keyExpression, const std::string& indexFile) {
  CheckBrowseMode();
  Command("IndexOn", [&] { IndexOnExpr(keyExpression, indexFile); });
  MarkersOff();
  Resync();
}

void TTzFileDataSet::SetIndexTo(const std::string& indexFiles) {
  CheckBrowseMode();
  Command("SetIndexTo", [&] { CloseAndSetIndexTo(indexFiles); });
  MarkersOff();
  Resync();
}

bool TTzFileDataSet::SeekKey(const std::string& key, bool exact) {
  CheckBrowseMode();
  bool found = false;
  Command("Find", [&] {
    const bool old = exact ? SetFindExact() : ClearFindExact();
    dadav::Find(key.substr(0, kMaxKeyLength));
    found = FindFound;
    if (old) {
      SetFindExact();
    } else {
      ClearFindExact();
    }
  });
  MarkersOff();
  Resync();
  return found;
}

bool TTzFileDataSet::Find(const std::string& key) {
  return SeekKey(key, false);
}

bool TTzFileDataSet::FindExact(const std::string& key) {
  return SeekKey(key, true);
}

bool TTzFileDataSet::IsSequenced() {
  if (WorkArea() == 0) return true;
  AreaSelect("IsSequenced");
  return !Indexed();
}

bool TTzFileDataSet::TziLocate(const std::string& keyFields,
                               const std::vector<LocateVariant>& values, TLocateOptions options) {
  AreaSelect("TziLocate");
  if (!Indexed() || values.empty() || !std::holds_alternative<std::string>(values[0])) {
    return TTzCDataSet::TziLocate(keyFields, values, options);
  }
  const std::string& key = std::get<std::string>(values[0]);
  return options.partialKey ? Find(key) : FindExact(key);
}

std::unique_ptr<TTzBlobStream> TTzFileDataSet::CreateBlobStream(TField& field, bool forWriting) {
  AreaSelect("CreateBlobStream");
  return std::make_unique<TTzBlobStream>(
      *this, field, forWriting ? TBlobStreamMode::bmWrite : TBlobStreamMode::bmRead);
}

void TTzFileDataSet::Peek(std::int32_t field, std::int32_t record, std::string& text) {
  AreaSelect("Peek");
  dadav::Peek(field, record, text);
}

std::int32_t TTzFileDataSet::AppendFromDelimited(const std::string& name) {
  const bool wasEmpty = RecordCount() == 0;
  std::int32_t appended = 0;
  Command("AppendFromDelimited",
          [&] { appended = dadav::AppendFromDelimited(name, ShowProgress); });
  if (wasEmpty) {
    First();
  } else {
    MarkersOff();
    Resync();
  }
  return appended;
}

std::int32_t TTzFileDataSet::CopyToDelimited(const std::string& name) {
  CheckBrowseMode();
  const std::int32_t here = RecNo();
  std::int32_t written = 0;
  Command("CopyToDelimited", [&] { written = dadav::CopyToDelimited(name); });
  // The copy runs through the whole table; the user's record stays the current one.
  if (here != 0) SafeGo(here);
  MarkersOff();
  Resync();
  return written;
}

bool TTzFileDataSet::ALock() {
  AreaSelect("ALock");
  return dadav::ALock();
}

bool TTzFileDataSet::FLock() {
  AreaSelect("FLock");
  return dadav::FLock();
}

void TTzFileDataSet::UnLock() {
  AreaSelect("UnLock");
  Unlock();
}

}  // namespace dadav
