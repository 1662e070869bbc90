// Counts the program's heap allocations, so the test can show that a warm evaluation makes
// none.
#include <cstdlib>
#include <new>

#include "tests/tables/modules/expr/exprtest.h"

namespace {
bool counting = false;
long allocations = 0;
}  // namespace

namespace {
void* Allocate(std::size_t size) noexcept {
  if (counting) ++allocations;
  return std::malloc(size == 0 ? 1 : size);
}
}  // namespace

// Every plain form is replaced together, so each block goes back to the allocator it came from.
void* operator new(std::size_t size) {
  if (void* memory = Allocate(size)) return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* memory = Allocate(size)) return memory;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}

namespace exprtest {
namespace {

class WarmEvaluation : public ExprTest {};

TEST_F(WarmEvaluation, AllocatesNothing) {
  PeopleTable(3, [](int i) {
    enginetest::SetText(1, i == 2 ? "  anna" : "Bert");
    enginetest::SetReal(2, 100.0 * i);
    enginetest::SetLogical(5, i % 2 == 1);
  });
  const char* texts[] = {"UPPER(NAME)+DTOS(BORN)", "NAME='AB' .AND. PRICE>100",
                         "IIF(OK, LTRIM(NAME), SUBSTR(NAME, 2, 3)) + RIGHT(DTOC(BORN), 2)",
                         "ROUND(PRICE / 3, 2) * -2 + YEAR(BORN) + LEN(TRIM(NAME))"};
  for (const char* text : texts) {
    Handle handle = Compile(text);
    ASSERT_NE(handle, nullptr) << text;
    dadav::EvalCompiled(handle.get());
    allocations = 0;
    for (int i = 0; i < 10000; ++i) {
      dadav::GO(i % 3 + 1);
      counting = true;
      dadav::EvalCompiled(handle.get());
      counting = false;
    }
    EXPECT_EQ(allocations, 0) << text;
  }
}

class Compilation : public ExprTest {};

// The allocations of one compilation and its free, after a first one warmed the compiler up.
long CompileAllocations(const std::string& text) {
  dadav::CompiledExpr* warm = dadav::AssignExpr(text);
  dadav::FreeExpr(warm);
  allocations = 0;
  counting = true;
  dadav::CompiledExpr* handle = dadav::AssignExpr(text);
  const bool compiled = handle != nullptr;
  dadav::FreeExpr(handle);
  counting = false;
  return compiled ? allocations : -1;
}

TEST_F(Compilation, AllocatesForTheHandleNotForEachTokenOrNode) {
  PeopleTable(1);
  std::string many = "PRICE * 2";
  while (many.size() < 200) many += " + price - ABS(PRICE) * 2";
  for (const char* few : {"PRICE + 1 + PRICE * 2", "UPPER(NAME) + DTOS(BORN)"})
    EXPECT_EQ(CompileAllocations(many), CompileAllocations(few)) << few;
}

}  // namespace
}  // namespace exprtest
