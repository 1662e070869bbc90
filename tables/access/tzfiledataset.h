#pragma once
// The file dataset over a DBF table on disk, and the component that publishes its settings: it
// opens the table with its options (read-only, exclusive, created when missing), writes records
// under the table's locks with events that let the application retry a refused lock, and hands
// the table's delimited-text import and export and its locks through.

#include <cstdint>
#include <functional>
#include <string>

#include "tables/access/tzcdataset.h"

namespace dadav {

class TTzFileDataSet;

// A refused lock: set retry to try again.
using TTzLockFailedEvent = std::function<void(TTzFileDataSet& sender, bool& retry)>;

class TTzFileDataSet : public TTzCDataSet {
 public:
  explicit TTzFileDataSet(std::string name);

  // While the table opens, its record count comes from the file size instead of the header.
  bool AutoFixRecCount = false;
  // A missing table is created from DbfFields before it opens.
  bool CreateIfNotFound = true;
  bool Exclusive() const { return exclusive_; }
  // An open dataset is opened again.
  void SetExclusive(bool exclusive);

  TTzLockFailedEvent OnALockFailedOnInsert;
  TTzLockFailedEvent OnRLockFailedOnDelete;
  TTzLockFailedEvent OnRLockFailedOnPost;
  TTzLockFailedEvent OnRLockFailedOnRestore;

  void Peek(std::int32_t field, std::int32_t record, std::string& text);
  std::int32_t AppendFromDelimited(const std::string& name);
  std::int32_t CopyToDelimited(const std::string& name);
  bool ALock();
  bool FLock();
  void UnLock();

 protected:
  void OpenTable() override;
  bool LockedInsert() override;
  bool LockedDelete() override;
  bool LockedRestore() override;
  bool LockedPost() override;

 private:
  bool CreateMissingTable();
  // Tries the lock until it is granted, or the event (or the message without one) gives up.
  bool LockWithRetry(bool (*lock)(), const TTzLockFailedEvent& event, const char* what);

  bool exclusive_ = false;
};

// The component the browse form holds: the file dataset with the published defaults.
class TTzDbf : public TTzFileDataSet {
 public:
  explicit TTzDbf(std::string name) : TTzFileDataSet(std::move(name)) {}
};

}  // namespace dadav
