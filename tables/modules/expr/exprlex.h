#pragma once
// The lexer of expressions: tokens of the text in upper case, fields resolved against the open
// work areas, and the size bookkeeping from which the compiler derives the result's width,
// decimals and working pool.

#include <cstdint>
#include <string>
#include <string_view>

namespace dadav {

enum ExprToken : std::int32_t {
  kTokEnd = 0,
  kTokFieldC = 321,  // C, N, L, D, M of the current area
  kTokAliasC = 326,  // the same with an alias
  kTokString = 331,
  kTokNumber = 332,
  kTokFalse = 337,
  kTokTrue = 338,
  kTokNot = 339,
  kTokOr = 340,
  kTokAnd = 341,
  kTokNotEqual = 342,
  kTokLessEqual = 343,
  kTokGreaterEqual = 344,
  kTokExact = 345,
  kTokContains = 346,
  kTokBad = -2,  // a malformed literal
};

struct Token {
  std::int32_t code = kTokEnd;
  std::size_t last = 0;  // index of the token's last character
  double number = 0;
  std::string_view text;   // a string literal, within the expression's text
  std::int32_t field = 0;  // 1-based field number
  std::int32_t area = 0;   // aliased area
};

class ExprLexer {
 public:
  explicit ExprLexer(std::string_view text) : text_(text) {}
  // The next token, written over `token`.
  void Next(Token& token);

  std::uint16_t FieldLength() const { return length_; }
  std::uint8_t Decimals() const { return decimals_; }
  std::uint32_t PoolSize() const { return pool_; }

 private:
  void Number(Token& token);
  void Literal(Token& token);
  void Name(Token& token);
  bool FieldToken(std::string_view name, std::string_view alias, Token& token);
  bool DotWordAt(std::size_t at, std::size_t* length = nullptr) const;
  bool OpenParenthesisFollows() const;
  std::size_t Last() const { return pos_ == 0 ? 0 : pos_ - 1; }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::uint16_t length_ = 0;
  std::uint8_t decimals_ = 19;
  std::uint32_t pool_ = 0;
};

}  // namespace dadav
