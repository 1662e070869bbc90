#pragma once
// The four most recently used calculation files: the list the File menu shows, and the small
// file that keeps it between runs beside the configuration file. Entries are absolute paths in
// Windows-1252, most recent first; an empty entry ends the list.

#include <cstdint>
#include <string>

// Reads the list from ConfigDir; without a file the list is empty.
void ReadRecentFiles();
// Writes the list to ConfigDir, unless it is empty (then an old file stays as it is). The old
// file stays until the new one is complete; a failure leaves AbortFlag set.
void WriteRecentFiles();

// The path as a menu shows it: one of 50 characters or more loses its middle folders
// ("/home/.../name.kv6"); "&" is doubled so that it shows as itself.
std::string ShortenPath(const std::string& path);
// Entries n + 1 to 4 move up by one; entry 4 becomes empty.
void DeleteRecentFile(std::int32_t n);
// DataDir + name + "." + FileExt, made absolute, becomes entry 1; an entry naming the same file
// (the same bytes or the same file on disk) is dropped, as is the oldest of a full list.
void AddRecentFile(const std::string& name);
