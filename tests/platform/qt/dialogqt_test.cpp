#include "platform/qt/dialogqt.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "platform/files/osfiles.h"
#include "tests/support/qt/qtapp.h"
#include "tests/support/tempfolder.h"

// Qt keeps its application and the font configuration's caches until the process ends.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:QApplication\nleak:QGuiApplication\n";
}

namespace {

using platform::DialogClose;
using platform::DialogKind;
using platform::DialogRequest;

// Acts on the modal dialog as soon as it runs.
void WhenShown(std::function<void(QWidget&)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    act(*dialog);
  });
}

void Press(QWidget& dialog, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&dialog, &press);
}

DialogRequest Request(DialogKind kind) {
  DialogRequest request;
  request.kind = kind;
  request.caption = "Select";
  request.prompt = "prompt";
  request.items = {"&Yes", "&No"};
  request.selected = 1;
  request.text = "preset";
  request.maxLength = 8;
  return request;
}

TEST(QtDialogs, EachSmallDialogClosesByEnterAndByEsc) {
  StartQtApplication();
  const auto dialogs = platform::qt::MakeQtDialogs();
  for (const DialogKind kind :
       {DialogKind::List, DialogKind::Radio, DialogKind::Text, DialogKind::YesNo}) {
    WhenShown([](QWidget& dialog) { Press(dialog, Qt::Key_Return); });
    const auto accepted = dialogs->RunDialog(Request(kind));
    EXPECT_EQ(accepted.close, DialogClose::Ok) << static_cast<int>(kind);
    if (kind != DialogKind::Text) {
      EXPECT_EQ(accepted.selected, 1);
    }
    WhenShown([](QWidget& dialog) { Press(dialog, Qt::Key_Escape); });
    EXPECT_EQ(dialogs->RunDialog(Request(kind)).close, DialogClose::Escape);
  }
}

TEST(QtDialogs, DialogShowsAsTheCorePlacedIt) {
  StartQtApplication();
  const auto dialogs = platform::qt::MakeQtDialogs();
  DialogRequest request = Request(DialogKind::List);
  request.placement = platform::RecordedFormHandle({600, 400});
  request.placement.SetPosition({30, 40});
  QRect shown;  // the frame's corner and the client size
  WhenShown([&shown](QWidget& dialog) {
    shown = QRect(dialog.frameGeometry().topLeft(), dialog.size());
    Press(dialog, Qt::Key_Escape);
  });
  dialogs->RunDialog(request);
  EXPECT_EQ(shown, QRect(30, 40, 584, 361));  // the outer size less the frame
}

TEST(QtDialogs, EmptyListCannotBeAccepted) {
  StartQtApplication();
  const auto dialogs = platform::qt::MakeQtDialogs();
  DialogRequest request = Request(DialogKind::List);
  request.items.clear();
  request.selected = -1;
  WhenShown([](QWidget& dialog) {
    Press(dialog, Qt::Key_Return);
    QTimer::singleShot(0, [&dialog] { Press(dialog, Qt::Key_Escape); });
  });
  EXPECT_EQ(dialogs->RunDialog(request).close, DialogClose::Escape);
}

TEST(QtDialogs, TextDialogHoldsItsMaximumLengthAndKeepsALongerPreset) {
  StartQtApplication();
  const auto dialogs = platform::qt::MakeQtDialogs();
  DialogRequest request = Request(DialogKind::Text);
  request.text.clear();
  request.maxLength = 5;
  WhenShown([](QWidget& dialog) {
    dialog.findChild<QLineEdit*>()->insert(QStringLiteral("abcdefgh"));
    Press(dialog, Qt::Key_Return);
  });
  EXPECT_EQ(dialogs->RunDialog(request).text, "abcde");
  request.text = "0123456789";
  WhenShown([](QWidget& dialog) { Press(dialog, Qt::Key_Return); });
  EXPECT_EQ(dialogs->RunDialog(request).text, "0123456789");
}

TEST(QtDialogs, TypedTextComesBackAsWindows1252) {
  StartQtApplication();
  const auto dialogs = platform::qt::MakeQtDialogs();
  DialogRequest request = Request(DialogKind::Text);
  request.text = "\xE4";  // a-umlaut in Windows-1252
  WhenShown([](QWidget& dialog) {
    auto* edit = dialog.findChild<QLineEdit*>();
    EXPECT_EQ(edit->text(), QString::fromUtf8("\xC3\xA4"));
    edit->setText(QString::fromUtf8("\xC3\xA4\xE2\x82\xAC\xE4\xB8\x80"));  // a-umlaut, euro, CJK
    Press(dialog, Qt::Key_Return);
  });
  EXPECT_EQ(dialogs->RunDialog(request).text, "\xE4\x80?");
}

TEST(QtDialogs, MessageBoxOffersItsButtonsAndEscGivesTheCancelAnswer) {
  using platform::MessageAnswer;
  using platform::MessageButtons;
  StartQtApplication();
  const auto dialogs = platform::qt::MakeQtDialogs();
  struct Case {
    MessageButtons buttons;
    QMessageBox::StandardButton click;  // NoButton: press Esc
    MessageAnswer answer;
  };
  const Case cases[] = {
      {MessageButtons::YesNoCancel, QMessageBox::No, MessageAnswer::No},
      {MessageButtons::YesNo, QMessageBox::Yes, MessageAnswer::Yes},
      {MessageButtons::YesNo, QMessageBox::NoButton, MessageAnswer::No},
      {MessageButtons::OkCancel, QMessageBox::NoButton, MessageAnswer::Cancel},
      {MessageButtons::RetryCancel, QMessageBox::Retry, MessageAnswer::Retry},
      {MessageButtons::Ok, QMessageBox::NoButton, MessageAnswer::Ok},
  };
  for (const Case& c : cases) {
    WhenShown([c](QWidget& widget) {
      auto* box = qobject_cast<QMessageBox*>(&widget);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->text(), QString::fromUtf8("\u00c4nderung?"));
      if (c.click == QMessageBox::NoButton) {
        Press(widget, Qt::Key_Escape);
      } else {
        box->button(c.click)->click();
      }
    });
    EXPECT_EQ(dialogs->ShowBox({"KV6", "\xc4nderung?", c.buttons, {}}), c.answer)
        << static_cast<int>(c.buttons);
  }
}

// The file dialogs open on the UTF-8 folder of a Windows-1252 path and answer in Windows-1252;
// a name without a Windows-1252 form comes back as one that opens no file.
class QtFileDialogs : public testing::Test, protected TempFolder {};

TEST_F(QtFileDialogs, NamesComeBackAsWindows1252) {
  StartQtApplication();
  const auto dialogs = platform::qt::MakeQtDialogs();
  std::filesystem::create_directory(Path("Pr\303\274fstand"));
  Put("Pr\303\274fstand/Ma\303\237e.kv6", "x");
  Put("Pr\303\274fstand/\344\270\255.kv6", "x");
  platform::FileRequest request;
  request.folder = dir_ + "/Pr\374fstand";
  const std::pair<const char*, std::string> picks[] = {
      {"Ma\303\237e.kv6", request.folder + "/Ma\337e.kv6"},
      {"\344\270\255.kv6", request.folder + "/?.kv6"},
  };
  for (const auto& [pick, expected] : picks) {
    WhenShown([pick = QString::fromUtf8(pick), folder = Path("Pr\303\274fstand")](QWidget& shown) {
      auto* dialog = qobject_cast<QFileDialog*>(&shown);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->directory().absolutePath(), QString::fromUtf8(folder.c_str()));
      dialog->selectFile(pick);
      static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept checks the choice
    });
    const platform::FileResult result = dialogs->ChooseFile(request);
    EXPECT_TRUE(result.chosen);
    EXPECT_EQ(result.path, expected);
  }
  EXPECT_GE(platform::os::Open(request.folder + "/Ma\337e.kv6", O_RDONLY), 0);
  EXPECT_LT(platform::os::Open(request.folder + "/?.kv6", O_RDONLY), 0);
}

}  // namespace
