// The data behind title blocks, change protocol and document links: start values, the reset of
// a new connection, the label languages and the change marks.
#include <cstdlib>
#include <ctime>
#include <vector>

#include "base/settings/wbrelvar.h"
#include "base/text/utildate.h"
#include "calc/descriptiontext.h"
#include "calc/documentlinks.h"
#include "calc/drawinginfo.h"
#include "calc/drawinginfotexts.h"
#include "calc/revisionindex.h"
#include "platform/system/services.h"
#include "tests/base/fakemachine.h"
#include "tests/calc/calcfixture.h"

namespace {

class DrawingDocsTest : public CalcFixture {
 protected:
  DrawingDocsTest() {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    machine_->now = std::chrono::system_clock::from_time_t(1709629620);  // 2024-03-05
  }

  platform::Substitute<platform::Machine, FakeMachine> machine_;
};

std::vector<std::string*> AllLabels() {
  // clang-format off
  return {&DiTextOfChanges, &DiResponsible, &DiChanges, &DiIndex, &DiMax, &DiChangesHeading,
          &DiProtocol, &DiInfoDrawing, &DiDrawingDate, &DiReplacementFor, &DiReplacedBy,
          &DiDesignedBy, &DiDescription, &DiCond, &DiModification, &DiDate, &DiName, &DiCompl,
          &DiCheck, &DiStand, &DiPage, &DiResponsibleDept, &DiTechnicalReference, &DiCreatedBy,
          &DiApprovedBy, &DiDocumentType, &DiDocumentStatus, &DiTitle, &DiSupplementaryTitle,
          &DiRev, &DiDateOfIssue, &DiLang};
  // clang-format on
}

std::vector<std::string> LabelValues() {
  std::vector<std::string> values;
  for (const std::string* label : AllLabels()) values.push_back(*label);
  return values;
}

void FillDocumentation() {
  for (int i = 1; i <= kChangeSlotCount; ++i) {
    ChangeEntries[i] = {"change", "01.01.2020", "bob", "why"};
  }
  ChangeCount = 4;
  for (int row = 1; row <= 4; ++row) TitleBlockFields.Rows[row] = {"02.02.2020", "ann"};
  TitleBlockFields.ReplacementFor = TitleBlockFields.ReplacedBy = "old";
  TitleBlockFields.ResponsibleDept = TitleBlockFields.DocumentType = "dept";
  TitleBlockFields.DocumentStatus = "status";
  DrawingTextRecords[1] = {1, 2, 3, 4, "text", 5};
  DrawingTextCount = 1;
  DrawingTextMode = kDrawingTextsNone;
  DocumentLinks[1] = {"gedit", "notes.txt"};
  for (int i = 1; i <= kDrawingTextCount; ++i) DrawingTexts[static_cast<std::size_t>(i)] = "head";
}

TEST_F(DrawingDocsTest, StartClearsEverythingDatesThreeRowsAndSetsEnglishAndDefaultLinks) {
  FillDocumentation();
  SetDrawingInfoLanguage(1);
  StartCalculationUnits();

  EXPECT_EQ(ChangeCount, 0);
  EXPECT_EQ(ChangeEntries[1], ChangeEntry{});
  EXPECT_EQ(DrawingTextCount, 0);
  EXPECT_EQ(DrawingTextRecords[1], DrawingTextRecord{});
  EXPECT_EQ(DrawingTextMode, kDrawingTextsA4);
  TitleBlockFieldSet expected;
  for (int row = 1; row <= 3; ++row) expected.Rows[row].Date = TodayText();
  EXPECT_EQ(TitleBlockFields, expected);
  EXPECT_EQ(DiProtocol, "Protocol of changes");
  EXPECT_EQ(DiChangesHeading, "CHANGES");
  EXPECT_EQ(DocumentLinks[1], (DocumentLink{"notepad.exe", ""}));
  EXPECT_EQ(DocumentLinks[2].Program, "write.exe");
  EXPECT_EQ(DocumentLinks[3].Program, "mspaint.exe");
  EXPECT_EQ(DocumentLinks[5].Program, "notepad.exe");
}

// A new connection empties the title block but for today's date in row 1 and the counts; the
// slots keep their texts for the next new entry, and the sheet's standard stays.
TEST_F(DrawingDocsTest, ResetOfANewConnectionKeepsSlotsAndStandard) {
  FillDocumentation();
  TitleBlockStandard = 2;
  ResetDrawingInfo();

  EXPECT_EQ(ChangeCount, 0);
  EXPECT_EQ(ChangeEntries[4].ChangeText, "change");
  EXPECT_EQ(DrawingTextCount, 0);
  EXPECT_EQ(DrawingTextMode, kDrawingTextsA4);
  TitleBlockFieldSet expected;
  expected.Rows[1].Date = TodayText();
  EXPECT_EQ(TitleBlockFields, expected);
  EXPECT_EQ(TitleBlockStandard, 2);
  EXPECT_EQ(DocumentLinks[1].File, "notes.txt");
}

TEST_F(DrawingDocsTest, ResetOfDocumentTextsEmptiesTheReportHeaderLinesOnly) {
  FillDocumentation();
  ResetDocumentTexts();
  EXPECT_EQ(DrawingTexts[1], "");
  EXPECT_EQ(DrawingTexts[3], "");
  EXPECT_EQ(DocumentLinks[1], (DocumentLink{"gedit", "notes.txt"}));
}

// Every language the table knows sets every label, but Dutch leaves the description as it was.
TEST_F(DrawingDocsTest, EachLanguageSetsEveryLabel) {
  for (int language : {1, 2, 3, 4, 5, 6, 9, 10}) {
    for (std::string* label : AllLabels()) *label = "?";
    SetDrawingInfoLanguage(static_cast<std::uint16_t>(language));
    for (const std::string& value : LabelValues()) {
      if (language == 10 && value == "?") continue;
      EXPECT_NE(value, "?") << "language " << language;
      EXPECT_FALSE(value.empty()) << "language " << language;
    }
  }
  EXPECT_EQ(DiDescription, "?");
}

TEST_F(DrawingDocsTest, UnknownLanguagesChangeNothing) {
  SetDrawingInfoLanguage(1);
  const std::vector<std::string> german = LabelValues();
  for (int language : {0, 7, 8, 11, 12}) {
    SetDrawingInfoLanguage(static_cast<std::uint16_t>(language));
    EXPECT_EQ(LabelValues(), german) << "language " << language;
  }
  EXPECT_EQ(DiChangesHeading, "\216NDERUNGEN");
  SetDrawingInfoEnglish();
  EXPECT_EQ(DiChangesHeading, "CHANGES");
}

TEST_F(DrawingDocsTest, DutchKeepsTheDescriptionAndMixesItsWordsWithGermanAndEnglish) {
  SetDrawingInfoLanguage(2);
  SetDrawingInfoLanguage(10);
  EXPECT_EQ(DiDescription, "Description");
  EXPECT_EQ(DiReplacementFor, "vervanging van.");
  EXPECT_EQ(DiCond, "Revis.");
  EXPECT_EQ(DiDate, "Datum");
  EXPECT_EQ(DiTextOfChanges, "\216nderungstext");
  EXPECT_EQ(DiResponsibleDept, "Responsible dept.");
  SetDrawingInfoLanguage(1);
  SetDrawingInfoLanguage(10);
  EXPECT_EQ(DiDescription, "Beschreibung");
}

TEST_F(DrawingDocsTest, RomanceAndSwedishKeepIsoLabelsEnglishSpanishTranslatesThem) {
  SetDrawingInfoLanguage(3);
  EXPECT_EQ(DiProtocol, "Protocol des modifications");
  EXPECT_EQ(DiReplacedBy, "Remplace par");
  EXPECT_EQ(DiLang, "Lang.");
  SetDrawingInfoLanguage(4);
  EXPECT_EQ(DiProtocol, "Protocollo die cambiamenti");
  SetDrawingInfoLanguage(5);
  EXPECT_EQ(DiInfoDrawing, "Ritningsinfo.");
  EXPECT_EQ(DiDocumentType, "Document type");
  SetDrawingInfoLanguage(6);
  EXPECT_EQ(DiProtocol, "Protocolo de modificacoes");
  SetDrawingInfoLanguage(9);
  EXPECT_EQ(DiInfoDrawing, "Informaci\242n del dise\244o");
  EXPECT_EQ(DiResponsibleDept, "Departamento responsable");
  EXPECT_EQ(DiLang, "Idioma");
}

TEST(RevisionIndexText, LettersDigitsCapitalsOrNothing) {
  EXPECT_EQ(std::vector<std::string>({RevisionIndexText(0, 1), RevisionIndexText(0, 25),
                                      RevisionIndexText(1, 12), RevisionIndexText(2, 1),
                                      RevisionIndexText(2, 25), RevisionIndexText(3, 1),
                                      RevisionIndexText(4, 1)}),
            (std::vector<std::string>{"a", "y", "12", "A", "Y", "", ""}));
}

// Every kind of line break shows as one bar, and a bar returns as the internal CR LF.
TEST(DescriptionText, BreaksShowAsBarsAndBarsReturnAsCrLf) {
  EXPECT_EQ(DescriptionAsOneLine("a\r\nb\rc\nd\r\n"), "a|b|c|d|");
  EXPECT_EQ(DescriptionFromOneLine("Ma\341e|Toleranz k6|"), "Ma\341e\r\nToleranz k6\r\n");
  EXPECT_EQ(DescriptionLines("one\r\ntwo"), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(DescriptionLines(""), (std::vector<std::string>{""}));
}

}  // namespace
