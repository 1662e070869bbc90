#pragma once
// Folder services: unique temporary files, free space, the files that match a wildcard mask, and
// making folders.

#include <string>
#include <vector>

namespace platform {

// Creates a new empty file "<folder>/<prefix>XXXXXX"; 0 and its name, or an I/O code.
int MakeTempFile(const std::string& folder, const std::string& prefix, std::string& name);
// A folder that exists and that we may create files in.
bool UsableFolder(const std::string& path);
// The system's temporary folder: $TMPDIR when it is a usable folder, else /tmp.
std::string TempFolder();
// Free bytes for an unprivileged user on the file system holding path; -1 when unknown.
long double DiskFreeBytes(const std::string& path);
// Regular files of the mask's folder whose names match its last component ("*" and "?"),
// compared without regard to letter case (Windows-1252); full paths, sorted.
std::vector<std::string> MatchFiles(const std::string& mask);

// Makes the folder and any missing parents (new ones with mode 0700); true when it is a folder
// afterwards.
bool MakeFolders(const std::string& path);
// Makes the folder with mode 0700, or takes an existing one that is a real folder (no link) owned
// by this user, closing it to others when it was open to them. False for a folder of another user,
// a link or a file: others could read or plant the files kept there.
bool MakePrivateFolder(const std::string& path);

}  // namespace platform
