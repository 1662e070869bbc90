// The virtual-file datasets: opening a list under a unique alias, the writes without locks, the
// list modes and the load from and save to the DBF file.

#include "tables/access/tzvfile.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/files/newoutput.h"
#include "platform/files/osfiles.h"
#include "tables/core/bulkprogress.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/modules/vfile/vfile.h"
#include "tables/modules/vfile/vfilesort.h"

namespace dadav {

namespace {

constexpr std::uint8_t kInsertionMode = 2;
constexpr std::uint8_t kAscending = 3;
constexpr std::uint8_t kDescending = 4;
constexpr std::int32_t kProgressMinimum = 100;

// The progress window of a load or save over count records.
class RecordProgress {
 public:
  RecordProgress(bool show, std::int32_t count, const std::string& text)
      : show_(show && count >= kProgressMinimum && ProgressWindow.open != nullptr),
        every_(std::max(count / 100, 1)) {
    if (show_) ProgressWindow.open(text);
  }
  ~RecordProgress() {
    if (show_ && ProgressWindow.close != nullptr) ProgressWindow.close();
  }
  RecordProgress(const RecordProgress&) = delete;
  RecordProgress& operator=(const RecordProgress&) = delete;
  void Count() {
    if (show_ && ++done_ % every_ == 0 && ProgressWindow.step != nullptr) ProgressWindow.step();
  }

 private:
  bool show_;
  std::int32_t every_;
  std::int32_t done_ = 0;
};

// The engine's reporting switched off for a block of steps whose errors are taken afterwards.
class QuietErrors {
 public:
  QuietErrors() : reporting_(SetReportErrors(false)) {}
  ~QuietErrors() { SetReportErrors(reporting_); }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

 private:
  bool reporting_;
};

// A unique alias: the millisecond counter once it moved on, so two files opened one after the
// other never share it.
std::string UniqueAlias() {
  const std::uint32_t start = TickCount();
  std::uint32_t now = start;
  while (now == start) now = TickCount();
  return "*" + std::to_string(now & 0x7FFFFFFF) + "*";
}

void CopyNative(std::uint8_t from, std::uint8_t to) {
  const WorkArea& source = *WorkAreaTable[from];
  WorkArea& target = *WorkAreaTable[to];
  std::memcpy(target.native, source.native, std::min(source.nativeSize, target.nativeSize));
}

}  // namespace

std::vector<FieldDescriptor> VirtualFields(const std::vector<std::string>& dbfFields) {
  std::vector<FieldDescriptor> fields = ParseDbfFields(dbfFields);
  for (FieldDescriptor& f : fields) {
    if (f.type != 'M') continue;
    f.type = 'N';
    f.length = 10;
    f.decimals = 0;
    f.memoReference = true;
  }
  return fields;
}

std::uint16_t VirtualRecordSize(const std::vector<FieldDescriptor>& fields) {
  std::size_t size = 1;
  for (const FieldDescriptor& f : fields) size += NativeFieldSize(f);
  return static_cast<std::uint16_t>(std::min<std::size_t>(size, 0xFFFF));
}

TTzLLDataSet::TTzLLDataSet(std::string name) : TTzCDataSet(std::move(name)) {}

TTzLLDataSet::~TTzLLDataSet() {
  try {
    Close();
  } catch (const std::exception&) {
    // Closing a list in memory cannot be undone; a save error was reported while it closed.
  }
}

void TTzLLDataSet::OpenTable() {
  {
    QuietErrors quiet;
    fields_ = VirtualFields(DbfFields);
  }
  buffer_.assign(VirtualRecordSize(fields_), 0);
  useCommand_ = UniqueAlias() + " VIRTUAL FILE";
  if (OpenMode() == kAscending) useCommand_ += " ASCENDING";
  if (OpenMode() == kDescending) useCommand_ += " DESCENDING";
  USE(useCommand_, buffer_.data(), static_cast<std::uint16_t>(buffer_.size()));
  if (LastErrorCode == 0) AddStru(fields_);
  modified_ = false;
}

bool TTzLLDataSet::LockedInsert() {
  AreaSelect("Append");
  const bool plainAppend = InsertAppends() && Get_VFileMode() == kInsertionMode;
  // In insertion mode an append still goes to the end of the list.
  if (plainAppend) Set_VFileMode_To(0);
  dadav::Append();
  if (plainAppend) Set_VFileMode_To(kInsertionMode);
  SkipToVisible();
  SetModified();
  return true;
}

bool TTzLLDataSet::LockedDelete() {
  AreaSelect("DeleteRec");
  DeleteRec();
  SetModified();
  return true;
}

bool TTzLLDataSet::LockedRestore() {
  AreaSelect("RecallRec");
  RecallRec();
  SetModified();
  return true;
}

bool TTzLLDataSet::LockedPost() {
  AreaSelect("Replace");
  Replace();
  SetModified();
  return true;
}

void VFileKey(void* userData, std::string& key) {
  auto& self = *static_cast<TTzVFile*>(userData);
  if (self.KeyMaker) {
    self.KeyMaker(self, key);
  } else {
    FieldAsText(1, key);
  }
}

TTzVFile::TTzVFile(std::string name) : TTzLLDataSet(std::move(name)) {}

TTzVFile::~TTzVFile() {
  try {
    Close();
  } catch (const std::exception&) {
    // See TTzLLDataSet's destructor.
  }
}

void TTzVFile::InstallKey() {
  Set_VFileKey_To(&VFileKey, this);
}

void TTzVFile::SetAppendMode(std::uint8_t mode) {
  appendMode_ = mode;
  if (!Active()) return;
  AreaSelect("SetAppendMode");
  if (mode == kAscending || mode == kDescending) {
    InstallKey();
    SortVFile(mode);
  } else {
    Set_VFileMode_To(mode);
  }
  First();
}

void TTzVFile::OpenTable() {
  TTzLLDataSet::OpenTable();
  if (LastErrorCode != 0 || Area() == nullptr) return;
  if (appendMode_ == kAscending || appendMode_ == kDescending) InstallKey();
  if (PopulateFromDisk) {
    const std::uint8_t area = CurrentArea();
    LoadFromDisk();
    Select(area);
    ClearModified();
  }
  if (appendMode_ == 1 || appendMode_ == kInsertionMode) Set_VFileMode_To(appendMode_);
}

void TTzVFile::LoadFromDisk() {
  if (DbfFileName().empty() || !FileExists(DbfFileName())) return;
  const std::uint8_t list = CurrentArea();
  Select(0);
  USE(DbfFileName());
  if (LastErrorCode != 0) {
    Select(list);
    return;
  }
  const std::uint8_t disk = CurrentArea();
  RecordProgress progress(ShowProgress, RecCount(), "Reading from disk...");
  GoTop();
  while (LastErrorCode == 0 && !dEOF()) {
    if (!(HideDeletedRecs() && Deleted())) {
      CopyNative(disk, list);
      Select(list);
      dadav::Append();
      Select(disk);
    }
    progress.Count();
    SKIP(1);
  }
  Select(disk);
  CloseArea();
  Select(list);
  GoTop();
}

bool TTzVFile::WriteToDisk() {
  if (DbfFileName().empty()) return true;
  const std::string target = DbfFileName();
  const std::uint8_t list = WorkArea();
  std::uint8_t held = 0;
  std::uint16_t code = 0;
  std::string message;
  {
    QuietErrors quiet;
    if (FileExists(target)) {
      Select(0);
      USE(target + " EXCLUSIVE");
      if (LastErrorCode != 0) {
        TakeLastMessage();
        Select(list);
        code = 32;
      } else {
        held = CurrentArea();
      }
    }
  }
  if (code != 0) {
    ReportError(code, "File sharing violation: " + target + " [SaveToDisk]");
    return false;
  }
  {
    QuietErrors quiet;
    // Held, the old table is ours alone: a new table a kill left under the fixed name is stale.
    platform::NewOutput output;
    bool created = platform::CreateNamedReplacement(target, held != 0, output) == 0;
    // Where no new table can take the old one's place, owner, group or attributes, the old one is
    // written in place, so that the table never changes hands.
    const bool inPlace = !created && held != 0 && platform::WrittenInPlaceInstead(errno);
    if (inPlace) {
      Select(held);
      CloseArea();
      held = 0;
      created = true;
    }
    const std::string temp = inPlace ? target : output.temp;
    LastErrorCode = 0;
    if (created) CreateDBF(temp, ParseDbfFields(DbfFields));
    std::uint8_t copy = 0;
    if (created && LastErrorCode == 0) {
      Select(0);
      USE(temp + " EXCLUSIVE");
      copy = LastErrorCode == 0 ? CurrentArea() : 0;
    }
    if (copy != 0) {
      Select(list);
      RecordProgress progress(ShowProgress, RecCount(), "Writing to disk...");
      GoTop();
      while (LastErrorCode == 0 && !dEOF()) {
        if (!(HideDeletedRecs() && Deleted())) {
          CopyNative(list, copy);
          Select(copy);
          dadav::Append();
          Select(list);
        }
        progress.Count();
        if (LastErrorCode == 0) SKIP(1);
      }
      code = LastErrorCode;
      message = TakeLastMessage();
      Select(copy);
      LastErrorCode = 0;
      CloseArea();
      if (code == 0) {
        code = LastErrorCode;
        message = TakeLastMessage();
      }
    } else {
      code = !created ? 5 : (LastErrorCode != 0 ? LastErrorCode : 5);
      message = TakeLastMessage();
    }
    if (held != 0) {
      Select(held);
      CloseArea();
    }
    if (code == 0 && !inPlace && platform::PlaceOutput(output, true) != 0) code = 5;
    if (code != 0) {
      platform::DropOutput(output);
      if (message.empty()) message = "Could not write " + target + " [SaveToDisk]";
    }
  }
  Select(list);
  if (code != 0) ReportError(code, message);
  return code == 0;
}

void TTzVFile::AfterClose() {
  if (SaveToDisk && Modified()) WriteToDisk();
  ClearModified();
}

}  // namespace dadav
