#include "tables/modules/expr/exprcompile.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "tables/core/tzerror.h"
#include "tables/modules/expr/expreval.h"
#include "tables/modules/expr/exprlex.h"

namespace dadav {
namespace {

constexpr std::uint8_t kDecimalsUnset = 19;

// The live handles in address order: registering one costs no allocation of its own, and the
// handle found last is remembered, since an index build evaluates one handle for every record.
// The list, and the spare handle below, are never destroyed: the work areas free their index
// keys when the process ends, and they may go after any object of this unit would.
std::vector<const CompiledExpr*>& LiveExprs() {
  static auto& live = *new std::vector<const CompiledExpr*>;
  return live;
}
const CompiledExpr* lastFound = nullptr;

std::vector<const CompiledExpr*>::iterator LiveSlot(const CompiledExpr* handle) {
  std::vector<const CompiledExpr*>& live = LiveExprs();
  return std::lower_bound(live.begin(), live.end(), handle, std::less<const CompiledExpr*>());
}

// The handle freed last, kept with its storage: an index or filter set up again after a free
// compiles without allocating.
std::unique_ptr<CompiledExpr>& Spare() {
  static auto& spare = *new std::unique_ptr<CompiledExpr>;
  return spare;
}

std::unique_ptr<CompiledExpr> NewHandle() {
  std::unique_ptr<CompiledExpr> expr = std::move(Spare());
  if (expr == nullptr) return std::make_unique<CompiledExpr>();
  expr->Clear();
  return expr;
}

bool Unregister(const CompiledExpr* handle) {
  const auto slot = LiveSlot(handle);
  if (slot == LiveExprs().end() || *slot != handle) return false;
  LiveExprs().erase(slot);
  if (lastFound == handle) lastFound = nullptr;
  return true;
}

struct BinaryRule {
  std::int32_t token;
  char left, right;
  std::int32_t op;
  char result;
};

constexpr BinaryRule kBinaryRules[] = {
    {'+', 'N', 'N', kOpAddNN, 'N'},
    {'+', 'N', 'D', kOpAddND, 'D'},
    {'+', 'D', 'N', kOpAddDN, 'D'},
    {'+', 'C', 'C', kOpAddCC, 'C'},
    {'-', 'N', 'N', kOpSubNN, 'N'},
    {'-', 'D', 'N', kOpSubDN, 'D'},
    {'-', 'D', 'D', kOpSubDD, 'N'},
    {'-', 'C', 'C', kOpSubCC, 'C'},
    {'*', 'N', 'N', kOpMul, 'N'},
    {'/', 'N', 'N', kOpDiv, 'N'},
    {'^', 'N', 'N', kOpPow, 'N'},
    {'=', 'N', 'N', kOpEqN, 'L'},
    {'=', 'D', 'D', kOpEqN + 1, 'L'},
    {'=', 'C', 'C', kOpEqN + 2, 'L'},
    {'=', 'L', 'L', kOpEqN + 3, 'L'},
    {kTokExact, 'C', 'C', kOpExactC, 'L'},
    {kTokContains, 'C', 'C', kOpContainsC, 'L'},
    {'>', 'N', 'N', kOpGtN, 'L'},
    {'>', 'D', 'D', kOpGtN + 1, 'L'},
    {'>', 'C', 'C', kOpGtN + 2, 'L'},
    {'<', 'N', 'N', kOpLtN, 'L'},
    {'<', 'D', 'D', kOpLtN + 1, 'L'},
    {'<', 'C', 'C', kOpLtN + 2, 'L'},
    {kTokNotEqual, 'N', 'N', kOpNeN, 'L'},
    {kTokNotEqual, 'D', 'D', kOpNeN + 1, 'L'},
    {kTokNotEqual, 'C', 'C', kOpNeN + 2, 'L'},
    {kTokNotEqual, 'L', 'L', kOpNeN + 3, 'L'},
    {kTokLessEqual, 'N', 'N', kOpLeN, 'L'},
    {kTokLessEqual, 'D', 'D', kOpLeN + 1, 'L'},
    {kTokLessEqual, 'C', 'C', kOpLeN + 2, 'L'},
    {kTokGreaterEqual, 'N', 'N', kOpGeN, 'L'},
    {kTokGreaterEqual, 'D', 'D', kOpGeN + 1, 'L'},
    {kTokGreaterEqual, 'C', 'C', kOpGeN + 2, 'L'},
    {kTokOr, 'L', 'L', kOpOr, 'L'},
    {kTokAnd, 'L', 'L', kOpAnd, 'L'},
};

// Binding levels from the tightest binary operator (2) to the loosest (9); 0 for no operator.
int LevelOf(std::int32_t token) {
  switch (token) {
    case '^':
      return 2;
    case '*':
    case '/':
      return 3;
    case '+':
    case '-':
      return 4;
    case '<':
    case '>':
    case kTokLessEqual:
    case kTokGreaterEqual:
      return 5;
    case kTokContains:
    case kTokExact:
      return 6;
    case '=':
    case kTokNotEqual:
      return 7;
    case kTokAnd:
      return 8;
    case kTokOr:
      return 9;
    default:
      return 0;
  }
}

std::string OperatorName(std::int32_t token) {
  switch (token) {
    case '^':
      return "** or ^";
    case kTokExact:
      return "==";
    case kTokContains:
      return "$";
    case kTokNotEqual:
      return "<>";
    case kTokLessEqual:
      return "<=";
    case kTokGreaterEqual:
      return ">=";
    case kTokOr:
      return ".OR.";
    case kTokAnd:
      return ".AND.";
    default:
      return std::string(1, static_cast<char>(token));
  }
}

struct FunctionRule {
  std::int32_t token;
  std::string_view name;
  std::string_view arguments;
  char result;
};

constexpr FunctionRule kFunctionRules[] = {
    {257, "ABS", "N", 'N'},      {259, "ASC", "C", 'N'},    {261, "AT", "CC", 'N'},
    {264, "CDOW", "D", 'C'},     {266, "CHR", "N", 'C'},    {267, "CMONTH", "D", 'C'},
    {269, "CTOD", "C", 'D'},     {270, "DATE", "", 'D'},    {271, "DAY", "D", 'N'},
    {272, "DELETED", "", 'L'},   {274, "DOW", "D", 'N'},    {275, "DTOC", "D", 'C'},
    {277, "DTOS", "D", 'C'},     {283, "IIF", "LCC", 'C'},  {284, "INT", "N", 'N'},
    {288, "LEFT", "CN", 'C'},    {289, "LEN", "C", 'N'},    {292, "LOWER", "C", 'C'},
    {293, "LTRIM", "C", 'C'},    {294, "MAX", "NN", 'N'},   {294, "MAX", "DD", 'D'},
    {295, "MIN", "NN", 'N'},     {295, "MIN", "DD", 'D'},   {296, "MOD", "NN", 'N'},
    {297, "MONTH", "D", 'N'},    {300, "RECNO", "", 'N'},   {301, "REPLICATE", "CN", 'C'},
    {302, "RIGHT", "CN", 'C'},   {303, "ROUND", "NN", 'N'}, {305, "RTRIM", "C", 'C'},
    {308, "SOUNDEX", "C", 'C'},  {310, "SPACE", "N", 'C'},  {311, "STR", "N", 'C'},
    {311, "STR", "NN", 'C'},     {311, "STR", "NNN", 'C'},  {312, "STUFF", "CNNC", 'C'},
    {313, "SUBSTR", "CNN", 'C'}, {316, "TRIM", "C", 'C'},   {318, "UPPER", "C", 'C'},
    {319, "VAL", "C", 'N'},      {320, "YEAR", "D", 'N'},
};

constexpr std::size_t kMaxArguments = 4;
static_assert(std::all_of(std::begin(kFunctionRules), std::end(kFunctionRules),
                          [](const FunctionRule& rule) {
                            return rule.arguments.size() <= kMaxArguments;
                          }));

bool IsFunction(std::int32_t token) {
  return token >= 257 && token <= 320;
}

// Where each function's rules begin in the table and how many there are, by token.
struct RuleRange {
  std::uint8_t first = 0;
  std::uint8_t count = 0;
};

constexpr std::array<RuleRange, 64> kRuleRanges = [] {
  std::array<RuleRange, 64> ranges{};
  for (std::size_t i = std::size(kFunctionRules); i-- > 0;) {
    RuleRange& range = ranges[static_cast<std::size_t>(kFunctionRules[i].token - 257)];
    range.first = static_cast<std::uint8_t>(i);
    ++range.count;
  }
  return ranges;
}();

static_assert(
    [] {
      for (std::size_t i = 1; i < std::size(kFunctionRules); ++i) {
        if (kFunctionRules[i].token < kFunctionRules[i - 1].token) return false;
      }
      return true;
    }(),
    "the rules of one function follow each other");

std::span<const FunctionRule> RulesOf(std::int32_t token) {
  const RuleRange range = kRuleRanges[static_cast<std::size_t>(token - 257)];
  return {kFunctionRules + range.first, range.count};
}

void ArgumentCounts(std::span<const FunctionRule> rules, std::size_t& least, std::size_t& most) {
  least = kMaxText;
  most = 0;
  for (const FunctionRule& rule : rules) {
    least = std::min(least, rule.arguments.size());
    most = std::max(most, rule.arguments.size());
  }
}

// "[" or "[..." and at most 51 characters around the last character read, then "]" or "...]".
std::string ErrorWindow(std::string_view text, std::size_t q) {
  const std::size_t start = q < 50 ? 0 : q - 50;
  std::string window = start == 0 ? "[" : "[...";
  const std::string_view rest = text.substr(std::min(start, text.size()));
  if (rest.size() <= 51) return window + std::string(rest) + "]";
  return window + std::string(rest.substr(0, 51)) + "...]";
}

void ReportExprError(std::string_view text, std::size_t q, const std::string& message) {
  ReportError(351, "Error in expression : " + message + "\r\n" + ErrorWindow(text, q) +
                       "\r\n [AssignExpr]");
}

// The code under construction, kept between compilations so that emitting a cell allocates
// nothing once it has grown; the handle takes a copy of exactly its size.
std::vector<CodeCell>& CodeScratch() {
  static std::vector<CodeCell> code;
  return code;
}

class ExprParser {
 public:
  ExprParser(std::string_view text, CompiledExpr& expr)
      : text_(text), lexer_(text), expr_(expr), code_(CodeScratch()) {
    code_.clear();
  }

  bool Parse() {
    Advance();
    const char type = Level(9);
    if (type == 0) return false;
    if (token_.code != kTokEnd) return Fail("Syntax error");
    Emit({kOpEnd, 0, 0, 0, 0}, 0);
    expr_.code.assign(code_.begin(), code_.end());
    expr_.type = type;
    return true;
  }
  const ExprLexer& Lexer() const { return lexer_; }
  std::size_t Depth() const { return most_; }

 private:
  void Advance() { lexer_.Next(token_); }

  bool Fail(const std::string& message) {
    ReportExprError(text_, token_.last, message);
    return false;
  }

  void Emit(const CodeCell& cell, int pops) {
    code_.push_back(cell);
    if (cell.op == kOpEnd) return;
    depth_ = depth_ - static_cast<std::size_t>(pops) + 1;
    most_ = std::max(most_, depth_);
  }

  // Counts one more open nesting; false after the overflow was reported.
  bool Enter() {
    if (++nesting_ <= kMaxNesting) return true;
    return Fail("Parser_stack_overflow");
  }

  // Operands joined by binary operators binding no looser than `level`, each taking its right
  // operand from the tighter levels, so operators of one level group from the left.
  char Level(int level) {
    char left = Unary();
    for (int found = LevelOf(token_.code); left != 0 && found != 0 && found <= level;
         found = LevelOf(token_.code)) {
      const std::int32_t op = token_.code;
      Advance();
      const char right = Level(found - 1);
      if (right == 0) return 0;
      left = Binary(op, left, right);
    }
    return left;
  }

  char Binary(std::int32_t token, char left, char right) {
    for (const BinaryRule& rule : kBinaryRules) {
      if (rule.token == token && rule.left == left && rule.right == right) {
        Emit({rule.op, 2, 0, 0, 0}, 2);
        return rule.result;
      }
    }
    Fail("PARSER:Type mismatch in expression \"" + OperatorName(token) + "\"");
    return 0;
  }

  char Unary() {
    const std::int32_t op = token_.code;
    if (op != '+' && op != '-' && op != kTokNot) return Primary();
    if (!Enter()) return 0;
    Advance();
    const char operand = Unary();
    --nesting_;
    if (operand == 0) return 0;
    const char wanted = op == kTokNot ? 'L' : 'N';
    if (operand != wanted) {
      Fail(std::string("PARSER:Type mismatch in expression \"") +
           (op == kTokNot ? ".NOT." : (op == '+' ? "Unary +" : "Unary -")) + "\"");
      return 0;
    }
    if (op == '-') Emit({kOpNegate, 1, 0, 0, 0}, 1);
    if (op == kTokNot) Emit({kOpNot, 1, 0, 0, 0}, 1);
    return operand;
  }

  // Reads the token's fields where it lies: a copy of the whole token would wait for the
  // lexer's separate stores of them.
  char Primary() {
    const std::int32_t code = token_.code;
    if (code == kTokNumber) {
      Emit({kOpPush, 0, kTypeN, token_.number, 0}, 0);
    } else if (code == kTokString) {
      expr_.literals.emplace_back(token_.text);
      Emit({kOpPush, 0, kTypeC, 0, static_cast<std::int32_t>(expr_.literals.size() - 1)}, 0);
    } else if (code == kTokTrue || code == kTokFalse) {
      Emit({kOpPush, 0, kTypeL, 0, code == kTokTrue ? 1 : 0}, 0);
    } else if (code >= kTokFieldC && code < kTokString) {
      return Field();
    } else if (code == '(') {
      return Parenthesised();
    } else if (IsFunction(code)) {
      return Call(code);
    } else {
      Fail("Syntax error");
      return 0;
    }
    Advance();
    if (code == kTokNumber) return 'N';
    return code == kTokString ? 'C' : 'L';
  }

  char Field() {
    static constexpr char kTypes[] = "CNLDM";
    const std::int32_t code = token_.code;
    const bool aliased = code >= kTokAliasC;
    const std::int32_t kind = code - (aliased ? kTokAliasC : kTokFieldC);
    Emit({kOpPush, 0, kTypeL, 0, token_.field}, 0);
    if (aliased) Emit({kOpPush, 0, kTypeL, 0, token_.area}, 0);
    Emit({(aliased ? kOpFetchAliasC : kOpFetchC) + kind, aliased ? 2 : 1, 0, 0, 0},
         aliased ? 2 : 1);
    Advance();
    return kTypes[kind];
  }

  char Parenthesised() {
    if (!Enter()) return 0;
    Advance();
    const char type = Level(9);
    if (type == 0) return 0;
    if (token_.code != ')') {
      Fail("Syntax error");
      return 0;
    }
    --nesting_;
    Advance();
    return type;
  }

  char Call(std::int32_t function) {
    Advance();
    if (token_.code != '(') {
      Fail("Syntax error");
      return 0;
    }
    if (!Enter()) return 0;
    Advance();
    const std::span<const FunctionRule> rules = RulesOf(function);
    std::size_t least = 0, most = 0;
    ArgumentCounts(rules, least, most);
    std::array<char, kMaxArguments> typeChars{};
    std::size_t count = 0;
    while (count < most && !(count == 0 && token_.code == ')')) {
      if (count != 0) {
        if (token_.code != ',') break;
        Advance();
      }
      const char type = Level(9);
      if (type == 0) return 0;
      typeChars[count++] = type;
    }
    const std::string_view types(typeChars.data(), count);
    if (token_.code != ')' || types.size() < least) {
      Fail("Syntax error");
      return 0;
    }
    --nesting_;
    for (const FunctionRule& rule : rules) {
      if (rule.arguments == types) {
        Emit({function, static_cast<std::int32_t>(types.size()), 0, 0, 0},
             static_cast<int>(types.size()));
        Advance();
        return rule.result;
      }
    }
    Fail("PARSER:Type mismatch in function \"" + std::string(rules.back().name) + "\"");
    return 0;
  }

  std::string_view text_;
  ExprLexer lexer_;
  CompiledExpr& expr_;
  std::vector<CodeCell>& code_;
  Token token_;
  int nesting_ = 0;
  std::size_t depth_ = 0;
  std::size_t most_ = 0;
};

void SetResultSize(CompiledExpr& expr, const ExprLexer& lexer) {
  std::uint32_t pool = expr.type == 'M' ? 256 : lexer.PoolSize();
  const std::uint16_t length = lexer.FieldLength();
  switch (expr.type) {
    case 'C':
      expr.width = pool == length + 1u ? length : 0;
      break;
    case 'D':
      expr.width = 8;
      break;
    case 'N': {
      const std::uint8_t decimals = lexer.Decimals() < kDecimalsUnset ? lexer.Decimals() : 2;
      expr.decimals = decimals;
      expr.width = length >= decimals + 2 ? length : static_cast<std::uint16_t>(decimals + 11);
      break;
    }
    case 'L':
      expr.width = 1;
      break;
    default:
      expr.width = static_cast<std::uint16_t>(pool);
  }
  expr.poolSize = static_cast<std::uint16_t>(pool);
  expr.pool.assign(pool + 1u, 0);
}

}  // namespace

CompiledExpr* AssignExpr(std::string_view text) {
  if (LastErrorCode >= 350 && LastErrorCode <= 363) LastErrorCode = 0;
  if (PendingErrorCode >= 350 && PendingErrorCode <= 363) PendingErrorCode = 0;
  std::unique_ptr<CompiledExpr> expr = NewHandle();
  expr->text.assign(text.substr(0, text.find('\0')));
  if (expr->text.size() > kMaxText) {
    ReportExprError(expr->text, kMaxText, "Syntax error");
    Spare() = std::move(expr);
    return nullptr;
  }
  ExprParser parser(expr->text, *expr);
  if (!parser.Parse()) {
    Spare() = std::move(expr);
    return nullptr;
  }
  SetResultSize(*expr, parser.Lexer());
  PlanSteps(*expr);
  expr->stack.resize(parser.Depth());
  LiveExprs().insert(LiveSlot(expr.get()), expr.get());
  return expr.release();
}

CompiledExpr* CompileExpr(std::string& text) {
  return AssignExpr(text);
}

void FreeExpr(CompiledExpr*& handle) {
  if (!Unregister(handle)) return;
  Spare().reset(handle);
  handle = nullptr;
}

std::string ExprText(CompiledExpr*& handle) {
  return IsLiveExpr(handle) ? handle->text : std::string();
}

bool IsLiveExpr(const CompiledExpr* handle) {
  if (handle == nullptr) return false;
  if (handle == lastFound) return true;
  const auto slot = LiveSlot(handle);
  if (slot == LiveExprs().end() || *slot != handle) return false;
  lastFound = handle;
  return true;
}

}  // namespace dadav
