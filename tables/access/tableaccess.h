#pragma once
// The program's access to its own tables (materials, P3G profiles, print setups): one table at a
// time, open in the browse form. The table is found in the table folder, or worked on as a copy
// in the temporary folder when the table or its folder cannot be written; records are reached by
// number, picked in the browse form, and read and written by field number or name. Failures show
// a message and set AbortFlag; an error of the table engine (a damaged or foreign table, a field
// the table lacks, a full disk) shows the engine's text in the error box and never ends the
// program, whatever the engine's own error switches say. A read that failed answers empty, 0 or
// false. Texts here are code page 850, paths Windows-1252.

#include <cstdint>
#include <string>

void OpenTable(const std::string& name);
void OpenTableFile(const std::string& path);
// Whether the folder can be written, found once per run (until DbfWriteChecked is cleared).
bool CheckTableDirWritable(const std::string& folder, const std::string& name);
void SetTableTitles(const std::string& title1, const std::string& title2);
void ShowTable(const std::string& command, std::uint16_t mode);
// Beyond the count: the message "DBF #n not found." and the last record; on an empty table
// nothing moves.
void GotoTableRecord(std::int32_t n);
// Numbers outside 1..count become 1.
void GotoClamped(std::int32_t n);
void CloseTableFile();
// 0 when the append lock was refused.
std::int32_t AppendTableRecord();
std::int32_t TableRecNo();
std::int32_t TableRecCount();
std::string TableFieldName(std::int32_t n);
std::string GetTableField(std::int32_t n);
bool GetTableBool(const std::string& name);
// The same reads of a row read field by field: nothing once AbortFlag is set, so a table that
// lacks fields is reported once.
std::string GetTableFieldWhileOk(std::int32_t n);
bool GetTableBoolWhileOk(const std::string& name);
// After ShowTable: true when the browse was left with Enter on a record.
bool BrowseChoseRecord();
void PutTableStr(const std::string& name, const std::string& text);
void PutTableFloat(const std::string& name, double value);
void PutTableInt(const std::string& name, std::int64_t value);
void PutTableBool(const std::string& name, bool value);
std::string TempPath(const std::string& name);
void TableIndexOn(const std::string& keyExpression, const std::string& indexFile);
// Builds the index in the temporary folder and makes it the controlling one; a failure is added
// to the messages and leaves the natural order.
void IndexOnTemp(const std::string& keyExpression, const std::string& indexBase);
void TableFind(const std::string& key);
bool TableFound();
