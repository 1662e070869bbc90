// The about and system-information windows: their texts, the disk sizes in decimal megabytes with
// the regional thousands separator, the lines left out or replaced when the system does not tell,
// and the live facts against the system's own tools.
#include <gtest/gtest.h>

#include <sstream>

#include "app/about/aboutbox.h"
#include "app/about/sysinfo.h"
#include "base/files/utilsys.h"
#include "base/text/groupednumber.h"
#include "base/text/numbertext.h"
#include "platform/system/programsearch.h"
#include "tests/app/documentationfixture.h"
#include "tests/support/command.h"

namespace {

using Lines = std::vector<std::string>;

TEST(GroupedNumber, RoundsHalfAwayFromZeroAndGroupsByTheRegionalSign) {
  DecimalSeparator = '.';
  // 512-byte sectors, 8 to a cluster, 2,441,406 clusters.
  const long double megabytes = 512.0L * 8 * 2441406 / 1e6L;
  EXPECT_EQ(GroupedNumberText(megabytes, 6), "10,000");
  EXPECT_EQ(GroupedNumberText(5, 6), "     5");
  EXPECT_EQ(GroupedNumberText(999.5L, 6), " 1,000");
  EXPECT_EQ(GroupedNumberText(-1234.5L, 6), "-1,235");
  EXPECT_EQ(GroupedNumberText(1234567, 6), "1,234,567");
  EXPECT_EQ(GroupedNumberText(0.4L, 0), "0");
  DecimalSeparator = ',';
  EXPECT_EQ(GroupedNumberText(megabytes, 6), "10.000");
  EXPECT_EQ(GroupedNumberText(123456, 6), "123.456");
  DecimalSeparator = '.';
}

class SysInfoTest : public DocumentationTest {
 protected:
  SysInfoTest() {
    DecimalSeparator = '.';
    machine_->hostName = "bench7";
    machine_->userName = "ann";
    machine_->volume = platform::VolumeFacts{"/opt", "ext4", 512ull * 8 * 2441406, 1234567890};
    machine_->ipv4 = {"192.168.1.7", "10.0.0.2"};
    machine_->reportedMhz = 2600;
  }
};

TEST_F(SysInfoTest, TheLinesNameTheMachineItsDiskAndItsAddresses) {
  const Lines lines = SystemInfoLines();
  std::string system;
  WindowsVersionName(system);
  EXPECT_EQ(lines,
            (Lines{"PC Name     : bench7", "User        : ann", "File name   : /opt/kv6/wkv6",
                   "File syst.  : ext4", "HD total    : 10,000 MB", "HD free     :  1,235 MB",
                   "Operat.sys. : " + system, "Clock speed : 2600 MHz", SystemInfoText(""),
                   "IP-Adress:", "192.168.1.7", "10.0.0.2"}));
}

TEST_F(SysInfoTest, WhatTheSystemDoesNotTellIsLeftOutOrReplaced) {
  machine_->hostName = "";
  machine_->userName = "";
  machine_->volume.reset();
  machine_->ipv4.clear();
  const Lines lines = SystemInfoLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "File name   : /opt/kv6/wkv6");
  EXPECT_EQ(lines[1], "File system error");
  EXPECT_EQ(lines.back(), "IP-Adress:");
}

TEST_F(SysInfoTest, EachActivationAppendsTheLinesAgain) {
  InForm([](platform::Form& form) {
    EXPECT_EQ(form.Caption(), "KV6 System Info");
    auto& info = dynamic_cast<TSysinfo&>(form);
    const Lines once = info.Get<platform::Memo>("Memo1").Lines();
    EXPECT_EQ(once.front(), "PC Name     : bench7");
    info.Activate();  // focus back from another window
    Lines twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(info.Get<platform::Memo>("Memo1").Lines(), twice);
    EXPECT_TRUE(info.Get<platform::Memo>("Memo1").ReadOnly());
    Press(form, "OKButton");
  });
  ShowSysInfo();
}

TEST_F(SysInfoTest, TheAboutWindowNamesTheVersionForLinux) {
  ProgVersion = "4.1";
  InForm([](platform::Form& form) {
    EXPECT_EQ(form.Caption(), "KV6");
    EXPECT_EQ(form.Get<platform::Label>("ProductName").Caption(), "Version 4.1 for Linux");
    EXPECT_EQ(form.Get<platform::Label>("Label_extended").Caption(), "KV6 Test");
    EXPECT_EQ(form.Get<platform::Label>("Label_subject").Caption(),
              "P3G polygon shaft-hub connections");
    EXPECT_EQ(form.Get<platform::Label>("Label_standard").Caption(), "DIN 32711");
    EXPECT_EQ(form.Get<platform::Label>("Label_sonderversion").Caption(), "");
    const std::string version = form.Get<platform::Label>("Label_fileversion").Caption();
    const std::string head = "File Version : " + FileVersionText("") + "   (wKV6:";
    EXPECT_EQ(version.substr(0, head.size()), head);
    EXPECT_EQ(version.back(), ')');
    EXPECT_EQ(version.find(".exe"), std::string::npos);
    Press(form, "OKButton");
  });
  ShowAboutBox();
}

// The real machine, against hostname and df.
class LiveSysInfoTest : public DialogTest {};

std::string LineStarting(const Lines& lines, const std::string& head) {
  for (const std::string& line : lines) {
    if (line.rfind(head, 0) == 0) return line.substr(head.size());
  }
  return "(none)";
}

TEST_F(LiveSysInfoTest, TheFactsAreTheSystemsOwn) {
  DecimalSeparator = '.';
  const Lines lines = SystemInfoLines();
  const CommandResult host = RunCommand("hostname");
  ASSERT_EQ(host.status, 0);
  EXPECT_EQ(LineStarting(lines, "PC Name     : ") + "\n", host.output);

  const auto ip = std::find(lines.begin(), lines.end(), "IP-Adress:");
  ASSERT_NE(ip, lines.end());
  const CommandResult addresses = RunCommand("hostname -I");
  std::istringstream words(addresses.output);
  Lines ipv4;
  for (std::string word; words >> word;) {
    if (word.find(':') == std::string::npos) ipv4.push_back(word);
  }
  EXPECT_EQ(Lines(ip + 1, lines.end()), ipv4);

  const std::string program = platform::ProgramFile();
  const CommandResult df = RunCommand("df -B1000000 --output=size '" + program + "' | tail -1");
  ASSERT_EQ(df.status, 0);
  std::string total = LineStarting(lines, "HD total    : ");
  std::erase(total, ',');
  EXPECT_NEAR(std::stod(total), std::stod(df.output), 1.0);
}

}  // namespace
