#pragma once
// A compiled expression: postfix code for the evaluator's stack machine, its result type and
// size, and the working storage every evaluation reuses (value stack and string pool), so a
// warm evaluation allocates nothing.

#include <cstdint>
#include <string>
#include <vector>

namespace dadav {

// Operation codes; functions use their keyword token (257..320).
enum ExprOp : std::int32_t {
  kOpEnd = -1,
  kOpPush = 0,
  kOpFetchC = 321,  // C, N, L, D, M field of the current area
  kOpFetchAliasC = 326,
  kOpAddNN = 347,
  kOpAddND = 348,
  kOpAddDN = 349,
  kOpAddCC = 350,
  kOpSubNN = 351,
  kOpSubDN = 352,
  kOpSubDD = 353,
  kOpSubCC = 354,
  kOpMul = 355,
  kOpDiv = 356,
  kOpPow = 357,
  kOpEqN = 358,  // N, D, C, L
  kOpExactC = 362,
  kOpContainsC = 363,
  kOpGtN = 364,  // N, D, C
  kOpLtN = 367,
  kOpNeN = 370,  // N, D, C, L
  kOpLeN = 374,
  kOpGeN = 377,
  kOpOr = 380,
  kOpAnd = 381,
  kOpNot = 382,
  kOpNegate = 383,
};

// Value types of constants and stack values.
enum ExprType : std::int32_t {
  kTypeC = 331,
  kTypeN = 332,
  kTypeL = 333,
  kTypeD = 334,
  kTypeM = 335
};

// How the evaluator runs the code from a cell on, chosen once when the expression is compiled:
// the common runs of cells (a field of the current area, a field compared with a constant) in
// one step, every other cell alone. A run's later cells keep their own step, where a run that
// cannot take its short way goes on.
enum ExprStep : std::uint8_t {
  kStepEnd,
  kStepCell,
  kStepField,           // push, fetch of the current area (and UPPER or DTOS right after)
  kStepFieldJoin,       // the same for a C field or DTOS of a D field, then + of texts
  kStepTextStartsWith,  // push, fetch C, push of a literal, =
  kStepNumberCompare,   // push, fetch N, push of a number, a comparison of numbers
  kStepJoin,
  kStepAnd,
  kStepOr,
};

struct CodeCell {
  std::int32_t op = kOpPush;
  std::int32_t argc = 0;
  std::int32_t type = 0;
  double number = 0;          // N and D constants
  std::int32_t integer = 0;   // L constants, field and area numbers, literal index for C
  ExprStep step = kStepCell;  // chosen once the code is complete
  bool operator==(const CodeCell&) const = default;
};

struct ValueCell {
  std::int32_t type = 0;
  double number = 0;
  std::int32_t logical = 0;
  std::uint32_t offset = 0;  // C and M: the text in the pool
  std::uint32_t length = 0;
};

// Every C value is at most this long.
constexpr std::size_t kMaxText = 255;

struct CompiledExpr {
  std::string text;
  char type = 'C';
  std::uint16_t width = 0;
  std::uint8_t decimals = 0;
  std::vector<std::string> literals;
  std::vector<CodeCell> code;
  std::vector<ValueCell> stack;  // sized to the deepest use when compiled
  std::size_t depth = 0;
  std::uint16_t poolSize = 0;
  std::vector<char> pool;  // poolSize bytes plus one for the result's terminator
  std::size_t poolPosition = 0;
  double resultNumber = 0;
  std::int32_t resultLogical = 0;

  // Back to the state of a new handle, keeping the storage of its text and vectors.
  void Clear() {
    text.clear();
    type = 'C';
    width = 0;
    decimals = 0;
    literals.clear();
    code.clear();
    stack.clear();
    depth = 0;
    poolSize = 0;
    pool.clear();
    poolPosition = 0;
    resultNumber = 0;
    resultLogical = 0;
  }
};

}  // namespace dadav
