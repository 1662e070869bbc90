// A documentation test: the report test's pinned clock (2024-03-05), recording viewer and
// launcher and scripted dialogs, with the calculation units started and the input unmodified.
#pragma once

#include <functional>
#include <string>

#include "calc/calcstart.h"
#include "platform/headless/dialogscript.h"
#include "tests/base/reportfixture.h"

class DocumentationTest : public ReportTest {
 protected:
  DocumentationTest() {
    StartCalculationUnits();
    Modified = 0;
    AbortFlag = 0;
  }

  // The next form the program shows: the user's actions in it.
  void InForm(std::function<void(platform::Form&)> act) {
    script_.Expect(platform::headless::Step(platform::DialogKind::Form).Act(std::move(act)));
  }

  static void Type(platform::Form& form, const std::string& edit, const std::string& text) {
    form.Get<platform::Edit>(edit).TypeText(text);
  }
  static void Press(platform::Form& form, const std::string& button) {
    form.Get<platform::Button>(button).Click();
  }

  // The protocols shown in the viewer so far, and the last one's text.
  std::size_t ProtocolsShown() const { return viewer_.shown.size(); }
  std::string LastProtocol() const { return Read("temp/outwin.txt"); }
};
