#pragma once
// Replacing a file whole: the new contents go to a temporary file beside the target, which is
// renamed over it only when complete, so a failed write leaves the old file as it was.

#include <string>

namespace platform {

// The file a symlink finally names, so that replacing it keeps the link a link; any other path
// as it is. A link chain longer than the system allows is left to fail at the rename.
std::string FinalTarget(const std::string& target);

// True for a new name or a regular file, which a file beside it can replace; false for a device,
// a FIFO, a folder or a name the system refuses to look up.
bool Replaceable(const std::string& target);

// Creates target + ".XXXXXX" in the target's folder, open for reading and writing, with the
// target's permission bits (0644 for a new target). The descriptor, or -1 with errno.
int CreateTempBeside(const std::string& target, std::string& tempName);

// Renames temp over target (one step, atomic), then syncs the folder so the rename survives a
// crash. 0, or -1 with errno; a failed rename removes temp.
int ReplaceFile(const std::string& temp, const std::string& target);

// ReplaceFile without the folder's sync, for an output the program can always write again: a kill
// or a full disk still leaves the old file or the complete new one, and the output is spared the
// sync's wait for the disk (which commits the new file's data with the rename).
int ReplaceFileUnsynced(const std::string& temp, const std::string& target);

// The same, but a failed rename leaves temp where it is, for a caller that must be able to try
// again: one of several files replaced together.
int RenameOver(const std::string& temp, const std::string& target);

// RenameOver without the folder's sync, for a caller that renames several files back to back
// and then syncs their folders (FinalFolder of each target).
int RenameOverUnsynced(const std::string& temp, const std::string& target);

// The folder of the file a path finally names.
std::string FinalFolder(const std::string& path);

// Makes the folder's entries durable. 0, or -1 with errno.
int FsyncDirectory(const std::string& folder);

}  // namespace platform
