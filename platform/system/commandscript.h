// A command line kept as a file that starts it: a shell script, for a line too long for the
// program that takes it.
#pragma once

#include <string>

namespace platform {

// Creates or replaces path with "#!/bin/sh" and the line, each ending in LF (a CR would become
// part of the last argument), executable for everyone (mode 0755). The line's Windows-1252 paths
// go into the script in the system's form, as program arguments do. False when any step fails.
bool WriteCommandScript(const std::string& path, const std::string& commandLine);

}  // namespace platform
