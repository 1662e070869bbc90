// Document links: the form keeps the links until OK, and starting a link runs its program with
// its file without a shell, or opens the file with the desktop's default program.
#include "app/docs/documentlinksform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/docs/linklauncher.h"
#include "calc/documentlinks.h"
#include "platform/system/process.h"
#include "tests/app/documentationfixture.h"

namespace {

using platform::Form;
using Argv = std::vector<std::string>;

class DocumentLinksTest : public DocumentationTest {};

TEST_F(DocumentLinksTest, AWindowsProgramOpensTheFileWithTheDesktopDefault) {
  ExecLinkProgram("notepad.exe", "/home/ann/notes.txt");
  ExecLinkProgram("C:\\Programs\\edit", "a.txt");
  ExecLinkProgram("notepad.exe", "");
  EXPECT_EQ(launcher_.documents, (Argv{"/home/ann/notes.txt", "a.txt"}));
  EXPECT_TRUE(launcher_.programs.empty());
}

// The program text is split into words; the file, blanks and all, is one more.
TEST_F(DocumentLinksTest, AProgramGetsItsWordsAndTheFileAsOneArgument) {
  ExecLinkProgram("gedit --new-window", "my file.txt");
  ExecLinkProgram("gedit", "");
  ExecLinkProgram("", "my file.txt");
  ExecLinkProgram("   ", "my file.txt");
  ExecLinkFile("");
  EXPECT_EQ(launcher_.programs,
            (std::vector<Argv>{{"gedit", "--new-window", "my file.txt"}, {"gedit"}}));
  EXPECT_TRUE(launcher_.documents.empty());
}

TEST_F(DocumentLinksTest, AProgramPathWithBlanksNeedsNoQuotes) {
  const std::string program = Path("my editor");
  Write("my editor", "#!/bin/sh\n");
  ExecLinkProgram(program, "x.txt");
  ExecLinkProgram("\"" + program + "\" -n", "x.txt");
  EXPECT_EQ(launcher_.programs, (std::vector<Argv>{{program, "x.txt"}, {program, "-n", "x.txt"}}));
}

// The edits start with what they hold, confirmed or not; Cancel then keeps the stored links.
TEST_F(DocumentLinksTest, ExecTakesUnconfirmedEditsAndCancelKeepsTheLinks) {
  const auto before = DocumentLinks;
  InForm([](Form& form) {
    EXPECT_EQ(form.Get<platform::Edit>("Edit_prog3").Text(), "mspaint.exe");
    Type(form, "Edit_prog2", "gedit");
    Type(form, "Edit_file2", "letter.txt");
    Press(form, "Button2");
    Type(form, "Edit_file4", "photo.png");
    Press(form, "Button4f");
    Press(form, "Button_cancel");
  });
  EditDocumentLinks();
  EXPECT_EQ(launcher_.programs, (std::vector<Argv>{{"gedit", "letter.txt"}}));
  EXPECT_EQ(launcher_.documents, (Argv{"photo.png"}));
  EXPECT_EQ(DocumentLinks, before);
  EXPECT_EQ(std::tuple(AbortFlag, Modified), std::tuple(1, 0));
}

TEST_F(DocumentLinksTest, TheCloseBoxKeepsTheLinks) {
  const auto before = DocumentLinks;
  InForm([](Form& form) { Type(form, "Edit_prog1", "typed"); });
  EditDocumentLinks();
  EXPECT_EQ(DocumentLinks, before);
  EXPECT_EQ(AbortFlag, 1);
}

TEST_F(DocumentLinksTest, OkStoresTheTenTexts) {
  InForm([](Form& form) {
    for (int n = 1; n <= 5; ++n) {
      Type(form, "Edit_prog" + std::to_string(n), "prog" + std::to_string(n));
      Type(form, "Edit_file" + std::to_string(n), "file" + std::to_string(n));
    }
    Press(form, "Button_ok");
  });
  EditDocumentLinks();
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(DocumentLinks[1], (DocumentLink{"prog1", "file1"}));
  EXPECT_EQ(DocumentLinks[5], (DocumentLink{"prog5", "file5"}));
}

// A cancelled choice keeps the edit's text; the chosen Windows-1252 name goes to the program as
// it is, and the program receives it in UTF-8.
TEST_F(DocumentLinksTest, ABrowsedFileKeepsItsNameUpToTheProgram) {
  const std::string chosen = Path(
      "Ma\xDF"
      "e.txt");
  InForm([](Form& form) {
    Type(form, "Edit_file1", "kept.txt");
    Press(form, "Button_file1");
    EXPECT_EQ(form.Get<platform::Edit>("Edit_file1").Text(), "kept.txt");
    Press(form, "Button_file1");
    Type(form, "Edit_prog1", "gedit");
    Press(form, "Button1");
    Press(form, "Button_ok");
  });
  script_.Expect(platform::headless::Step(platform::DialogKind::OpenFile)
                     .Closing(platform::DialogClose::Cancel));
  script_.Expect(platform::headless::Step(platform::DialogKind::OpenFile).Type(chosen));
  EditDocumentLinks();
  EXPECT_EQ(DocumentLinks[1].File, chosen);
  EXPECT_EQ(launcher_.programs, (std::vector<Argv>{{"gedit", chosen}}));

  Write("args.sh", "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.out\"\n");
  ::chmod(Path("args.sh").c_str(), 0755);
  {
    platform::Substitute<platform::ProcessLauncher, platform::ProcessLauncher> real(
        platform::MakeSystemLauncher());
    ExecLinkProgram(Path("args.sh"), DocumentLinks[1].File);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (Read("args.sh.out").empty() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(Read("args.sh.out"), Dir() +
                                     "/Ma\xC3\x9F"
                                     "e.txt");
}

// Programs here carry no ".exe", so the program choice lists every file; it starts in the
// folder of the program text.
TEST_F(DocumentLinksTest, TheProgramChoiceListsEveryFile) {
  InForm([](Form& form) {
    Type(form, "Edit_prog2", "/usr/bin/vi");
    Press(form, "Button_prog2");
    Press(form, "Button_ok");
  });
  script_.Expect(platform::headless::Step(platform::DialogKind::OpenFile).Type("/usr/bin/gedit"));
  EditDocumentLinks();
  ASSERT_EQ(script_.FileRequests().size(), 1u);
  EXPECT_EQ(std::tuple(script_.FileRequests()[0].folder,
                       script_.FileRequests()[0].filters.at(0).pattern, DocumentLinks[2].Program),
            std::tuple("/usr/bin", "*", "/usr/bin/gedit"));
}

}  // namespace
