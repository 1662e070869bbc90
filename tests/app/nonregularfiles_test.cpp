// A FIFO where a file is expected, through every reader of a name the user or a file gives:
// each refuses it at once with its usual answer for a file that is missing or not accessible.
// Each reader runs in a child process that an alarm ends after a second, so a reader that waits
// at the FIFO fails here instead of hanging the run.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "base/dialogs/helperr.h"
#include "base/draw/breldraw.h"
#include "base/files/listfile.h"
#include "base/help/hbild.h"
#include "base/help/helptext.h"
#include "base/report/showtextfile.h"
#include "base/report/textprint.h"
#include "base/settings/wbrelvar.h"
#include "base/text/messages.h"
#include "cad/layer/dxfread.h"
#include "calc/calcfile.h"
#include "platform/files/blockfile.h"
#include "platform/print/rawprint.h"
#include "tables/core/dbf4delim.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tests/base/dialogfixture.h"
#include "tests/support/scopedvariable.h"

namespace {

// What the reader returned, or that it did not return within a second.
std::string AnswerWithinASecond(const std::function<std::string()>& read) {
  int ends[2];
  if (::pipe(ends) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ends[0]);
    ::alarm(1);
    const std::string answer = read();
    const bool written =
        ::write(ends[1], answer.data(), answer.size()) == static_cast<ssize_t>(answer.size());
    ::_exit(written ? 0 : 1);
  }
  ::close(ends[1]);
  std::string answer;
  char block[256];
  for (ssize_t n; (n = ::read(ends[0], block, sizeof block)) != 0;) {
    if (n > 0) answer.append(block, static_cast<std::size_t>(n));
    if (n < 0 && errno != EINTR) break;
  }
  ::close(ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) return "no answer within a second";
  return answer;
}

class NonRegularFiles : public DialogTest {
 protected:
  // The text of the last box shown, without its caption.
  std::string LastBox() const {
    if (script_.Transcript().empty()) return "no box";
    const std::string& line = script_.Transcript().back();
    return line.substr(line.find('|') + 1);
  }

  static std::string TableError(const std::function<void()>& use) {
    dadav::EngineStart();
    dadav::SetExceptionMode(true);
    try {
      use();
    } catch (const dadav::EDadavError&) {
    }
    return "error " + std::to_string(dadav::LastErrorCode);
  }
};

struct Reader {
  const char* what;
  std::string file;  // where the FIFO stands, in the test's folder
  std::function<std::string(const std::string& path)> read;
  std::string answer;  // "@" stands for the FIFO's path
};

TEST_F(NonRegularFiles, AFifoIsRefusedAtOnceByEveryReader) {
  const Reader readers[] = {
      {"calculation file", "p.kv6",
       [&](const std::string& path) {
         ReadCalcFile(path);
         return LastBox();
       },
       "file @ not found or no access !"},
      {"text file printed", "t.txt",
       [&](const std::string& path) {
         PrintTextFile(path);
         return LastBox();
       },
       "@ not found !"},
      {"report viewer's file", "temp/outwin.txt",
       [&](const std::string&) {
         ShowTextFileViewer(Path("report.txt"));
         return LastBox();
       },
       "@ not found !"},
      {"text file converted", "c.txt",
       [&](const std::string& path) {
         CopyTextFileConverted(path, Path("c.utf8"));
         return "abort " + std::to_string(AbortFlag);
       },
       "abort 1"},
      {"list file", "l.txt",
       [&](const std::string& path) {
         ListFile.Assign(path);
         ListFile.Reset();
         return "result " + std::to_string(ListFile.IoResult());
       },
       "result 5"},
      {"help file", "kv6.hlp",
       [&](const std::string&) {
         std::string text;
         HelpEntryLine(4001, text);
         return text;
       },
       "File @ not found !"},
      {"message help file", "KV6.err",
       [&](const std::string&) {
         AddMessage("Fatal  : d2 = 0 !");
         ShowErrorHelp(1);
         return LastBox();
       },
       "file @ not found or no access !"},
      {"HP-GL image", "bild.plt",
       [&](const std::string&) {
         TDrawer drawer;
         PlotNamedImage("bild");
         return LastBox();
       },
       "@ not found !"},
      {"CAD block file", "temp/$logo.dx$",
       [&](const std::string&) {
         dxf_read_block("logo", 0, 0, 0, 1, 1);
         return Messages[MessageCount];
       },
       "Invalid temp directory"},
      {"table", "t.dbf",
       [&](const std::string& path) { return TableError([&] { dadav::USE(path); }); }, "error 5"},
      {"block file, exclusive", "x.dat",
       [&](const std::string& path) {
         platform::BlockFile file;
         return "error " + std::to_string(file.Open(path, platform::kModeExclusive));
       },
       "error 5"},
      {"delimited import", "d.txt",
       [&](const std::string& path) {
         std::int32_t appended = -1;
         const std::string error = TableError([&] {
           dadav::FieldDescriptor name;
           name.name = "NAME";
           name.length = 10;
           dadav::CreateDBF(Path("a.dbf"), {name});
           dadav::USE(Path("a.dbf"));
           appended = dadav::AppendFromDelimited(path, false);
         });
         return error + ", appended " + std::to_string(appended);
       },
       "error 0, appended 0"},
      {"printer device file", "lpt1",
       [&](const std::string& path) {
         const ScopedVariable device("KV6_LPT1", path);
         Write("job.prn", "text\f");
         return platform::MakeSystemRawPrinter()->SendRaw(1, Path("job.prn")) ? "sent" : "refused";
       },
       "refused"},
  };
  for (const Reader& reader : readers) {
    const std::string path = Path(reader.file);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << reader.what;
    std::string expected = reader.answer;
    if (const std::size_t at = expected.find('@'); at != std::string::npos)
      expected.replace(at, 1, path);
    EXPECT_EQ(AnswerWithinASecond([&] { return reader.read(path); }), expected) << reader.what;
  }
}

// The printer's device file may be a character device, as a real printer port is.
TEST_F(NonRegularFiles, APrinterDeviceFileMayBeACharacterDevice) {
  const ScopedVariable device("KV6_LPT1", "/dev/null");
  Write("job.prn", "text\f");
  EXPECT_TRUE(platform::MakeSystemRawPrinter()->SendRaw(1, Path("job.prn")));
}

}  // namespace
