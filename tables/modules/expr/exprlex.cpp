#include "tables/modules/expr/exprlex.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "platform/files/cp1252case.h"
#include "tables/core/dbf4area.h"

namespace dadav {
namespace {

constexpr std::uint8_t kDecimalsUnset = 19;

// The name rows of the keyword table: a function of more than four letters may be written
// with any leading part of four letters or more.
struct Keyword {
  std::string_view name;
  std::int32_t token;
  std::uint16_t resultSize;
};

constexpr std::array<Keyword, 42> kKeywords = {{
    {"ABS", 257, 0},         {"ASC", 259, 0},     {"AT", 261, 0},    {"CDOW", 264, 15},
    {"CHR", 266, 2},         {"CMONTH", 267, 15}, {"CTOD", 269, 0},  {"DATE", 270, 0},
    {"DAY", 271, 0},         {"DELETED", 272, 0}, {"DOW", 274, 0},   {"DTOC", 275, 11},
    {"DTOS", 277, 9},        {"IIF", 283, 256},   {"INT", 284, 0},   {"LEFT", 288, 0},
    {"LEN", 289, 0},         {"LOWER", 292, 0},   {"LTRIM", 293, 0}, {"MAX", 294, 0},
    {"MIN", 295, 0},         {"MOD", 296, 0},     {"MONTH", 297, 0}, {"RECNO", 300, 0},
    {"REPLICATE", 301, 256}, {"RIGHT", 302, 0},   {"ROUND", 303, 0}, {"RTRIM", 305, 0},
    {"SOUNDEX", 308, 15},    {"SPACE", 310, 256}, {"STR", 311, 256}, {"STUFF", 312, 0},
    {"SUBSTR", 313, 0},      {"TRIM", 316, 0},    {"UPPER", 318, 0}, {"VAL", 319, 0},
    {"YEAR", 320, 0},        {".F.", 337, 0},     {".T.", 338, 0},   {".NOT.", 339, 0},
    {".OR.", 340, 0},        {".AND.", 341, 0},
}};

constexpr std::array<std::string_view, 5> kDotWords = {".T.", ".F.", ".NOT.", ".AND.", ".OR."};

// The code page's upper case, letters and name characters (letters, digits, "_") of every
// byte, looked up without a call: the lexer asks for each character of every name.
struct CharTables {
  std::array<char, 256> upper{};
  std::array<bool, 256> letter{};
  std::array<bool, 256> name{};
};

CharTables BuildCharTables() {
  CharTables t;
  for (int c = 0; c < 256; ++c) {
    const auto byte = static_cast<std::uint8_t>(c);
    t.upper[byte] = static_cast<char>(platform::Cp1252Upper(byte));
    t.letter[byte] =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || platform::Cp1252IsAlpha(byte);
    t.name[byte] = t.letter[byte] || (c >= '0' && c <= '9') || c == '_';
  }
  return t;
}

// The code page's tables are built by the compiler, so these can be filled before main.
const CharTables kChars = BuildCharTables();

char UpperChar(char c) {
  return kChars.upper[static_cast<std::uint8_t>(c)];
}

bool IsLetter(char c) {
  return kChars.letter[static_cast<std::uint8_t>(c)];
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsNameChar(char c) {
  return kChars.name[static_cast<std::uint8_t>(c)];
}

// A name in upper case, in storage of the longest text an expression has.
class UpperName {
 public:
  explicit UpperName(std::string_view text) : length_(std::min(text.size(), sizeof chars_)) {
    for (std::size_t i = 0; i < length_; ++i) chars_[i] = UpperChar(text[i]);
  }
  std::string_view View() const { return {chars_, length_}; }

 private:
  char chars_[256];
  std::size_t length_;
};

// Whether text in upper case is `upper`, without building the upper-case copy.
bool SameUpper(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (UpperChar(text[i]) != upper[i]) return false;
  }
  return true;
}

// Whether `part` begins `text`; names are short, so a plain loop beats a library call.
bool Begins(std::string_view text, std::string_view part) {
  if (part.size() > text.size()) return false;
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (text[i] != part[i]) return false;
  }
  return true;
}

// Functions of more than 4 letters may be shortened to 4 or more; dot-words never are.
bool Matches(std::string_view written, std::string_view name) {
  if (written.size() == name.size()) return Begins(name, written);
  return name[0] != '.' && name.size() > 4 && written.size() >= 4 && Begins(name, written);
}

std::int32_t FieldTokenOf(char type) {
  switch (type) {
    case 'C':
      return 0;
    case 'N':
    case 'F':
      return 1;
    case 'L':
      return 2;
    case 'D':
      return 3;
    case 'M':
      return 4;
    default:
      return -1;
  }
}

// The first row of the keywords beginning with each character; rows of one leading character
// follow each other, so a name is compared with those rows only.
constexpr std::array<std::uint8_t, 256> kFirstRows = [] {
  std::array<std::uint8_t, 256> rows{};
  rows.fill(kKeywords.size());
  for (std::size_t i = kKeywords.size(); i-- > 0;)
    rows[static_cast<std::uint8_t>(kKeywords[i].name[0])] = static_cast<std::uint8_t>(i);
  return rows;
}();

static_assert(
    [] {
      for (std::size_t i = 1; i < kKeywords.size(); ++i) {
        const char first = kKeywords[i].name[0];
        if (first != kKeywords[i - 1].name[0] && kFirstRows[static_cast<std::uint8_t>(first)] != i)
          return false;
      }
      return true;
    }(),
    "rows of one leading character follow each other");

const Keyword* FindKeyword(std::string_view name) {
  for (std::size_t i = kFirstRows[static_cast<std::uint8_t>(name[0])];
       i < kKeywords.size() && kKeywords[i].name[0] == name[0]; ++i) {
    if (Matches(name, kKeywords[i].name)) return &kKeywords[i];
  }
  return nullptr;
}

}  // namespace

void ExprLexer::Next(Token& token) {
  while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  token = Token();
  if (pos_ >= text_.size()) {
    token.last = Last();
    return;
  }
  const char c = text_[pos_];
  if (IsDigit(c)) return Number(token);
  if (c == '\'' || c == '"') return Literal(token);
  if (IsLetter(c) || c == '_' || c == '.') return Name(token);
  // Only these characters begin a two-character operator.
  const char next = pos_ + 1 < text_.size() ? text_[pos_ + 1] : '\0';
  std::int32_t pair = 0;
  if (c == '=' && next == '=') pair = kTokExact;
  if (c == '*' && next == '*') pair = '^';
  if (c == '>' && next == '=') pair = kTokGreaterEqual;
  if (c == '<' && next == '=') pair = kTokLessEqual;
  if (c == '<' && next == '>') pair = kTokNotEqual;
  if (pair != 0) {
    pos_ += 2;
    token.code = pair;
    token.last = Last();
    return;
  }
  ++pos_;
  token.code = static_cast<unsigned char>(c);
  if (c == '#') token.code = kTokNotEqual;
  if (c == '$') token.code = kTokContains;
  token.last = Last();
}

bool ExprLexer::DotWordAt(std::size_t at, std::size_t* length) const {
  if (at >= text_.size() || text_[at] != '.') return false;
  for (std::string_view word : kDotWords) {
    if (text_.size() - at >= word.size() && SameUpper(text_.substr(at, word.size()), word)) {
      if (length != nullptr) *length = word.size();
      return true;
    }
  }
  return false;
}

// Digits, at most one "." and an exponent of digits; a "." that begins a dot-word ends it.
void ExprLexer::Number(Token& token) {
  const std::size_t start = pos_;
  auto digits = [&] {
    while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
  };
  auto at = [&](char c) { return pos_ < text_.size() && UpperChar(text_[pos_]) == c; };
  digits();
  if (at('.') && !DotWordAt(pos_)) {
    ++pos_;
    digits();
  }
  if (at('E')) {
    ++pos_;
    digits();
  }
  token.last = Last();
  const std::string_view literal = text_.substr(start, pos_ - start);
  const auto result =
      std::from_chars(literal.data(), literal.data() + literal.size(), token.number);
  const bool malformed = result.ec != std::errc() ||
                         result.ptr != literal.data() + literal.size() || at('E') ||
                         (at('.') && !DotWordAt(pos_));
  token.code = malformed ? kTokBad : kTokNumber;
  length_ = 0;
  decimals_ = 2;
}

void ExprLexer::Literal(Token& token) {
  const char quote = text_[pos_++];
  const std::size_t close = text_.find(quote, pos_);
  if (close == std::string_view::npos) {
    pos_ = text_.size();
    token.code = kTokBad;
    token.last = Last();
    return;
  }
  token.code = kTokString;
  token.text = text_.substr(pos_, close - pos_);
  pos_ = close + 1;
  token.last = Last();
  length_ = 0;
  decimals_ = 2;
  pool_ += static_cast<std::uint32_t>(token.text.size() + 1);
}

void ExprLexer::Name(Token& token) {
  const std::size_t start = pos_;
  std::size_t dotWord = 0;
  if (DotWordAt(pos_, &dotWord)) {
    pos_ += dotWord;
  } else {
    ++pos_;
    while (pos_ < text_.size() &&
           (IsNameChar(text_[pos_]) || (text_[pos_] == '.' && !DotWordAt(pos_))))
      ++pos_;
  }
  const UpperName upper(text_.substr(start, pos_ - start));
  const std::string_view name = upper.View();
  if (dotWord == 0 && pos_ + 1 < text_.size() && text_[pos_] == '-' && text_[pos_ + 1] == '>') {
    pos_ += 2;
    const std::size_t fieldStart = pos_;
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
    token.last = Last();
    if (!FieldToken(UpperName(text_.substr(fieldStart, pos_ - fieldStart)).View(), name, token))
      token.code = kTokBad;
    return;
  }
  token.last = Last();
  if (dotWord == 0 && !OpenParenthesisFollows() && FieldToken(name, {}, token)) return;
  const Keyword* keyword = FindKeyword(name);
  if (keyword == nullptr) {
    token.code = kTokBad;
    return;
  }
  token.code = keyword->token;
  length_ = 0;
  decimals_ = 2;
  pool_ += keyword->resultSize;
}

bool ExprLexer::OpenParenthesisFollows() const {
  std::size_t at = pos_;
  while (at < text_.size() && (text_[at] == ' ' || text_[at] == '\t')) ++at;
  return at < text_.size() && text_[at] == '(';
}

// Resolves a field of the current area, or of the area among 1 to 32 whose alias matches on
// at most 10 characters.
bool ExprLexer::FieldToken(std::string_view name, std::string_view alias, Token& token) {
  const WorkArea* area = nullptr;
  std::int32_t areaNumber = 0;
  if (alias.empty()) {
    area = Area();
  } else {
    for (std::uint8_t n = 1; n <= 32 && area == nullptr; ++n) {
      const WorkArea* candidate = WorkAreaTable[n].get();
      if (candidate != nullptr && candidate->state != kClosed &&
          SameUpper(std::string_view(candidate->alias).substr(0, 10), alias.substr(0, 10))) {
        area = candidate;
        areaNumber = n;
      }
    }
  }
  if (area == nullptr) return false;
  for (std::size_t i = 0; i < area->fields.size(); ++i) {
    const FieldDescriptor& f = area->fields[i];
    const std::int32_t kind = FieldTokenOf(f.type);
    if (kind < 0 || !SameUpper(f.name, name)) continue;
    token.code = (alias.empty() ? kTokFieldC : kTokAliasC) + kind;
    token.field = static_cast<std::int32_t>(i + 1);
    token.area = areaNumber;
    length_ = f.length;
    if (f.type == 'N' || f.type == 'F')
      decimals_ = decimals_ >= kDecimalsUnset ? f.decimals : std::uint8_t{2};
    if (f.type == 'C') pool_ += f.length + 1u;
    return true;
  }
  return false;
}

}  // namespace dadav
