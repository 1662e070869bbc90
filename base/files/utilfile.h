#pragma once
// Small file services: existence and folder checks, deleting and copying. They report failure only
// through their result or AbortFlag, never by a message. Existing files are found
// case-insensitively when the exact name is absent.

#include <cstddef>
#include <string>
#include <vector>

// True for a regular file that opens for reading.
bool FileThere(const std::string& name);
// The whole content of a regular file, or its first limit bytes when it is longer; false, with
// what was read, when it is not one or a read fails.
bool ReadWholeFile(const std::string& name, std::string& bytes,
                   std::size_t limit = static_cast<std::size_t>(-1));
// True when a new file can be created (exclusively, under a unique "x.$$$" name) in the folder and
// removed again.
bool FolderWritable(const std::string& dir);
// True when the folder exists and can be listed; an empty text means the current folder.
bool FolderUsable(const std::string& dir);
// True when the path names an existing folder.
bool DirExists(const std::string& dir);
// The path as it stands when it starts with "/", else below the current folder.
std::string AbsolutePath(const std::string& path);

// Erases the file when it opens for reading; AbortFlag := 1 when it then cannot be erased.
void DeleteListFile(const std::string& name);
// Erases every regular file of the folder (dir ends in "/" or is empty) that matches mask;
// errors are ignored.
void DeleteFiles(const std::string& dir, const std::string& mask);

// DOS file mask match, case-insensitive in Windows-1252: "*" any run, "?" one character; "*.*"
// matches every name.
bool MaskMatches(const std::string& mask, const std::string& name);
// Names of the regular files of a folder that match mask, in byte order.
std::vector<std::string> MatchingFiles(const std::string& dir, const std::string& mask);
// The names MatchingFiles leaves out because they hold letters the program cannot keep, as the
// system spells them (UTF-8), unsorted; matched by their Windows-1252 form, whatever they name.
std::vector<std::string> UnusableMatchingNames(const std::string& dir, const std::string& mask);

// Copies source to dest, or into dest when dest is an existing folder. Any open, read, write or
// close failure, a short write, or a dest that is the source itself sets AbortFlag := 1. The copy
// is made beside dest and replaces it only complete, so a failed copy leaves dest as it was.
void CopyFile(const std::string& source, const std::string& dest);
// When the source exists: copies it under its own name into the folder part of dest.
void CopyFileInto(const std::string& source, const std::string& dest);
// Copies every file of srcDir matching mask into the folder dstDir (with or without its "/").
// AbortFlag := 1 when nothing matches or a copy fails, else 0.
void CopyFiles(const std::string& mask, const std::string& srcDir, const std::string& dstDir);
// Copies source to dest exactly, with the failure handling of CopyFile.
void CopyFileBlocks(const std::string& source, const std::string& dest);
