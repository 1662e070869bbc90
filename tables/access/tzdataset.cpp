// The Tzi operations over a work area, the field properties and the regional date settings.

#include "tables/access/tzdataset.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/ui/dialog.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tztext.h"
#include "tables/modules/expr/exprdates.h"

namespace dadav {

namespace {

RegionalSettingsQuery regionalQuery = &platform::UserRegionalSettings;

void ShowDatasetMessage(const std::string& text) {
  platform::Dialogs().ShowBox({platform::ApplicationTitle(), text, platform::MessageButtons::Ok,
                               platform::MessageIcon::Information});
}

std::string PropText(const TDbfFieldProp& prop) {
  return prop.name + "," + std::string(1, prop.type) + "," + std::to_string(prop.length) + "," +
         std::to_string(prop.decimals);
}

const FieldDescriptor& Descriptor(const TField& field) {
  return Area()->fields[static_cast<std::size_t>(field.FieldNo() - 1)];
}

template <class T>
T Load(const std::uint8_t* p) {
  T value{};
  std::memcpy(&value, p, sizeof value);
  return value;
}

template <class T>
void Store(std::uint8_t* p, T value) {
  std::memcpy(p, &value, sizeof value);
}

std::string NativeText(const std::uint8_t* p) {
  return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

void PutNativeText(std::uint8_t* p, const std::string& text, std::size_t room) {
  const std::size_t length = std::min(text.size(), room);
  p[0] = static_cast<std::uint8_t>(length);
  std::memcpy(p + 1, text.data(), length);
}

bool ReadNumber(const FieldDescriptor& f, const std::uint8_t* p, TFieldValue& value) {
  if (f.decimals > 0) {
    value.real = Load<double>(p);
  } else if (NativeFieldSize(f) == 8) {
    value.integer = Load<std::int64_t>(p);
  } else {
    value.integer = Load<std::int32_t>(p);
  }
  return true;
}

void WriteNumber(const FieldDescriptor& f, std::uint8_t* p, const TFieldValue& value) {
  if (f.decimals > 0) {
    Store(p, value.real);
  } else if (NativeFieldSize(f) == 8) {
    Store(p, value.integer);
  } else {
    Store(p, static_cast<std::int32_t>(
                 std::clamp<std::int64_t>(value.integer, std::numeric_limits<std::int32_t>::min(),
                                          std::numeric_limits<std::int32_t>::max())));
  }
}

// A date value into its native text; a value that is no date shows a message and is stored blank.
void WriteDate(const FieldDescriptor& f, std::uint8_t* p, double julian) {
  std::string text = BlankDate(DateFormat);
  if (julian != 0) {
    std::string date = JulianToDtoc(julian);
    if (ValidDate(date)) {
      text = date;
    } else {
      ShowDatasetMessage("        Invalid date       ");
    }
  }
  PutNativeText(p, text, static_cast<std::size_t>(f.length) + 2);
}

}  // namespace

bool NormalizeFieldProp(TDbfFieldProp& prop) {
  const TDbfFieldProp before = prop;
  if (prop.type == 'B' || prop.type == 'G' || prop.type == 'P') prop.type = 'M';
  if (std::strchr("CDFLMN", prop.type) == nullptr || prop.type == '\0') prop.type = 'C';
  if (prop.type == 'N') {
    prop.length = std::min(prop.length, kMaxNumberFieldSize);
    prop.decimals = std::min(prop.decimals, 18);
    if (prop.decimals > 0 && prop.length - prop.decimals < 2) prop.decimals = prop.length - 2;
    prop.decimals = std::max(prop.decimals, 0);
  }
  if (prop.type == 'C' && prop.length >= 255) {
    prop.length = 254;
    prop.decimals = 0;
  }
  return prop.type != before.type || prop.length != before.length ||
         prop.decimals != before.decimals;
}

std::string InvalidFieldDefinitionText(const std::string& dataset, const TDbfFieldProp& before,
                                       const TDbfFieldProp& after) {
  return "Invalid field definition for " + dataset + ": " + PropText(before) +
         ". Will use corrected definition: " + PropText(after);
}

void SetRegionalSettingsQuery(RegionalSettingsQuery query) {
  regionalQuery = query != nullptr ? query : &platform::UserRegionalSettings;
}

std::uint8_t DatePictureOf(const platform::RegionalSettings& settings) {
  const char first =
      CharUpper(settings.shortDateFormat.empty() ? ' ' : settings.shortDateFormat[0]);
  if (first == 'D') {
    if (settings.dateSeparator == '-') return 3;
    if (settings.dateSeparator == '.') return 5;
    return 2;
  }
  if (first == 'Y') return 1;
  return 0;
}

void DatasetUnitStart() {
  const platform::RegionalSettings settings = regionalQuery();
  CenturyOn = UpperStr(settings.shortDateFormat).find("YYYY") != std::string::npos;
  // The picture brings its own separator, which the rule above chose it by.
  SetDateFormat(DatePictureOf(settings));
  DecimalChar = settings.decimalChar;
}

TTzDataSet::TTzDataSet(std::string name) : TTzPrimDataset(std::move(name)) {}

TTzDataSet::~TTzDataSet() = default;

void TTzDataSet::SetDbfFileName(const std::string& name) {
  std::string dir, base, ext;
  FSplit(name, dir, base, ext);
  const bool reopen = Active();
  if (reopen) Close();
  dbfFileName_ = ext.empty() && !name.empty() ? name + ".DBF" : name;
  if (reopen) Open();
}

void TTzDataSet::SetHideDeletedRecs(bool hide) {
  hideDeletedRecs_ = hide;
  if (area_ == 0) return;
  AreaSelect("HideDeletedRecs");
  SetIgnoreDel(hide);
  if (hide && !RecordVisible()) SkipToVisible();
  Resync();
}

bool TTzDataSet::IsSequenced() {
  if (area_ == 0) return true;
  AreaSelect("IsSequenced");
  return !Indexed();
}

void TTzDataSet::AreaSelect(const char* operation) {
  if (area_ == 0 || !WorkAreaTable[area_]) {
    ReportError(1103, std::string("Database is not open [") + Name() + "." + operation + "]");
    throw EAbort();
  }
  Select(area_);
}

int TTzDataSet::EngineCode() {
  return LastErrorCode;
}

void TTzDataSet::TziSetToBegin() {
  AreaSelect("TziSetToBegin");
  FirstRecord();
  beforeFirst_ = true;
  afterLast_ = false;
}

void TTzDataSet::TziSetToEnd() {
  AreaSelect("TziSetToEnd");
  LastRecord();
  afterLast_ = true;
  beforeFirst_ = false;
}

int TTzDataSet::TziOpen() {
  if (dbfFileName_.empty() && NeedsFileName()) return kTziNoFileName;
  const std::uint8_t remembered = CurrentArea();
  TableLanguageOem = tableLanguage_ == TTzTableLanguage::tlOem;
  LastErrorCode = 0;
  Select(0);
  if (LastErrorCode != 0) return LastErrorCode;
  OpenTable();
  if (LastErrorCode != 0 || Area() == nullptr) {
    const int code = LastErrorCode != 0 ? LastErrorCode : kTziOpenFailed;
    Select(remembered);
    return code;
  }
  area_ = CurrentArea();
  SetIgnoreDel(hideDeletedRecs_);
  ReadFieldProps();
  MarkersOff();
  return 0;
}

void TTzDataSet::ReadFieldProps() {
  props_.clear();
  for (const FieldDescriptor& f : Area()->fields) {
    TDbfFieldProp prop{f.name.substr(0, 10), f.type, f.length, f.decimals};
    const TDbfFieldProp before = prop;
    if (NormalizeFieldProp(prop))
      ShowDatasetMessage(InvalidFieldDefinitionText(Name(), before, prop));
    props_.push_back(prop);
  }
}

std::vector<std::unique_ptr<TField>> TTzDataSet::InitFieldDefs() {
  std::vector<std::unique_ptr<TField>> fields;
  std::int32_t number = 0;
  for (const TDbfFieldProp& prop : props_) {
    ++number;
    std::unique_ptr<TField> field;
    switch (prop.type) {
      case 'D':
        field = std::make_unique<TTzDateField>(*this, number, prop.name, TFieldType::ftDate, 0, 0);
        break;
      case 'F':
      case 'N':
        if (prop.decimals > 0) {
          field = std::make_unique<TTzFloatField>(*this, number, prop.name, TFieldType::ftFloat,
                                                  prop.length, prop.decimals);
        } else {
          field = std::make_unique<TTzIntegerField>(*this, number, prop.name, TFieldType::ftInteger,
                                                    prop.length, 0);
        }
        break;
      case 'L':
        field =
            std::make_unique<TBooleanField>(*this, number, prop.name, TFieldType::ftBoolean, 0, 0);
        break;
      case 'M':
        if (MemoAsInteger()) {
          field = std::make_unique<TTzIntegerField>(*this, number, prop.name, TFieldType::ftInteger,
                                                    10, 0);
        } else {
          field = std::make_unique<TMemoField>(*this, number, prop.name, TFieldType::ftMemo, 0, 0);
        }
        break;
      default:
        field = std::make_unique<TStringField>(*this, number, prop.name, TFieldType::ftString,
                                               prop.length, 0);
        break;
    }
    fields.push_back(std::move(field));
  }
  return fields;
}

void TTzDataSet::TziClose() {
  if (area_ != 0 && WorkAreaTable[area_]) {
    // The dataset is closed; its area still holds the records for what closing does with them.
    AfterClose();
    Select(area_);
    CloseArea();
  }
  area_ = 0;
  props_.clear();
}

std::int32_t TTzDataSet::TziGetRecordCount() {
  AreaSelect("TziGetRecordCount");
  return RecCount();
}

void TTzDataSet::TziForceReread() {
  AreaSelect("TziForceReread");
  SKIP(0);
}

int TTzDataSet::TziInsertRecord(bool append) {
  AreaSelect("TziInsertRecord");
  insertAppends_ = append;
  LastErrorCode = 0;
  LockedInsert();
  MarkersOff();
  return EngineCode();
}

int TTzDataSet::TziDeleteRecord() {
  AreaSelect("TziDeleteRecord");
  LastErrorCode = 0;
  LockedDelete();
  return EngineCode();
}

int TTzDataSet::TziRestoreRecord() {
  AreaSelect("TziRestoreRecord");
  LastErrorCode = 0;
  LockedRestore();
  return EngineCode();
}

void TTzDataSet::TziInitRecord() {
  AreaSelect("TziInitRecord");
  ClearRecord();
}

int TTzDataSet::TziModifyRecord() {
  if (beforeFirst_) return kTziAtBegin;
  if (afterLast_) return kTziAtEnd;
  AreaSelect("TziModifyRecord");
  LastErrorCode = 0;
  LockedPost();
  return EngineCode();
}

int TTzDataSet::TziGetRecord(std::int32_t& record) {
  if (beforeFirst_) return kTziAtBegin;
  if (afterLast_) return kTziAtEnd;
  AreaSelect("TziGetRecord");
  LastErrorCode = 0;
  SKIP(0);
  if (LastErrorCode != 0) return LastErrorCode;
  if (RecCount() < 1 || dEOF()) return kTziAtEnd;
  record = dadav::RecNo();
  return 0;
}

int TTzDataSet::TziGetNextRecord(std::int32_t& record) {
  if (afterLast_) return kTziAtEnd;
  AreaSelect("TziGetNextRecord");
  LastErrorCode = 0;
  if (RecCount() < 1) {
    afterLast_ = true;
    beforeFirst_ = false;
    return kTziAtEnd;
  }
  if (beforeFirst_) {
    SKIP(0);
  } else if (!dEOF()) {
    SKIP(1);
  }
  if (LastErrorCode != 0) return LastErrorCode;
  beforeFirst_ = false;
  if (dEOF()) {
    if (!dBOF()) SKIP(-1);
    afterLast_ = true;
    return kTziAtEnd;
  }
  record = dadav::RecNo();
  return 0;
}

int TTzDataSet::TziGetPriorRecord(std::int32_t& record) {
  if (beforeFirst_) return kTziAtBegin;
  AreaSelect("TziGetPriorRecord");
  LastErrorCode = 0;
  if (RecCount() < 1) {
    beforeFirst_ = true;
    afterLast_ = false;
    return kTziAtBegin;
  }
  bool stepped = false;
  if (afterLast_) {
    SKIP(0);
  } else if (!dBOF()) {
    SKIP(-1);
    stepped = true;
  }
  if (LastErrorCode != 0) return LastErrorCode;
  afterLast_ = false;
  if ((stepped && dBOF()) || dEOF()) {
    beforeFirst_ = true;
    return kTziAtBegin;
  }
  record = dadav::RecNo();
  return 0;
}

bool TTzDataSet::TziGetFieldData(const TField& field, TFieldValue& value) {
  AreaSelect("TziGetFieldData");
  const FieldDescriptor& f = Descriptor(field);
  const std::uint8_t* p = FieldAddress(field.FieldNo());
  if (p == nullptr) return false;
  switch (f.type) {
    case 'C':
      value.text = RTrim(NativeText(p));
      return !value.text.empty();
    case 'D':
      value.real = CtodToJulian(NativeText(p));
      return value.real != 0;
    case 'L':
      value.boolean = p[0] != 0;
      return true;
    case 'M':
      value.integer = Load<std::int32_t>(p);
      FieldAsText(field.FieldNo(), value.text);
      return true;
    case 'F':
    case 'N':
      return ReadNumber(f, p, value);
    default:
      return false;
  }
}

void TTzDataSet::TziSetFieldData(const TField& field, const TFieldValue* value) {
  AreaSelect("TziSetFieldData");
  const FieldDescriptor& f = Descriptor(field);
  std::uint8_t* p = FieldAddress(field.FieldNo());
  if (p == nullptr) return;
  if (value == nullptr) {
    std::memset(p, 0, NativeFieldSize(f));
    return;
  }
  switch (f.type) {
    case 'C':
      PutNativeText(p, value->text, f.length);
      break;
    case 'D':
      WriteDate(f, p, value->real);
      break;
    case 'L':
      p[0] = value->boolean ? 1 : 0;
      break;
    case 'M':
      Store(p, static_cast<std::int32_t>(value->integer));
      break;
    case 'F':
    case 'N':
      WriteNumber(f, p, *value);
      break;
    default:
      break;
  }
}

void TTzDataSet::SafeGo(std::int32_t record) {
  AreaSelect("SafeGo");
  if (GoIfValid(record)) {
    MarkersOff();
  } else {
    TziSetToEnd();
  }
}

bool TTzDataSet::TziLocate(const std::string& keyFields, const std::vector<LocateVariant>& values,
                           TLocateOptions options) {
  AreaSelect("TziLocate");
  const bool found =
      LocateFields(keyFields, values, options.caseInsensitive, true, !options.partialKey);
  if (found) MarkersOff();
  return found;
}

bool TTzDataSet::TziLookup(const std::string& keyFields, const std::vector<LocateVariant>& values,
                           const std::string& resultFields, std::vector<std::string>& results) {
  AreaSelect("TziLookup");
  const std::int32_t saved = dadav::RecNo();
  if (!LocateFields(keyFields, values, false, true, true)) return false;
  const std::int32_t names = Occurs(";", resultFields) + 1;
  for (std::int32_t i = 0; i < names; ++i) {
    std::string name;
    ListItem(i, name, resultFields);
    std::string text;
    if (const std::int32_t n = FieldNo(AllTrim(name)); n > 0) FieldAsText(n, text);
    results.push_back(RTrim(text));
  }
  SafeGo(saved);
  return true;
}

int TTzDataSet::TziCompareBookmarks(TBookmark a, TBookmark b) {
  return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace dadav
