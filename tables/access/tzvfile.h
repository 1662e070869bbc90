#pragma once
// The dataset over a virtual file: records held in memory by the virtual-file module in a work
// area, with the structure of the dataset's DbfFields. The published component fills itself
// from its DBF file when it opens, writes itself back there when it closes after changes, and
// keeps its records in FIFO, LIFO, insertion or sorted order with a key from its event.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tables/access/tzcdataset.h"
#include "tables/core/workarea.h"

namespace dadav {

// The field list of a virtual file and the record size it takes.
std::vector<FieldDescriptor> VirtualFields(const std::vector<std::string>& dbfFields);
std::uint16_t VirtualRecordSize(const std::vector<FieldDescriptor>& fields);

class TTzLLDataSet : public TTzCDataSet {
 public:
  explicit TTzLLDataSet(std::string name);
  ~TTzLLDataSet() override;

  bool Modified() const { return modified_; }
  // The USE command the last open issued.
  const std::string& UseCommand() const { return useCommand_; }

 protected:
  void OpenTable() override;
  bool NeedsFileName() const override { return false; }
  bool LockedInsert() override;
  bool LockedDelete() override;
  bool LockedRestore() override;
  bool LockedPost() override;
  bool MemoAsInteger() override { return true; }
  void SetModified() override { modified_ = true; }
  // The list mode the USE command names: 3 and 4 sorted.
  virtual std::uint8_t OpenMode() const { return 0; }
  std::vector<FieldDescriptor>& Fields() { return fields_; }
  std::vector<std::uint8_t>& Buffer() { return buffer_; }
  void ClearModified() { modified_ = false; }

 private:
  std::vector<FieldDescriptor> fields_;
  std::vector<std::uint8_t> buffer_;
  std::string useCommand_;
  bool modified_ = false;
};

class TTzVFile : public TTzLLDataSet {
 public:
  explicit TTzVFile(std::string name);
  ~TTzVFile() override;

  // 0 FIFO, 1 LIFO, 2 INSERTION, 3 ascending, 4 descending.
  std::uint8_t AppendMode() const { return appendMode_; }
  void SetAppendMode(std::uint8_t mode);
  bool PopulateFromDisk = false;
  bool SaveToDisk = false;
  // The sort key of the record in the buffer; without it the text of field 1.
  std::function<void(TTzVFile& sender, std::string& key)> KeyMaker;

  // The records of the DBF file named by DbfFileName appended (deleted ones left out while
  // hidden); nothing when there is no such file.
  virtual void LoadFromDisk();
  // The records written to the DBF file as a complete new table, under the table's exclusive
  // use; the old file stays until the new one is whole, or, where no new table can take its place,
  // owner, group or attributes, is written in place. False after an error, which is reported.
  virtual bool WriteToDisk();

 protected:
  void OpenTable() override;
  void AfterClose() override;
  std::uint8_t OpenMode() const override { return appendMode_; }

 private:
  friend void VFileKey(void* userData, std::string& key);
  void InstallKey();

  std::uint8_t appendMode_ = 0;
};

}  // namespace dadav
