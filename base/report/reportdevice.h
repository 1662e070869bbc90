#pragma once
// Report output devices: OpenReport chooses the device and the file the report is written to,
// CloseReport ends the report and hands it on (viewer, text printer, desktop printer, file copy,
// word processor, browser). Codes: 0 configured or asked, 1 screen, 2 text printer, 3 file,
// 4 desktop printer, 5 word processor, 6 tab-separated file, 7 HTML, 8 "OUTDOS.TXT", 9
// tab-separated file for the command line, 90 only fills the device texts of the choice list.

#include <cstdint>
#include <string>

// After it, AbortFlag tells whether the report may be written; a report still open is closed
// first as an abandoned one. Any code not listed above sets AbortFlag.
void OpenReport(std::uint16_t device, const std::string& name);
// Called after every OpenReport that returned without AbortFlag, also when the writer stops
// early. With AbortFlag set it only closes ListFile and removes the temporary file and any partly
// written user file; the flag stays set. Every close sets the report device back to 1.
void CloseReport();
// A free "$OUT" + n + ".TMP" in TempDir (n = 1..11), held under a lock until CloseReport so
// that another running instance skips it; into name and ReportFileName.
void TempReportName(std::string& name);
// Text printer in single-page mode: sends the pages written so far as one job.
void SendPrinterPagesSoFar();
