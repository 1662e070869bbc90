#include "tables/core/dbf4locate.h"

#include <algorithm>
#include <cstring>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"

namespace dadav {

bool LocateCaseSensitive = true;
bool LocateExact = false;
bool LocateContained = false;
std::int32_t LocateField = 0;
std::string LocateText;

namespace {

const FieldDescriptor& FieldOf(std::int32_t n) {
  return Area()->fields[static_cast<std::size_t>(n - 1)];
}

// Leaves the area at the end of the table without an error, even when nothing is visible.
void GoToEnd() {
  GoBottom();
  if (RecCount() > 0 && !dEOF()) SKIP(1);
}

std::string VariantText(const LocateVariant& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* real = std::get_if<long double>(&value)) return FixedText(*real, 6);
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return std::to_string(*integer);
  return std::get<bool>(value) ? "T" : "F";
}

long double VariantNumber(const LocateVariant& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return ValReal(*text);
  if (const auto* real = std::get_if<long double>(&value)) return *real;
  if (const auto* integer = std::get_if<std::int64_t>(&value))
    return static_cast<long double>(*integer);
  return std::get<bool>(value) ? 1 : 0;
}

bool VariantBool(const LocateVariant& value) {
  if (const auto* flag = std::get_if<bool>(&value)) return *flag;
  if (const auto* text = std::get_if<std::string>(&value)) {
    return !text->empty() && std::strchr("TtYy", (*text)[0]) != nullptr;
  }
  return VariantNumber(value) != 0;
}

// The search text in the field's stored form; numbers always with ".".
std::string StoredForm(const FieldDescriptor& f, const LocateVariant& value, bool exact) {
  switch (f.type) {
    case 'C': {
      std::string text = VariantText(value);
      return exact ? PadRight(text, f.length) : text;
    }
    case 'D':
      return DateToDtos(VariantText(value));
    case 'N':
    case 'F':
      if (f.decimals > 0)
        return FormatFieldReal(static_cast<double>(VariantNumber(value)), f.length, f.decimals);
      return FormatFieldInt(static_cast<std::int64_t>(VariantNumber(value)), f.length);
    case 'L':
      return VariantBool(value) ? "T" : "F";
    default:
      return VariantText(value);
  }
}

std::string VirtualFieldText(std::int32_t field) {
  const FieldDescriptor& f = FieldOf(field);
  const std::uint8_t* p = FieldAddress(field);
  switch (f.type) {
    case 'D':
      return DateToDtos(std::string(reinterpret_cast<const char*>(p + 1), p[0]));
    case 'L':
      return p[0] != 0 ? "T" : "F";
    case 'N':
    case 'F':
      if (f.decimals > 0) {
        double value = 0;
        std::memcpy(&value, p, 8);
        return FormatFieldReal(value, f.length, f.decimals);
      } else if (NativeFieldSize(f) == 8) {
        std::int64_t value = 0;
        std::memcpy(&value, p, 8);
        return FormatFieldInt(value, f.length);
      } else {
        std::int32_t value = 0;
        std::memcpy(&value, p, 4);
        return FormatFieldInt(value, f.length);
      }
    case 'C':
      return PadRight(std::string(reinterpret_cast<const char*>(p + 1), p[0]), f.length);
    default:
      return std::string(f.length, ' ');
  }
}

bool Matches(std::string text) {
  if (!LocateExact && !LocateContained && text.size() > LocateText.size())
    text.resize(LocateText.size());
  if (!LocateCaseSensitive) text = UpperStr(text);
  if (LocateContained) return text.find(LocateText) != std::string::npos;
  return text == LocateText;
}

}  // namespace

std::int32_t ParseLocateField(const std::string& command) {
  if (NoDbfInUse("Locate/Count/Sum")) return 0;
  std::string text = UpperStr(AllTrim(command));
  LocateCaseSensitive = !ExtractOption(" NOCASE", text);
  LocateExact = ExtractOption(" EXACT", text);
  LocateContained = ExtractOption(" CONTAINED", text);
  if (text.empty()) {
    ReportError(220, "No field name specified [Locate/Count/Sum]");
    return 0;
  }
  std::int32_t field = FieldNo(text);
  if (field == 0) ReportError(220, "Unrecognized field name [Locate/Count/Sum(" + command + ")]");
  return field;
}

void FieldTextAt(std::int32_t field, std::int32_t record, std::string& text) {
  WorkArea& area = *Area();
  const std::uint8_t* stored = RecordInBlock(area, record);
  if (stored != nullptr && field >= 1 && field <= area.fieldCount) {
    const FieldDescriptor& f = area.fields[static_cast<std::size_t>(field - 1)];
    text.assign(reinterpret_cast<const char*>(stored + f.offset), f.length);
    return;
  }
  if (!area.vfile.isVirtual) {
    Peek(field, record, text);
    // Stored texts of a DOS code-page table are compared in the engine's code page.
    if (area.tableIsOem) text = OemToStr(text);
    return;
  }
  const std::int32_t old = area.recNo;
  GO(record);
  text = VirtualFieldText(field);
  if (old >= 1 && old <= area.recCount) {
    GO(old);
  } else {
    GoToEnd();
  }
}

bool MemoContains(const std::string& text, const std::string& memoFieldText) {
  if (MemoHooks.assignMemo == nullptr) {
    ReportError(220, "MEMO unit not linked in [Count/Sum/Continue]");
    return false;
  }
  std::int64_t reference = ParseFieldInt(memoFieldText);
  if (reference < 1) return false;
  auto reader = MemoHooks.assignMemo(static_cast<std::int32_t>(reference));
  if (!reader) return false;
  std::string line;
  while (reader->ReadLine(line)) {
    if (!LocateCaseSensitive) line = UpperStr(line);
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

void LocateFrom(std::int32_t start, std::int32_t field, bool isNew) {
  if (isNew) {
    if (!LocateExact) LocateText = RTrim(LocateText);
    if (!LocateCaseSensitive) LocateText = UpperStr(LocateText);
    LocateField = field;
  }
  const bool memo = FieldOf(field).type == 'M';
  const std::int32_t count = RecCount();
  std::string text;
  for (std::int32_t record = std::max(start, 1); record <= count; ++record) {
    FieldTextAt(field, record, text);
    if (LastErrorCode != 0) return;
    bool found = memo ? MemoContains(LocateText, text) : Matches(text);
    if (LastErrorCode != 0) return;
    if (found) {
      GO(record);
      return;
    }
  }
  GoToEnd();
  LocateField = 0;
}

void Continue() {
  if (LocateField <= 0) {
    ReportError(220, "Call to CONTINUE not preceeded by call to LOCATE. [Continue]");
    return;
  }
  LocateFrom(RecNo() + 1, LocateField, false);
}

bool LocateValue(const std::string& fieldSpec, const LocateVariant& value, bool nocase,
                 std::int32_t start, bool exact) {
  if (NoDbfInUse("Locate/Count/Sum")) return false;
  LastErrorCode = 0;
  std::string locateSpec = AllTrim(fieldSpec);
  locateSpec = locateSpec.substr(0, locateSpec.find(' '));
  if (nocase) locateSpec += " NOCASE";
  if (exact) locateSpec += " EXACT";
  LocateText.clear();
  std::int32_t field = ParseLocateField(locateSpec);
  if (field == 0) return false;
  const FieldDescriptor& f = FieldOf(field);
  LocateText = StoredForm(f, value, exact);
  if (f.type == 'M' && Area()->vfile.isVirtual) {
    GoToEnd();
    LocateField = field;
    return false;
  }
  LocateFrom(start, field, true);
  while (LastErrorCode == 0 && !dEOF() && !RecordVisible()) Continue();
  return !dEOF();
}

void ListItem(std::int32_t index, std::string& item, const std::string& list) {
  item.clear();
  std::size_t from = 0;
  for (std::int32_t i = 0; i < index; ++i) {
    from = list.find(';', from);
    if (from == std::string::npos) return;
    ++from;
  }
  item = AllTrim(list.substr(from, list.find(';', from) - from));
}

bool LocateFields(const std::string& fieldList, const std::vector<LocateVariant>& values,
                  bool nocase, bool move, bool exact) {
  if (NoDbfInUse("Locate/Count/Sum")) return false;
  const std::int32_t saved = RecNo();
  bool found = false;
  if (fieldList.find(';') == std::string::npos) {
    found = !values.empty() && LocateValue(fieldList, values[0], nocase, 1, exact);
  } else {
    const std::int32_t fields =
        static_cast<std::int32_t>(std::count(fieldList.begin(), fieldList.end(), ';')) + 1;
    std::int32_t start = 1;
    std::int32_t i = 0;
    std::int32_t agreed = -1;
    while (i < fields && static_cast<std::size_t>(i) < values.size()) {
      std::string item;
      ListItem(i, item, fieldList);
      if (!LocateValue(item, values[static_cast<std::size_t>(i)], nocase, start, exact)) break;
      if (agreed != -1 && RecNo() != agreed) {
        start = RecNo();
        agreed = -1;
        i = 0;
        continue;
      }
      agreed = RecNo();
      start = agreed;
      ++i;
    }
    found = i == fields;
  }
  if (!(move && found)) GoIfValid(saved);
  return found;
}

}  // namespace dadav
