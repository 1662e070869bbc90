#pragma once
// A file the program writes whole (an output, an export, a copy): its new contents go to a new
// file beside it, which takes its name in one rename only when complete, so that a failed write,
// a full disk or a kill leaves the old file as it was and nothing beside it.
//
// The new file has no name while it is written (O_TMPFILE); once complete it is linked under the
// target's name plus ".new$" and renamed over the target at once. A name of that kind that a
// kill of the user's own output left behind is removed by the next output to the same target;
// another user's file under it is neither followed nor removed, and a unique name serves instead.
// Where the file system cannot make a file without a name, the new file is written under a unique
// name of its own, part of it random so that no other user's files can take every such name, which
// the next output to the same target removes once the program that wrote it is known to be gone: no
// program of its pid runs here and nobody holds the lock a writer holds on its file.
//
// The target's links are followed as the kernel's protected-links rule follows them (see
// FinalTargetStat); an output through a link that may not be followed fails with EACCES.
//
// A replaced file keeps its mode, its extended attributes (its access list among them), its owner
// and its group; where a new file cannot take them (another user's file in a group's folder), the
// old one is written in place. A new file gets the mode the umask leaves of 0666. A file the user
// may not write is not replaced, as it would not be written in place.

#include <sys/stat.h>

#include <string>
#include <string_view>

namespace platform {

struct NewOutput {
  int fd = -1;           // open for writing while the output is written, else -1
  std::string target;    // the file the output's name finally names
  std::string temp;      // the new file's own name, empty while it has none
  bool inPlace = false;  // fd writes the target itself
};

// Opens the output of name for its whole new contents: 0, or -1 with errno. The target itself is
// written, emptied first, where a file beside it could not take its place: a device or FIFO, a
// file with other hard links (which would keep the old contents), a file in a folder where the
// program may not make a new file (or, a sticky one, may not replace another user's file), where
// no name of its own is free, or whose owner, group or attributes a new file may not take, but
// may write the file. An old file the user may not write fails as writing it in place would
// (EACCES, EPERM, EROFS).
int OpenOutput(const std::string& name, NewOutput& output);
// The same, but never in place: for a copy that another program may have open. It fails (EPERM)
// where a new file cannot take the old one's owner, group or attributes.
int OpenReplacement(const std::string& name, NewOutput& output);
// A new file under a name of its own, for a writer that opens it by name; the descriptor stays
// open only to hold the name until PlaceOutput or DropOutput. With nameHeld (the caller holds the
// target for its own use, so no other program replaces it meanwhile) the name is the target's
// plus ".new$", as CreateAfresh makes it; else, or where another user's file holds that, a
// unique name. Where the new file cannot take the old one's owner, group or attributes it fails
// as TakeAttributes does, and the caller writes the old file in place (WrittenInPlaceInstead).
int CreateNamedReplacement(const std::string& name, bool nameHeld, NewOutput& output);

// Closes the new file and puts it in place, then, with syncFolder, syncs the folder so that the
// rename survives a crash: 0, or -1 with errno; on failure the old file stays and the new one is
// gone. An output written in place is only closed.
int PlaceOutput(NewOutput& output, bool syncFolder);
// Closes the new file and removes it: the old file stays (an output written in place stays as
// far as it was written).
void DropOutput(NewOutput& output);
// Writes bytes as the whole contents of the opened output and puts it in place as PlaceOutput
// does; a failed write gives the output up as DropOutput does. 0, or -1 with errno.
int WriteWholeOutput(NewOutput& output, std::string_view bytes, bool syncFolder);

// True when a new file could not take the place of target (the file a name finally names, whose
// stat is info), so that it is written in place: see OpenOutput.
bool ReplacedInPlace(const std::string& target, const struct stat& info);

// Creates name for reading and writing; a leftover under the name is removed first as
// RemoveLeftover removes it, and a link planted meanwhile is never followed. The descriptor, or -1
// with errno (EEXIST where another user's file holds the name).
int CreateAfresh(const std::string& name, mode_t mode);
// Creates a new file beside target under a unique name of its own, for reading and writing, held
// as its writer's while the descriptor is open; leftovers of writers gone are removed first.
// The descriptor, or -1 with errno.
int CreateUniqueBeside(const std::string& target, mode_t mode, std::string& name);
// Creates name as CreateAfresh does or, where another user's file holds it, a new file beside
// target as CreateUniqueBeside does; name then gets the name taken. The descriptor, or -1 with
// errno.
int CreateAfreshOrBeside(const std::string& target, mode_t mode, std::string& name);
// Removes a file or link the user owns under name, as a kill of the user's own output may leave
// one; another user's stays: 0 when the name is free now, or -1 with errno (EEXIST for another
// user's file).
int RemoveLeftover(const std::string& name);
// Gives the new file open as fd the owner, group, extended attributes and mode of the file path,
// whose stat is old: 0, or -1 with errno. It fails with EPERM where the old owner or group cannot
// be given (only the superuser gives another owner, a user only a group of their own) and with
// EPERM or ENOTSUP where an attribute cannot: the caller then writes the old file in place or
// refuses, so that the file never changes hands.
int TakeAttributes(int fd, const std::string& path, const struct stat& old);
// True when a new file failed with error because the folder, the names beside the target or the
// old file's owner, group or attributes refuse it, so that the old file is written in place
// instead.
bool WrittenInPlaceInstead(int error);

// Files the program names for its own brief use (a print job, a probe of a folder).

// Writes bytes as a new file under target, or where another user's file holds that, under a name
// of its own beside it, which made gets; never through a link nor into another user's file: 0, or
// -1 with errno and nothing left behind (made then empty).
int WriteFreshFile(const std::string& target, std::string_view bytes, std::string& made);

}  // namespace platform
