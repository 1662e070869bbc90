#pragma once
// Opening and closing the memo file of a table. The memo file takes the table's share mode and
// the letter case of the table's extension ("x.dbf" has "x.dbt", "X.DBF" has "X.DBT"); an
// existing file is found whatever its case. Opening first finishes a PACK that a crash
// interrupted.

#include <string>

#include "tables/core/workarea.h"
#include "tables/modules/memo/memofile.h"

namespace dadav {

// The memo file of the current area's table, tableName being its name without extension.
void OpenMemofile(const std::string& tableName);
void CloseMemofile();
// A new, empty memo file of the current area's memo type in place of the old one.
void CreateMemofile();
// CloseMemofile, CreateMemofile, OpenMemofile.
void ReopenMemofile();

// The memo file name of the area's table (tableName without extension).
std::string MemoFileName(const WorkArea& area, const std::string& tableName);
// Opens memo.file (memo.fileName in memo.openMode) and reads its block size; the I/O code on
// failure.
int OpenMemoControl(MemoControl& memo);

}  // namespace dadav
