#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "app/lang/language.h"
#include "app/lang/menutexts.h"
#include "app/lang/vmenuqel.h"
#include "base/settings/brelvar.h"
#include "calc/calctexts.h"
#include "platform/ui/menus.h"
#include "tests/support/command.h"
#include "tests/support/tempfolder.h"

namespace {

using platform::kCodePage1252;
using platform::kCodePage936;
using platform::kCodePage949;
using platform::kCodePageUtf8;
using platform::TaggedText;

std::string Utf8Of(const MenuText& text) {
  return platform::TaggedToUtf8(text);
}

const std::vector<const MenuText*>& AllMenuTexts() {
  static const std::vector<const MenuText*> all = {
      &MenuTextMenu,      &MenuTextFile,          &MenuTextNew,          &MenuTextOpen,
      &MenuTextSave,      &MenuTextSaveAs,        &MenuTextSettings,     &MenuTextExit,
      &MenuTextCopy,      &MenuTextPrint,         &MenuTextPrinterSetup, &MenuTextEdit,
      &MenuTextText,      &MenuTextQuick,         &MenuTextMaterial,     &MenuTextSelectAll,
      &MenuTextView,      &MenuTextDatabase,      &MenuTextCAD,          &MenuTextProductionDrawing,
      &MenuTextDocument,  &MenuTextDrawingData,   &MenuTextChangesInfo,  &MenuTextChangesPrintout,
      &MenuTextChangeNew, &MenuTextChangeEdit,    &MenuTextChangeDelete, &MenuTextHelp,
      &MenuTextAuxImages, &MenuTextErrorMessages, &MenuTextPrintout,     &MenuTextLanguage,
      &MenuTextOthers,    &MenuTextDimensions,    &MenuTextTable};
  return all;
}

constexpr std::array<std::int32_t, 10> kCodes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12};

class language_tables : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMenuTexts(2);
    SetMenuTermsLanguage(2);
    SetCalcTexts(2);
  }
};

TEST_F(language_tables, EveryCodeGivesItsFileTextInItsCodePage) {
  const std::tuple<std::int32_t, const char*, const char*, std::uint16_t> cases[] = {
      // clang-format off
      {1, "&Datei", "&Beenden", kCodePage1252},   {2, "&File", "E&xit", kCodePage1252},
      {3, "&Fichier", "&Quitter", kCodePage1252}, {4, "&File", "&Esci", kCodePage1252},
      {5, "&Arkiv", "&Avsluta", kCodePage1252},   {6, "&Arquivo", "S&aida", kCodePage1252},
      {7, "&Fisier", "Ie&sire", kCodePage1252},   {8, "파일(&F)", "끝내기(&x)", kCodePage949},
      {9, "&Archivo", "&Salir", kCodePage1252},   {12, "文件", "退出", kCodePage936},
      // clang-format on
  };
  for (const auto& [code, file, exit, codePage] : cases) {
    SetMenuTexts(code);
    EXPECT_EQ(std::tuple(Utf8Of(MenuTextFile), Utf8Of(MenuTextExit), MenuTextFile.codePage),
              std::tuple(file, exit, codePage))
        << code;
  }
}

TEST_F(language_tables, UnknownCodesChangeNothingAndAreNotCutTo16Bits) {
  SetMenuTexts(1);
  SetMenuTermsLanguage(1);
  for (std::int32_t code : {0, -1, 10, 11, 13, 65538, 65537, 65544}) {
    SetMenuTexts(code);
    SetMenuTermsLanguage(code);
    EXPECT_EQ(Utf8Of(MenuTextFile) + Utf8Of(TermHub), "&Datei&Nabe") << code;
  }
}

TEST_F(language_tables, KeptEntriesKeepTextAndTag) {
  SetMenuTexts(1);
  SetMenuTexts(5);
  EXPECT_EQ(std::tuple(Utf8Of(MenuTextCopy), Utf8Of(MenuTextFile)),
            std::tuple("Kopieren", "&Arkiv"));
  SetMenuTexts(8);
  SetMenuTexts(7);
  EXPECT_EQ(std::tuple(MenuTextCopy.codePage, Utf8Of(MenuTextCopy), Utf8Of(MenuTextFile)),
            std::tuple(kCodePage949, "복사(&C)", "&Fisier"));
}

TEST_F(language_tables, TextsKeepTheirTrailingMarksAndBlanks) {
  SetMenuTexts(12);
  EXPECT_EQ(std::tuple(Utf8Of(MenuTextChangeEdit), Utf8Of(MenuTextPrinterSetup),
                       MenuTextPrinterSetup.codePage, Utf8Of(MenuTextDocumentSetup)),
            std::tuple("编辑变更 ", "打印’", kCodePage936, "Links"));
  EXPECT_EQ(Utf8Of(MenuTerms[31]), "T&emperature  ");
}

TEST_F(language_tables, MenuTermsFollowTheirSixLanguages) {
  SetMenuTermsLanguage(8);
  EXPECT_EQ(std::tuple(Utf8Of(TermLoad), TermLoad.codePage), std::tuple("하중(&L)", kCodePage949));
  EXPECT_EQ(Utf8Of(MenuTerms[1]), "Calc.Met&hod");

  SetMenuTermsLanguage(2);
  SetMenuTermsLanguage(3);
  EXPECT_EQ(Utf8Of(TermHub), "&Hub");

  SetMenuTermsLanguage(1);
  SetMenuTermsLanguage(12);
  EXPECT_EQ(Utf8Of(TermShaft), "轴");
  EXPECT_EQ(Utf8Of(MenuTerms[65]), "&mehrstufig");
  for (int n : {67, 68, 69, 70, 72}) EXPECT_EQ(MenuTerms[n].codePage, kCodePage1252) << n;
  EXPECT_EQ(Utf8Of(MenuTerms[70]), "Distanzhülse");
  EXPECT_EQ(Utf8Of(MenuTerms[71]), "helical gear");
  EXPECT_EQ(Utf8Of(MenuTerms[64]), "&Roll Angle");

  SetMenuTermsLanguage(1);
  SetMenuTermsLanguage(6);
  EXPECT_EQ(Utf8Of(MenuTerms[65]), "&multistage");
  EXPECT_EQ(Utf8Of(TermMaterialType), "ESPECIFICACAO MATERIAL");
  SetMenuTermsLanguage(7);
  EXPECT_EQ(Utf8Of(TermHub), "&Bucsa");
}

// Stored bytes as the iconv command makes them from the UTF-8 text.
std::string IconvBytes(const std::string& utf8, const char* codePage) {
  const TempFolder folder;
  folder.Put("in.txt", utf8);
  const CommandResult iconv =
      RunCommand("iconv -f UTF-8 -t " + (codePage + (" " + folder.Path("in.txt"))));
  EXPECT_EQ(iconv.status, 0) << utf8;
  return iconv.output;
}

const char* IconvName(std::uint16_t codePage) {
  return codePage == kCodePage949 ? "CP949" : codePage == kCodePage936 ? "CP936" : "WINDOWS-1252";
}

TEST_F(language_tables, StoredBytesRoundTripAndMatchTheIconvCommand) {
  std::string joined[3];  // 1252, 949, 936 texts, one per line, checked in one iconv run each
  std::string expected[3];
  for (std::int32_t code : kCodes) {
    SetMenuTexts(code);
    SetMenuTermsLanguage(code);
    std::vector<const MenuText*> texts = AllMenuTexts();
    for (int n = 1; n <= kMenuTermCount; ++n) texts.push_back(&MenuTerms[n]);
    for (const MenuText* text : texts) {
      ASSERT_NE(text->codePage, kCodePageUtf8) << Utf8Of(*text);
      const std::string utf8 = Utf8Of(*text);
      EXPECT_EQ(platform::EncodeTagged(utf8, text->codePage), *text) << utf8;
      const int slot = text->codePage == kCodePage949 ? 1 : text->codePage == kCodePage936 ? 2 : 0;
      joined[slot] += utf8 + "\n";
      expected[slot] += text->bytes + "\n";
    }
  }
  const std::uint16_t pages[3] = {kCodePage1252, kCodePage949, kCodePage936};
  for (int slot = 0; slot < 3; ++slot) {
    EXPECT_EQ(IconvBytes(joined[slot], IconvName(pages[slot])), expected[slot]) << slot;
  }
  // The 1252 table against iconv on texts typed here, not decoded by the table itself.
  EXPECT_EQ(IconvBytes("Menü Öffnen Matériau Språk Configuración", "WINDOWS-1252"),
            "Men\xFC \xD6"
            "ffnen Mat\xE9riau Spr\xE5k Configuraci\xF3n");
  SetMenuTexts(1);
  EXPECT_EQ(MenuTextMenu.bytes, "Men\xFC");
}

MenuText CaptionOf(const std::string& item) {
  for (const MenuCaption& c : MenuCaptions()) {
    if (c.item == item) return c.caption;
  }
  ADD_FAILURE() << item;
  return {};
}

TEST_F(language_tables, ComposedCaptionsInGermanKoreanAndMixed) {
  SetMenuTexts(1);
  SetMenuTermsLanguage(1);
  EXPECT_EQ(CaptionOf("mi_helplanguage"), (TaggedText{"Men\xFC &Sprache", kCodePage1252}));
  EXPECT_EQ(Utf8Of(CaptionOf("mi_viewfertwellenabe")), "&Welle + &Nabe &Fertigungszeichnung");
  EXPECT_EQ(Utf8Of(CaptionOf("mi_fileOpenTable")), "Ö&ffnen... (&Tabelle)");
  EXPECT_EQ(Utf8Of(CaptionOf("mi_cadsonstige")), "&Sonstige..");

  SetMenuTexts(8);
  SetMenuTermsLanguage(8);
  const MenuText korean = CaptionOf("mi_helplanguage");
  EXPECT_EQ(std::tuple(Utf8Of(korean), korean.codePage), std::tuple("메뉴 언어(&L)", kCodePage949));
  EXPECT_EQ(Utf8Of(CaptionOf("mi_viewtabnabe")), "허브(&H) 테이블(&b)");
  EXPECT_EQ(CaptionOf("mi_viewP3G"), (TaggedText{"P3&G", kCodePage1252}));

  SetMenuTexts(9);  // Spanish drawing word beside the Korean shaft term
  EXPECT_EQ(CaptionOf("mi_viewfertwelle"),
            (TaggedText{"축(&a) Dibujo para &Fabricación", kCodePageUtf8}));
}

class RecordingForm : public LanguageForm {
 public:
  std::vector<std::string> calls;
  std::string fileCaption;
  void ApplyMenuCaptions() override {
    calls.push_back("captions");
    fileCaption = Utf8Of(MenuTextFile);
  }
  void UpdateCaption() override { calls.push_back("caption"); }
};

TEST_F(language_tables, SetLanguageSwitchesEveryTableThenTheForm) {
  RecordingForm form;
  SetLanguage(form, 1);
  const std::string german = CalcTexts[1];
  EXPECT_EQ(form.calls, (std::vector<std::string>{"captions", "caption"}));
  EXPECT_EQ(std::tuple(form.fileCaption, Language), std::tuple("&Datei", 1));
  SetLanguage(form, 8);  // menus Korean, calculation texts stay German
  EXPECT_EQ(std::tuple(form.fileCaption, CalcTexts[1]), std::tuple("파일(&F)", german));
  SetLanguage(form, 65538);  // not English
  EXPECT_EQ(std::tuple(form.fileCaption, CalcTexts[1], Language),
            std::tuple("파일(&F)", german, 65538));
  SetLanguage(form, 2);
  EXPECT_NE(CalcTexts[1], german);
}

TEST_F(language_tables, SetMenuCaptionsTagsItemsAndSetsThePrintShortcut) {
  platform::MenuBar bar;
  platform::Menu& file = bar.AddMenu("mi_file", "x");
  file.AddItem("mi_fileprint", "x");
  file.AddItem("mi_fileOther", "keep");
  SetMenuTexts(8);
  SetMenuCaptions(bar);
  EXPECT_EQ(file.CaptionCodePage(), kCodePage949);
  EXPECT_EQ(Utf8Of({file.Caption(), file.CaptionCodePage()}), "파일(&F)");
  EXPECT_EQ(bar.FindItem("mi_fileprint")->Shortcut(), "Ctrl+P");
  EXPECT_EQ(bar.FindItem("mi_fileOther")->Caption(), "keep");
  EXPECT_EQ(bar.FindItem("mi_fileOther")->CaptionCodePage(), kCodePage1252);
}

}  // namespace
