// The change commands over the change list: a stack of entries edited in the change-entry form,
// each confirmed change shown in the protocol and marking the input as modified.
#include "app/docs/changecommands.h"

#include <gtest/gtest.h>

#include "base/text/utildate.h"
#include "calc/drawinginfo.h"
#include "calc/drawinginfotexts.h"
#include "tests/app/documentationfixture.h"

namespace {

using platform::Form;

class ChangeCommands : public DocumentationTest {
 protected:
  void NewEntry(const std::string& text, const std::string& editor,
                const std::string& description) {
    InForm([=](Form& form) {
      Type(form, "Edit_aenderung", text);
      Type(form, "Edit_bearbeiter", editor);
      Type(form, "Edit_beschreibung", description);
      Press(form, "Button_ok");
    });
    ChangeProtocol(1);
  }
};

// A deleted entry's texts come back in the next new one, with today's date.
TEST_F(ChangeCommands, NewEntriesStackAndANewOneAfterADeleteReusesTheTexts) {
  NewEntry("Bore changed", "ab", "first");
  ChangeEntries[1].ChangeDate = "01.01.2020";
  EXPECT_EQ(std::tuple(ChangeCount, ProtocolsShown()), std::tuple(1, 1u));
  ChangeProtocol(3);
  EXPECT_EQ(std::tuple(ChangeCount, ProtocolsShown()), std::tuple(0, 2u));

  std::string shownText, shownDate;
  InForm([&](Form& form) {
    shownText = form.Get<platform::Edit>("Edit_aenderung").Text();
    shownDate = form.Get<platform::Edit>("Edit_datum").Text();
    Press(form, "Button_ok");
  });
  ChangeProtocol(1);
  EXPECT_EQ(std::tuple(shownText, shownDate), std::tuple("Bore changed", TodayText()));
  EXPECT_EQ(ChangeEntries[1], (ChangeEntry{"Bore changed", TodayText(), "ab", "first"}));
  EXPECT_NE(LastProtocol().find("Bore changed"), std::string::npos);
}

TEST_F(ChangeCommands, TheTwentySixthEntryIsRefusedWithTheLanguageTexts) {
  ChangeCount = kChangeSlotCount;
  ChangeProtocol(1);
  SetDrawingInfoLanguage(1);
  ChangeProtocol(1);
  EXPECT_EQ(script_.Transcript(),
            (std::vector<std::string>{"Error  : |Max. Changes = 25 !",
                                      "Error  : |Max. \xC4nderungen = 25 !"}));
  EXPECT_EQ(std::tuple(ChangeCount, ProtocolsShown(), Modified), std::tuple(25, 0u, 0));
}

// Cancel leaves the list as before the command: count and the slot's old date.
TEST_F(ChangeCommands, CancelOfANewEntryRestoresCountAndDate) {
  ChangeCount = 2;
  ChangeEntries[3] = {"old", "01.01.2020", "xy", ""};
  InForm([](Form& form) {
    Type(form, "Edit_aenderung", "typed");
    Press(form, "Button_cancel");
  });
  ChangeProtocol(1);
  EXPECT_EQ(std::tuple(ChangeCount, ChangeEntries[3], AbortFlag, Modified, ProtocolsShown()),
            std::tuple(2, ChangeEntry{"old", "01.01.2020", "xy", ""}, 1, 0, 0u));
}

TEST_F(ChangeCommands, TheCloseBoxCancelsTheEntryEvenWithAbortFlagClear) {
  ChangeCount = 1;
  ChangeEntries[1] = {"kept", "01.01.2020", "xy", ""};
  InForm([](Form& form) { Type(form, "Edit_aenderung", "typed"); });
  ChangeProtocol(2);
  EXPECT_EQ(std::tuple(ChangeEntries[1].ChangeText, AbortFlag, Modified, ProtocolsShown()),
            std::tuple("kept", 1, 0, 0u));
}

// Only confirmed edits and a delete that removed an entry mark the input as modified.
TEST_F(ChangeCommands, ConfirmedChangesMarkTheInputAsModified) {
  ChangeProtocol(3);
  ChangeProtocol(4);
  ChangeProtocol(2);  // no entry: no form
  EXPECT_EQ(std::tuple(Modified, ProtocolsShown()), std::tuple(0, 2u));
  NewEntry("a", "b", "c");
  EXPECT_EQ(Modified, 1);
  Modified = 0;
  InForm([](Form& form) { Press(form, "Button_ok"); });
  ChangeProtocol(2);
  EXPECT_EQ(Modified, 1);
  Modified = 0;
  ChangeProtocol(3);
  EXPECT_EQ(std::tuple(Modified, ChangeCount), std::tuple(1, 0));
}

TEST_F(ChangeCommands, ModifyEditsTheLatestEntryUnderItsNumber) {
  ChangeCount = 3;
  ChangeEntries[3] = {"Hub", "01.01.2020", "xy", "Ma\341e ge\204ndert\r\nToleranz k6"};
  std::string caption, description, labels;
  InForm([&](Form& form) {
    caption = form.Caption();
    for (const char* name :
         {"Label_aenderung", "Label_datum", "Label_bearbeiter", "Label_beschreibung"}) {
      labels += form.Get<platform::Label>(name).Caption() + "/";
    }
    description = form.Get<platform::Edit>("Edit_beschreibung").Text();
    Type(form, "Edit_beschreibung",
         "Ma\xDF"
         "e|neu");
    Type(form, "Edit_aenderung", "123456789012345678901234");
    Press(form, "Button_ok");
  });
  ChangeProtocol(2);
  EXPECT_EQ(caption, "Modification 3");
  EXPECT_EQ(labels, "text of changes/Date/responsible/Description/");
  EXPECT_EQ(description,
            "Ma\xDF"
            "e ge\xE4ndert|Toleranz k6");
  EXPECT_EQ(ChangeEntries[3].Description, "Ma\341e\r\nneu");
  EXPECT_EQ(ChangeEntries[3].ChangeText, "12345678901234567890");
  EXPECT_NE(LastProtocol().find("        neu"), std::string::npos);
}

TEST_F(ChangeCommands, TheDateButtonPutsTodayInTheDateField) {
  ChangeCount = 1;
  ChangeEntries[1].ChangeDate = "01.01.2020";
  InForm([](Form& form) {
    Press(form, "Button_datum");
    Press(form, "Button_ok");
  });
  ChangeProtocol(2);
  EXPECT_EQ(ChangeEntries[1].ChangeDate, TodayText());
}

// The protocol marks its entries with digits in index style 1, else with lower-case letters.
TEST_F(ChangeCommands, ShownMarksForEveryIndexStyle) {
  ChangeCount = 2;
  ChangeEntries[2].ChangeText = "second";
  for (std::uint16_t style = 0; style <= 3; ++style) {
    RevisionIndexStyle = style;
    ChangeProtocol(4);
    const std::string mark = style == 1 ? "2" : "b";
    EXPECT_NE(LastProtocol().find("         " + mark + "     "), std::string::npos) << style;
  }
}

}  // namespace
