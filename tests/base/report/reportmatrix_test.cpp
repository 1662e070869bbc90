// Every output device along every path it has: OK, Cancel, a refused overwrite, and a full disk
// (a forked child whose file size limit stops the report file). Each path is summed up in one
// line (abort flag, single-page flag, counter, the files left with their code page, viewer, print
// and raw jobs, programs started, error messages) and compared with the table; the file state
// of the main form must come through every path unchanged.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "tests/base/reportfixture.h"

namespace {

using platform::DialogClose;
using platform::DialogKind;
using platform::MessageAnswer;
using platform::headless::Step;

class report_device_matrix;
using Setup = void (*)(report_device_matrix&);

struct PathCase {
  const char* name;
  std::uint16_t device;
  Setup setup;
  bool diskFull;
  const char* expected;
};

constexpr char kSetupBytes[] = "\x1b@setup";

class report_device_matrix : public ReportTest, public ::testing::WithParamInterface<PathCase> {
 public:
  void Expect(platform::headless::DialogStep step) { script_.Expect(std::move(step)); }
  void Answer(MessageAnswer answer) { Expect(Step(DialogKind::Box).Answer(answer)); }
  void SaveAs(const std::string& name) { Expect(Step(DialogKind::SaveFile).Type(Path(name))); }
  void CancelSave() { Expect(Step(DialogKind::SaveFile).Closing(DialogClose::Cancel)); }
  void Existing(const std::string& name) { Write(name, "old"); }
  void RefuseOverwrite(const std::string& name) {
    Existing(name);
    SaveAs(name);
    Answer(MessageAnswer::No);
  }

  platform::RecordingTextViewer& Viewer() { return viewer_; }
  platform::RecordingTextPrinter& Printer() { return printer_; }
  platform::RecordingRawPrinter& Raw() { return raw_; }

 protected:
  report_device_matrix() {
    LinesPerPage = 20;
    ArchiveMode = 1;  // the save dialog would clear it
    StartDir = "/start";
    SinglePageFlag = 1;  // left over from a single-page print
    std::filesystem::create_directory(Path("out"));
    Write("text.hxp", kSetupBytes);
  }

  void RunReport() {
    Open(GetParam().device);
    if (GetParam().device != 90) WriteSample(8);
  }

  // Runs the path in a child whose files may not grow past 400 bytes; its summary comes back
  // through a pipe.
  std::string RunWithFullDisk() {
    int fds[2];
    if (::pipe(fds) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(fds[0]);
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{400, 400};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      GetParam().setup(*this);
      RunReport();
      const std::string summary = Summary();
      ::write(fds[1], summary.data(), summary.size());
      ::_exit(0);
    }
    ::close(fds[1]);
    std::string summary;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) summary.append(buffer, n);
    ::close(fds[0]);
    ::waitpid(child, nullptr, 0);
    return summary;
  }

  // Only the parts that differ from a quiet run: nothing left, shown, printed, opened or said.
  std::string Summary() const {
    std::string out = "abort=" + std::to_string(AbortFlag);
    const auto add = [&out](const char* key, const std::string& value, const char* quiet = "") {
      if (value != quiet) out += std::string(" ") + key + "=" + value;
    };
    std::string files, printed, raw, spooled, opened, said;
    std::string viewer = std::to_string(viewer_.shown.size());
    for (const auto& name : Files()) {
      if (name != "text.hxp") files += (files.empty() ? "" : ",") + name + CodePageTag(Read(name));
    }
    for (const auto& shown : viewer_.shown) viewer += CodePageTag(shown.textUtf8);
    for (const auto& job : printer_.jobs) printed += "[" + std::to_string(job.pages.size()) + "]";
    // A raw job is the set-up file or else counted in pages (form feeds).
    for (const auto& [port, bytes] : raw_.jobs) {
      raw += bytes == kSetupBytes ? "[setup]"
                                  : "[" + std::to_string(std::ranges::count(bytes, '\f')) + "]";
    }
    for (const auto& [port, bytes] : raw_.textJobs) {
      spooled += "[" + std::to_string(std::ranges::count(bytes, '\f')) + "]" + CodePageTag(bytes);
    }
    const auto name = [](const std::string& p) {
      return std::filesystem::path(p).filename().string();
    };
    for (const auto& document : launcher_.documents) opened += "[" + name(document) + "]";
    for (const auto& text : launcher_.edited) opened += "[edit " + name(text) + "]";
    for (const auto& argv : launcher_.programs) opened += "[" + argv[0] + " " + name(argv[1]) + "]";
    for (const auto& line : script_.Transcript()) {
      const std::string text = line.substr(line.find('|') + 1);
      if (text.find("not found") != std::string::npos || text.find("error") != std::string::npos ||
          text.find("disk full") != std::string::npos) {
        said += "[" + text + "]";
      }
    }
    add("single", std::to_string(SinglePageFlag), "0");
    add("counter", std::to_string(TempFileCounter), "0");
    add("files", files);
    add("viewer", viewer, "0");
    add("printed", printed);
    add("raw", raw);
    add("text", spooled);
    add("opened", opened);
    add("messages", said);
    add("state", FileStateKept() ? "kept" : "changed", "kept");
    return out;
  }

 private:
  static std::string CodePageTag(const std::string& bytes) {
    if (bytes == "old") return "[old]";
    if (bytes.find("\x84\x94\x81") != std::string::npos) return "[850]";
    if (bytes.find("äöü") != std::string::npos) return "[utf8]";
    return "[?]";
  }

  bool FileStateKept() const {
    return FileExt == "KV6" && CurrentFile == "calc1" && StartDir == "/start" &&
           DataDir == dir_ + "/data" && ArchiveMode == 1 && ReportDeviceCode == 1;
  }
};

// clang-format off
const PathCase kPaths[] = {
  // 0: the configured device, or the choice list.
  {"ConfiguredEightWithoutAsking", 0, [](auto&) { TextDevice = 8; }, false, "abort=0 files=temp/OUTDOS.TXT[850],temp/outwin.txt[utf8]"},
  {"ChosenFromTheList", 0, [](auto& t) { TextDeviceWindow = 1; t.Expect(Step(DialogKind::Radio).Select(2)); t.SaveAs("out/rep.txt"); }, false, "abort=0 files=out/rep.txt[utf8],temp/outwin.txt[utf8]"},
  {"ChoiceCancelled", 0, [](auto& t) { TextDeviceWindow = 1; t.Expect(Step(DialogKind::Radio).Closing(DialogClose::Cancel)); }, false, "abort=1 single=1"},
  {"ChosenFileNotOverwritten", 0, [](auto& t) { TextDeviceWindow = 1; t.Existing("out/rep.txt"); t.Expect(Step(DialogKind::Radio).Select(2)); t.SaveAs("out/rep.txt"); t.Answer(MessageAnswer::No); }, false, "abort=1 files=out/rep.txt[old]"},

  // 1: the viewer; it prints the code-page-850 report and exports the UTF-8 copy.
  {"ViewerPrintsAndExports", 1, [](auto& t) { t.Viewer().presses = {platform::ViewerPress::Print, platform::ViewerPress::Export}; }, false, "abort=0 files=temp/outwin.txt[utf8] viewer=1[utf8] printed=[4] opened=[edit outwin.txt]"},
  {"DiskFull", 1, [](auto&) {}, true, "abort=1 messages=[disk full]"},

  // 2: the text printer; the set-up file goes first, single pages go one job each.
  // Yes to single pages, then to paper for each of the four pages.
  {"SinglePages", 2, [](auto& t) { for (int i = 0; i < 5; ++i) t.Answer(MessageAnswer::Yes); }, false, "abort=0 single=1 raw=[setup][1][1][1][0]"},
  {"OneJob", 2, [](auto& t) { t.Answer(MessageAnswer::No); }, false, "abort=0 raw=[setup][3]"},
  {"QuestionCancelled", 2, [](auto& t) { t.Answer(MessageAnswer::Cancel); }, false, "abort=1 single=1"},
  {"PaperRefused", 2, [](auto& t) { t.Answer(MessageAnswer::Yes); t.Answer(MessageAnswer::Yes); t.Answer(MessageAnswer::No); }, false, "abort=1 single=1 raw=[setup][1]"},
  {"SendFails", 2, [](auto& t) { t.Raw().fail = true; t.Answer(MessageAnswer::No); }, false, "abort=1 messages=[file write error]"},
  {"DiskFull", 2, [](auto& t) { t.Answer(MessageAnswer::No); }, true, "abort=1 messages=[disk full]"},
  {"PrintSystemTakesUtf8WithoutSetup", 2, [](auto& t) { t.Raw().deviceFile = false; t.Answer(MessageAnswer::No); }, false, "abort=0 text=[3][utf8]"},

  // 3: a file of the user's choice and its copy, both UTF-8.
  {"Ok", 3, [](auto& t) { t.SaveAs("out/rep.txt"); }, false, "abort=0 files=out/rep.txt[utf8],temp/outwin.txt[utf8]"},
  {"Cancel", 3, [](auto& t) { t.CancelSave(); }, false, "abort=1"},
  {"OverwriteRefused", 3, [](auto& t) { t.RefuseOverwrite("out/rep.txt"); }, false, "abort=1 files=out/rep.txt[old]"},
  {"DiskFull", 3, [](auto& t) { t.SaveAs("out/rep.txt"); }, true, "abort=1 messages=[disk full]"},

  // 4: the desktop printer.
  {"Ok", 4, [](auto&) {}, false, "abort=0 printed=[4]"},
  {"PrintFails", 4, [](auto& t) { t.Printer().failFinish = true; }, false, "abort=0 printed=[4] messages=[print error]"},
  {"PrintCancelled", 4, [](auto& t) { t.Printer().cancel = true; }, false, "abort=0"},
  {"DiskFull", 4, [](auto&) {}, true, "abort=1 messages=[disk full]"},

  // 5: the word processor; a Windows program name means the desktop's opener.
  {"DesktopOpener", 5, [](auto&) { WordProcessor = "C:\\WINDOWS\\WRITE.EXE"; }, false, "abort=0 files=temp/$OUT1.TMP[850],temp/outwin.txt[utf8] opened=[outwin.txt]"},
  {"NamedProgram", 5, [](auto&) { WordProcessor = "sh"; }, false, "abort=0 files=temp/$OUT1.TMP[850],temp/outwin.txt[utf8] opened=[sh outwin.txt]"},
  {"ProgramMissing", 5, [](auto&) { WordProcessor = "no-such-editor-kv6"; }, false, "abort=0 files=temp/$OUT1.TMP[850] messages=[no-such-editor-kv6 not found]"},
  {"DiskFull", 5, [](auto&) {}, true, "abort=1 messages=[disk full]"},

  // 6: tab-separated text, to a numbered file or, with the device window, a chosen one.
  {"NumberedFile", 6, [](auto&) { TempFileCounter = 4; }, false, "abort=0 counter=5 files=temp/$$$5.txt[850],temp/$$5.txt[utf8]"},
  {"ChosenFile", 6, [](auto& t) { TextDeviceWindow = 1; t.SaveAs("out/rep.txt"); }, false, "abort=0 counter=1 files=out/rep.txt[utf8],temp/$$1.txt[utf8]"},
  {"Cancel", 6, [](auto& t) { TextDeviceWindow = 1; t.CancelSave(); }, false, "abort=1"},
  {"OverwriteRefused", 6, [](auto& t) { TextDeviceWindow = 1; t.RefuseOverwrite("out/rep.txt"); }, false, "abort=1 files=out/rep.txt[old]"},
  {"DiskFull", 6, [](auto&) {}, true, "abort=1 messages=[disk full]"},

  // 7: HTML, in the temporary folder for the browser, else where the user saves it.
  {"Browser", 7, [](auto&) { HtmlBrowser = "sh"; }, false, "abort=0 files=temp/KV6.htm[utf8] opened=[sh KV6.htm]"},
  {"WindowsBrowser", 7, [](auto&) { HtmlBrowser = "iexplore.exe"; }, false, "abort=0 files=temp/KV6.htm[utf8] opened=[KV6.htm]"},
  {"BrowserMissing", 7, [](auto&) { HtmlBrowser = "no-such-browser-kv6"; }, false, "abort=0 files=temp/KV6.htm[utf8] messages=[no-such-browser-kv6 not found]"},
  {"Saved", 7, [](auto& t) { t.SaveAs("out/rep.htm"); }, false, "abort=0 files=out/rep.htm[utf8]"},
  {"Cancel", 7, [](auto& t) { t.CancelSave(); }, false, "abort=1"},
  {"OverwriteRefused", 7, [](auto& t) { HtmlBrowser = "sh"; t.Existing("temp/KV6.htm"); t.Answer(MessageAnswer::No); }, false, "abort=1 files=temp/KV6.htm[old]"},
  {"DiskFull", 7, [](auto&) { HtmlBrowser = "sh"; }, true, "abort=1 messages=[disk full]"},

  // 8: "OUTDOS.TXT".
  {"Ok", 8, [](auto&) {}, false, "abort=0 files=temp/OUTDOS.TXT[850],temp/outwin.txt[utf8]"},
  {"DiskFull", 8, [](auto&) {}, true, "abort=1 messages=[disk full]"},

  // 9: the command line's report, its copy named by the current file in the working folder.
  {"NumberedFile", 9, [](auto&) {}, false, "abort=0 counter=1 files=calc1.txt[utf8],temp/$$$1.txt[850]"},
  {"DiskFull", 9, [](auto&) {}, true, "abort=1 messages=[disk full]"},

  // 90 only fills the choice texts; any other code opens nothing.
  {"ChoiceTextsOnly", 90, [](auto&) {}, false, "abort=0 single=1"},
  {"Unknown", 13, [](auto&) {}, false, "abort=1"},
};
// clang-format on

TEST_P(report_device_matrix, PathEndsAsExpected) {
  const PathCase& path = GetParam();
  std::string summary;
  if (path.diskFull) {
    summary = RunWithFullDisk();
  } else {
    path.setup(*this);
    RunReport();
    summary = Summary();
  }
  EXPECT_EQ(summary, path.expected);
  if (path.device == 90) {
    EXPECT_EQ(ChoiceTexts[7], "HTML File");
  }
}

INSTANTIATE_TEST_SUITE_P(Devices, report_device_matrix, ::testing::ValuesIn(kPaths),
                         [](const auto& test) {
                           return "device" + std::to_string(test.param.device) + "_" +
                                  test.param.name;
                         });

}  // namespace
