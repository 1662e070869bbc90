// Opening a DBF table for the file dataset, and its locked writes.

#include "tables/access/tzfiledataset.h"

#include "platform/blockfile.h"
#include "platform/dialog.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4delim.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tztext.h"

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

bool UnlockIfVisible() {
  const bool visible = RecordVisible();
  if (visible) Unlock();
  return visible;
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
  SkipToVisible();
  UnlockIfVisible();
  return true;
}

bool TTzFileDataSet::LockedDelete() {
  if (!CanModify()) return false;
  AreaSelect("s_DeleteWithLock");
  if (!LockWithRetry(&RLock, OnRLockFailedOnDelete, "Delete")) return false;
  DeleteRec();
  SkipToVisible();
  UnlockIfVisible();
  return true;
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
  SkipToVisible();
  UnlockIfVisible();
  return true;
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
  std::int32_t written = 0;
  Command("CopyToDelimited", [&] { written = dadav::CopyToDelimited(name); });
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
