#pragma once
// The OLE menu's spreadsheet link: Start Excel holds a spreadsheet application, Export copies the
// current calculation file line by line into column A of a new sheet, and Printout -> Excel opens
// the results report as a tab-separated text in a spreadsheet of its own. Each command reports
// failure through AbortFlag.

#include <memory>
#include <string>

#include "app/spreadsheet/spreadsheetapp.h"

// Empty until Start Excel succeeds; replaced by every later start.
extern std::unique_ptr<SpreadsheetApp> ExcelApp;

void StartSpreadsheet();
// Writes a modified calculation file first, then exports it.
void ExportCalcFileToSpreadsheet();
// The calculation file of the base name into a new visible sheet, one line a row in column A.
void ExportDataToExcel(const std::string& name);
// Data go only from the program to the spreadsheet: the import item says so, and where the
// connection's values come in instead.
void ImportFromSpreadsheet();
// The results report, written through the tab-separated device, in a new spreadsheet. The
// configured output device and its question are restored on every path.
void PrintoutToExcel();
