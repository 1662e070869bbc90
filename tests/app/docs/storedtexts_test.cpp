// The documentation forms give every stored text back byte for byte when the user changes
// nothing, whatever the display spells out or best-fits, and keep what the user typed.
#include <gtest/gtest.h>

#include <functional>

#include "app/docs/changeentryform.h"
#include "app/docs/documentlinksform.h"
#include "app/docs/drawinginfoform.h"
#include "base/settings/brelvar.h"
#include "calc/documentlinks.h"
#include "calc/drawinginfo.h"
#include "tests/app/documentationfixture.h"

namespace {

using platform::Form;
using Texts = std::vector<std::string>;

// Every character a stored text may hold, from the blank up.
std::string EveryByte() {
  std::string text;
  for (int c = 0x20; c <= 0xFF; ++c) text += static_cast<char>(c);
  return text;
}

// "Maße €" as typed (Windows-1252) and as stored in code page 850. The euro sign, which code page
// 850 lacks, takes the byte the lossless pair gives it, so it comes back whole on the way out.
const std::string kTyped =
    "Ma\xDF"
    "e \x80";
const std::string kTypedCp850 =
    "Ma\xE1"
    "e \xB0";

// Sets every text field of one form to a text, shows the form and reads the fields back.
struct FormFields {
  const char* name;
  std::function<void(const std::string&)> set;
  std::function<void()> show;
  std::function<Texts()> get;
  // One field the user types into and what it then stores for kTyped.
  std::function<void(Form&, const std::string&)> type;
  std::function<std::string()> typed;
  std::string typedStored;
};

void SetTitleBlock(const std::string& text, std::uint16_t standard) {
  TitleBlockStandard = standard;
  TitleBlockFieldSet& fields = TitleBlockFields;
  for (int row = 1; row <= 4; ++row) fields.Rows[row] = {text, text};
  fields.ReplacementFor = fields.ReplacedBy = text;
  fields.ResponsibleDept = fields.DocumentType = fields.DocumentStatus = text;
  for (int row = 1; row <= kDrawingTextSlotCount; ++row) DrawingTextRecords[row].Text = text;
  DrawingTextCount = kDrawingTextSlotCount;
}

Texts TitleBlockTexts(int rows, bool iso) {
  const TitleBlockFieldSet& fields = TitleBlockFields;
  Texts texts{fields.ReplacementFor, fields.ReplacedBy};
  for (int row = 1; row <= rows; ++row) {
    texts.insert(texts.end(), {fields.Rows[row].Date, fields.Rows[row].Name});
  }
  if (iso) {
    texts.insert(texts.end(), {fields.ResponsibleDept, fields.DocumentType, fields.DocumentStatus});
  }
  for (int row = 1; row <= DrawingTextCount; ++row) texts.push_back(DrawingTextRecords[row].Text);
  return texts;
}

void TypeDrawingText(Form& form, const std::string& text) {
  form.Get<platform::StringGrid>("StringGrid2").TypeCell(5, 1, text);
}

const FormFields kForms[] = {
    {"change entry",
     [](const std::string& text) {
       ChangeEntries[1] = {text, text, text, text};
     },
     [] { EditChangeEntry(1); },
     [] {
       const ChangeEntry& entry = ChangeEntries[1];
       return Texts{entry.ChangeText, entry.ChangeDate, entry.Editor, entry.Description};
     },
     [](Form& form, const std::string& text) {
       form.Get<platform::Edit>("Edit_beschreibung").TypeText(text);
     },
     [] { return ChangeEntries[1].Description; }, kTypedCp850},
    {"drawing information DIN 6771", [](const std::string& text) { SetTitleBlock(text, 0); },
     ShowDrawingInfo, [] { return TitleBlockTexts(4, false); }, TypeDrawingText,
     [] { return DrawingTextRecords[1].Text; }, kTypedCp850},
    {"drawing information ISO 7200", [](const std::string& text) { SetTitleBlock(text, 1); },
     ShowDrawingInfo, [] { return TitleBlockTexts(3, true); },
     [](Form& form, const std::string& text) {
       form.Get<platform::StringGrid>("StringGrid1").TypeCell(2, 1, text);
     },
     [] { return TitleBlockFields.Rows[1].Name; }, kTypedCp850},
    // The links hold their texts as typed, in the Windows code page.
    {"document links",
     [](const std::string& text) {
       for (int n = 1; n <= kDocumentLinkCount; ++n) DocumentLinks[n] = {text, text};
     },
     EditDocumentLinks,
     [] {
       Texts texts;
       for (int n = 1; n <= kDocumentLinkCount; ++n) {
         texts.insert(texts.end(), {DocumentLinks[n].Program, DocumentLinks[n].File});
       }
       return texts;
     },
     [](Form& form, const std::string& text) {
       form.Get<platform::Edit>("Edit_file1").TypeText(text);
     },
     [] { return DocumentLinks[1].File; }, kTyped},
};

class StoredTexts : public DocumentationTest {
 protected:
  ~StoredTexts() override { TextCharMode = 0; }

  void OkAfter(std::function<void(Form&)> act) {
    InForm([act](Form& form) {
      act(form);
      form.Get<platform::Button>("Button_ok").Click();
    });
  }
};

// Spelled-out umlauts and best-fitted box characters (a "│" shown as "|", which a description
// reads as a line break) never reach a stored text the user left alone.
TEST_F(StoredTexts, OkWithoutTypingKeepsEveryByteInEveryDisplayMode) {
  const std::string every = EveryByte();
  for (const FormFields& form : kForms) {
    for (std::uint16_t mode = 0; mode <= 3; ++mode) {
      TextCharMode = mode;
      form.set(every);
      OkAfter([](Form&) {});
      form.show();
      for (const std::string& text : form.get()) {
        EXPECT_EQ(text, every) << form.name << ", mode " << mode;
      }
    }
  }
}

TEST_F(StoredTexts, ATypedTextIsStoredAsTyped) {
  for (const FormFields& form : kForms) {
    for (std::uint16_t mode = 0; mode <= 3; ++mode) {
      TextCharMode = mode;
      form.set("Masse");
      OkAfter([&form](Form& shown) { form.type(shown, kTyped); });
      form.show();
      EXPECT_EQ(form.typed(), form.typedStored) << form.name << ", mode " << mode;
    }
  }
}

}  // namespace
