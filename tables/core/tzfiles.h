#pragma once
// File names and file services of the table engine.

#include <cstdint>
#include <string>
#include <string_view>

namespace dadav {

extern std::int32_t DosError;

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

// Memory blocks for the modules that manage their own buffers.
void GetMem(void*& pointer, std::uint16_t size);
void FreeMem(void*& pointer, std::uint16_t size);
std::int32_t MaxAvail();

}  // namespace dadav
