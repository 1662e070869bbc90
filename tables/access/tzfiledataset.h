#pragma once
// The file dataset over a DBF table on disk, and the component that publishes its settings: it
// opens the table with its options (read-only, exclusive, created when missing), writes records
// under the table's locks with events that let the application retry a refused lock, and hands
// the table's delimited-text import and export and its locks through.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tables/access/tzcdataset.h"

namespace dadav {

class TTzFileDataSet;
class TTzBlobStream;

// When the indexes of IndexList are built at open.
enum class TCreateIndexType { ciNotFound, ciAlways, ciVerifyHeader, ciNever };

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

  TCreateIndexType CreateIndex = TCreateIndexType::ciNotFound;
  // Lines "order,key expression,index file"; order and expression may be left out.
  std::vector<std::string> IndexList;
  // May refuse the build of the named index file.
  std::function<void(TTzFileDataSet& sender, const std::string& file, bool& build)>
      OnBeforeMakeIndex;
  std::function<void(TTzFileDataSet& sender, const std::string& file)> OnAfterMakeIndex;

  TTzLockFailedEvent OnALockFailedOnInsert;
  TTzLockFailedEvent OnRLockFailedOnDelete;
  TTzLockFailedEvent OnRLockFailedOnPost;
  TTzLockFailedEvent OnRLockFailedOnRestore;

  // Builds the index and makes it the controlling one.
  virtual void IndexOn(const std::string& keyExpression, const std::string& indexFile);
  // The blank-separated index files, the first controlling.
  virtual void SetIndexTo(const std::string& indexFiles);
  void SetIndexToLFN(const std::string& indexFiles) { SetIndexTo(indexFiles); }
  // Seeks the key (cut to 100 characters) on the controlling index: true when found; a key
  // found by its start counts unless FindExact.
  bool Find(const std::string& key);
  bool FindExact(const std::string& key);
  bool IsSequenced() override;

  // A stream over the memo or blob of the field in the current record.
  std::unique_ptr<TTzBlobStream> CreateBlobStream(TField& field, bool forWriting);

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
  bool TziLocate(const std::string& keyFields, const std::vector<LocateVariant>& values,
                 TLocateOptions options) override;

 private:
  bool CreateMissingTable();
  // The indexes of IndexList by the CreateIndex rule; false after an error, which is reported.
  bool OpenIndexList();
  bool BuildIndex(const std::string& expression, const std::string& file);
  bool SeekKey(const std::string& key, bool exact);
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
