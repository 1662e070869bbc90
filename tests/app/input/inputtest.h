// The input form tests: the golden P3G 60 connection loaded, a drawing window on a recording
// surface for the Calc buttons' redraw, scripted dialogs, and the table engine with the browse
// form over a table folder of the test's own, holding the shipped tables.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "base/draw/hgvar.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/messages.h"
#include "base/text/numbertext.h"
#include "cad/layer/cadvar.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "calc/kv6record.h"
#include "platform/headless/dialogscript.h"
#include "platform/headless/recordingsurface.h"
#include "platform/ui/handlerguard.h"
#include "tables/access/dbf4.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzdbflow.h"
#include "tables/modules/expr/exprstart.h"
#include "tables/modules/memo/memostart.h"
#include "tables/modules/ndx/ndxmanage.h"
#include "tables/modules/vfile/vfile.h"
#include "tests/base/testdata.h"
#include "tests/support/tempfolder.h"
#include "tests/tables/core/enginetables.h"

class InputTest : public ::testing::Test, protected TempFolder {
 protected:
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    InitGraphicsSettings();
    InitPrintSetup();
    InitCadDefaults();
    HorizontalPixels = 640;
    VerticalPixels = 480;
    window_.FormCreate();
    StartCalculationUnits();
    ClearMessages();
    UnitSystem = 0;
    DecimalSeparator = '.';
    ErrorBoxOn = 1;
    std::filesystem::create_directory(Path("temp"));
    std::filesystem::create_directory(Path("tables"));
    TempDir = Path("temp") + "/";
    CadDir = Dir();
    DbfDir = Path("tables");
    for (const char* table : {"p3g.dbf", "rkm1base.dbf", "kv3wstyp.dbf"}) {
      std::filesystem::copy_file(DataPath(table), Path(std::string("tables/") + table));
    }
    dadav::EngineStart(
        {&dadav::ExprModuleStart, &dadav::IndexInit, &dadav::MemoStart, &dadav::VFileStart});
    dadav::CreateDbfForm();
    ASSERT_TRUE(LoadCalcFile(Golden()));
    ClearMessages();
    AbortFlag = 0;
  }
  void TearDown() override {
    dadav::FreeDbfForm();
    platform::SetUnexpectedErrorHandler(nullptr);
    UnitSystem = 0;
    DecimalSeparator = '.';
    TextCharMode = 0;
  }

  static std::string Golden() { return SourceRoot() + "/tests/calc/golden/p3g60.kv6"; }

  // What the user does in the next form the program shows.
  void InForm(std::function<void(platform::Form&)> act) {
    dialogs_->Expect(platform::headless::Step(platform::DialogKind::Form).Act(std::move(act)));
  }
  static void Type(platform::Form& form, const std::string& edit, const std::string& text) {
    form.Get<platform::Edit>(edit).TypeText(text);
  }
  static void Press(platform::Form& form, const std::string& button) {
    form.Get<platform::Button>(button).Click();
  }
  static const std::string& Text(const platform::Form& form, const std::string& edit) {
    return form.Get<platform::Edit>(edit).Text();
  }
  static const std::string& Caption(const platform::Form& form, const std::string& label) {
    return form.Get<platform::Label>(label).Caption();
  }
  // In the browse form: Enter on the row of record n, or Esc.
  void PickRow(std::int32_t n) {
    InForm([n](platform::Form& form) {
      dadav::DbfForm->GoRecord(n);
      form.PressEnter();
    });
  }
  void LeaveBrowse() {
    InForm([](platform::Form& form) { form.PressEscape(); });
  }
  // A table of the test's own in the table folder, each row the stored texts of its fields,
  // written as they stand (code page 850).
  void WriteTable(const std::string& name, const std::vector<dadav::FieldDescriptor>& fields,
                  const std::vector<std::vector<std::string>>& rows) {
    const std::string path = Path("tables/" + name);
    std::filesystem::remove(path);
    dadav::TableLanguageOem = false;
    dadav::CreateDBF(path, fields);
    dadav::USE(path + " EXCLUSIVE");
    for (const auto& row : rows) {
      dadav::ClearRecord();
      for (std::size_t i = 0; i < row.size(); ++i) {
        dadav::PutStoredField(static_cast<std::int32_t>(i + 1), row[i]);
      }
      dadav::Append();
    }
    dadav::CloseAll();
    dadav::TableLanguageOem = true;
  }
  // Material rows: IDENT, NAME, NAME2, TYPENO, RM, RE, E, DENSITY, ALPHA, POISSON, G, STANDARD,
  // REMARK.
  void WriteMaterials(const std::vector<std::vector<std::string>>& rows) {
    using enginetest::Def;
    WriteTable("rkm1base.dbf",
               {Def("IDENT", 'C', 9), Def("NAME", 'C', 18), Def("NAME2", 'C', 18),
                Def("TYPENO", 'N', 2), Def("RM", 'N', 5), Def("RE", 'N', 5), Def("E", 'N', 6),
                Def("DENSITY", 'N', 6, 3), Def("ALPHA", 'N', 5, 1), Def("POISSON", 'N', 5, 3),
                Def("G", 'N', 6), Def("STANDARD", 'C', 16), Def("REMARK", 'C', 30)},
               rows);
  }
  // Type rows: TYPENO, NAME, then fS and fH of the key, the shaft and the hub.
  void WriteTypes(const std::vector<std::vector<std::string>>& rows) {
    using enginetest::Def;
    WriteTable("kv3wstyp.dbf",
               {Def("TYPENO", 'C', 2), Def("NAME", 'C', 30), Def("FS_KEY", 'N', 5, 2),
                Def("FH_KEY", 'N', 5, 2), Def("FS_SHAFT", 'N', 5, 2), Def("FH_SHAFT", 'N', 5, 2),
                Def("FS_HUB", 'N', 5, 2), Def("FH_HUB", 'N', 5, 2)},
               rows);
  }
  bool Boxed(const std::string& text) const {
    for (const std::string& line : dialogs_->Transcript()) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }

  platform::headless::DialogScript dialogs_;
  platform::RecordingDrawSurface surface_;
  TFbrelgra window_{surface_};
  TDrawer drawer_;
};
