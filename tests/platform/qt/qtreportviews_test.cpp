#include "platform/qt/qtreportviews.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMenuBar>
#include <QTimer>
#include <memory>
#include <regex>

#include "tests/support/command.h"
#include "tests/support/qt/qtapp.h"
#include "tests/support/tempfolder.h"

namespace platform::qt {
namespace {

// Acts on the modal dialog once it is shown.
void WhenModal(std::function<void(QDialog&)> act) {
  QTimer::singleShot(200, [act] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog != nullptr) act(*dialog);
  });
}

TEST(print_qt, ThreePagesIntoAPdfFile) {
  StartQtBackend();
  const TempFolder folder;
  const std::string pdf = folder.Path("print.pdf");
  PrintRangeRequest request{"report", 1, 3, 1, 3, pdf};
  WhenModal([](QDialog& dialog) { dialog.accept(); });
  auto job = MakeQtTextPrinter()->Begin(request);
  ASSERT_NE(job, nullptr);
  job->SetFont({"Courier New", 10});
  const std::int32_t lineHeight = job->PageHeight() / 66;
  for (int page = 1; page <= 3; ++page) {
    if (page > 1) job->NewPage();
    for (int line = 0; line < 5; ++line) {
      job->DrawLine(0, line * lineHeight,
                    "page " + std::to_string(page) + " line " + std::to_string(line) + " \xE4");
    }
  }
  ASSERT_TRUE(job->Finish());
  const std::string info = RunCommand("pdfinfo " + pdf).output;
  EXPECT_TRUE(std::regex_search(info, std::regex("Pages: +3\n"))) << info;
  EXPECT_NE(RunCommand("pdftotext " + pdf + " -").output.find("page 2 line 4 ä"),
            std::string::npos);
}

TEST(viewer_qt, KoreanCaptionsAndTheTextInThePrintoutFont) {
  StartQtBackend();
  TextViewerRequest request;
  request.caption = "KV6    outwin.txt";
  request.textUtf8 = "       ****\n       line äöü\n";
  request.font = {"Courier New", 10};
  request.rect = {10, 40, 700, 440};
  request.menus = {EncodeTagged("파일(&F)", 949),     {"Export &Notepad", 1252},
                   {"Export &Wordpad", 1252},         EncodeTagged("프린트(&P)", 949),
                   EncodeTagged("끝내기(&x)", 949),   EncodeTagged("편집(&E)", 949),
                   EncodeTagged("전부선택(&A)", 949), EncodeTagged("복사(&C)", 949)};
  QStringList menus;
  WhenModal([&menus](QDialog& dialog) {
    for (QAction* action : dialog.findChild<QMenuBar*>()->actions()) menus << action->text();
    dialog.resize(800, 500);
    dialog.accept();
  });
  const WindowRect closed = MakeQtTextViewer()->Show(request);
  EXPECT_EQ(menus, (QStringList{QString::fromUtf8("파일(&F)"), QString::fromUtf8("편집(&E)")}));
  EXPECT_EQ(closed.width, 800);
}

}  // namespace
}  // namespace platform::qt
