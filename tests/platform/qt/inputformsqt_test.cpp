// The four input forms built by the Qt backend: every control the forms name is a widget of that
// name showing the model's caption, enabled and visible as the model says; a click on a widget
// reaches the model; a case outside the radio items checks none; German umlauts reach Qt as
// Unicode. Each form is saved as a PNG in the working folder, which pngcheck must accept.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/input/kv6abm.h"
#include "app/input/kv6load.h"
#include "app/input/kveingabetext.h"
#include "app/input/kvwst.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"
#include "platform/qt/qttext.h"
#include "platform/ui/handlerguard.h"
#include "tests/support/command.h"
#include "tests/support/qt/qtapp.h"

namespace {

using platform::qt::ToQString;
using platform::qt::WithoutAccessKey;

class InputFormsQt : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartQtBackend(); }
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    StartCalculationUnits();
    const auto golden = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() /
                        "calc" / "golden" / "p3g60.kv6";
    ASSERT_TRUE(LoadCalcFile(golden.string()));
    UnitSystem = 0;
    AbortFlag = 0;
  }
  void TearDown() override {
    UnitSystem = 0;
    SetVocabularyLanguage(2);
  }

  // Shows the form; while it shows, compares every control with its widget, runs act on the
  // dialog, saves the dialog as png and closes it with Cancel unless act ended it.
  void Show(platform::Form& form, const std::string& png, std::function<void(QWidget&)> act) {
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr) {
        ADD_FAILURE() << "no dialog";
        return;
      }
      Compare(*dialog, form);
      const std::string path = (std::filesystem::current_path() / png).string();
      EXPECT_TRUE(dialog->grab().save(QString::fromStdString(path), "PNG"));
      const CommandResult check = RunCommand("pngcheck -q " + path);
      EXPECT_EQ(check.status, 0) << check.output;
      act(*dialog);
      if (dialog->isVisible()) form.SetModalResult(platform::ModalResult::Cancel);
    });
    form.ShowModal();
  }

  static void Compare(QWidget& dialog, const platform::Container& container) {
    for (const auto& child : container.Children()) {
      const platform::Control& control = *child;
      SCOPED_TRACE(control.Name());
      auto* widget = dialog.findChild<QWidget*>(QString::fromStdString(control.Name()));
      if (widget == nullptr) {
        ADD_FAILURE() << "no widget";
        continue;
      }
      EXPECT_EQ(widget->isEnabled(), control.Usable());
      EXPECT_EQ(widget->isVisibleTo(&dialog), control.Visible());
      ExpectCaption(*widget, control);
      if (const auto* inner = dynamic_cast<const platform::Container*>(&control)) {
        Compare(dialog, *inner);
      }
    }
  }

  static void ExpectCaption(QWidget& widget, const platform::Control& control) {
    if (const auto* label = dynamic_cast<const platform::Label*>(&control)) {
      EXPECT_EQ(static_cast<QLabel&>(widget).text(), WithoutAccessKey(label->Caption()));
    } else if (const auto* button = dynamic_cast<const platform::Button*>(&control)) {
      EXPECT_EQ(static_cast<QAbstractButton&>(widget).text(), ToQString(button->Caption()));
    } else if (const auto* group = dynamic_cast<const platform::GroupBox*>(&control)) {
      EXPECT_EQ(static_cast<QGroupBox&>(widget).title(), ToQString(group->Caption()));
    } else if (const auto* edit = dynamic_cast<const platform::Edit*>(&control)) {
      EXPECT_EQ(static_cast<QLineEdit&>(widget).text(), ToQString(edit->Text()));
    }
  }

  template <class T>
  static T* Widget(QWidget& dialog, const char* name) {
    return dialog.findChild<T*>(name);
  }

  // The named controls must all be there, whatever the model holds.
  static void ExpectNamed(QWidget& dialog, const std::vector<const char*>& names) {
    for (const char* name : names) {
      EXPECT_NE(Widget<QWidget>(dialog, name), nullptr) << name;
    }
  }
};

TEST_F(InputFormsQt, TheTextForm) {
  TForm_kveingabetext form;
  Show(form, "form_kveingabetext.png", [&](QWidget& dialog) {
    ExpectNamed(dialog, {"GroupBox_INT", "GroupBox_EXT", "Edit_zeichname1", "Edit_zeichnr1",
                         "Edit_zeichname21", "Edit_zeichname2", "Edit_zeichnr2", "Edit_zeichname22",
                         "Edit_info1", "Edit_info2", "Label_info2", "Button_ok", "Button_cancel"});
    EXPECT_EQ(Widget<QGroupBox>(dialog, "GroupBox_INT")->title(), " Inner part ");
    EXPECT_EQ(Widget<QLineEdit>(dialog, "Edit_zeichname1")->maxLength(), 25);
    QTest::mouseClick(Widget<QWidget>(dialog, "Button_ok"), Qt::LeftButton);
  });
  EXPECT_EQ(form.GetModalResult(), platform::ModalResult::Ok);
  EXPECT_EQ(AbortFlag, 0);
}

TEST_F(InputFormsQt, TheTextFormInGermanShowsTheUmlautInUnicode) {
  SetVocabularyLanguage(1);
  TForm_kveingabetext form;
  QString outer;
  Show(form, "form_kveingabetext_de.png",
       [&](QWidget& dialog) { outer = Widget<QGroupBox>(dialog, "GroupBox_EXT")->title(); });
  EXPECT_EQ(outer, QString::fromUtf8(" Au\xC3\x9F"
                                     "enteil "));
  EXPECT_EQ(AbortFlag, 1);
}

TEST_F(InputFormsQt, TheDimensionsForm) {
  TForm_kv6abm form;
  bool lengthFocused = false;
  Show(form, "form_kv6abm.png", [&](QWidget& dialog) {
    ExpectNamed(dialog, {"RadioGroup_abm",   "Edit_d1",       "Label_d1u",       "Edit_e1",
                         "Label_e1u",        "Edit_l",        "Label_lu",        "Edit_l1",
                         "Label_l1u",        "Edit_l2",       "Label_l2u",       "Edit_bohrung1",
                         "Label_bohrung1u",  "Edit_bohrung2", "Label_bohrung2u", "Edit_told1",
                         "Label_db",         "Button_db",     "Button_e1",       "Button_emax",
                         "Button_l",         "Button_l1",     "Button_l2",       "Button_bohrung1",
                         "Button_bohrung2",  "Button_told1a", "Button_told1b",   "Button_bohr",
                         "Button_hilfebild", "Button_help",   "Button_metric",   "Button_calc",
                         "Button_ok",        "Button_cancel"});
    EXPECT_EQ(Widget<QLabel>(dialog, "Label_d1")->text(), "spherical diameter d1");
    EXPECT_EQ(Widget<QAbstractButton>(dialog, "Button_metric")->text(), "mm <--> inch");
    QTest::mouseClick(Widget<QWidget>(dialog, "Button_told1b"), Qt::LeftButton);
    // A length of 0 is refused with the keyboard focus on it.
    QLineEdit* length = Widget<QLineEdit>(dialog, "Edit_l");
    length->selectAll();
    QTest::keyClicks(length, "0");
    QTest::mouseClick(Widget<QWidget>(dialog, "Button_ok"), Qt::LeftButton);
    lengthFocused = dialog.focusWidget() == length;
  });
  EXPECT_EQ(form.Get<platform::Edit>("Edit_told1").Text(), "g6");
  EXPECT_TRUE(lengthFocused);
  EXPECT_EQ(AbortFlag, 1);
}

TEST_F(InputFormsQt, TheMaterialForm) {
  TForm_kvwst form;
  Show(form, "form_kvwst.png", [&](QWidget& dialog) {
    ExpectNamed(dialog,
                {"Edit_ident1",   "Edit_ident2", "Edit_Name1",  "Edit_name2",    "Edit_Re1",
                 "Edit_re2",      "Edit_fs1",    "Edit_fs2",    "Edit_fh1",      "Edit_fh2",
                 "Label_plim1",   "Label_plim2", "Button_mat1", "Button_mat2",   "Button_hilfebild",
                 "Button_metric", "Button_calc", "Button_ok",   "Button_cancel", "Button_help"});
    EXPECT_EQ(Widget<QGroupBox>(dialog, "GroupBox_INT")->title(), " Inner part (shaft) ");
    QTest::mouseClick(Widget<QWidget>(dialog, "Button_metric"), Qt::LeftButton);
    EXPECT_EQ(Widget<QLabel>(dialog, "Label_re1u")->text(), "psi");
  });
  EXPECT_EQ(UnitSystem, 1);
  EXPECT_EQ(form.Get<platform::Label>("Label_re2u").Caption(), "psi");
}

TEST_F(InputFormsQt, TheLoadFormShowsNoItemForCaseThree) {
  CalcData.DisplacementCase = 3;
  TForm_kv6load form;
  int checked = -1;
  Show(form, "form_kv6load.png", [&](QWidget& dialog) {
    ExpectNamed(dialog,
                {"Edit_t", "Label_tu", "Edit_Mb", "Label_mbu", "Edit_ka", "Edit_fw",
                 "RadioGroup_verschieb", "Button_ka1", "Button_fw1", "Button_ka", "Button_fw",
                 "Button_metric", "Button_calc", "Button_ok", "Button_cancel", "Button_help"});
    const auto buttons =
        Widget<QWidget>(dialog, "RadioGroup_verschieb")->findChildren<QRadioButton*>();
    checked = 0;
    for (QRadioButton* button : buttons) checked += button->isChecked() ? 1 : 0;
    EXPECT_EQ(buttons.size(), 2);
    // On its indicator: a radio button takes clicks on its indicator and text only.
    QRadioButton* second = buttons.value(1);
    QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(8, second->height() / 2));
  });
  EXPECT_EQ(checked, 0);
  EXPECT_EQ(form.Get<platform::RadioGroup>("RadioGroup_verschieb").ItemIndex(), 1);
  platform::SetUnexpectedErrorHandler(nullptr);
}

}  // namespace
