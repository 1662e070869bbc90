#include "base/dialogs/hilfebild.h"

#include <gmock/gmock.h>

#include <tuple>

#include "base/settings/wprinvar.h"
#include "tests/base/dialogfixture.h"
#include "tests/base/drawwindow_fixture.h"

namespace {

using platform::DialogKind;
using platform::Form;
using platform::MessageAnswer;
using platform::headless::Step;
using ::testing::ElementsAre;

const std::string kList = "\"one\",\"First\"\r\n\"two\",\"Second\"\r\n\"three\",\"Third\"\r\n";

// Each image draws one line whose end tells it apart: image k ends at x = k mm.
class AuxImagesTest : public DialogSetup, public DrawWindowTest {
 protected:
  AuxImagesTest() {
    Write("kv6.dbh", kList);
    for (const auto& [name, length] :
         {std::pair{"one", 40}, {"two", 80}, {"three", 120}, {"longername12", 480}}) {
      Write(std::string(name) + ".plt", "PU0,0;SP1;PD" + std::to_string(length) + ",0;\r\n");
    }
  }

  static platform::headless::DialogStep OnForm(std::function<void(Form&)> act) {
    return Step(DialogKind::Form).Act(std::move(act));
  }
  static void Click(Form& form, const std::string& button) {
    form.Get<platform::Button>(button).Click();
  }
  void ExpectClick(const std::string& button) {
    script_.Expect(OnForm([button](Form& form) { Click(form, button); }));
  }
  static platform::ComboBox& List(Form& form) { return form.Get<platform::ComboBox>("ListBox1"); }

  bool Shows(int image) const {
    return std::find(DisplayList.begin(), DisplayList.end(),
                     "4;0;0;" + std::to_string(image) + ";0") != DisplayList.end();
  }
};

// The first image shows at once; a chosen line shows its image; spinning down on the last line
// shows it again.
TEST_F(AuxImagesTest, ChosenLinesAndSpinningDownOnTheLast) {
  std::vector<int> preselected;
  script_.Expect(OnForm([&](Form& form) {
    preselected.push_back(List(form).ItemIndex());
    EXPECT_TRUE(Shows(1));
    List(form).Choose(2);
  }));
  script_.Expect(OnForm([this](Form& form) {
    EXPECT_TRUE(Shows(3));
    DisplayList.clear();
    form.Get<platform::SpinButton>("SpinButton1").ClickDown();
  }));
  script_.Expect(OnForm([&](Form& form) {
    preselected.push_back(List(form).ItemIndex());
    form.PressEscape();
  }));
  AuxImages();
  EXPECT_TRUE(Shows(3));
  EXPECT_EQ(std::tuple(preselected, AbortFlag, SheetKind, ChoiceTexts[2]),
            std::tuple(std::vector{0, 2}, 1, 0, "two     : Second"));  // the plot sets SheetKind
}

TEST_F(AuxImagesTest, FormOpensWhereTheUserLeftIt) {
  AuxImageFormLeft = 7;
  AuxImageFormTop = 9;
  script_.Expect(OnForm([&](Form& form) {
    EXPECT_EQ(form.Placement().Position(), (platform::Point{7, 9}));
    form.Placement().SetPosition({300, 200});  // the user moves the form
    List(form).Choose(1);
  }));
  script_.Expect(OnForm([&](Form& form) {
    EXPECT_EQ(form.Placement().Position(), (platform::Point{300, 200}));
    Click(form, "Button_ok");
  }));
  AuxImages();
  // Forms that keep their designed place leave it to the window system: nothing is stored.
  WindowMode = 2;
  ExpectClick("Button_ok");
  AuxImages();
  EXPECT_EQ(std::tuple(AuxImageFormLeft, AuxImageFormTop), std::tuple(300, 200));
}

TEST_F(AuxImagesTest, ShowingAnImageEndsWithTheArrow) {
  for (const std::string name : {"one", "missing"}) {
    ShowAuxImage(name);
    EXPECT_THAT(SinceLastCursor(), ElementsAre("cursor arrow")) << name;
  }
  EXPECT_THAT(script_.Transcript(), ElementsAre(::testing::EndsWith("missing.plt not found !")));
}

// Insert goes before the selected line, New appends; the texts lose their double quotes.
TEST_F(AuxImagesTest, InsertNewAndModifyRewriteTheList) {
  int preselected = -1;
  script_.Expect(OnForm([](Form& form) { List(form).Choose(1); }));
  ExpectClick("Button_einfuegen");
  script_.Expect(Step(DialogKind::OpenFile).Type(Path("new.plt")));
  script_.Expect(Step(DialogKind::Text).Type("Inserted"));
  ExpectClick("Button_neu");
  script_.Expect(Step(DialogKind::OpenFile).Type(Path("four.plt")));
  script_.Expect(Step(DialogKind::Text).Type("Fourth"));
  script_.Expect(OnForm([&](Form& form) {
    preselected = List(form).ItemIndex();
    List(form).Choose(0);
  }));
  ExpectClick("Button_aendern");
  script_.Expect(Step(DialogKind::Text).Type("uno"));
  script_.Expect(Step(DialogKind::Text).Type("say \"hi\""));
  ExpectClick("Button_ok");
  AuxImages();
  EXPECT_EQ(preselected, 3);  // the last line of the old list
  EXPECT_EQ(Read("kv6.dbh"),
            "\"uno\",\"say 'hi'\"\r\n\"new\",\"Inserted\"\r\n\"two\",\"Second\"\r\n"
            "\"three\",\"Third\"\r\n\"four\",\"Fourth\"\r\n");
  EXPECT_THAT(Files(), Not(::testing::Contains(::testing::HasSubstr("kv6.dbh."))));
}

TEST_F(AuxImagesTest, DeleteAnsweredNoChangesNothing) {
  ExpectClick("Button_loeschen");
  script_.Expect(Step(DialogKind::Box).Answer(MessageAnswer::No));
  AuxImages();
  EXPECT_EQ(Read("kv6.dbh"), kList);
  EXPECT_EQ(script_.Transcript()[1], "Box|BRELCOR Engineering Software|Delete ?");
  ExpectClick("Button_loeschen");
  script_.Expect(Step(DialogKind::Box).Answer(MessageAnswer::Yes));
  ExpectClick("Button_ok");
  AuxImages();
  EXPECT_EQ(Read("kv6.dbh"), "\"two\",\"Second\"\r\n\"three\",\"Third\"\r\n");
}

TEST_F(AuxImagesTest, LongNamesAndDamagedLines) {
  Write("kv6.dbh", "\"longername12\",\"Long\"\r\nbad,\"Text\"\r\n\"two\",\"Second\"\r\n");
  ExpectClick("Button_ok");
  AuxImages();
  EXPECT_TRUE(Shows(12));
  EXPECT_EQ(std::tuple(ChoiceTexts[1], ChoiceTexts[3], script_.Transcript()[0]),
            std::tuple("longername12: Long", "two     : Second", "Error  : |DBH file error"));
}

TEST_F(AuxImagesTest, MissingImageEndsTheRunWithAbortClear) {
  Write("kv6.dbh", "\"gone\",\"Missing\"\r\n");
  AuxImages();
  EXPECT_EQ(AbortFlag, 0);
}

// The form's own Delete of the last line leaves an empty list file: the form then opens at once,
// without an image, and offers only the commands that need no line.
TEST_F(AuxImagesTest, EmptyListOpensTheFormForNewAndInsert) {
  Write("kv6.dbh", "");
  std::vector<bool> usable;
  script_.Expect(OnForm([&](Form& form) {
    for (const char* button :
         {"Button_aendern", "Button_loeschen", "Button_einfuegen", "Button_neu"})
      usable.push_back(form.Get<platform::Button>(button).Usable());
    Click(form, "Button_einfuegen");
  }));
  script_.Expect(Step(DialogKind::OpenFile).Type(Path("two.plt")));
  script_.Expect(Step(DialogKind::Text).Type("Second"));
  ExpectClick("Button_ok");
  AuxImages();
  EXPECT_EQ(usable, (std::vector{false, false, true, true}));
  EXPECT_TRUE(DisplayList.empty());
  EXPECT_EQ(Read("kv6.dbh"), "\"two\",\"Second\"\r\n");
}

// A name that leads out of PltDir, and a folder, count as missing images.
TEST_F(AuxImagesTest, ImagesArePlainNamesOfRegularFiles) {
  std::filesystem::create_directory(Path("folder.plt"));
  std::filesystem::create_directory(Path("sub"));
  Write("sub/inner.plt", "PU0,0;SP1;PD40,0;\r\n");
  for (const std::string& name :
       std::vector<std::string>{"folder", "sub/inner", {"one.plt\0", 8}}) {
    ShowAuxImage(name);
    EXPECT_EQ(std::tuple(AbortFlag, Shows(1)), std::tuple(1, false)) << name;
  }
  PltDir = Path("sub");
  ShowAuxImage("../one");
  EXPECT_EQ(std::tuple(AbortFlag, Shows(1)), std::tuple(1, false));
  EXPECT_EQ(script_.Transcript().size(), 4u);
}

TEST_F(AuxImagesTest, WithoutAListOpenDialogsUntilCancel) {
  std::filesystem::remove(Path("kv6.dbh"));
  script_.Expect(Step(DialogKind::OpenFile).Type(Path("two.plt")));
  script_.Expect(Step(DialogKind::OpenFile).Closing(platform::DialogClose::Cancel));
  AuxImages();
  EXPECT_TRUE(Shows(2));
  EXPECT_EQ(std::tuple(AbortFlag, PltDir), std::tuple(1, dir_ + "/"));
}

}  // namespace
