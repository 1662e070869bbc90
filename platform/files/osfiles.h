#pragma once
// The program's one door to the operating system's file names. Paths held in the program are
// Windows-1252 bytes; the file system's names are UTF-8. Every path goes out through here and
// every name the system hands back (folder entries, temporary names, the working folder,
// environment variables, the program's arguments) comes back through here.
//
// A name without a Windows-1252 form comes back with "?" where a character is missing. No
// Windows file name can hold "?", so a path that holds one names nothing here: such a file is
// "not found" (errno ENOENT), never a garbled other file.

#include <spawn.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace platform::os {

// The program's Windows-1252 text for a UTF-8 name of the system.
std::string ProgramName(std::string_view hostName);
// False for a path that cannot name a file ("?" stands for a character 1252 lacks).
bool Nameable(std::string_view path);
// The system's UTF-8 name of a path, for a toolkit that opens the file itself (Qt).
std::string HostName(std::string_view path);

// The POSIX calls of the same names: -1 (or false, or an empty text) with errno on failure.
// Open never waits at a FIFO or device and opens only a regular file, with O_DIRECTORY only a
// folder, and for writing only (O_WRONLY) also a character device; another kind fails with
// EACCES.
int Open(const std::string& path, int flags, mode_t mode = 0666);
int Stat(const std::string& path, struct stat& info);
int LinkStat(const std::string& path, struct stat& info);  // lstat
int ChangeMode(const std::string& path, mode_t mode);      // chmod
int StatFileSystem(const std::string& path, struct statvfs& info);
bool Accessible(const std::string& path, int mode);
int Unlink(const std::string& path);
int Rename(const std::string& from, const std::string& to);
// Swaps the files of two existing names in one step (renameat2 with RENAME_EXCHANGE); EINVAL
// where the file system cannot.
int Exchange(const std::string& a, const std::string& b);
int MakeFolder(const std::string& path, mode_t mode);
int RemoveFolder(const std::string& path);
int ChangeFolder(const std::string& path);
std::string RealPath(const std::string& path);
// What a symlink holds (in the program's code page); empty for anything else.
std::string ReadLink(const std::string& path);
// llistxattr and lgetxattr: the extended attributes of the file path names itself, never of the
// file a link there names.
ssize_t ListAttributes(const std::string& path, char* names, std::size_t size);
ssize_t GetAttribute(const std::string& path, const char* name, char* value, std::size_t size);
std::string CurrentFolder();

// The names in a folder other than "." and "..", unsorted; names without a Windows-1252 form
// are left out, and go to unusable as the system spells them (UTF-8) when it is given. False
// when the folder cannot be read.
bool FolderEntries(const std::string& folder, std::vector<std::string>& names,
                   std::vector<std::string>* unusable = nullptr);

// mkstemp and mkdtemp: the pattern ends in "XXXXXX" and receives the name made.
int MakeTempFile(std::string& pattern);
// A new regular file in the folder that has no name (O_TMPFILE), open for reading and writing,
// with mode as the umask leaves it; EOPNOTSUPP or EISDIR where the file system or system cannot.
int OpenUnnamed(const std::string& folder, mode_t mode);
// Gives the file open as fd the name path (linkat through /proc/self/fd); EEXIST when the name
// is taken, whatever it holds.
int LinkOpenFile(int fd, const std::string& path);
bool MakeTempFolder(std::string& pattern);

// A whole file from offset on; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes, off_t offset = 0);
// Writes every byte to fd, again after an interrupted or short write; false when a write fails.
bool WriteAll(int fd, const char* bytes, std::size_t size);

// An environment variable's value; empty when unset.
std::string Variable(const std::string& name);

// posix_spawnp with every argument converted; 0 or the errno of the failure.
int SpawnProgram(const std::vector<std::string>& argv, const posix_spawn_file_actions_t* actions,
                 pid_t& pid);
// The arguments this program was started with (argv[0] included).
std::vector<std::string> ProgramArguments(int argc, const char* const* argv);

}  // namespace platform::os
