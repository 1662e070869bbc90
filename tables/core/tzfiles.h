#pragma once
// File names and file services of the table engine.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dadav {

// Result of the last directory search or file-date query: 0, or the operating-system code.
extern std::int32_t DosError;
// The open mode of files opened without one of their own; exclusive read/write (18) from the
// engine's start.
extern std::uint16_t DefaultOpenMode;

// One directory search: the file found last and those still to come.
struct SearchRec {
  std::string Name;  // without its folder
  std::vector<std::string> pending;
};

void FSplit(std::string_view path, std::string& dir, std::string& name, std::string& ext);
std::string AddDefaultExt(std::string_view name, std::string_view ext);
std::string ForceExt(std::string_view name, std::string_view ext);
// A companion file's extension in the letter case of the table's own extension: "x.dbf" gets
// "dbt", "X.DBF" gets "DBT".
std::string CompanionExt(std::string_view tableName, std::string_view ext);
std::string FExpand(std::string_view name);
std::string ShortPathName(std::string_view path);
bool FileExists(std::string_view name);
void FileDateOf(std::string_view name, std::int32_t& stamp);
bool FileDatedToday(std::string_view name);
int EraseFile(std::string_view name);
void EraseFiles(std::string_view mask);
long double DiskFree(std::string_view path);
long double DiskFreeOfDrive(int drive);
void UniqueFilename(std::string& name);

// The directory search. FindFirstFile takes the regular files of the mask's folder whose names
// match its last component, with the resolver's letter-case rules: "*" and "?" match without
// regard to ASCII case, and a name without them finds the file the resolver finds. Each call
// puts the next one into rec with DosError 0; when none is left DosError is 18.
void FindFirstFile(std::string_view mask, SearchRec& rec);
void FindNextFile(SearchRec& rec);
void FindCloseFile(SearchRec& rec);

// Memory blocks for the modules that manage their own buffers.
void GetMem(void*& pointer, std::uint16_t size);
void FreeMem(void*& pointer, std::uint16_t size);
std::int32_t MaxAvail();

}  // namespace dadav
