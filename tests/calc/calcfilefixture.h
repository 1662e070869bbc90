// Calculation-file tests: the units started, files in a private folder that is also DataDir,
// message boxes and file dialogs scripted, and the connection the goldens hold.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "base/dialogs/utilcrtfile.h"
#include "base/settings/wbrelvar.h"
#include "calc/calcfiledata.h"
#include "calc/calcfileformat.h"
#include "calc/documentlinks.h"
#include "calc/drawinginfo.h"
#include "platform/headless/dialogscript.h"
#include "tests/calc/calcfixture.h"
#include "tests/support/tempfolder.h"

// The calculation units and drawing texts as the program starts them.
inline void StartCalcFileUnits() {
  for (std::string& text : DrawingTexts) text.clear();
  StartCalculationUnits();
}

class CalcFileTest : public CalcFixture, protected TempFolder {
 protected:
  void SetUp() override {
    CalcFixture::SetUp();
    FileExt = "kv6";
    ProgVersion = "6.0";
    DataDir = dir_ + "/";
    OverwriteQuestion = false;
  }
  void TearDown() override { OverwriteQuestion = true; }

  static void StartAgain() { StartCalcFileUnits(); }

  platform::headless::DialogScript scriptSlot_;
  platform::headless::ScriptedDialogs& script_ = *scriptSlot_;
};

// The worked example as the golden files hold it, with its documentation (texts in CP850).
inline void SetGoldenConnection() {
  SetWorkedExample();
  kv6record& r = CalcData;
  r.d6 = 55.5L;
  r.d6pre = 55;
  r.d7 = 18;
  r.e2 = 2.25L;
  r.r1 = 44.63L;
  r.r2 = 15.37L;
  PartPzul = {360, 360};
  DrawingTexts[1] =
      "Pr\x81"
      "fstand 3";
  DrawingTexts[2] = "P3G 60";
  DrawingTexts[3] = "";
  ChangeCount = 2;
  ChangeEntries[1] = {"Erstausgabe", "01.12.2026", "MK", "Neu erstellt"};
  ChangeEntries[2] = {"Passung", "05.12.2026", "JS",
                      "Ma\xE1"
                      "e ge\x84ndert\r\nToleranz k6"};
  TitleBlockFields.Rows[1] = {"01.12.2026", "MK"};
  TitleBlockFields.Rows[2] = {"02.12.2026", "JS"};
  TitleBlockFields.Rows[3] = {"03.12.2026", "AB"};
  TitleBlockFields.Rows[4] = {"", ""};
  TitleBlockFields.ReplacementFor = "P3G 59";
  TitleBlockFields.ReplacedBy = "";
  TitleBlockFields.ResponsibleDept = "Konstruktion";
  TitleBlockFields.DocumentType = "Fertigungszeichnung";
  TitleBlockFields.DocumentStatus = "freigegeben";
  DrawingTextCount = 1;
  DrawingTextRecords[1] = {24, 64, 3.5L, 0, "H\x84rte 58 HRC", 0};
  DocumentLinks[1] = {"notepad.exe", "notiz.txt"};
}

// Failures show the data as the file would hold it.
inline void PrintTo(const CalcFileData& data, std::ostream* out) {
  for (const std::string& line : CalcFileLines(data)) *out << "\n" << line;
}

inline std::vector<std::string> SplitAtCrLf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(bytes.substr(start, end - start));
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

inline std::string JoinWithCrLf(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}
