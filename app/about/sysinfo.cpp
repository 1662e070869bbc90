// The system-information window.
#include "app/about/sysinfo.h"

#include "base/dialogs/formplace.h"
#include "base/draw/breldraw.h"
#include "base/files/utilsys.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/groupednumber.h"
#include "base/text/numbertext.h"
#include "platform/system/machine.h"

namespace {

constexpr long double kBytesPerMegabyte = 1e6L;
constexpr std::int32_t kSizeWidth = 6;

std::string Megabytes(std::uint64_t bytes) {
  return GroupedNumberText(static_cast<long double>(bytes) / kBytesPerMegabyte, kSizeWidth) + " MB";
}

void AddVolumeLines(platform::Machine& machine, std::vector<std::string>& lines) {
  const auto volume = machine.Volume(machine.ProgramPath());
  if (!volume) {
    lines.push_back("File system error");
    return;
  }
  lines.push_back("File syst.  : " + volume->fileSystem);
  lines.push_back("HD total    : " + Megabytes(volume->totalBytes));
  lines.push_back("HD free     : " + Megabytes(volume->freeBytes));
}

}  // namespace

std::vector<std::string> SystemInfoLines() {
  platform::Machine& machine = platform::CurrentMachine();
  std::vector<std::string> lines;
  if (const std::string host = machine.HostName(); !host.empty()) {
    lines.push_back("PC Name     : " + host);
  }
  if (const std::string user = machine.UserName(); !user.empty()) {
    lines.push_back("User        : " + user);
  }
  lines.push_back("File name   : " + machine.ProgramPath());
  AddVolumeLines(machine, lines);
  std::string system;
  WindowsVersionName(system);
  lines.push_back("Operat.sys. : " + system);
  lines.push_back("Clock speed : " + IntText(CpuClockMhz()) + " MHz");
  lines.push_back(SystemInfoText(""));
  lines.push_back("IP-Adress:");
  for (const std::string& address : HostIpAddresses()) lines.push_back(address);
  return lines;
}

TSysinfo::TSysinfo() : platform::Form("TSysinfo", "Info", {420, 320}) {
  CenterOnDrawWindow(Placement());
  if (Drawer != nullptr) {
    Drawer->grClear();
    Drawer->grDrawLogo();
  }
  platform::Button& ok = Add<platform::Button>("OKButton");
  ok.SetCaption("OK");
  ok.SetDefault(true);
  ok.SetModalResult(platform::ModalResult::Ok);
  Add<platform::Memo>("Memo1").SetReadOnly(true);
  SetCaption(ToDisplayText(ProductCode) + " System Info");
  onActivate = [this] { FormActivate(); };
}

void TSysinfo::FormActivate() {
  platform::Memo& memo = Get<platform::Memo>("Memo1");
  for (std::string& line : SystemInfoLines()) memo.AddLine(std::move(line));
}

void ShowSysInfo() {
  TSysinfo info;
  info.ShowModal();
}
