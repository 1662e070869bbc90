#pragma once
// Folder services of the table engine: unique temporary files, free space, and the files that
// match a wildcard mask.

#include <string>
#include <vector>

namespace platform {

// Creates a new empty file "<folder>/<prefix>XXXXXX"; 0 and its name, or an I/O code.
int MakeTempFile(const std::string& folder, const std::string& prefix, std::string& name);
// The system's temporary folder ($TMPDIR, else /tmp).
std::string TempFolder();
// Free bytes for an unprivileged user on the file system holding path; -1 when unknown.
long double DiskFreeBytes(const std::string& path);
// Regular files of the mask's folder whose names match its last component ("*" and "?"),
// compared without regard to ASCII case; full paths, sorted.
std::vector<std::string> MatchFiles(const std::string& mask);

}  // namespace platform
