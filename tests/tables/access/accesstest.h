#pragma once
// Shared pieces of the dataset, grid, browse and table access tests: the engine fixture with a
// dialog script that records every box; a second process comes from otherprocess.h.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/headless/dialogscript.h"
#include "tables/access/tzdataset.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4use.h"
#include "tables/modules/expr/exprstart.h"
#include "tables/modules/memo/memostart.h"
#include "tables/modules/ndx/ndxmanage.h"
#include "tables/modules/vfile/vfile.h"
#include "tests/tables/core/enginetest.h"
#include "tests/tables/core/otherprocess.h"

namespace accesstest {

using enginetest::Def;
using enginetest::NewTable;
using enginetest::SetInt64;
using enginetest::SetLogical;
using enginetest::SetReal;
using enginetest::SetText;

// A whole-number field of at most 9 digits, held in 4 bytes.
inline void SetInt32(int field, std::int32_t value) {
  std::memcpy(dadav::FieldAddress(field), &value, 4);
}

class AccessTest : public enginetest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    dadav::EngineStart(
        {&dadav::ExprModuleStart, &dadav::IndexInit, &dadav::MemoStart, &dadav::VFileStart});
    dadav::TableLanguageOem = true;
  }
  // The boxes shown so far, as the script wrote them.
  const std::vector<std::string>& Boxes() const { return script_->Transcript(); }
  bool Shown(const std::string& text) const {
    for (const std::string& line : Boxes()) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }

  platform::headless::DialogScript script_;
};

}  // namespace accesstest
