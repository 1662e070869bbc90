// The command dataset's commands over the current work area.

#include "tables/access/tzcdataset.h"

#include <algorithm>

#include "tables/core/dbf4append.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4pack.h"
#include "tables/core/tzerror.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"

namespace dadav {

namespace {

std::string Cut10(const std::string& name) {
  return AllTrim(name).substr(0, 10);
}

}  // namespace

std::vector<std::string> SplitCommas(const std::string& line) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t comma = line.find(','); comma != std::string::npos;
       comma = line.find(',', start)) {
    parts.push_back(line.substr(start, comma - start));
    start = comma + 1;
  }
  parts.push_back(line.substr(start));
  return parts;
}

std::vector<FieldDescriptor> ParseDbfFields(const std::vector<std::string>& lines) {
  std::vector<FieldDescriptor> fields;
  for (const std::string& line : lines) {
    const std::vector<std::string> parts = SplitCommas(line);
    if (parts.size() != 4) break;
    TDbfFieldProp prop{Cut10(parts[0]),
                       CharUpper(AllTrim(parts[1]).empty() ? 'C' : AllTrim(parts[1])[0]),
                       ValLong(AllTrim(parts[2])), ValLong(AllTrim(parts[3]))};
    if (prop.type == 'X') continue;
    prop.length = std::clamp(prop.length, 0, 255);
    prop.decimals = std::clamp(prop.decimals, 0, 255);
    NormalizeFieldProp(prop);
    FieldDescriptor f;
    f.name = UpperStr(prop.name);
    f.type = prop.type;
    f.length = static_cast<std::uint8_t>(prop.length);
    f.decimals = static_cast<std::uint8_t>(prop.decimals);
    fields.push_back(f);
  }
  return fields;
}

TTzCDataSet::TTzCDataSet(std::string name) : TTzDataSet(std::move(name)) {
  AddListener([this](TDataEvent event, TField*) {
    if (OnChange && event != TDataEvent::deUpdateState) OnChange(*this);
  });
}

bool TTzCDataSet::CanModify() {
  return !readOnly_;
}

void TTzCDataSet::DoBeforeRestore() {
  if (BeforeRestore) BeforeRestore(*this);
}

void TTzCDataSet::DoAfterRestore() {
  if (AfterRestore) AfterRestore(*this);
}

bool TTzCDataSet::AppendRec() {
  bool appended = false;
  Command("AppendRec", [&appended] {
    dadav::Append();
    appended = LastErrorCode == 0;
    if (appended) SkipToVisible();
  });
  SetModified();
  // The record went in as it stood; the edit that filled it is over and must not be posted over
  // the record that was current before.
  SetState(TDataSetState::dsBrowse);
  MarkersOff();
  Resync();
  return appended;
}

void TTzCDataSet::AppendFrom(const std::string& source) {
  const bool wasEmpty = RecordCount() == 0;
  Command("AppendFrom", [&source] { dadav::AppendFrom(source); });
  if (wasEmpty) {
    First();
  } else {
    MarkersOff();
    Resync();
  }
}

bool TTzCDataSet::Pack() {
  bool packed = false;
  Command("Pack", [this, &packed] {
    packed = dadav::Pack();
    // A table another program shares cannot be taken exclusive; the engine says so only in its
    // code, and a refused pack must not pass for a done one.
    if (!packed && LastErrorCode != 0 && PendingErrorCode == 0) {
      ReportError(LastErrorCode, "Cannot pack " + DbfFileName() + " [Pack]");
    }
  });
  SetModified();
  MarkersOff();
  Resync();
  return packed;
}

void TTzCDataSet::Field(std::int32_t n, std::string& name) {
  AreaSelect("Field");
  dadav::Field(n, name);
  name = name.substr(0, 10);
}

std::int32_t TTzCDataSet::FieldLen(std::int32_t n) {
  AreaSelect("FieldLen");
  return dadav::FieldLen(n);
}

void TTzCDataSet::Go(std::int32_t record) {
  CheckBrowseMode();
  Command("Go", [record] {
    GO(record);
    // A record the view hides is not shown, so the next visible one is taken.
    if (LastErrorCode == 0) SkipToVisible();
  });
  MarkersOff();
  Resync();
}

void TTzCDataSet::Search(const std::string& text, std::int32_t& field, bool fromTop) {
  CheckBrowseMode();
  Command("Search", [&] { dadav::Search(text, field, fromTop); });
  if (!dBOF() && !dEOF()) {
    MarkersOff();
    Resync();
  }
}

void TTzCDataSet::SField(std::int32_t n, std::string& text) {
  AreaSelect("SField");
  FieldAsText(n, text);
}

bool TTzCDataSet::RecordDeleted() {
  if (RecNo() == 0) return false;
  AreaSelect("RecordDeleted");
  return Deleted();
}

std::string TTzCDataSet::GetFieldStr(const std::string& name) {
  return FieldByName(Cut10(name)).AsString();
}

bool TTzCDataSet::GetFieldBool(const std::string& name) {
  return FieldByName(Cut10(name)).AsBoolean();
}

TField& TTzCDataSet::WritableField(const std::string& name) {
  TField& field = FieldByName(Cut10(name));
  if (State() != TDataSetState::dsEdit && State() != TDataSetState::dsInsert) Edit();
  return field;
}

void TTzCDataSet::PutFieldStr(const std::string& name, const std::string& text) {
  WritableField(name).SetAsString(text);
}

void TTzCDataSet::PutFieldFloat(const std::string& name, double value) {
  WritableField(name).SetAsFloat(value);
}

void TTzCDataSet::PutFieldInt(const std::string& name, std::int64_t value) {
  WritableField(name).SetAsInteger(value);
}

void TTzCDataSet::PutFieldBool(const std::string& name, bool value) {
  WritableField(name).SetAsBoolean(value);
}

}  // namespace dadav
