#pragma once
// Renaming a complete new file over an old one, for files replaced together (PACK) and for the
// outputs of newoutput.h: the old file stays as it was until the rename, which is one step.

#include <sys/stat.h>

#include <string>

namespace platform {

// The file a symlink finally names, so that replacing it keeps the link a link; any other path
// as it is. A link chain longer than the system allows is left to fail at the rename.
std::string FinalTarget(const std::string& target);
// The same, with what lstat says of that file: 0, or -1 with errno (ENOENT for a new name, whose
// final path is then known all the same). A link in a sticky folder everyone may write is
// followed only when it belongs to the user or to the folder's owner: EACCES for another, with
// path naming that link.
int FinalTargetStat(const std::string& target, std::string& path, struct stat& info);

// Renames temp over target, then syncs the folder so the rename survives a crash. 0, or -1 with
// errno; a failed rename leaves temp where it is, for a caller that must be able to try again:
// one of several files replaced together.
int RenameOver(const std::string& temp, const std::string& target);

// RenameOver without the folder's sync, for a caller that renames several files back to back
// and then syncs their folders (FinalFolder of each target).
int RenameOverUnsynced(const std::string& temp, const std::string& target);

// Renames from to exactly the name to, following no link: the step a test may make fail.
int RenameStep(const std::string& from, const std::string& to);

// The folder of a path as written ("." for a bare name), and of the file a path finally names.
std::string FolderOf(const std::string& path);
std::string FinalFolder(const std::string& path);

// Makes the folder's entries durable. 0, or -1 with errno.
int FsyncDirectory(const std::string& folder);

}  // namespace platform
