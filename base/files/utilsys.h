#pragma once
// Facts about the machine and the program for the system-information window, support questions
// and file headers. The facts come from platform::CurrentMachine(), which tests replace.

#include <cstdint>
#include <string>
#include <vector>

// Major and minor number of the running kernel and " Linux", such as "6.1 Linux".
void WindowsVersionName(std::string& text);
// Processor clock in MHz: time-stamp ticks over 500 ms of steady time; without a counter the
// clock the system reports; 0 when nothing tells. Takes about half a second.
std::int32_t CpuClockMhz();
// One line: host name (16 characters at most), kernel major.minor, clock in GHz, memory in MB,
// disk size in GB and the root path, joined by "/". An empty drive means the file system of the
// program file, named by its mount point.
std::string SystemInfoText(const std::string& drive);
// Dotted IPv4 addresses of the host; empty when there are none.
std::vector<std::string> HostIpAddresses();
// Total size in bytes of the file system that holds the path (the current folder for an empty
// text); 0 when it cannot be read.
std::int64_t DiskSizeOf(const std::string& drive);
// Value of an environment variable, empty when unset. "TEMP" falls back to TMPDIR, then "/tmp";
// "USERNAME" to the user's name.
std::string EnvironmentText(const std::string& name);
// The program's version for a blank name or the program file's name "W" + ShortName + ".exe"
// (in any case); "0" for any other file, which has no version to read.
std::string FileVersionText(const std::string& fileName);
// major.minor, then ".release" when release > 0, then ".build" when release and build are > 0.
std::string FileVersionNumbersText(std::uint16_t major, std::uint16_t minor, std::uint16_t release,
                                   std::uint16_t build);
// Printer ports offered for text printing.
std::int32_t PrinterPortCount();
// Imperial units, or back to metric system 0 from imperial.
void ToggleUnitSystem();
