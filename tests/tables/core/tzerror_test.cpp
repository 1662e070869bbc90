#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "enginetest.h"
#include "platform/headless/dialogscript.h"
#include "tables/core/tzerror.h"

namespace {

using namespace dadav;
using enginetest::EngineTest;

int exitStatus = -1;
void RememberExit(int status) {
  exitStatus = status;
}

TEST(ErrorText, CodesAndUndefinedOnes) {
  for (auto [code, text] : {std::pair<std::uint16_t, const char*>{0, ""},
                            {7, "Error # 7 (Undefined error)"},
                            {227, "Error # 227 (Insufficient disk space )"},
                            {1250, "Error # 1250 (Network Error)"}}) {
    EXPECT_EQ(ErrorText(code), text) << code;
  }
}

TEST(ErrorReporter, SilentModeDeliversTheErrorOnceAndExceptionsCarryTheTwoLines) {
  SetReportErrors(false);
  ReportError(215, "No database in use [GoTop]  WorkArea = 1");
  EXPECT_EQ(LastErrorCode, 215);
  EXPECT_EQ(TakeErrorText(),
            "Error # 215 (No database in use)\r\nNo database in use [GoTop]  WorkArea = 1");
  EXPECT_EQ(TakeErrorText(), "");
  SetReportErrors(true);
  SetExceptionMode(true);
  try {
    ReportError(212, "Invalid record number = 9 [GO]");
    FAIL();
  } catch (const EDadavError& e) {
    EXPECT_STREQ(e.what(), "Error # 212 (Request beyond range)\r\nInvalid record number = 9 [GO]");
  }
  SetExceptionMode(false);
}

// The halt shows in the platform's error box.
TEST(ErrorReporter, HaltShowsOnceAndExitsWithAnEightBitStatus) {
  const platform::headless::DialogScript script;
  SetHaltExit(&RememberExit);
  SetExceptionMode(false);
  Halting = false;
  ReportError(1280, "x");
  EXPECT_EQ(std::tuple(script->Transcript().size(), exitStatus, Halting),
            std::tuple(1u, 255, true));
  EXPECT_EQ(script->Transcript()[0], "Program halted.|" + ErrorText(1280) + "\r\nx");
  ReportError(210, "second");
  EXPECT_EQ(script->Transcript().size(), 1u);
  Halting = false;
  SetHaltExit(nullptr);
}

TEST_F(EngineTest, HaltClosesTablesBeforeExiting) {
  std::string path = Path("halt.dbf");
  CreateDBF(path, {enginetest::Def("NAME", 'C', 4)});
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SetExceptionMode(false);
    USE(path + " EXCLUSIVE");
    ClearRecord();
    Append();
    Append();
    ReportError(210, "broken [Test]");
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 210);
  std::vector<std::uint8_t> bytes = enginetest::ReadBytes(path);
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_EQ(bytes[4], 2);  // the count of both appends reached the header
  EXPECT_EQ(bytes.back(), 0x1A);
}

}  // namespace
