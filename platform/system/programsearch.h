#pragma once

#include <string>

namespace platform {

// Whether a program can be started: a text with "/" names a regular file that must be
// executable, any other is looked for on PATH as execvp looks for it.
bool ProgramExists(const std::string& program);
// The file that starts for a program, found as ProgramExists finds it; empty when there is none.
std::string ProgramLocation(const std::string& program);
// This program's own file, links resolved: the target of /proc/self/exe, else, where no /proc is
// mounted (a chroot, a sandbox, a mount namespace), the path the kernel started it from, else the
// command it was started as, found as the shell found it; empty when none names it. Looked up once,
// at the first call, which start-up makes before the working folder can change.
std::string ProgramFile();
// Why ProgramFile gave nothing, for the user.
constexpr const char* kProgramFileUnknown =
    "without /proc the program's own folder is unknown; start wkv6 by its full path";

}  // namespace platform
