// A program may end with std::exit at any moment, its tables, memo files, indexes and virtual
// files still open (a writer that gives up on a refused lock): the process ends without
// touching memory it already freed. A child process ends so; the sanitizers turn any such
// touch into a report and a failed exit status.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "tables/core/tzerror.h"
#include "tables/modules/memo/memostart.h"
#include "tables/modules/memo/memowrite.h"
#include "tables/modules/vfile/vfile.h"
#include "tests/tables/modules/ndx/ndxtest.h"

namespace {

using namespace dadav;
using namespace enginetest;

class EndingProcess : public ndxtest::IndexTest {
 protected:
  void SetUp() override {
    IndexTest::SetUp();
    EngineStart({&ExprModuleStart, &IndexInit, &MemoStart, &VFileStart});
    SetExceptionMode(true);
    TableLanguageOem = false;
    NewTable(Path("m.dbf"), {Def("NAME", 'C', 10), Def("PRICE", 'N', 8, 2), Def("NOTE", 'M', 10)},
             30, [](int i) {
               SetText(1, "M" + std::to_string(i % 7));
               SetReal(2, i * 1.25);
             });
    GO(3);
    const auto block = static_cast<std::int32_t>(AddMemo("a note"));
    std::memcpy(FieldAddress(3), &block, 4);
    Replace();
    MakeIndexExpr("NAME", Path("m1.ndx"));
    MakeIndexExpr("PRICE", Path("m2.ndx"));
    NewTable(Path("o.dbf"), {Def("CODE", 'C', 6)}, 12,
             [](int i) { SetText(1, "C" + std::to_string(12 - i)); });
    MakeIndexExpr("UPPER(CODE)", Path("o.ndx"));
    CloseAll();
  }
  void TearDown() override {
    IndexTest::TearDown();
    TableLanguageOem = true;
  }

  // Opens the tables as a program holds them: the memo table with both indexes, the other
  // with its index in its own area, a virtual file with records, then ends the process.
  void HoldTables(const std::string& option) {
    Select(1);
    USE(Path("m.dbf") + option);
    CloseAndSetIndexTo(Path("m1.ndx") + " " + Path("m2.ndx"));
    GoTop();
    Select(2);
    USE(Path("o.dbf") + option);
    CloseAndSetIndexTo(Path("o.ndx"));
    GoBottom();
    Select(3);
    USE("HELD VIRTUAL FILE", buffer_, sizeof buffer_);
    AddStru({Def("NAME", 'C', 10)});
    for (const char* name : {"first", "second"}) {
      SetText(1, name);
      Append();
    }
    Select(1);
  }

  // The child's exit status, -1 when it did not exit.
  static int StatusOfChild(const std::function<void()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
      try {
        body();
      } catch (const EDadavError& error) {
        std::fprintf(stderr, "child: %s\n", error.what());
        _exit(3);
      }
      _exit(4);  // body was to end the process itself
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::uint8_t buffer_[1 + 11] = {};
};

TEST_F(EndingProcess, ExitWithOpenIndexesEndsCleanly) {
  for (const char* option : {" EXCLUSIVE", ""}) {
    EXPECT_EQ(StatusOfChild([&] {
                HoldTables(option);
                std::exit(0);
              }),
              0)
        << "open with \"" << option << "\"";
  }
}

}  // namespace
