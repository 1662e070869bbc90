#include "tables/modules/expr/expreval.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "platform/files/cp1252case.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"
#include "tables/modules/expr/exprcompile.h"
#include "tables/modules/expr/exprdates.h"
#include "tables/modules/expr/exprkeys.h"

namespace dadav {
namespace {

CompiledExpr* currentExpr = nullptr;

constexpr std::int32_t kFunctionDtos = 277;
constexpr std::int32_t kFunctionUpper = 318;
// Kinds of fields, in the order of the fetch operations.
constexpr std::int32_t kKindText = 0;
constexpr std::int32_t kKindNumber = 1;
constexpr std::int32_t kKindDate = 3;

bool IsFetch(std::int32_t op) {
  return op >= kOpFetchC && op < kOpFetchAliasC;
}

// Whole part of a number as a 64-bit integer, saturating; NaN gives 0.
std::int64_t WholePart(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
  if (value <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

// A count: the whole part clamped to 0..255 (texts are never longer).
std::size_t TextCount(double value) {
  return static_cast<std::size_t>(std::clamp<std::int64_t>(WholePart(value), 0, kMaxText));
}

// A 1-based position as an index from 0: below 1 counts as 1, and beyond every text stays
// beyond it.
std::size_t TextIndex(double value) {
  return static_cast<std::size_t>(std::clamp<std::int64_t>(WholePart(value), 1, kMaxText + 1)) - 1;
}

// Cuts the value's 15-significant-digit text after `decimals` decimals and reads it back, so
// ROUND(8.2, 2) stays 8.2 where binary scaling gives 8.19.
double CutDecimals(double value, std::int64_t decimals) {
  if (!std::isfinite(value) || value == 0) return value;
  char text[40];
  const auto written =
      std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 14);
  const std::string_view scientific(text, static_cast<std::size_t>(written.ptr - text));
  const bool negative = scientific[0] == '-';
  const std::size_t e = scientific.find('e');
  int exponent = 0;
  std::from_chars(scientific.data() + e + 1 + (scientific[e + 1] == '+'),
                  scientific.data() + scientific.size(), exponent);
  char digits[16];
  std::size_t count = 0;
  for (char c : scientific.substr(0, e)) {
    if (c >= '0' && c <= '9') digits[count++] = c;
  }
  const std::int64_t keep =
      std::clamp<std::int64_t>(exponent + 1 + std::clamp<std::int64_t>(decimals, 0, 400), 0, 15);
  if (keep == 0) return 0;
  char cut[48];
  char* at = cut;
  std::memcpy(at, digits, static_cast<std::size_t>(keep));
  at += keep;
  *at++ = 'e';
  at = std::to_chars(at, cut + sizeof cut, exponent + 1 - keep).ptr;
  double result = 0;
  std::from_chars(cut, at, result);
  return negative ? -result : result;
}

// The longest leading decimal number ("." always), 0 when the text starts with none.
double LeadingNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  auto digitAt = [&](std::size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
  if (!(digitAt(0) || (!text.empty() && text[0] == '.' && digitAt(1)))) return 0;
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return negative ? -value : value;
}

// Parts are short literals mostly, so a plain loop beats a library call.
bool StartsWith(std::string_view text, std::string_view part) {
  if (text.size() < part.size()) return false;
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (text[i] != part[i]) return false;
  }
  return true;
}

int CompareBytes(std::string_view a, std::string_view b) {
  const int common = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (common != 0) return common;
  return (a.size() > b.size()) - (a.size() < b.size());
}

constexpr std::uint64_t kOnes = 0x0101010101010101;
constexpr std::uint64_t kHighs = 0x8080808080808080;

// Copies the text up to its first 0 byte and gives the count copied; eight bytes at a time
// while a word holds no 0 byte, since every key and condition copies field texts.
std::size_t CopyToZero(char* out, std::string_view text) {
  std::size_t n = 0;
  for (; n + 8 <= text.size(); n += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + n, 8);
    if (((word - kOnes) & ~word & kHighs) != 0) break;
    std::memcpy(out + n, &word, 8);
  }
  for (; n < text.size() && text[n] != 0; ++n) out[n] = text[n];
  return n;
}

// Moves count bytes from `from` down to `to` (to < from) a word at a time: each word is read
// before its place is written, and the places written lie below every byte still to be read.
void MoveDown(char* to, const char* from, std::size_t count) {
  std::size_t n = 0;
  for (; n + 8 <= count; n += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, from + n, 8);
    std::memcpy(to + n, &word, 8);
  }
  for (; n < count; ++n) to[n] = from[n];
}

// A comparison of numbers, dates or logicals (as 0 and 1).
bool CompareNumbers(std::int32_t op, double a, double b) {
  if (op >= kOpEqN && op < kOpExactC) return a == b;
  if (op >= kOpGtN && op < kOpLtN) return a > b;
  if (op >= kOpLtN && op < kOpNeN) return a < b;
  if (op >= kOpNeN && op < kOpLeN) return a != b;
  if (op >= kOpLeN && op < kOpGeN) return a <= b;
  return a >= b;
}

// The code page's upper case of every byte, looked up without a call.
const std::array<char, 256> kUpperBytes = [] {
  std::array<char, 256> upper{};
  for (int c = 0; c < 256; ++c)
    upper[static_cast<std::size_t>(c)] =
        static_cast<char>(platform::Cp1252Upper(static_cast<std::uint8_t>(c)));
  return upper;
}();

// A word of ASCII bytes in upper case: its small letters change by one mask, as the code page
// maps ASCII as ASCII does. Bytes below 0x80 plus these stay below 0x100, so no carry crosses
// into the next byte.
std::uint64_t UpperAscii(std::uint64_t word) {
  const std::uint64_t fromA = (word + kOnes * (0x80 - 'a')) & kHighs;
  const std::uint64_t beyondZ = (word + kOnes * (0x80 - 'z' - 1)) & kHighs;
  return word ^ ((fromA & ~beyondZ) >> 2);
}

// UPPER in place, a word at a time where it holds ASCII bytes only.
void UpperInPlace(char* text, std::size_t length) {
  std::size_t n = 0;
  for (; n + 8 <= length; n += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text + n, 8);
    if ((word & kHighs) != 0) break;
    word = UpperAscii(word);
    std::memcpy(text + n, &word, 8);
  }
  for (; n < length; ++n) text[n] = kUpperBytes[static_cast<std::uint8_t>(text[n])];
}

// CopyToZero in upper case: UPPER of a field is the commonest key.
std::size_t CopyUpperToZero(char* out, std::string_view text) {
  std::size_t n = 0;
  for (; n + 8 <= text.size(); n += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + n, 8);
    if ((((word - kOnes) & ~word) | word) & kHighs) break;
    word = UpperAscii(word);
    std::memcpy(out + n, &word, 8);
  }
  for (; n < text.size() && text[n] != 0; ++n)
    out[n] = kUpperBytes[static_cast<std::uint8_t>(text[n])];
  return n;
}

// The memo module reads from the current area, so a memo of another area selects that area
// for the moment.
class SelectedArea {
 public:
  explicit SelectedArea(std::uint8_t area) : previous_(CurrentAreaNumber) {
    CurrentAreaNumber = area;
  }
  ~SelectedArea() { CurrentAreaNumber = previous_; }
  SelectedArea(const SelectedArea&) = delete;
  SelectedArea& operator=(const SelectedArea&) = delete;

 private:
  std::uint8_t previous_;
};

// A 256-byte text under construction, never longer than a C value may be.
struct TextBuffer {
  char bytes[kMaxText + 1];
  std::size_t length = 0;
  void Append(std::string_view text) {
    const std::size_t n = std::min(text.size(), kMaxText - length);
    std::memcpy(bytes + length, text.data(), n);
    length += n;
  }
  void AppendRepeated(char c, std::size_t count) {
    const std::size_t n = std::min(count, kMaxText - length);
    std::memset(bytes + length, c, n);
    length += n;
  }
  std::string_view View() const { return {bytes, length}; }
};

// The field's text in the current record as stored; false when the record is too short.
bool StoredFieldText(const WorkArea& area, const FieldDescriptor& f, std::string_view& text) {
  if (area.raw.size() < static_cast<std::size_t>(f.offset) + f.length) return false;
  text = {reinterpret_cast<const char*>(area.raw.data()) + f.offset, f.length};
  return true;
}

bool KindFits(char type, std::int32_t kind) {
  switch (kind) {
    case 0:
      return type == 'C';
    case 1:
      return type == 'N' || type == 'F';
    case 2:
      return type == 'L';
    case 3:
      return type == 'D';
    default:
      return type == 'M';
  }
}

// The current area when its stored record can be read as it stands: an open table with
// records, not a virtual file; nil where the general fetch decides. Nothing an evaluation does
// changes it, so it is looked up once for each.
const WorkArea* StoredCurrentArea() {
  const WorkArea* area = WorkAreaTable[CurrentAreaNumber].get();
  if (area == nullptr || area->state == kClosed || area->recCount == 0 || area->vfile.isVirtual)
    return nullptr;
  return area;
}

// The stored text of that area's field of this number and kind; false where the general fetch
// decides.
bool StoredText(const WorkArea* area, std::int32_t field, std::int32_t kind,
                std::string_view& text) {
  if (area == nullptr) return false;
  const std::uint32_t index = static_cast<std::uint32_t>(field) - 1u;
  if (index >= area->fields.size()) return false;
  const FieldDescriptor& f = area->fields[index];
  return KindFits(f.type, kind) && StoredFieldText(*area, f, text);
}

// The field a fetch reads: its work area, its index and the area's number.
struct FieldPlace {
  const WorkArea* area = nullptr;
  std::size_t index = 0;
  std::uint8_t number = 0;
};

class Machine {
 public:
  explicit Machine(CompiledExpr& expr) : e_(expr), stored_(StoredCurrentArea()) {}

  const void* Run() {
    e_.poolPosition = 0;
    top_ = 0;
    for (const CodeCell* cell = e_.code.data();; ++cell) {
      switch (cell->step) {
        case kStepEnd:
          return Result();
        case kStepField:
          cell = FetchField(cell);
          break;
        case kStepFieldJoin:
          cell = FieldJoin(cell);
          break;
        case kStepTextStartsWith:
          cell = TextStartsWith(cell);
          break;
        case kStepNumberCompare:
          cell = NumberCompare(cell);
          break;
        case kStepJoin:
          Join();
          break;
        case kStepAnd:
        case kStepOr:
          Logic(cell->step == kStepOr);
          break;
        default:
          cell = Cell(cell);
      }
    }
  }

 private:
  // Stack primitives.
  ValueCell& Push(std::int32_t type) {
    ValueCell& cell = e_.stack[top_++];
    cell.type = type;
    return cell;
  }
  void PushNumber(double value, std::int32_t type = kTypeN) {
    Push(type).number = std::isnan(value) ? 0 : value;
  }
  void PushLogical(bool value) { Push(kTypeL).logical = value ? 1 : 0; }
  // Copies a text into the pool: cut at its first 0 byte and at 255 bytes; "" when the pool
  // is full.
  void PushText(std::string_view text, std::int32_t type = kTypeC) {
    text = text.substr(0, std::min(text.size(), kMaxText));
    if (e_.poolPosition + text.size() < e_.poolSize && !Overlaps(text)) return CopyText(text, type);
    // Texts here are short, so a plain scan beats a library call.
    text = text.substr(
        0, static_cast<std::size_t>(std::find(text.begin(), text.end(), '\0') - text.begin()));
    const std::size_t at = e_.poolPosition;
    ValueCell& cell = Push(type);
    cell.offset = static_cast<std::uint32_t>(at);
    cell.length = 0;
    if (at + text.size() + 1 > e_.poolSize) {
      ReportError(354, "Working pool overflow [PARSER/Allocate]");
      return;
    }
    if (!text.empty()) std::memmove(e_.pool.data() + at, text.data(), text.size());
    e_.pool[at + text.size()] = 0;
    cell.length = static_cast<std::uint32_t>(text.size());
    e_.poolPosition = at + text.size() + 1;
  }
  // PushText of a text outside the pool (a stored field, a constant text), in upper case
  // when asked.
  void PushOutside(std::string_view text, bool upper = false) {
    if (e_.poolPosition + text.size() < e_.poolSize && text.size() <= kMaxText)
      return CopyText(text, kTypeC, upper);
    PushText(text);
    if (upper) UpperInPlace(TopChars(), Top().length);
  }
  bool Overlaps(std::string_view text) const {
    const char* pool = e_.pool.data();
    return text.data() < pool + e_.pool.size() && pool < text.data() + text.size();
  }
  // PushText of a text that fits whatever its length and lies outside the pool: one pass
  // copies it up to its first 0 byte, in upper case when asked.
  void CopyText(std::string_view text, std::int32_t type, bool upper = false) {
    const std::size_t at = e_.poolPosition;
    char* out = e_.pool.data() + at;
    const std::size_t n = upper ? CopyUpperToZero(out, text) : CopyToZero(out, text);
    out[n] = 0;
    ValueCell& cell = Push(type);
    cell.offset = static_cast<std::uint32_t>(at);
    cell.length = static_cast<std::uint32_t>(n);
    e_.poolPosition = at + n + 1;
  }
  ValueCell& Pop() {
    ValueCell& cell = e_.stack[--top_];
    if (cell.type == kTypeC || cell.type == kTypeM) e_.poolPosition = cell.offset;
    return cell;
  }
  double PopNumber() { return Pop().number; }
  bool PopLogical() { return Pop().logical != 0; }
  // The popped text stays readable until the next push.
  std::string_view PopText() {
    const ValueCell& cell = Pop();
    return {e_.pool.data() + cell.offset, cell.length};
  }
  ValueCell& Top() { return e_.stack[top_ - 1]; }
  char* TopChars() { return e_.pool.data() + Top().offset; }
  std::string_view TopText() { return {TopChars(), Top().length}; }

  const void* Result() {
    if (top_ == 0) return nullptr;
    const ValueCell& bottom = e_.stack[0];
    if (bottom.type == kTypeC || bottom.type == kTypeM) {
      if (bottom.offset != 0)
        std::memmove(e_.pool.data(), e_.pool.data() + bottom.offset, bottom.length);
      e_.pool[bottom.length] = 0;
      return e_.pool.data();
    }
    if (bottom.type == kTypeL) {
      e_.resultLogical = bottom.logical;
      return &e_.resultLogical;
    }
    e_.resultNumber = bottom.number;
    return &e_.resultNumber;
  }

  const CodeCell* Cell(const CodeCell* cell);
  const CodeCell* FieldJoin(const CodeCell* cell);
  const CodeCell* TextStartsWith(const CodeCell* cell);
  const CodeCell* NumberCompare(const CodeCell* cell);
  void Logic(bool isOr);
  void Step(const CodeCell& cell);
  void Constant(const CodeCell& cell);
  bool Locate(std::int32_t kind, std::int32_t field, std::uint8_t areaNumber, bool aliased,
              FieldPlace& place);
  void Fetch(std::int32_t kind, std::int32_t field, std::uint8_t areaNumber, bool aliased);
  void FetchLocated(std::int32_t kind, const FieldPlace& place);
  void FetchDtos(std::int32_t field, std::uint8_t areaNumber, bool aliased);
  const CodeCell* FetchField(const CodeCell* cell);
  void FetchBlank(std::int32_t kind, std::size_t width = 0);
  void FetchStored(const WorkArea& area, const FieldDescriptor& f, std::int32_t kind,
                   std::uint8_t areaNumber);
  void FetchNative(const WorkArea& area, std::size_t index, std::int32_t kind,
                   std::uint8_t areaNumber);
  void PushMemo(std::int32_t block, std::uint8_t area);
  void Arithmetic(std::int32_t op);
  void Join();
  void Compare(std::int32_t op);
  void Function(std::int32_t token, std::int32_t argc);
  void DateFunction(std::int32_t token);
  void TextFunction(std::int32_t token);
  void Str(std::int32_t argc);
  void Stuff();
  void Substr();

  CompiledExpr& e_;
  const WorkArea* const stored_;
  std::size_t top_ = 0;
};

// One cell, or DTOS of an aliased date field with its fetch; the last cell it did.
const CodeCell* Machine::Cell(const CodeCell* cell) {
  if (cell->op == kOpFetchAliasC + kKindDate && cell[1].op == kFunctionDtos) {
    const auto area = static_cast<std::uint8_t>(Pop().logical);
    FetchDtos(Pop().logical, area, true);
    return cell + 1;
  }
  Step(*cell);
  return cell;
}

void Machine::Step(const CodeCell& cell) {
  if (cell.op == kOpPush) return Constant(cell);
  if (IsFetch(cell.op)) return Fetch(cell.op - kOpFetchC, Pop().logical, 0, false);
  if (cell.op >= kOpFetchAliasC && cell.op < kOpAddNN) {
    const auto area = static_cast<std::uint8_t>(Pop().logical);
    return Fetch(cell.op - kOpFetchAliasC, Pop().logical, area, true);
  }
  if (cell.op >= kOpAddNN && cell.op <= kOpPow) return Arithmetic(cell.op);
  if (cell.op >= kOpEqN && cell.op <= kOpAnd) return Compare(cell.op);
  if (cell.op == kOpNot) return PushLogical(!PopLogical());
  if (cell.op == kOpNegate) return PushNumber(-PopNumber());
  Function(cell.op, cell.argc);
}

void Machine::Constant(const CodeCell& cell) {
  switch (cell.type) {
    case kTypeC:
      return PushText(e_.literals[static_cast<std::size_t>(cell.integer)]);
    case kTypeL:
      Push(kTypeL).logical = cell.integer;
      return;
    default:
      PushNumber(cell.number, cell.type);
  }
}

void Machine::FetchBlank(std::int32_t kind, std::size_t width) {
  static constexpr std::int32_t kTypes[] = {kTypeC, kTypeN, kTypeL, kTypeD, kTypeM};
  if (kind == 0) {
    TextBuffer blanks;
    blanks.AppendRepeated(' ', width);
    return PushText(blanks.View());
  }
  if (kind == 4) return PushText("", kTypeM);
  if (kind == 2) return PushLogical(false);
  PushNumber(0, kTypes[kind]);
}

// False after pushing the blank value of a field that cannot be read.
bool Machine::Locate(std::int32_t kind, std::int32_t field, std::uint8_t areaNumber, bool aliased,
                     FieldPlace& place) {
  const WorkArea* area = aliased ? WorkAreaTable[areaNumber].get() : Area();
  if (area == nullptr || area->state == kClosed) {
    ReportError(215, "No database in use [PARSER/FetchField]");
    FetchBlank(kind);
    return false;
  }
  if (field < 1 || static_cast<std::size_t>(field) > area->fields.size() ||
      !KindFits(area->fields[static_cast<std::size_t>(field - 1)].type, kind)) {
    ReportError(212, "Field " + std::to_string(field) + " [PARSER/FetchField]");
    FetchBlank(kind);
    return false;
  }
  const auto index = static_cast<std::size_t>(field - 1);
  if (area->recCount == 0) {
    FetchBlank(kind, area->fields[index].length);
    return false;
  }
  place = {area, index, aliased ? areaNumber : CurrentAreaNumber};
  return true;
}

// A field of the current area, its number in the push before the fetch; DTOS or UPPER right
// after a stored field's fetch work on its text at once. The last cell it did.
const CodeCell* Machine::FetchField(const CodeCell* cell) {
  const std::int32_t field = cell->integer;
  const std::int32_t kind = (++cell)->op - kOpFetchC;
  std::string_view text;
  if (!StoredText(stored_, field, kind, text)) {
    if (kind == kKindDate && cell[1].op == kFunctionDtos) {
      FetchDtos(field, 0, false);
      return cell + 1;
    }
    Fetch(kind, field, 0, false);
    return cell;
  }
  switch (kind) {
    case kKindText:
      PushOutside(text, cell[1].op == kFunctionUpper);
      return cell[1].op == kFunctionUpper ? cell + 1 : cell;
    case kKindNumber:
      PushNumber(ParseFieldReal(text));
      return cell;
    case kKindDate:
      if (cell[1].op != kFunctionDtos) {
        PushNumber(DtosToJulian(text), kTypeD);
        return cell;
      }
      PushOutside(StoredDtos(text));
      return cell + 1;
    default:
      Fetch(kind, field, 0, false);
      return cell;
  }
}

void Machine::Fetch(std::int32_t kind, std::int32_t field, std::uint8_t areaNumber, bool aliased) {
  FieldPlace place;
  if (Locate(kind, field, areaNumber, aliased, place)) FetchLocated(kind, place);
}

void Machine::FetchLocated(std::int32_t kind, const FieldPlace& place) {
  if (place.area->vfile.isVirtual) return FetchNative(*place.area, place.index, kind, place.number);
  FetchStored(*place.area, place.area->fields[place.index], kind, place.number);
}

// DTOS of a date field: the text of a stored record needs no day number; every other way
// goes through it.
void Machine::FetchDtos(std::int32_t field, std::uint8_t areaNumber, bool aliased) {
  FieldPlace place;
  if (Locate(kKindDate, field, areaNumber, aliased, place)) {
    std::string_view text;
    if (!place.area->vfile.isVirtual &&
        StoredFieldText(*place.area, place.area->fields[place.index], text))
      return PushText(StoredDtos(text));
    FetchLocated(kKindDate, place);
  }
  DateFunction(kFunctionDtos);
}

void Machine::FetchStored(const WorkArea& area, const FieldDescriptor& f, std::int32_t kind,
                          std::uint8_t areaNumber) {
  std::string_view text;
  if (!StoredFieldText(area, f, text)) return FetchBlank(kind, f.length);
  switch (kind) {
    case 0:
      return PushText(text);
    case 1:
      return PushNumber(ParseFieldReal(text));
    case 2: {
      const char c = text.empty() ? ' ' : CharUpper(text[0]);
      return PushLogical(c == 'Y' || c == 'T');
    }
    case 3:
      return PushNumber(DtosToJulian(text), kTypeD);
    default: {
      const std::int64_t block = ParseFieldInt(text);
      PushMemo(static_cast<std::int32_t>(
                   std::clamp<std::int64_t>(block, 0, std::numeric_limits<std::int32_t>::max())),
               areaNumber);
    }
  }
}

// A virtual file keeps its record in the engine's native layout.
void Machine::FetchNative(const WorkArea& area, std::size_t index, std::int32_t kind,
                          std::uint8_t areaNumber) {
  std::size_t offset = 1;
  for (std::size_t i = 0; i < index; ++i) offset += NativeFieldSize(area.fields[i]);
  const FieldDescriptor& f = area.fields[index];
  const std::size_t size = NativeFieldSize(f);
  if (area.native == nullptr || offset + size > area.nativeSize) return FetchBlank(kind, f.length);
  const std::uint8_t* at = area.native + offset;
  switch (kind) {
    case 0: {
      TextBuffer text;
      text.Append({reinterpret_cast<const char*>(at + 1), std::min<std::size_t>(at[0], f.length)});
      text.AppendRepeated(' ', f.length - text.length);
      return PushText(text.View());
    }
    case 1:
      if (size == 8 && f.decimals > 0) {
        double value = 0;
        std::memcpy(&value, at, 8);
        return PushNumber(value);
      } else if (size == 8) {
        std::int64_t value = 0;
        std::memcpy(&value, at, 8);
        return PushNumber(static_cast<double>(value));
      } else {
        std::int32_t value = 0;
        std::memcpy(&value, at, 4);
        return PushNumber(value);
      }
    case 2:
      return PushLogical(at[0] != 0);
    case 3: {
      const std::string_view text(reinterpret_cast<const char*>(at + 1),
                                  std::min<std::size_t>(at[0], size - 1));
      return PushNumber(DtosToJulian(DateTextToDtos(text)), kTypeD);
    }
    default: {
      std::int32_t block = 0;
      std::memcpy(&block, at, 4);
      PushMemo(block, areaNumber);
    }
  }
}

// The memo's lines joined without their line ends, as much as the pool holds.
void Machine::PushMemo(std::int32_t block, std::uint8_t area) {
  TextBuffer text;
  if (block > 0 && MemoHooks.assignMemo != nullptr) {
    SelectedArea selected(area);
    std::unique_ptr<MemoLineReader> reader = MemoHooks.assignMemo(block);
    std::string line;
    while (reader != nullptr && text.length < kMaxText && reader->ReadLine(line)) text.Append(line);
  }
  PushText(text.View(), kTypeM);
}

void Machine::Arithmetic(std::int32_t op) {
  if (op == kOpSubCC) {
    const std::string_view right = PopText();
    const std::string_view left = PopText();
    TextBuffer joined;
    const std::string_view trimmed = left.substr(0, left.find_last_not_of(' ') + 1);
    joined.Append(trimmed);
    joined.Append(right);
    joined.AppendRepeated(' ', left.size() - trimmed.size());
    return PushText(joined.View());
  }
  const double b = PopNumber();
  const double a = PopNumber();
  switch (op) {
    case kOpAddNN:
      return PushNumber(a + b);
    case kOpAddND:
    case kOpAddDN:
      return PushNumber(a + b, kTypeD);
    case kOpSubNN:
    case kOpSubDD:
      return PushNumber(a - b);
    case kOpSubDN:
      return PushNumber(a - b, kTypeD);
    case kOpMul:
      return PushNumber(a * b);
    case kOpDiv:
      if (b == 0) {
        ReportError(358, "Error during evaluation: Divide by 0 [Evaluate/Engine]");
        return PushNumber(1e250);
      }
      return PushNumber(a / b);
    default:
      return PushNumber(std::pow(a, b));
  }
}

// The right text lies above the left one in the pool, so it only moves down to join it; keys
// join texts for every record.
// The cells are read field by field: a copy of a whole cell would wait for the separate stores
// that just filled it.
void Machine::Join() {
  const ValueCell& right = e_.stack[--top_];
  const std::uint32_t rightOffset = right.offset;
  const std::uint32_t rightLength = right.length;
  ValueCell& left = Top();
  const std::size_t moved = std::min<std::size_t>(rightLength, kMaxText - left.length);
  char* end = TopChars() + left.length;
  MoveDown(end, e_.pool.data() + rightOffset, moved);
  end[moved] = 0;
  left.type = kTypeC;
  left.length += static_cast<std::uint32_t>(moved);
  e_.poolPosition = left.offset + left.length + 1;
}

void Machine::Compare(std::int32_t op) {
  const bool text = op == kOpEqN + 2 || op == kOpExactC || op == kOpContainsC || op == kOpGtN + 2 ||
                    op == kOpLtN + 2 || op == kOpNeN + 2 || op == kOpLeN + 2 || op == kOpGeN + 2;
  if (text) {
    const std::string_view b = PopText();
    const std::string_view a = PopText();
    switch (op) {
      case kOpEqN + 2:
        return PushLogical(!b.empty() && StartsWith(a, b));
      case kOpExactC:
        return PushLogical(CompareBytes(a, b) == 0);
      case kOpContainsC:
        return PushLogical(!a.empty() && b.find(a) != std::string_view::npos);
      case kOpNeN + 2:
        return PushLogical(CompareBytes(a, b) != 0);
      case kOpGtN + 2:
        return PushLogical(CompareBytes(a, b) > 0);
      case kOpLtN + 2:
        return PushLogical(CompareBytes(a, b) < 0);
      case kOpLeN + 2:
        return PushLogical(CompareBytes(a, b) <= 0);
      default:
        return PushLogical(CompareBytes(a, b) >= 0);
    }
  }
  const ValueCell& right = e_.stack[top_ - 1];
  const ValueCell& left = e_.stack[top_ - 2];
  const bool logical = left.type == kTypeL;
  const double a = logical ? left.logical : left.number;
  const double b = logical ? right.logical : right.number;
  top_ -= 2;
  PushLogical(CompareNumbers(op, a, b));
}

// Logical operands hold no text, so the result takes the left one's place.
void Machine::Logic(bool isOr) {
  const bool b = e_.stack[top_ - 1].logical != 0;
  const bool a = e_.stack[top_ - 2].logical != 0;
  top_ -= 2;
  PushLogical(isOr ? (a || b) : (a && b));
}

// A C field of the current area, raised or not, or DTOS of a D field, joined to the text below
// it: its text goes straight to where the join would move it. Where the field cannot be read
// so, or the pool might overflow, the cells run one by one.
const CodeCell* Machine::FieldJoin(const CodeCell* cell) {
  const std::int32_t kind = cell[1].op - kOpFetchC;
  std::string_view text;
  if (!StoredText(stored_, cell->integer, kind, text)) return FetchField(cell);
  if (kind == kKindDate) text = StoredDtos(text);
  if (e_.poolPosition + text.size() >= e_.poolSize || text.size() > kMaxText)
    return FetchField(cell);
  const bool upper = cell[2].op == kFunctionUpper;
  ValueCell& left = Top();
  char* end = TopChars() + left.length;
  const std::size_t copied = upper ? CopyUpperToZero(end, text) : CopyToZero(end, text);
  const std::size_t joined = std::min<std::size_t>(copied, kMaxText - left.length);
  end[joined] = 0;
  left.type = kTypeC;
  left.length += static_cast<std::uint32_t>(joined);
  e_.poolPosition = left.offset + left.length + 1;
  return upper || kind == kKindDate ? cell + 3 : cell + 2;
}

// A C field of the current area against a literal: the literal holds no 0 byte, so comparing
// the stored bytes gives what comparing the field's text (cut at its first 0 byte) gives.
// Where the field cannot be read so, or the pool might overflow, the cells run one by one.
const CodeCell* Machine::TextStartsWith(const CodeCell* cell) {
  const std::string& literal = e_.literals[static_cast<std::size_t>(cell[2].integer)];
  std::string_view field;
  if (!StoredText(stored_, cell->integer, kKindText, field) ||
      e_.poolPosition + field.size() + literal.size() + 2 > e_.poolSize)
    return FetchField(cell);
  PushLogical(!literal.empty() && StartsWith(field, literal));
  return cell + 3;
}

// An N field of the current area against a number constant, without pushing either.
const CodeCell* Machine::NumberCompare(const CodeCell* cell) {
  std::string_view text;
  if (!StoredText(stored_, cell->integer, kKindNumber, text)) return FetchField(cell);
  const double a = ParseFieldReal(text);
  const double b = cell[2].number;
  PushLogical(CompareNumbers(cell[3].op, std::isnan(a) ? 0 : a, std::isnan(b) ? 0 : b));
  return cell + 3;
}

void Machine::Function(std::int32_t token, std::int32_t argc) {
  switch (token) {
    case 257:
      return PushNumber(std::fabs(PopNumber()));
    case 259: {
      const std::string_view text = PopText();
      return PushNumber(text.empty() ? 0 : static_cast<unsigned char>(text[0]));
    }
    case 261: {
      const std::string_view text = PopText();
      const std::string_view part = PopText();
      const std::size_t at = part.empty() ? std::string_view::npos : text.find(part);
      return PushNumber(at == std::string_view::npos ? 0 : static_cast<double>(at + 1));
    }
    case 266: {
      const std::int64_t code = WholePart(PopNumber()) & 0xFF;
      const char c = static_cast<char>(code);
      return PushText(code == 0 ? std::string_view() : std::string_view(&c, 1));
    }
    case 269:
      return PushNumber(CtodToJulian(PopText()), kTypeD);
    case 270: {
      std::uint16_t year, month, day, dow;
      GetDate(year, month, day, dow);
      return PushNumber(YmdToJulian(year, month, day), kTypeD);
    }
    case 272:
      return PushLogical(Area() != nullptr && Deleted());
    case 283: {
      const ValueCell no = Pop();
      const ValueCell yes = Pop();
      const bool condition = PopLogical();
      const ValueCell& chosen = condition ? yes : no;
      return PushText({e_.pool.data() + chosen.offset, chosen.length});
    }
    case 284:
      return PushNumber(std::trunc(PopNumber()));
    case 289:
      return PushNumber(static_cast<double>(PopText().size()));
    case 294:
    case 295: {
      const ValueCell b = Pop();
      const ValueCell a = Pop();
      const bool first = token == 294 ? a.number > b.number : a.number < b.number;
      return PushNumber(first ? a.number : b.number, a.type);
    }
    case 296: {
      const std::int64_t b = WholePart(PopNumber());
      const std::int64_t a = WholePart(PopNumber());
      if (b == 0) {
        ReportError(358, "Error during evaluation: Divide by 0 [Evaluate/Engine]");
        return PushNumber(0);
      }
      return PushNumber(b == -1 ? 0 : static_cast<double>(a % b));
    }
    case 300:
      return PushNumber(RecNo());
    case 303: {
      const double decimals = PopNumber();
      return PushNumber(CutDecimals(PopNumber(), WholePart(decimals)));
    }
    case 310: {
      TextBuffer blanks;
      blanks.AppendRepeated(' ', TextCount(PopNumber()));
      return PushText(blanks.View());
    }
    case 311:
      return Str(argc);
    case 312:
      return Stuff();
    case 313:
      return Substr();
    case 319:
      return PushNumber(LeadingNumber(PopText()));
    case 264:
    case 267:
    case 271:
    case 274:
    case 275:
    case 277:
    case 297:
    case 320:
      return DateFunction(token);
    default:
      return TextFunction(token);
  }
}

void Machine::DateFunction(std::int32_t token) {
  const double julian = PopNumber();
  switch (token) {
    case 264:
      return PushText(DayName(JulianDayOfWeek(julian)));
    case 267:
      return PushText(MonthName(JulianToCivil(julian).month));
    case 271:
      return PushNumber(JulianToCivil(julian).day);
    case 274:
      return PushNumber(JulianDayOfWeek(julian));
    case 275:
      return PushText(JulianToDtoc(julian));
    case 277:
      return PushText(JulianToDtos(julian));
    case 297:
      return PushNumber(JulianToCivil(julian).month);
    default:
      return PushNumber(JulianToCivil(julian).year);
  }
}

// Functions that change the text on top of the stack, most of them in place.
void Machine::TextFunction(std::int32_t token) {
  if (token == 288 || token == 302 || token == 301) {
    const double count = PopNumber();
    const std::size_t n = TextCount(count);
    if (token == 301) {
      const std::string_view text = PopText();
      TextBuffer repeated;
      for (std::size_t i = 0; i < n && repeated.length < kMaxText && !text.empty(); ++i)
        repeated.Append(text);
      return PushText(repeated.View());
    }
    ValueCell& cell = Top();
    if (n >= cell.length) return;
    if (token == 302) std::memmove(TopChars(), TopChars() + cell.length - n, n);
    cell.length = static_cast<std::uint32_t>(n);
    TopChars()[n] = 0;
    return;
  }
  ValueCell& cell = Top();
  char* chars = TopChars();
  const std::string_view text = TopText();
  switch (token) {
    case 292:
    case 318:
      if (token == 318)
        UpperInPlace(chars, cell.length);
      else
        platform::Cp1252LowerInPlace(chars, cell.length);
      return;
    case 293: {
      const std::size_t blanks = std::min(text.find_first_not_of(' '), text.size());
      std::memmove(chars, chars + blanks, cell.length - blanks);
      cell.length -= static_cast<std::uint32_t>(blanks);
      chars[cell.length] = 0;
      return;
    }
    case 305:
    case 316:
      cell.length = static_cast<std::uint32_t>(text.find_last_not_of(' ') + 1);
      chars[cell.length] = 0;
      return;
    default:
      return PushText(SoundexCode(PopText()));
  }
}

void Machine::Str(std::int32_t argc) {
  std::size_t width = 10, decimals = 0;
  if (argc == 3) decimals = TextCount(PopNumber());
  if (argc >= 2) width = TextCount(PopNumber());
  const double value = PopNumber();
  PushText(FormatFieldReal(value, static_cast<int>(width), static_cast<int>(decimals)));
}

void Machine::Stuff() {
  const std::string_view insert = PopText();
  const double count = PopNumber();
  const double startNumber = PopNumber();
  const std::string_view text = PopText();
  const std::size_t start = std::min(TextIndex(startNumber), text.size());
  const std::size_t removed = std::min(TextCount(count), text.size() - start);
  TextBuffer result;
  result.Append(text.substr(0, start));
  result.Append(insert);
  result.Append(text.substr(start + removed));
  PushText(result.View());
}

void Machine::Substr() {
  const std::size_t count = TextCount(PopNumber());
  const std::size_t start = TextIndex(PopNumber());
  ValueCell& cell = Top();
  if (start >= cell.length) {
    cell.length = 0;
  } else {
    const std::size_t n = std::min(count, cell.length - start);
    std::memmove(TopChars(), TopChars() + start, n);
    cell.length = static_cast<std::uint32_t>(n);
  }
  TopChars()[cell.length] = 0;
}

}  // namespace

void PlanSteps(CompiledExpr& expr) {
  std::vector<CodeCell>& code = expr.code;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const std::int32_t op = code[i].op;
    ExprStep& step = code[i].step;
    step = kStepCell;
    if (op == kOpEnd) step = kStepEnd;
    if (op == kOpAddCC) step = kStepJoin;
    if (op == kOpAnd) step = kStepAnd;
    if (op == kOpOr) step = kStepOr;
    if (op != kOpPush || code[i].type != kTypeL || !IsFetch(code[i + 1].op)) continue;
    step = kStepField;
    const std::int32_t kind = code[i + 1].op - kOpFetchC;
    const bool converted = (kind == kKindText && code[i + 2].op == kFunctionUpper) ||
                           (kind == kKindDate && code[i + 2].op == kFunctionDtos);
    if ((kind == kKindText || converted) && code[i + (converted ? 3 : 2)].op == kOpAddCC) {
      step = kStepFieldJoin;
      continue;
    }
    const CodeCell& constant = code[i + 2];
    if (constant.op != kOpPush) continue;
    const std::int32_t compare = code[i + 3].op;
    if (kind == kKindText && constant.type == kTypeC && compare == kOpEqN + 2 &&
        expr.literals[static_cast<std::size_t>(constant.integer)].find('\0') == std::string::npos)
      step = kStepTextStartsWith;
    const bool numeric = compare == kOpEqN || compare == kOpGtN || compare == kOpLtN ||
                         compare == kOpNeN || compare == kOpLeN || compare == kOpGeN;
    if (kind == kKindNumber && constant.type == kTypeN && numeric) step = kStepNumberCompare;
  }
}

const void* EvalCompiled(CompiledExpr* handle) {
  if (!IsLiveExpr(handle)) return nullptr;
  CurrentExprScope current(handle);
  return Machine(*handle).Run();
}

const void* EvalExpr(CompiledExpr*& handle) {
  return EvalCompiled(handle);
}

const void* EvalCurrentExpr() {
  return EvalCompiled(currentExpr);
}

CurrentExprScope::CurrentExprScope(CompiledExpr* expr) : previous_(currentExpr) {
  currentExpr = expr;
}

CurrentExprScope::~CurrentExprScope() {
  currentExpr = previous_;
}

}  // namespace dadav
