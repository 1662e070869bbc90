#include "platform/qt/dialogqt.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "platform/files/codepage.h"
#include "platform/files/osfiles.h"
#include "platform/files/taggedtext.h"
#include "platform/qt/qtscreen.h"

namespace platform::qt {

namespace {

QString ToQt(const std::string& display) {
  return QString::fromUtf8(Cp1252ToUtf8(display).c_str());
}

QString ToQt(const std::string& text, std::uint16_t codePage) {
  return QString::fromUtf8(TaggedToUtf8({text, codePage}).c_str());
}

std::string FromQt(const QString& text) {
  return Utf8ToCp1252(text.toUtf8().toStdString());
}

// A dialog that tells Esc and the close box apart from its Cancel button.
class SmallDialog final : public QDialog {
 public:
  DialogClose how = DialogClose::CloseBox;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape) {
      how = DialogClose::Escape;
      QDialog::reject();
      return;
    }
    QDialog::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    if (how == DialogClose::CloseBox) QDialog::reject();
    event->accept();
  }
};

// The controls of one request and how its value is read back.
struct Body {
  QListWidget* list = nullptr;
  QButtonGroup* radios = nullptr;
  QLineEdit* edit = nullptr;

  std::int32_t Selected() const {
    if (list) return list->currentRow();
    if (radios) return radios->checkedId();
    return -1;
  }
  bool CanAccept() const {
    return (!list || list->currentRow() >= 0) && (!radios || radios->checkedId() >= 0);
  }
};

QButtonGroup* AddRadioGroup(QDialog& dialog, QVBoxLayout& layout, const QString& title,
                            const std::vector<std::string>& items, std::int32_t selected,
                            std::int32_t height) {
  auto* group = new QGroupBox(title, &dialog);
  auto* groupLayout = new QVBoxLayout(group);
  auto* buttons = new QButtonGroup(&dialog);
  for (std::size_t i = 0; i < items.size(); ++i) {
    auto* radio = new QRadioButton(ToQt(items[i]), group);
    buttons->addButton(radio, static_cast<int>(i));
    groupLayout->addWidget(radio);
    if (static_cast<std::int32_t>(i) == selected) radio->setChecked(true);
  }
  if (height > 0) group->setMinimumHeight(height);
  layout.addWidget(group);
  return buttons;
}

Body AddBody(SmallDialog& dialog, QVBoxLayout& layout, const DialogRequest& request) {
  Body body;
  switch (request.kind) {
    case DialogKind::List: {
      body.list = new QListWidget(&dialog);
      for (const std::string& item : request.items) body.list->addItem(ToQt(item));
      if (request.selected >= 0) body.list->setCurrentRow(request.selected);
      layout.addWidget(body.list);
      QObject::connect(body.list, &QListWidget::itemDoubleClicked, &dialog, [&dialog] {
        dialog.how = DialogClose::Ok;
        dialog.accept();
      });
      break;
    }
    case DialogKind::Radio:
      body.radios = AddRadioGroup(dialog, layout, QString(), request.items, request.selected,
                                  request.groupHeight);
      break;
    case DialogKind::YesNo:
      body.radios = AddRadioGroup(dialog, layout, QStringLiteral("Select"), request.items,
                                  request.selected, 0);
      break;
    case DialogKind::Text:
      body.edit = new QLineEdit(ToQt(request.text), &dialog);
      // A longer preset is kept whole: the limit grows to its length.
      if (request.maxLength > 0) {
        body.edit->setMaxLength(static_cast<int>(std::max(request.maxLength, request.text.size())));
      }
      layout.addWidget(body.edit);
      break;
    default:
      break;
  }
  return body;
}

void AddButtons(SmallDialog& dialog, QVBoxLayout& layout, const DialogRequest& request,
                const Body& body) {
  auto* row = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  ok->setObjectName(QStringLiteral("Button_ok"));
  ok->setDefault(true);
  ok->setAutoDefault(true);
  row->addWidget(ok);
  QObject::connect(ok, &QPushButton::clicked, &dialog, [&dialog, body] {
    if (!body.CanAccept()) return;
    dialog.how = DialogClose::Ok;
    dialog.accept();
  });
  if (body.list) {
    const auto update = [ok, body] { ok->setEnabled(body.CanAccept()); };
    QObject::connect(body.list, &QListWidget::currentRowChanged, ok, update);
    update();
  }
  if (body.radios) {
    const auto update = [ok, body] { ok->setEnabled(body.CanAccept()); };
    QObject::connect(body.radios, &QButtonGroup::idClicked, ok, update);
    update();
  }
  if (request.kind == DialogKind::InfoScreen) {
    layout.addLayout(row);
    return;
  }
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
  cancel->setObjectName(QStringLiteral("Button_cancel"));
  cancel->setAutoDefault(false);
  row->addWidget(cancel);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, [&dialog] {
    dialog.how = DialogClose::Cancel;
    dialog.reject();
  });
  const std::pair<const char*, HelpButton> helps[] = {{"&Help Text", HelpButton::Text},
                                                      {"Aux. &Image", HelpButton::Image}};
  for (const auto& [caption, which] : helps) {
    auto* help = new QPushButton(QString::fromLatin1(caption), &dialog);
    help->setAutoDefault(false);
    row->addWidget(help);
    QObject::connect(help, &QPushButton::clicked, &dialog, [&dialog, &request, which = which] {
      if (request.onHelp) request.onHelp(which);
      dialog.raise();
      dialog.activateWindow();
    });
  }
  layout.addLayout(row);
}

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::None:
      return QMessageBox::NoIcon;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      break;
  }
  return QMessageBox::Question;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return QMessageBox::Ok;
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::RetryCancel:
      return QMessageBox::Retry | QMessageBox::Cancel;
    case MessageButtons::YesNoCancel:
      break;
  }
  return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
}

QString FilterText(const std::vector<FileFilter>& filters) {
  QStringList parts;
  for (const FileFilter& filter : filters) {
    // Each letter becomes a class of both cases, so "*.plt" also lists "START.PLT".
    QString pattern;
    for (const QChar c : ToQt(filter.pattern)) {
      pattern +=
          c.isLetter() ? QStringLiteral("[%1%2]").arg(c.toLower()).arg(c.toUpper()) : QString(c);
    }
    parts << ToQt(filter.description) + QStringLiteral(" (") + pattern + QStringLiteral(")");
  }
  return parts.join(QStringLiteral(";;"));
}

class QtDialogs final : public DialogBackend {
 public:
  DialogResult RunDialog(const DialogRequest& request) override {
    SmallDialog dialog;
    dialog.setWindowTitle(ToQt(request.caption));
    dialog.setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(&dialog);
    if (request.kind == DialogKind::InfoScreen) {
      auto* memo = new QPlainTextEdit(&dialog);
      memo->setReadOnly(true);
      for (const std::string& line : request.items) memo->appendPlainText(ToQt(line));
      layout->addWidget(memo);
    } else {
      auto* label = new QLabel(ToQt(request.prompt), &dialog);
      label->setWordWrap(true);
      layout->addWidget(label);
    }
    const Body body = AddBody(dialog, *layout, request);
    AddButtons(dialog, *layout, request, body);
    if (body.edit) body.edit->setFocus();
    ApplyPlacement(dialog, request.placement);
    dialog.exec();
    DialogResult result{dialog.how, body.Selected(), request.text};
    if (body.edit) result.text = FromQt(body.edit->text());
    return result;
  }

  MessageAnswer ShowBox(const MessageBoxRequest& request) override {
    QMessageBox box(ToQtIcon(request.icon), ToQt(request.caption, request.codePage),
                    ToQt(request.text, request.codePage), ToQtButtons(request.buttons));
    box.setWindowModality(Qt::ApplicationModal);
    const MessageAnswer cancel = CancelAnswer(request.buttons);
    box.setEscapeButton(box.button(cancel == MessageAnswer::Ok   ? QMessageBox::Ok
                                   : cancel == MessageAnswer::No ? QMessageBox::No
                                                                 : QMessageBox::Cancel));
    switch (box.exec()) {
      case QMessageBox::Ok:
        return MessageAnswer::Ok;
      case QMessageBox::Yes:
        return MessageAnswer::Yes;
      case QMessageBox::No:
        return MessageAnswer::No;
      case QMessageBox::Retry:
        return MessageAnswer::Retry;
      default:
        return cancel;
    }
  }

  FileResult ChooseFile(const FileRequest& request) override {
    QString chosen;
    const QString caption = ToQt(request.caption);
    const QString folder = ToQt(request.folder);
    switch (request.kind) {
      case DialogKind::Folder:
        chosen = QFileDialog::getExistingDirectory(nullptr, caption, folder);
        break;
      case DialogKind::SaveFile:
        chosen = QFileDialog::getSaveFileName(
            nullptr, caption, folder + QStringLiteral("/") + ToQt(request.name),
            FilterText(request.filters), nullptr, QFileDialog::DontConfirmOverwrite);
        break;
      default:
        chosen =
            QFileDialog::getOpenFileName(nullptr, caption, folder, FilterText(request.filters));
        break;
    }
    if (chosen.isEmpty()) return FileResult{};
    const std::string hostName = chosen.toUtf8().toStdString();
    FileResult result{true, os::ProgramName(hostName), ""};
    if (!os::Nameable(result.path)) result.unusableName = hostName;
    return result;
  }

  ColorResult ChooseColor(std::uint32_t initial) override {
    const QColor start(static_cast<int>(initial & 0xFFu), static_cast<int>((initial >> 8) & 0xFFu),
                       static_cast<int>((initial >> 16) & 0xFFu));
    const QColor chosen = QColorDialog::getColor(start, QApplication::activeModalWidget());
    if (!chosen.isValid()) return ColorResult{};
    return ColorResult{true, static_cast<std::uint32_t>(chosen.red()) |
                                 (static_cast<std::uint32_t>(chosen.green()) << 8) |
                                 (static_cast<std::uint32_t>(chosen.blue()) << 16)};
  }

  FontResult ChooseFont(const FontSpec& initial) override {
    QFont start(ToQt(initial.face), initial.size > 0 ? initial.size : -1);
    start.setBold((initial.style & 1u) != 0);
    start.setItalic((initial.style & 2u) != 0);
    start.setUnderline((initial.style & 4u) != 0);
    start.setStrikeOut((initial.style & 8u) != 0);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, start, QApplication::activeModalWidget());
    if (!ok) return FontResult{};
    const auto style =
        static_cast<std::uint16_t>((chosen.bold() ? 1 : 0) | (chosen.italic() ? 2 : 0) |
                                   (chosen.underline() ? 4 : 0) | (chosen.strikeOut() ? 8 : 0));
    return FontResult{true, {FromQt(chosen.family()), chosen.pointSize(), style}};
  }

  void Beep() override { QApplication::beep(); }

  void SetBusyCursor(bool busy) override {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
      QApplication::restoreOverrideCursor();
    }
  }

  void Exit(int code) override { RecordExitRequest(code); }

 private:
  bool busy_ = false;
};

}  // namespace

std::unique_ptr<DialogBackend> MakeQtDialogs() {
  return std::make_unique<QtDialogs>();
}

}  // namespace platform::qt
