#include "calc/calcfile.h"

#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/draw/breldraw.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "calc/calcfiledata.h"
#include "calc/calcfileformat.h"
#include "calc/kv6rech.h"
#include "calc/kv6record.h"

namespace {

constexpr std::uint16_t kFullPathKind = 5;

void RefuseDamaged(const std::string& path) {
  ShowError("file " + PathInText(path) + " damaged !");
  AbortFlag = 1;
}

// Expects AbortFlag clear.
bool ReadAndCommit(const std::string& path) {
  CheckFileReadable(path);
  if (AbortFlag != 0) return false;
  std::string bytes;
  const bool read = ReadWholeFile(path, bytes, kCalcFileLimit + 1);
  const std::optional<CalcFileData> data =
      read ? ParseCalcFile(bytes) : std::optional<CalcFileData>();
  if (!data) {
    RefuseDamaged(path);
    return false;
  }
  CommitCalcFile(*data);
  return true;
}

// A run that stopped keeps the results it found, here those of the connection loaded before:
// the record keeps the file's inputs and the drawing settings, and no results.
void DropResults() {
  const CalcFileData inputs = CalcFileSnapshot();
  const kv6record settings = CalcData;
  ResetCalcData();
  CalcData.elim = 0;
  CalcData.hmin = 0;
  CalcData.TolHub = settings.TolHub;
  CalcData.Resolution = settings.Resolution;
  CalcData.CadElement = settings.CadElement;
  CommitCalcFile(inputs);
}

}  // namespace

bool ReadCalcFile(const std::string& name) {
  AbortFlag = 0;
  if (!name.empty()) {
    return ReadAndCommit(CalcFileOfName(name));
  }
  std::string folder = DataDir;
  std::string path;
  SelectFileOfKind(kFullPathKind, folder, "*." + FileExt, path);
  if (AbortFlag != 0 || !ReadAndCommit(path)) return false;
  CurrentFile = NameWithoutExt(path);
  DataDir = folder;
  return true;
}

bool LoadCalcFile(const std::string& name) {
  if (!ReadCalcFile(name)) return false;
  CalculateP3G();
  if (FatalFlag != 0) DropResults();
  return true;
}

bool WriteCalcFile(const std::string& name) {
  AbortFlag = 0;
  std::string fullName;
  SaveFileDialog(name, fullName);
  return AbortFlag == 0 && ReplaceFileLines(fullName, CalcFileLines(CalcFileSnapshot()));
}
