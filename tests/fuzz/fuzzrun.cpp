#include "tests/fuzz/fuzzrun.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "base/draw/hgvar.h"
#include "base/files/runfolder.h"
#include "base/help/hbildvar.h"
#include "base/help/helptext.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/messages.h"
#include "cad/layer/cadvar.h"
#include "platform/headless/headless.h"
#include "platform/ui/discardingcanvas.h"

namespace {

// The process's folder, removed when the fuzzer ends.
class ProcessFolder {
 public:
  ProcessFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/kv6-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp " + pattern);
    dir_ = pattern;
  }
  ~ProcessFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  ProcessFolder(const ProcessFolder&) = delete;
  ProcessFolder& operator=(const ProcessFolder&) = delete;

  const std::string& Dir() const { return dir_; }

 private:
  std::string dir_;
};

std::string FreshRunFolder() {
  static const ProcessFolder process;
  const std::string dir = process.Dir() + "/run";
  std::filesystem::create_directory(dir);
  return dir;
}

}  // namespace

FuzzRun::FuzzRun() : dir_(FreshRunFolder()) {
  InitWbrelvar();
  InitBrelvar();
  InitHpglState();
  InitGraphicsSettings();
  InitPrintSetup();
  InitCoordinateState();
  InitCadDefaults();
  FreeMessages();
  HelpNumber = 0;
  AbortFlag = 0;
  HorizontalPixels = 640;
  VerticalPixels = 480;
  ShortName = "KV6";
  PltDir = dir_;
  TempDir = dir_ + "/";
  CadDir = dir_;
  window_.FormCreate();
}

FuzzRun::~FuzzRun() {
  RemoveRunFolder();
  std::filesystem::remove_all(dir_);
}

void FuzzRun::Paint() {
  platform::DiscardingCanvas screen;
  platform::DiscardingCanvas canvas({4960, 7016});
  const PrinterPage page{canvas, {600, 600}};
  window_.Replay(screen, &page);
}

void FuzzRun::Put(const std::string& name, const std::string& bytes) const {
  std::ofstream(Path(name), std::ios::binary) << bytes;
}

// libFuzzer calls this once before the first input: the program's headless kit, as the
// command-line modes run.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform::headless::Install();
  return 0;
}
