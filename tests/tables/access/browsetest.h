#pragma once
// The browse form on a table of the test's own: program globals at their defaults, the temporary
// folder inside the test folder, the form made afresh for each test.

#include <filesystem>

#include "accesstest.h"
#include "base/help/helptext.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/messages.h"
#include "tables/access/dbf4.h"
#include "tables/core/dbf4nav.h"

namespace accesstest {

class BrowseTest : public AccessTest {
 protected:
  void SetUp() override {
    AccessTest::SetUp();
    InitWbrelvar();
    InitBrelvar();
    FreeMessages();
    ErrorBoxOn = 1;
    std::filesystem::create_directory(Path("temp"));
    std::filesystem::create_directory(Path("tables"));
    TempDir = Path("temp") + "/";
    DbfDir = Path("tables");
    dadav::CreateDbfForm();
  }
  void TearDown() override {
    dadav::FreeDbfForm();
    AccessTest::TearDown();
  }
  // NAME C(8), VALUE N(8,2), OK L; record i named "R<i>" with value i + 0.5.
  std::string MakeTable(const std::string& name, int n, const std::vector<int>& deleted = {}) {
    const std::string path = Path("tables/" + name);
    NewTable(
        path, {Def("NAME", 'C', 8), Def("VALUE", 'N', 8, 2), Def("OK", 'L', 1)}, n,
        [](int i) {
          SetText(1, "R" + std::to_string(i));
          SetReal(2, i + 0.5);
          SetLogical(3, i % 2 == 1);
        },
        deleted);
    dadav::CloseAll();
    return path;
  }
  dadav::Tdbf4& Form() { return *dadav::DbfForm; }
  // Shows the form and lets act play the user's part in it.
  void Show(const std::string& command, std::uint16_t mode,
            std::function<void(platform::Form&)> act) {
    script_->Expect(platform::headless::Step(platform::DialogKind::Form).Act(std::move(act)));
    Form().ShowTable(command, mode);
  }
};

}  // namespace accesstest
