// Two running copies of the program share one TempDir, "Prüfstand": each draws a block of the same
// name many times and replays it, and each writes a "$$$n.txt" report. Both get their own drawing
// every time and their own report, and neither leaves its private folder behind when it exits.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "base/dialogs/utilcrtfile.h"
#include "base/files/listfile.h"
#include "base/report/reportdevice.h"
#include "base/report/textreport.h"
#include "base/settings/wprinvar.h"
#include "tests/cad/cadtest.h"

namespace {

class TwoCopies : public CadTest {};

// The drawing of copy n: a block holding one line of its own, inserted once.
bool DrawOwnBlock(int n) {
  const long double c = n;
  Recorded.clear();
  CadBatch = 1;
  CurrentFile = TempDir + "/copy" + std::to_string(n);
  AbortFlag = 0;
  cad_open(kRecordingTarget);
  DrawBlock("FRAME", [c] { cad_line(c, c, 10 * c, 10 * c); });
  cad_entities_begin();
  cad_insert("FRAME", 0, 0, 0, 1, 1);
  cad_blocks_end();
  cad_close();
  const std::vector<RecordedCall> lines = Calls("line");
  return AbortFlag == 0 && lines.size() == 1 &&
         lines[0].values == std::vector<long double>{c, c, 10 * c, 10 * c};
}

bool WriteOwnReport(int n) {
  InitReportEngine();
  TextDeviceWindow = 0;
  TempFileCounter = 0;
  OpenReport(6, "");
  if (AbortFlag != 0) return false;
  RewriteOrFail(ListFile);
  ReportLine("copy " + std::to_string(n));
  CloseReport();
  return AbortFlag == 0;
}

// Runs in the child: the exit code tells how it went; the exit handlers remove its folder.
[[noreturn]] void RunCopy(int n, int ready, int go) {
  bool ok = WriteOwnReport(n);
  for (int i = 0; i < 200 && ok; ++i) ok = DrawOwnBlock(n);
  // Both copies stay alive until both are done, so each one's report name is held meanwhile.
  char byte = ok ? 'y' : 'n';
  ok = ::write(ready, &byte, 1) == 1 && ::read(go, &byte, 1) == 0 && ok;
  std::exit(ok ? 0 : 1);
}

TEST_F(TwoCopies, ShareOneTempDirWithoutMeeting) {
  cad_register_writer(kRecordingTarget, RecordingWriter(true));
  const std::filesystem::path temp = Path("Pr\303\274fstand");  // UTF-8 on disk
  std::filesystem::create_directory(temp);
  TempDir = dir_ + "/Pr\374fstand";  // Windows-1252 in the program
  int ready[2], go[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(go), 0);
  pid_t children[2];
  for (int n = 1; n <= 2; ++n) {
    children[n - 1] = ::fork();
    ASSERT_GE(children[n - 1], 0);
    if (children[n - 1] == 0) {
      ::close(go[1]);
      RunCopy(n, ready[1], go[0]);
    }
  }
  ::close(go[0]);
  char answers[2] = {};
  EXPECT_EQ(::read(ready[0], &answers[0], 1) + ::read(ready[0], &answers[1], 1), 2);
  ::close(go[1]);
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  const std::string first = ReadBytes(temp / "$$1.txt"), second = ReadBytes(temp / "$$2.txt");
  const auto holds = [](const std::string& report, const char* text) {
    return report.find(text) != std::string::npos;
  };
  EXPECT_TRUE((holds(first, "copy 1") && holds(second, "copy 2")) ||
              (holds(first, "copy 2") && holds(second, "copy 1")))
      << first << second;
  for (const auto& entry : std::filesystem::directory_iterator(temp)) {
    EXPECT_FALSE(entry.is_directory()) << entry.path();
  }
}

}  // namespace
