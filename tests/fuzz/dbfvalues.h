#pragma once
// Field values written into a table from a fuzz input's bytes and read back. What the record
// holds afterwards is checked against the general rules the fast writers and readers stand in
// for: a number's stored text is its fixed-point text right-aligned in the field (a row of "*"
// when too long), its value read back what the general parser reads from that text; a date is
// stored as the date check and conversion make it, a text padded with blanks, a logical as T or
// F. A difference is a fault: it is printed and the process aborts.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tznumber.h"

namespace dbfvalues {

// The bytes values are made of, read round and round; zeros when there are none.
class ValueBytes {
 public:
  explicit ValueBytes(std::string_view bytes) : bytes_(bytes) {}
  std::uint8_t Next() {
    if (bytes_.empty()) return 0;
    return static_cast<std::uint8_t>(bytes_[at_++ % bytes_.size()]);
  }
  std::uint64_t Word(int count) {
    std::uint64_t word = 0;
    for (int i = 0; i < count; ++i) word = word << 8 | Next();
    return word;
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

constexpr double kTens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                            1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Any double at all (not-a-number, infinities, the tiniest), a decimal of up to 18 digits, or
// one a few steps from a value half-way between two of the field's last digits, where only the
// rounding rule settles the digit.
inline double Number(ValueBytes& bytes, int decimals) {
  const std::uint8_t kind = bytes.Next();
  const auto units = static_cast<std::int64_t>(bytes.Word(8));
  if (kind % 4 == 0) return std::bit_cast<double>(units);
  if (kind % 4 == 1) return static_cast<double>(units % 1000000000000000000) / kTens[kind / 4 % 23];
  double value =
      (static_cast<double>(units % 10000000000000) + 0.5) / kTens[std::min(decimals, 22)];
  for (int steps = kind / 4 % 7 - 3; steps != 0; steps += steps > 0 ? -1 : 1) {
    value = std::nextafter(value, steps > 0 ? HUGE_VAL : -HUGE_VAL);
  }
  return value;
}

// Integers of any size, and ones of no more digits than the field has room for.
inline std::int64_t Integer(ValueBytes& bytes, int width, bool wide) {
  const std::uint8_t kind = bytes.Next();
  const auto value = static_cast<std::int64_t>(bytes.Word(wide ? 8 : 4));
  const std::int64_t whole = wide ? value : static_cast<std::int32_t>(value);
  if (kind % 2 == 0 || width > 18) return whole;
  return whole % static_cast<std::int64_t>(kTens[width]);
}

// A date text in the active picture from digits of the input (months and days out of range
// too), or any bytes at all.
inline std::string DateText(ValueBytes& bytes) {
  const std::uint8_t kind = bytes.Next();
  if (kind % 3 == 0) {
    std::string text(bytes.Next() % 11, ' ');
    for (char& c : text) c = static_cast<char>(bytes.Next());
    return text;
  }
  char dtos[9];
  std::snprintf(dtos, sizeof dtos, "%04u%02u%02u", static_cast<unsigned>(bytes.Word(2) % 10000),
                bytes.Next() % 14u, bytes.Next() % 33u);
  return dadav::DtosToDate(std::string_view(dtos, 8));
}

inline std::string Fitted(std::string text, std::size_t width) {
  if (text.size() > width) return std::string(width, '*');
  text.insert(0, width - text.size(), ' ');
  return text;
}

inline std::string StoredDate(std::string_view text, std::string_view before) {
  if (text == dadav::DtosToDate(before)) return std::string(before);
  std::string checked(text);
  if (text.find_first_not_of(" /.-") == std::string_view::npos || !dadav::ValidDate(checked)) {
    return std::string(8, ' ');
  }
  return dadav::DateToDtos(text);
}

// What one field of a record must hold after the write.
struct Expected {
  std::string stored;
  char kind = 'C';  // 'R' a number with decimals, 'I' an integer, else the field type
};

inline std::string StoredNow(const dadav::FieldDescriptor& f) {
  return {reinterpret_cast<const char*>(dadav::Area()->raw.data() + f.offset), f.length};
}

// Fills field n of the current record from the bytes; what it must store. Memo references are
// left as they are: they name blocks of a file the input does not have.
inline bool FillField(ValueBytes& bytes, std::int32_t n, Expected& expected) {
  const dadav::FieldDescriptor& f = dadav::Area()->fields[static_cast<std::size_t>(n - 1)];
  std::uint8_t* native = dadav::FieldAddress(n);
  switch (f.type) {
    case 'C': {
      const std::size_t length = bytes.Next() % (f.length + 1u);
      native[0] = static_cast<std::uint8_t>(length);
      for (std::size_t i = 1; i <= length; ++i) native[i] = bytes.Next();
      std::string text(reinterpret_cast<const char*>(native + 1), length);
      expected = {text + std::string(f.length - length, ' '), 'C'};
      return true;
    }
    case 'D': {
      const std::string text = DateText(bytes);
      native[0] = static_cast<std::uint8_t>(text.size());
      std::memcpy(native + 1, text.data(), text.size());
      expected = {StoredDate(text, StoredNow(f)), 'D'};
      return true;
    }
    case 'L':
      native[0] = bytes.Next() % 2;
      expected = {native[0] != 0 ? "T" : "F", 'L'};
      return true;
    case 'N':
    case 'F':
      break;
    default:
      return false;
  }
  if (f.decimals > 0) {
    const double value = Number(bytes, f.decimals);
    std::memcpy(native, &value, 8);
    expected = {Fitted(dadav::FixedText(value, f.decimals), f.length), 'R'};
    return true;
  }
  const bool wide = dadav::WideInteger(f);
  const std::int64_t value = Integer(bytes, f.length, wide);
  if (wide) {
    std::memcpy(native, &value, 8);
  } else {
    const auto narrow = static_cast<std::int32_t>(value);
    std::memcpy(native, &narrow, 4);
  }
  // A stored number beyond 64 bits reads as the limit; while the value is that limit, the
  // stored text stands.
  bool clamped = false;
  const std::string before = StoredNow(f);
  const std::int64_t limit = dadav::ParseFieldInt(before, &clamped);
  expected = {clamped && wide && limit == value ? before : Fitted(std::to_string(value), f.length),
              'I'};
  return true;
}

[[noreturn]] inline void Differs(std::int32_t record, std::int32_t n, const std::string& what,
                                 const std::string& got, const std::string& want) {
  std::fprintf(stderr, "record %d field %d: %s \"%s\", not \"%s\"\n", record, n, what.c_str(),
               got.c_str(), want.c_str());
  std::abort();
}

inline bool SameNumber(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) ||
         (std::isnan(a) && std::isnan(b));
}

// Checks field n of the current record, read back from the file, against what it must hold.
inline void CheckField(std::int32_t record, std::int32_t n, const Expected& expected) {
  const dadav::FieldDescriptor& f = dadav::Area()->fields[static_cast<std::size_t>(n - 1)];
  const std::string stored = expected.kind == 'L' ? StoredNow(f).substr(0, 1) : StoredNow(f);
  if (stored != expected.stored) Differs(record, n, "stored", stored, expected.stored);
  const std::uint8_t* native = dadav::FieldAddress(n);
  if (expected.kind == 'R') {
    double value = 0;
    std::memcpy(&value, native, 8);
    const double parsed = dadav::ParseFieldReal(stored);
    if (!SameNumber(value, parsed))
      Differs(record, n, "read as", dadav::FixedText(value, 20), dadav::FixedText(parsed, 20));
  } else if (expected.kind == 'I') {
    std::int64_t value = 0;
    std::int64_t parsed = dadav::ParseFieldInt(stored);
    if (dadav::WideInteger(f)) {
      std::memcpy(&value, native, 8);
    } else {
      std::int32_t narrow = 0;
      std::memcpy(&narrow, native, 4);
      value = narrow;
      parsed = static_cast<std::int32_t>(parsed);
    }
    if (value != parsed)
      Differs(record, n, "read as", std::to_string(value), std::to_string(parsed));
  }
}

using RecordValues = std::map<std::int32_t, Expected>;

// Writes values into the record; what its fields must hold, empty when the write failed.
inline RecordValues WriteRecord(ValueBytes& bytes, std::int32_t record) {
  RecordValues values;
  try {
    dadav::GO(record);
    for (std::int32_t n = 1; n <= dadav::FieldCount(); ++n) {
      Expected expected;
      if (FillField(bytes, n, expected)) values[n] = expected;
    }
    dadav::Replace();
  } catch (const dadav::EDadavError&) {
    values.clear();
  }
  return values;
}

// The date settings as they were, whatever the input picked.
class DateSettings {
 public:
  DateSettings() : format_(dadav::DateFormat), century_(dadav::CenturyOn) {}
  ~DateSettings() {
    dadav::CenturyOn = century_;
    dadav::SetDateFormat(format_);
  }
  DateSettings(const DateSettings&) = delete;
  DateSettings& operator=(const DateSettings&) = delete;

 private:
  std::uint8_t format_;
  bool century_;
};

// Writes values made from the input into the first, second and last record of the table at
// path (at most maxRecords of them), opens it again and checks every field written. The bytes
// come from past the table's header, from its records, which mutations change without
// breaking the table.
inline void WriteAndReadBack(const std::string& path, const std::string& input,
                             std::int32_t maxRecords) {
  const DateSettings settings;
  dadav::TableLanguageOem = input.size() % 2 == 0;
  dadav::USE(path + " EXCLUSIVE");
  const auto header =
      std::min<std::size_t>(static_cast<std::size_t>(dadav::Area()->headerLength), input.size());
  ValueBytes bytes(header < input.size() ? std::string_view(input).substr(header) : input);
  dadav::CenturyOn = bytes.Next() % 2 == 0;
  dadav::SetDateFormat(bytes.Next() % 9);
  std::map<std::int32_t, RecordValues> written;
  const std::int32_t count = dadav::RecCount();
  if (count <= maxRecords) {
    for (const std::int32_t record : {1, 2, count}) {
      if (record >= 1 && record <= count) written[record] = WriteRecord(bytes, record);
    }
  }
  dadav::CloseAll();
  dadav::USE(path + " EXCLUSIVE");
  for (const auto& [record, values] : written) {
    if (values.empty()) continue;
    dadav::GO(record);
    for (const auto& [n, expected] : values) CheckField(record, n, expected);
  }
  dadav::CloseAll();
}

}  // namespace dbfvalues
