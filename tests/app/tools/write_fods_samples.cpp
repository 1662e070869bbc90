// write_fods_samples DIR: the workbooks the spreadsheet stand-in writes for the table of 2,000
// calculation files, an exported calculation file, a printout and a sheet of awkward texts, each
// as DIR/NAME.fods beside DIR/NAME.json with the texts its cells were given (UTF-8), for
// check_fods.py to compare with what LibreOffice reads.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/filetable/filetablerows.h"
#include "app/spreadsheet/spreadsheetapp.h"
#include "app/spreadsheet/spreadsheetlink.h"
#include "base/files/utilpath.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "calc/calcstart.h"
#include "calc/kv6rech.h"
#include "platform/files/codepage.h"
#include "platform/headless/headless.h"
#include "platform/headless/recordingservices.h"
#include "tests/app/tools/calcfilegen.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

std::string JsonText(const std::string& utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      const char* hex = "0123456789abcdef";
      out += "\\u00";
      out += hex[u >> 4];
      out += hex[u & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

void WriteJson(const std::string& path, const Rows& rows) {
  std::ofstream out(path, std::ios::binary);
  out << "[\n";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    out << " [";
    for (std::size_t c = 0; c < rows[r].size(); ++c) out << (c ? ", " : "") << JsonText(rows[r][c]);
    out << (r + 1 < rows.size() ? "],\n" : "]\n");
  }
  out << "]\n";
}

// The last workbook the launcher was handed becomes DIR/name.fods, with its expected cells.
bool Keep(const platform::RecordingLauncher& launcher, const std::string& dir,
          const std::string& name, const Rows& expected) {
  if (launcher.documents.empty()) return false;
  std::filesystem::rename(launcher.documents.back(), dir + "/" + name + ".fods");
  WriteJson(dir + "/" + name + ".json", expected);
  return true;
}

Rows Utf8Rows(const Rows& display) {
  Rows rows;
  for (const auto& row : display) {
    rows.emplace_back();
    for (const auto& cell : row) rows.back().push_back(platform::Cp1252ToUtf8(cell));
  }
  return rows;
}

// Lines split at LF, a CR before it dropped.
std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
    start = end + 1;
  }
  return lines;
}

// Lines split into fields at tabs.
Rows TabRows(const std::string& bytes) {
  Rows rows;
  for (const std::string& line : Lines(bytes)) {
    rows.emplace_back();
    for (std::size_t f = 0;;) {
      const std::size_t tab = line.find('\t', f);
      rows.back().push_back(line.substr(f, tab == std::string::npos ? std::string::npos : tab - f));
      if (tab == std::string::npos) break;
      f = tab + 1;
    }
  }
  return rows;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteTable(const platform::RecordingLauncher& launcher, const std::string& dir) {
  const std::string data = dir + "/data";
  std::filesystem::create_directories(data);
  if (!calcfilegen::MakeCalcFiles(data, 2000, FileExt)) return false;
  Rows rows = {FileTableHeader()};
  for (const std::string& name : CalcFileNames(data)) rows.push_back(FileTableRow(data, name));
  SpreadsheetApp app;
  app.visible = true;
  app.workbooks().add();
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      app.cells(static_cast<std::int32_t>(r + 1), static_cast<std::int32_t>(c + 1))
          .value(rows[r][c]);
    }
  }
  app.Publish();
  return Keep(launcher, dir, "table", Utf8Rows(rows));
}

bool WriteCalcFileSheet(const platform::RecordingLauncher& launcher, const std::string& dir) {
  DataDir = dir + "/data/";
  CurrentFile = "calc00007";
  StartSpreadsheet();
  ExportCalcFileToSpreadsheet();
  Rows rows;
  for (const std::string& line : Lines(ReadAll(DataDir + "calc00007.kv6"))) {
    rows.push_back({platform::Cp1252ToUtf8(ToDisplayText(line))});
  }
  return AbortFlag == 0 && Keep(launcher, dir, "calcfile", rows);
}

bool WritePrintout(const platform::RecordingLauncher& launcher, const std::string& dir) {
  calcfilegen::SetConnection(5);
  CalculateP3G();
  PrintoutToExcel();
  const Rows rows =
      TabRows(ReadAll(AddBackslash(TempDir) + "$$" + IntText(TempFileCounter) + ".txt"));
  return AbortFlag == 0 && Keep(launcher, dir, "printout", rows);
}

bool WriteAwkwardTexts(const platform::RecordingLauncher& launcher, const std::string& dir) {
  const Rows texts = {{"0815", "12,50", "-3", "0.5", "100"},
                      {"  two  blanks  ", "a\tb", " & ", "<tag>",
                       "Gu\xDF"
                       "eisen"},
                      {"", "2024-03-05", "\"quoted\"", "1234567890123456", "123456789012345"},
                      {"x", "", "", "", "end"}};
  SpreadsheetApp app;
  app.visible = true;
  app.workbooks().add();
  for (std::size_t r = 0; r < texts.size(); ++r) {
    for (std::size_t c = 0; c < texts[r].size(); ++c) {
      if (texts[r][c].empty() && r == 3) continue;  // cells never given a value
      app.cells(static_cast<std::int32_t>(r + 1), static_cast<std::int32_t>(c + 1))
          .value(texts[r][c]);
    }
  }
  app.Publish();
  return Keep(launcher, dir, "awkward", Utf8Rows(texts));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_fods_samples DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir + "/temp");
  platform::headless::Install();
  InitWbrelvar();
  InitBrelvar();
  StartCalculationUnits();
  FileExt = "kv6";
  TempDir = dir + "/temp/";
  const platform::RecordedLauncher launcher;
  const bool written = WriteTable(*launcher, dir) && WriteCalcFileSheet(*launcher, dir) &&
                       WritePrintout(*launcher, dir) && WriteAwkwardTexts(*launcher, dir);
  if (!written) {
    std::fprintf(stderr, "write_fods_samples: a workbook was not written\n");
    return 1;
  }
  return 0;
}
