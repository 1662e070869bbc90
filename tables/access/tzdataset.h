#pragma once
// The dataset over one work area: the Tzi operations on the xBase commands of the current area,
// the field properties of the open table and the field objects made from them, and the engine's
// date settings taken from the user's regional settings.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/system/regional.h"
#include "tables/access/tzprimds.h"

namespace dadav {

enum class TTzTableLanguage { tlOem, tlAnsi };

// One field as the dataset sees it.
struct TDbfFieldProp {
  std::string name;
  char type = 'C';
  std::int32_t length = 0;
  std::int32_t decimals = 0;
  friend bool operator==(const TDbfFieldProp&, const TDbfFieldProp&) = default;
};
using TDbfFieldProps = std::vector<TDbfFieldProp>;

// The definition a dataset uses for a stored one: B, G and P become M; N at most 20 long with
// at most 18 decimals and 2 places before them; C below 255; unknown letters count as C. True
// when it had to be corrected.
bool NormalizeFieldProp(TDbfFieldProp& prop);
// "Invalid field definition for ...": the dataset, the field before and after.
std::string InvalidFieldDefinitionText(const std::string& dataset, const TDbfFieldProp& before,
                                       const TDbfFieldProp& after);

// The platform's query of the user's regional settings; tests put their own in.
using RegionalSettingsQuery = platform::RegionalSettings (*)();
void SetRegionalSettingsQuery(RegionalSettingsQuery query);
// The date picture of a short date format: day first 3 with "-", 5 with ".", else 2; year first 1;
// any other 0.
std::uint8_t DatePictureOf(const platform::RegionalSettings& settings);
// The dataset unit's start, after EngineStart: the engine's date separator, decimal character,
// century switch and date picture from the regional settings.
void DatasetUnitStart();

class TTzDataSet : public TTzPrimDataset {
 public:
  explicit TTzDataSet(std::string name);
  ~TTzDataSet() override;

  const std::string& DbfFileName() const { return dbfFileName_; }
  // A name without extension gets ".DBF"; an open dataset is opened again on the new file.
  void SetDbfFileName(const std::string& name);
  bool HideDeletedRecs() const { return hideDeletedRecs_; }
  void SetHideDeletedRecs(bool hide);
  TTzTableLanguage TableLanguage() const { return tableLanguage_; }
  void SetTableLanguage(TTzTableLanguage language) { tableLanguage_ = language; }
  std::uint8_t WorkArea() const { return area_; }
  const TDbfFieldProps& FieldProps() const { return props_; }
  bool IsSequenced() override;

 protected:
  // Makes the dataset's area current; without one reports 1103 and ends the action.
  virtual void AreaSelect(const char* operation);
  virtual void OpenTable() = 0;
  // A dataset without a file of its own opens without a name.
  virtual bool NeedsFileName() const { return true; }
  // The writes under their locks; false when nothing was written.
  virtual bool LockedInsert() = 0;
  virtual bool LockedDelete() = 0;
  virtual bool LockedRestore() = 0;
  virtual bool LockedPost() = 0;
  virtual bool MemoAsInteger() { return false; }
  virtual void SetModified() {}
  // Runs while the dataset closes, before its area goes.
  virtual void AfterClose() {}
  // Whether the insert being stored is an append (to the end) rather than an insert.
  bool InsertAppends() const { return insertAppends_; }
  // The before-first and after-last markers off, after a command moved the area.
  void MarkersOff() { beforeFirst_ = afterLast_ = false; }
  // The current engine error as the code of a Tzi operation.
  static int EngineCode();

  void TziSetToBegin() override;
  void TziSetToEnd() override;
  int TziOpen() override;
  void TziClose() override;
  std::int32_t TziGetRecordCount() override;
  void TziForceReread() override;
  int TziInsertRecord(bool append) override;
  int TziDeleteRecord() override;
  int TziRestoreRecord() override;
  void TziInitRecord() override;
  int TziModifyRecord() override;
  int TziGetRecord(std::int32_t& record) override;
  int TziGetNextRecord(std::int32_t& record) override;
  int TziGetPriorRecord(std::int32_t& record) override;
  bool TziGetFieldData(const TField& field, TFieldValue& value) override;
  void TziSetFieldData(const TField& field, const TFieldValue* value) override;
  void SafeGo(std::int32_t record) override;
  bool TziLocate(const std::string& keyFields, const std::vector<LocateVariant>& values,
                 TLocateOptions options) override;
  bool TziLookup(const std::string& keyFields, const std::vector<LocateVariant>& values,
                 const std::string& resultFields, std::vector<std::string>& results) override;
  int TziCompareBookmarks(TBookmark a, TBookmark b) override;
  std::vector<std::unique_ptr<TField>> InitFieldDefs() override;

 private:
  void ReadFieldProps();

  std::string dbfFileName_;
  bool hideDeletedRecs_ = false;
  TTzTableLanguage tableLanguage_ = TTzTableLanguage::tlOem;
  std::uint8_t area_ = 0;
  TDbfFieldProps props_;
  bool beforeFirst_ = false;
  bool afterLast_ = false;
  bool insertAppends_ = true;
};

}  // namespace dadav
