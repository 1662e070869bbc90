// The field classes: value conversions between a field's type and texts, numbers and booleans.

#include "tables/access/tzfields.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "tables/access/tzprimds.h"
#include "tables/core/tzdate.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"
#include "tables/modules/expr/exprdates.h"

namespace dadav {

namespace {

// An optional sign and at least one digit.
bool WholeNumberText(std::string_view text) {
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

TField::TField(TTzPrimDataset& dataset, std::int32_t fieldNo, std::string name, TFieldType type,
               std::int32_t size, std::int32_t decimals)
    : dataset_(dataset),
      fieldNo_(fieldNo),
      name_(std::move(name)),
      type_(type),
      size_(size),
      decimals_(decimals) {}

bool TField::Read(TFieldValue& value) const {
  return dataset_.GetFieldData(*this, value);
}

void TField::Write(const TFieldValue& value) {
  dataset_.SetFieldData(*this, &value);
}

bool TField::IsNull() const {
  TFieldValue value;
  return !Read(value);
}

void TField::Clear() {
  dataset_.SetFieldData(*this, nullptr);
}

void TField::ConversionError(const char* to) const {
  throw EDatabaseError("Field '" + name_ + "' cannot be accessed as " + to);
}

void TField::CheckWidth(const std::string& stored) const {
  if (size_ > 0 && stored.size() > static_cast<std::size_t>(size_)) {
    throw EDatabaseError(stored + " is too wide for field " + name_ + " (width " +
                         std::to_string(size_) + ")");
  }
}

std::string TField::AsString() const {
  return {};
}
void TField::SetAsString(const std::string&) {
  ConversionError("a String");
}
double TField::AsFloat() const {
  ConversionError("a Float");
}
void TField::SetAsFloat(double) {
  ConversionError("a Float");
}
std::int64_t TField::AsInteger() const {
  ConversionError("an Integer");
}
void TField::SetAsInteger(std::int64_t) {
  ConversionError("an Integer");
}
bool TField::AsBoolean() const {
  ConversionError("a Boolean");
}
void TField::SetAsBoolean(bool) {
  ConversionError("a Boolean");
}

std::string TStringField::AsString() const {
  TFieldValue value;
  return Read(value) ? value.text : std::string();
}

void TStringField::SetAsString(const std::string& text) {
  TFieldValue value;
  value.text = text.substr(0, static_cast<std::size_t>(Size()));
  Write(value);
}

double TStringField::AsFloat() const {
  return static_cast<double>(ValReal(AsString()));
}

void TStringField::SetAsFloat(double value) {
  SetAsString(AllTrim(StrDec(0, Decimals(), value)));
}

std::int64_t TStringField::AsInteger() const {
  return ParseFieldInt(AsString());
}

void TStringField::SetAsInteger(std::int64_t value) {
  SetAsString(IntToStrW(value, 0));
}

bool TStringField::AsBoolean() const {
  const std::string text = UpperStr(AllTrim(AsString()));
  return !text.empty() && (text[0] == 'T' || text[0] == 'Y');
}

void TStringField::SetAsBoolean(bool value) {
  SetAsString(value ? "True" : "False");
}

std::string TTzDateField::AsString() const {
  TFieldValue value;
  if (!Read(value)) return {};
  return JulianToDtoc(value.real);
}

void TTzDateField::SetAsString(const std::string& text) {
  if (AllTrim(text).empty() || text == BlankDate(DateFormat)) {
    Clear();
    return;
  }
  const double julian = CtodToJulian(text);
  if (julian == 0) throw EDatabaseError("'" + text + "' is not a valid date");
  SetAsFloat(julian);
}

double TTzDateField::AsFloat() const {
  TFieldValue value;
  return Read(value) ? value.real : 0;
}

void TTzDateField::SetAsFloat(double julianDay) {
  if (julianDay == 0) {
    Clear();
    return;
  }
  TFieldValue value;
  value.real = julianDay;
  Write(value);
}

std::string TTzFloatField::AsString() const {
  TFieldValue value;
  if (!Read(value)) return {};
  return AllTrim(StrDec(0, Decimals(), value.real));
}

void TTzFloatField::SetAsString(const std::string& text) {
  if (AllTrim(text).empty()) {
    Clear();
    return;
  }
  SetAsFloat(static_cast<double>(ValReal(text)));
}

double TTzFloatField::AsFloat() const {
  TFieldValue value;
  return Read(value) ? value.real : 0;
}

void TTzFloatField::SetAsFloat(double number) {
  CheckWidth(FixedText(number, Decimals()));
  TFieldValue value;
  value.real = number;
  Write(value);
}

std::int64_t TTzFloatField::AsInteger() const {
  return static_cast<std::int64_t>(std::llround(AsFloat()));
}

void TTzFloatField::SetAsInteger(std::int64_t value) {
  SetAsFloat(static_cast<double>(value));
}

std::string TTzIntegerField::AsString() const {
  TFieldValue value;
  if (!Read(value)) return {};
  return IntToStrW(value.integer, 0);
}

void TTzIntegerField::SetAsString(const std::string& text) {
  const std::string number = AllTrim(text);
  if (number.empty()) {
    Clear();
    return;
  }
  bool clamped = false;
  const std::int64_t value = ParseFieldInt(number, &clamped);
  if (!WholeNumberText(number) || clamped) {
    throw EDatabaseError("'" + text + "' is not a valid integer value");
  }
  SetAsInteger(value);
}

double TTzIntegerField::AsFloat() const {
  return static_cast<double>(AsInteger());
}

void TTzIntegerField::SetAsFloat(double value) {
  SetAsInteger(static_cast<std::int64_t>(std::llround(value)));
}

std::int64_t TTzIntegerField::AsInteger() const {
  TFieldValue value;
  return Read(value) ? value.integer : 0;
}

void TTzIntegerField::SetAsInteger(std::int64_t number) {
  CheckWidth(IntToStrW(number, 0));
  TFieldValue value;
  value.integer = number;
  Write(value);
}

std::string TBooleanField::TrueText() const {
  if (DisplayValues.empty()) return "True";
  return DisplayValues.substr(0, DisplayValues.find(';'));
}

std::string TBooleanField::FalseText() const {
  if (DisplayValues.empty()) return "False";
  const std::size_t semicolon = DisplayValues.find(';');
  return semicolon == std::string::npos ? std::string() : DisplayValues.substr(semicolon + 1);
}

std::string TBooleanField::AsString() const {
  TFieldValue value;
  if (!Read(value)) return {};
  return value.boolean ? TrueText() : FalseText();
}

void TBooleanField::SetAsString(const std::string& text) {
  const std::string upper = UpperStr(AllTrim(text));
  if (upper.empty()) {
    Clear();
  } else if (upper == UpperStr(TrueText()) || upper[0] == 'T' || upper[0] == 'Y') {
    SetAsBoolean(true);
  } else if (upper == UpperStr(FalseText()) || upper[0] == 'F' || upper[0] == 'N') {
    SetAsBoolean(false);
  } else {
    throw EDatabaseError("'" + text + "' is not a valid boolean value");
  }
}

bool TBooleanField::AsBoolean() const {
  TFieldValue value;
  return Read(value) && value.boolean;
}

void TBooleanField::SetAsBoolean(bool flag) {
  TFieldValue value;
  value.boolean = flag;
  Write(value);
}

std::string TMemoField::AsString() const {
  TFieldValue value;
  Read(value);
  return value.text;
}

std::int64_t TMemoField::AsInteger() const {
  TFieldValue value;
  return Read(value) ? value.integer : 0;
}

void TMemoField::SetAsInteger(std::int64_t reference) {
  TFieldValue value;
  value.integer = reference;
  Write(value);
}

}  // namespace dadav
