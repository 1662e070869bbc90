// File New's quick input: which forms show after a Cancel in each of the four, and what is
// calculated and marked as changed; then a new connection saved, replaced and opened again.
#include "app/main/quickinput.h"

#include <gtest/gtest.h>

#include <tuple>

#include "calc/kv6record.h"
#include "platform/headless/dialogscript.h"
#include "platform/ui/controls.h"
#include "tests/app/main/mainformfixture.h"

namespace {

using platform::DialogClose;
using platform::DialogKind;
using platform::headless::DialogScript;
using platform::headless::DialogStep;
using platform::headless::Step;

DialogStep Ok() {
  return Step(DialogKind::Form).Act([](platform::Form& form) {
    form.Get<platform::Button>("Button_ok").Click();
  });
}

DialogStep Cancel() {
  return Step(DialogKind::Form).Closing(DialogClose::Cancel);
}

class QuickInputTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    ASSERT_EQ(Start(), std::nullopt);
  }
};

// cancelled: the form that is cancelled (1 text .. 4 load), 0 for none.
TEST_F(QuickInputTest, CancelMatrix) {
  for (int cancelled = 0; cancelled <= 4; ++cancelled) {
    SCOPED_TRACE(cancelled);
    DialogScript script;
    for (int shown = 1; shown <= 4; ++shown) {
      script->Expect(shown == cancelled ? Cancel() : Ok());
      if (shown == cancelled) break;
    }
    // All four taken: the calculation's messages show.
    if (cancelled == 0) script->Expect(Step(DialogKind::Radio));
    Modified = 0;
    AbortFlag = 0;
    CalcData.Sp = {};
    QuickInput();
    EXPECT_TRUE(script->UsedUp());
    EXPECT_FALSE(script->Failed());
    // Text or dimensions cancelled: nothing calculated, the Cancel stands.
    const bool calculated = cancelled == 0 || cancelled >= 3;
    EXPECT_EQ(CalcData.Sp[kHub] > 0, calculated);
    if (cancelled != 0) {
      EXPECT_EQ(AbortFlag, calculated ? 0 : 1);
    }
    EXPECT_EQ(Modified, cancelled == 0 ? 1 : 0);
  }
}

TEST_F(QuickInputTest, NewSavedAsThenOpenedAgainReadsTheSameConnection) {
  {
    DialogScript script;
    for (int shown = 1; shown <= 4; ++shown) script->Expect(Ok());
    script->Expect(Step(DialogKind::Radio));
    Item("mi_fileNew").Click();
    EXPECT_TRUE(script->UsedUp());
  }
  EXPECT_EQ(Modified, 1);
  const kv6record saved = CalcData;
  {
    DialogScript script;
    script->Expect(Step(DialogKind::SaveFile).Type(home.Path("new.kv6")));
    Item("mi_FileSaveAs").Click();
    EXPECT_FALSE(script->Failed());
  }
  EXPECT_EQ(std::tuple(CurrentFile, Modified, RecentFiles[1]),
            std::tuple(std::string("new"), std::uint8_t{0}, home.Path("new.kv6")));
  {
    DialogScript script;
    script->Expect(Cancel());
    Item("mi_fileNew").Click();
  }
  EXPECT_EQ(CurrentFile, "");
  {
    DialogScript script;
    script->Expect(Step(DialogKind::Box).Answer(platform::MessageAnswer::Yes));
    script->Expect(Step(DialogKind::OpenFile).Type(home.Path("new.kv6")));
    Item("mi_fileOpen").Click();
    EXPECT_FALSE(script->Failed());
  }
  EXPECT_EQ(CurrentFile, "new");
  EXPECT_EQ(CalcData, saved);
}

}  // namespace
