#pragma once
// File and folder choice, the check of a file name before it is written, and the text-file
// operations that report failures with the program's fixed error texts.

#include <cstdint>
#include <string>
#include <vector>

#include "base/files/textfile.h"

// CheckOutputFileName asks before an existing file is overwritten only while this is set.
extern bool OverwriteQuestion;

// Decides the full name of a calculation file to be written; empty name: a save dialog.
void SaveFileDialog(std::string name, std::string& fullName);
// Whether a file may be written under the name; sets AbortFlag on refusal. An existing file is
// never emptied or erased here: its content stays until its writer replaces it. A name that
// cannot be made is refused as an invalid file name; a file or name the system refuses to write
// is refused as such, with the cause (access denied, read-only, disk full) where it is known.
void CheckOutputFileName(const std::string& fullName);
// Refuses, as CheckOutputFileName does, an existing file the user may not write (its mode, access
// list or immutable flag, or a read-only file system), without asking before it is overwritten;
// sets AbortFlag on refusal. A new name, or a file that fails to open otherwise, is left to the
// writer to report.
void CheckOldOutputWritable(const std::string& fullName);
void SelectFile(const std::string& currentPath, const std::string& mask, std::string& file);
// kind 5: file := the full path; other kinds the bare name; kind 4 also takes FileExt.
void SelectFileOfKind(std::uint16_t kind, std::string& folder, const std::string& mask,
                      std::string& file);
void SelectDirectory(const std::string& startFolder, std::string& folder);
void CheckFileReadable(const std::string& name);
// A name given by the system (UTF-8: a chosen file, an argument) that holds letters the program
// cannot keep: says so and shows them, as "<name>: the name holds letters KV6 cannot use:
// <letters>", while ErrorBoxOn is set; sets AbortFlag.
void RefuseUnusableName(const std::string& hostName);

// At most 3 attempts while ErrorBoxOn is set, each failure shown; else one. A failure leaves the
// file closed and AbortFlag set.
void RewriteChecked(TextFile& file);
void RewriteOrFail(TextFile& file);
void WriteLineChecked(TextFile& file, const std::string& text);
void CloseChecked(TextFile& file);

// Writes the lines (each ending in CR LF) to a new file beside target and renames it over target,
// which keeps its permissions: target is either the old file or the complete new one. A failure
// shows "disk full" or "file write error", sets AbortFlag and leaves no temporary file.
bool ReplaceFileLines(const std::string& target, const std::vector<std::string>& lines);

// Start-up prompt for the user's data folder below DefaultDataDir; ends the program on Cancel or
// an unusable name.
void AskUserId();
