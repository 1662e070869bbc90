// Shared fixture of the print tests: the CAD fixture with the table engine and its browse form,
// the scripted printers, the shipped print setups in the table folder, and the print form shown
// with what the user does in it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "cad/print/printcon.h"
#include "platform/headless/scriptedprinters.h"
#include "tables/access/dbf4.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzerror.h"
#include "tests/base/testdata.h"
#include "tests/cad/cadtest.h"

// A printer of the scripted list.
inline platform::PrinterCaps Printer(const std::string& name,
                                     std::optional<std::int32_t> technology = {},
                                     std::vector<std::string> fonts = {}) {
  platform::PrinterCaps caps;
  caps.name = name;
  caps.technology = technology;
  caps.fonts = std::move(fonts);
  return caps;
}

class PrintTest : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    dadav::EngineStart();
    dadav::CreateDbfForm();
    ErrorBoxOn = 1;
    DbfWriteChecked = 0;
    DbfDir = Temp("tables");
    PrintoutDir = Temp("setups");
    DataDir = dir_;
    CurrentFile = "p3g60";
    std::filesystem::create_directory(DbfDir);
    std::filesystem::create_directory(PrintoutDir);
    std::filesystem::copy_file(DataPath("printout.dbf"), DbfDir + "/printout.dbf");
  }
  void TearDown() override {
    dadav::FreeDbfForm();
    dadav::EngineExit();
  }

  using Act = std::function<void(platform::Form&)>;

  // Makes the form, then shows it in the given mode and lets act play the user's part.
  platform::ModalResult Show(const Act& act, std::uint8_t infoMode = 0) {
    TForm_printconf form;
    form.PrinterInfoMode = infoMode;
    dialogs_->Expect(platform::headless::Step(platform::DialogKind::Form).Act(act));
    return form.ShowModal();
  }
  // A form step for the browse form, or for the printer information.
  void ExpectForm(const Act& act) {
    dialogs_->Expect(platform::headless::Step(platform::DialogKind::Form).Act(act));
  }
  // The browse form picks the record and closes with Enter.
  void ExpectPick(std::int32_t record) {
    ExpectForm([record](platform::Form& form) {
      dadav::DbfForm->GoRecord(record);
      form.PressEnter();
    });
  }

  static platform::Edit& EditOf(platform::Form& form, const std::string& name) {
    return form.Get<platform::Edit>(name);
  }
  static const std::string& Text(const platform::Form& form, const std::string& name) {
    return form.Get<platform::Edit>(name).Text();
  }
  static std::int32_t Index(const platform::Form& form, const std::string& name) {
    return form.Get<platform::RadioGroup>(name).ItemIndex();
  }
  static bool Checked(const platform::Form& form, const std::string& name) {
    return form.Get<platform::CheckBox>(name).Checked();
  }
  static void Press(platform::Form& form, const std::string& button) {
    form.Get<platform::Button>(button).Click();
  }

  platform::headless::ScriptedPrinterDocument& Job() const { return printers_->Job(); }

  platform::Substitute<platform::PrinterService, platform::headless::ScriptedPrinters> printers_;
};
