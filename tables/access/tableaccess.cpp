// The table access procedures over the browse form.

#include "tables/access/tableaccess.h"

#include <unistd.h>

#include <cerrno>
#include <set>

#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/messages.h"
#include "base/text/numbertext.h"
#include "platform/files/codepage.h"
#include "platform/files/fileresolve.h"
#include "platform/files/newoutput.h"
#include "platform/files/osfiles.h"
#include "tables/access/dbf4.h"
#include "tables/core/tzfiles.h"

namespace {

using dadav::DbfForm;

// Copies made in the temporary folder in this run, by path.
std::set<std::string>& CopiedTables() {
  static std::set<std::string> copied;
  return copied;
}

bool CopiedInThisRun(const std::string& name) {
  const std::string target = TempPath(name);
  return CopiedTables().count(target) != 0 && FileThere(target);
}

bool ReadOnlyFile(const std::string& path) {
  struct stat info {};
  if (platform::os::Stat(path, info) != 0) return false;
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
         !platform::os::Accessible(path, W_OK);
}

void MakeWritable(const std::string& path) {
  struct stat info {};
  if (platform::os::Stat(path, info) == 0) platform::os::ChangeMode(path, info.st_mode | S_IWUSR);
}

// Writes a whole copy of source over target in one rename, so a copy another running program has
// open is never emptied under it.
bool CopyWhole(const std::string& source, const std::string& target) {
  std::string bytes;
  if (!platform::os::ReadWholeFile(platform::ResolveFileName(source), bytes)) return false;
  platform::NewOutput out;
  return platform::OpenReplacement(target, out) == 0 &&
         platform::WriteWholeOutput(out, bytes, true) == 0;
}

// The table and its memo file into the temporary folder, once per table and run; false when the
// copy failed.
bool CopyToTempDir(const std::string& folder, const std::string& name) {
  const std::string target = TempPath(name);
  if (CopiedInThisRun(name)) return true;
  const std::string source = AddBackslash(folder) + name;
  if (platform::os::RealPath(platform::ResolveFileName(source)) !=
      platform::os::RealPath(platform::ResolveFileName(target))) {
    if (!CopyWhole(source, target)) {
      ShowError("File " + PathInText(target) + " write error");
      AbortFlag = 1;
      return false;
    }
    std::string dir, base, ext;
    dadav::FSplit(name, dir, base, ext);
    for (const char* memo : {"dbt", "fpt"}) {
      const std::string memoName = base + "." + dadav::CompanionExt(name, memo);
      if (FileThere(AddBackslash(folder) + memoName)) {
        CopyWhole(AddBackslash(folder) + memoName, TempPath(memoName));
        MakeWritable(TempPath(memoName));
      }
    }
  }
  MakeWritable(target);
  CopiedTables().insert(target);
  return true;
}

std::string Cut10(const std::string& name) {
  return name.substr(0, 10);
}

// Runs one call into the table engine with the engine's halt switched off, so that a damaged or
// foreign table never ends the program: an error the engine reports, or one a dataset raises,
// shows its text in the error box and sets AbortFlag, and the caller unwinds. False on an error.
template <class Call>
bool EngineCall(Call call) {
  const std::string raised = dadav::FailureOf(call);
  const std::string recorded = dadav::TakeErrorText();
  const std::string& text = recorded.empty() ? raised : recorded;
  if (text.empty()) return true;
  ShowErrorBox(platform::AnsiToOem(text));
  AbortFlag = 1;
  return false;
}

// Closes what a failed call left open, without a second box: the first error is the one to see.
void CloseQuietly() {
  const bool reporting = dadav::SetReportErrors(false);
  try {
    DbfForm->Deactivate();
  } catch (const std::exception&) {
  }
  dadav::SetReportErrors(reporting);
  dadav::TakeErrorText();
}

}  // namespace

std::string TempPath(const std::string& name) {
  return AddBackslash(TempDir) + name;
}

bool CheckTableDirWritable(const std::string& folder, const std::string& name) {
  if (DbfWriteChecked != 0) return DbfWritable != 0;
  CheckFileReadable(AddBackslash(folder) + name);
  if (AbortFlag != 0) return false;
  // Another user's file under the name is neither written nor taken for the folder's refusal.
  std::string test;
  const bool written =
      platform::WriteFreshFile(AddBackslash(folder) + "TEST.$$$", "DBF Write Check\r\n", test) == 0;
  if (written) platform::os::Unlink(test);
  DbfWritable = written ? 1 : 0;
  DbfWriteChecked = 1;
  return written;
}

void OpenTable(const std::string& tableName) {
  const std::string folder = TablesInTempDir != 0 ? TempDir : DbfDir;
  const std::string name =
      tableName.find('.') == std::string::npos ? tableName + ".dbf" : tableName;
  std::string path = AddBackslash(folder) + name;
  if (!FileThere(path)) {
    ShowError("File " + PathInText(path) + " not found.");
    AbortFlag = 1;
    return;
  }
  if (CheckTableDirWritable(folder, name)) {
    if (ReadOnlyFile(platform::ResolveFileName(path)) || CopiedInThisRun(name)) {
      if (!CopyToTempDir(folder, name)) return;
      path = TempPath(name);
    }
  } else {
    if (AbortFlag != 0) return;
    if (!CopyToTempDir(folder, name)) return;
    path = TempPath(name);
  }
  OpenTableFile(path);
}

void OpenTableFile(const std::string& path) {
  if (!EngineCall([&] { DbfForm->SetTableFile(path); })) CloseQuietly();
}

void SetTableTitles(const std::string& title1, const std::string& title2) {
  DbfForm->SetTitles(ToDisplayText(title1), ToDisplayText(title2));
}

void ShowTable(const std::string& command, std::uint16_t mode) {
  EngineCall([&] { DbfForm->ShowTable(command, mode); });
}

void GotoTableRecord(std::int32_t n) {
  const std::int32_t count = TableRecCount();
  if (n > count) {
    AddMessage("DBF #" + IntText(n) + " not found.");
    if (count < 1) return;
    n = count;
  }
  GotoClamped(n);
}

void GotoClamped(std::int32_t n) {
  const std::int32_t count = TableRecCount();
  if (count < 1) return;
  if (n < 1 || n > count) n = 1;
  EngineCall([&] { DbfForm->GoRecord(n); });
}

void CloseTableFile() {
  if (!EngineCall([] { DbfForm->Deactivate(); })) CloseQuietly();
}

std::int32_t AppendTableRecord() {
  std::int32_t appended = 0;
  EngineCall([&] { appended = DbfForm->AppendLocked(); });
  return appended;
}

std::int32_t TableRecNo() {
  std::int32_t record = 0;
  EngineCall([&] { record = DbfForm->RecNo(); });
  return record;
}

std::int32_t TableRecCount() {
  std::int32_t count = 0;
  EngineCall([&] { count = DbfForm->RecCount(); });
  return count;
}

std::string TableFieldName(std::int32_t n) {
  std::string name;
  EngineCall([&] { name = DbfForm->FieldName(n); });
  return platform::AnsiToOem(name);
}

std::string GetTableField(std::int32_t n) {
  std::string text;
  EngineCall([&] { text = DbfForm->GetFieldText(n); });
  return platform::AnsiToOem(text);
}

bool GetTableBool(const std::string& name) {
  bool value = false;
  EngineCall([&] { value = DbfForm->GetFieldBool(Cut10(name)); });
  return value;
}

std::string GetTableFieldWhileOk(std::int32_t n) {
  return AbortFlag == 0 ? GetTableField(n) : std::string();
}

bool GetTableBoolWhileOk(const std::string& name) {
  return AbortFlag == 0 && GetTableBool(name);
}

bool BrowseChoseRecord() {
  return BrowseExitKey == 13 && AbortFlag == 0 && SelectedRecord > 0;
}

void PutTableStr(const std::string& name, const std::string& text) {
  EngineCall([&] { DbfForm->PutFieldStr(Cut10(name), platform::OemToAnsi(text)); });
}

void PutTableFloat(const std::string& name, double value) {
  EngineCall([&] { DbfForm->PutFieldFloat(Cut10(name), value); });
}

void PutTableInt(const std::string& name, std::int64_t value) {
  EngineCall([&] { DbfForm->PutFieldInt(Cut10(name), value); });
}

void PutTableBool(const std::string& name, bool value) {
  EngineCall([&] { DbfForm->PutFieldBool(Cut10(name), value); });
}

void TableIndexOn(const std::string& keyExpression, const std::string& indexFile) {
  EngineCall([&] { DbfForm->IndexOn(keyExpression, indexFile); });
}

void IndexOnTemp(const std::string& keyExpression, const std::string& indexBase) {
  const std::string path = TempPath(indexBase);
  const bool reporting = dadav::SetReportErrors(false);
  bool built = false;
  try {
    built = DbfForm->IndexOn(keyExpression, path) && DbfForm->SetIndexTo(path);
  } catch (const std::runtime_error&) {
    // The engine's record of the error says what failed.
  }
  if (!built) {
    const std::string text = dadav::TakeErrorText();
    AddMessage(platform::AnsiToOem(text.empty() ? "Index " + path + " not built." : text));
    // Back to natural order; a table that cannot even do that reports at its next access.
    try {
      DbfForm->tzdbf.SetIndexTo("");
    } catch (const std::runtime_error&) {
    }
    dadav::TakeErrorText();
    DbfForm->ForgetFound();
  }
  dadav::SetReportErrors(reporting);
}

void TableFind(const std::string& key) {
  // In natural order, after a temporary index that could not be built, there is nothing to seek
  // in: the key is not found, and the caller goes on as it does for any missing key.
  if (DbfForm->ControllingIndex().empty()) {
    DbfForm->ForgetFound();
    return;
  }
  if (!EngineCall([&] { DbfForm->Find(platform::OemToAnsi(key)); })) DbfForm->ForgetFound();
}

bool TableFound() {
  return DbfForm->Found();
}
