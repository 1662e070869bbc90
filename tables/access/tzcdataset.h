#pragma once
// The command dataset: the xBase commands the browse form and the table access procedures call
// directly (append, append from, pack, go, search, field names and texts, fields by name). Each
// selects the dataset's work area first and afterwards puts the dataset on the engine's position.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tables/access/tzdataset.h"
#include "tables/core/workarea.h"

namespace dadav {

// The texts between the commas of a line: one more than it has commas.
std::vector<std::string> SplitCommas(const std::string& line);

// The field definitions of lines "NAME,C,20,0"; a line of type X is skipped, each definition
// normalised as a stored one; parsing stops at the first line without exactly three commas.
std::vector<FieldDescriptor> ParseDbfFields(const std::vector<std::string>& lines);

class TTzCDataSet : public TTzDataSet {
 public:
  explicit TTzCDataSet(std::string name);

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  bool CanModify() override;
  bool ShowProgress = false;
  // Definitions of tables and virtual files this dataset creates.
  std::vector<std::string> DbfFields;
  std::function<void(TTzCDataSet&)> BeforeRestore;
  std::function<void(TTzCDataSet&)> AfterRestore;
  // Called on every change of the current record's values or position.
  std::function<void(TTzCDataSet&)> OnChange;

  // Appends the current record as it stands and ends its edit without posting it; false when
  // the append failed (its error stays with the engine).
  bool AppendRec();
  void AppendFrom(const std::string& source);
  bool Pack();
  // Name of field n, cut to 10 characters.
  void Field(std::int32_t n, std::string& name);
  std::int32_t FieldLen(std::int32_t n);
  // Onto a record the view hides: on to the next visible one.
  void Go(std::int32_t record);
  void Search(const std::string& text, std::int32_t& field, bool fromTop);
  // The field's value as text.
  void SField(std::int32_t n, std::string& text);
  // Whether the current record is marked deleted.
  bool RecordDeleted();

  // By name (cut to 10 characters); a write puts the dataset into edit state first.
  std::string GetFieldStr(const std::string& name);
  bool GetFieldBool(const std::string& name);
  void PutFieldStr(const std::string& name, const std::string& text);
  void PutFieldFloat(const std::string& name, double value);
  void PutFieldInt(const std::string& name, std::int64_t value);
  void PutFieldBool(const std::string& name, bool value);

 protected:
  void DoBeforeRestore() override;
  void DoAfterRestore() override;
  // Runs a command on the dataset's area and puts the dataset on the area's position after it,
  // also when the engine raised an error.
  template <class Body>
  void Command(const char* operation, Body body);
  TField& WritableField(const std::string& name);

 private:
  bool readOnly_ = false;
};

template <class Body>
void TTzCDataSet::Command(const char* operation, Body body) {
  AreaSelect(operation);
  try {
    body();
  } catch (...) {
    MarkersOff();
    Resync();
    throw;
  }
}

}  // namespace dadav
