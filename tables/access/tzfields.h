#pragma once
// The typed fields of the engine's datasets: one object per field of the open table, reading and
// writing its value in the dataset's current record. Dates are Julian day numbers (0: no date),
// whole numbers 64-bit, texts Windows-1252 without trailing blanks.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace dadav {

class TTzPrimDataset;

// The class library's database error: what a dataset throws on any failure.
class EDatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Ends the current action without a message; the error itself was reported before.
class EAbort : public std::runtime_error {
 public:
  EAbort() : std::runtime_error("Operation aborted") {}
};

enum class TFieldType { ftString, ftDate, ftFloat, ftInteger, ftBoolean, ftMemo };

// One field value as the dataset hands it over; which member counts depends on the field type.
struct TFieldValue {
  std::string text;          // ftString
  double real = 0;           // ftFloat, and ftDate as a Julian day
  std::int64_t integer = 0;  // ftInteger, and ftMemo's reference
  bool boolean = false;      // ftBoolean
};

class TField {
 public:
  TField(TTzPrimDataset& dataset, std::int32_t fieldNo, std::string name, TFieldType type,
         std::int32_t size, std::int32_t decimals);
  virtual ~TField() = default;
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  const std::string& FieldName() const { return name_; }
  std::int32_t FieldNo() const { return fieldNo_; }  // 1-based
  TFieldType DataType() const { return type_; }
  std::int32_t Size() const { return size_; }
  std::int32_t Decimals() const { return decimals_; }
  TTzPrimDataset& DataSet() const { return dataset_; }

  bool IsNull() const;
  void Clear();
  virtual std::string AsString() const;
  virtual void SetAsString(const std::string& text);
  virtual double AsFloat() const;
  virtual void SetAsFloat(double value);
  virtual std::int64_t AsInteger() const;
  virtual void SetAsInteger(std::int64_t value);
  virtual bool AsBoolean() const;
  virtual void SetAsBoolean(bool value);
  std::string DisplayText() const { return AsString(); }

 protected:
  bool Read(TFieldValue& value) const;
  void Write(const TFieldValue& value);
  [[noreturn]] void ConversionError(const char* to) const;
  // Refuses a number whose stored text is wider than the field, which would store "*"s.
  void CheckWidth(const std::string& stored) const;

 private:
  TTzPrimDataset& dataset_;
  std::int32_t fieldNo_;
  std::string name_;
  TFieldType type_;
  std::int32_t size_;
  std::int32_t decimals_;
};

class TStringField : public TField {
 public:
  using TField::TField;
  std::string AsString() const override;
  void SetAsString(const std::string& text) override;
  double AsFloat() const override;
  void SetAsFloat(double value) override;
  std::int64_t AsInteger() const override;
  void SetAsInteger(std::int64_t value) override;
  bool AsBoolean() const override;
  void SetAsBoolean(bool value) override;
};

// Shows its text in the engine's date picture; the blank picture clears it.
class TTzDateField : public TField {
 public:
  using TField::TField;
  std::string AsString() const override;
  void SetAsString(const std::string& text) override;
  double AsFloat() const override;
  void SetAsFloat(double julianDay) override;
};

class TTzFloatField : public TField {
 public:
  using TField::TField;
  std::string AsString() const override;
  void SetAsString(const std::string& text) override;
  double AsFloat() const override;
  void SetAsFloat(double value) override;
  std::int64_t AsInteger() const override;
  void SetAsInteger(std::int64_t value) override;
};

class TTzIntegerField : public TField {
 public:
  using TField::TField;
  std::string AsString() const override;
  void SetAsString(const std::string& text) override;
  double AsFloat() const override;
  void SetAsFloat(double value) override;
  std::int64_t AsInteger() const override;
  void SetAsInteger(std::int64_t value) override;
};

class TBooleanField : public TField {
 public:
  using TField::TField;
  // "true text;false text"; empty: "True" and "False".
  std::string DisplayValues;
  std::string AsString() const override;
  void SetAsString(const std::string& text) override;
  bool AsBoolean() const override;
  void SetAsBoolean(bool value) override;
  std::string TrueText() const;
  std::string FalseText() const;
};

// A memo reference shown as the engine shows it ("MEMO", "BLOB" or "none"); read-only as text.
class TMemoField : public TField {
 public:
  using TField::TField;
  std::string AsString() const override;
  std::int64_t AsInteger() const override;
  void SetAsInteger(std::int64_t value) override;
};

// Sizes the engine's number fields accept.
constexpr std::int32_t kMaxNumberFieldSize = 20;

}  // namespace dadav
