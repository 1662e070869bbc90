#pragma once
// Where the program finds the files it ships and where it keeps the user's own. The shipped files
// (tables, help, images, "init.kv6") stay where they were installed and are never written; the
// user works on copies in a folder of his own, so an update or a second user never loses an edit.

#include <string>

// The shipped files of the program at programPath: "<prefix>/share/kv6" for "<prefix>/bin/wkv6"
// when installed, else the "data" folder beside the program in the build tree; empty when
// neither holds the message texts and the tables.
std::string ShippedFilesFolder(const std::string& programPath);
// "$XDG_DATA_HOME/brelcor/kv6", else "$HOME/.local/share/brelcor/kv6"; empty without either.
std::string UserWorkingFolder();
// "$XDG_RUNTIME_DIR/kv6" when that is set, else "/tmp/kv6-<uid>".
std::string UserTempFolder();

// Copies the shipped tables, images, help files and auxiliary-image list of `shipped` that are
// missing from `working` (compared without regard to case) into it; an existing file is never
// overwritten. False when a copy failed.
bool SeedWorkingFolder(const std::string& shipped, const std::string& working);

// Copies the shipped worked example "p3g60.kv6" into `working` unless an entry of that name (in
// any letter case) is there or none is shipped. True unless the copy failed.
bool PlaceWorkedExample(const std::string& shipped, const std::string& working);

// Start routine after InitWbrelvar and InitBrelvar: BrelcorDir becomes the shipped files' folder
// of the program at programPath, and where there is none an error says so; the data, DBF, PLT and
// CAD folders left unset become the user's working folder, made and seeded when needed; only a
// folder this start made gets the worked example, so a user who deleted it is not given it again.
// An unset TempDir becomes the user's private temporary folder, made with mode 0700. A temporary
// folder that another user holds is refused with the message of a bad temporary folder and
// TempDir stays unset.
void SetUpFolders(const std::string& programPath);
// Whether the last SetUpFolders found the shipped files and made and filled the working folder
// it needed: without them a report lacks its message texts.
bool StartFoldersComplete();
