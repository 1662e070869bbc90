#include "tables/modules/memo/memoopen.h"

#include <memory>

#include "platform/files/fileresolve.h"
#include "tables/core/dbf4area.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/modules/memo/memoformat.h"

namespace dadav {
namespace {

constexpr std::size_t kHeaderProbe = 24;

std::string TableNameWithoutExt(const WorkArea& area) {
  std::string dir, name, ext;
  FSplit(area.fileName, dir, name, ext);
  return dir + name;
}

}  // namespace

std::string MemoFileName(const WorkArea& area, const std::string& tableName) {
  const std::string ext = MemoExt(MemoTypeOfVersion(area.Version()));
  return platform::ResolveFileName(tableName + "." + CompanionExt(area.fileName, ext));
}

int OpenMemoControl(MemoControl& memo) {
  if (const int code = memo.file.Open(memo.fileName, memo.openMode); code != 0) return code;
  std::uint8_t header[kHeaderProbe] = {};
  std::size_t done = 0;
  int code = MemoRead(memo, 0, header, sizeof header, done);
  if (code == 0) code = memo.file.Size(memo.cachedSize);
  if (code != 0) {
    memo.file.Close();
    return code;
  }
  memo.blockSize = BlockSizeOfHeader(memo.memoType, header, done, MemoBlockSize);
  memo.lockHeld = false;
  return 0;
}

void OpenMemofile(const std::string& tableName) {
  if (NoDbfInUse("USE")) return;
  WorkArea& area = *Area();
  const std::string name = MemoFileName(area, tableName);
  if (area.memoState) {
    ReportError(1007, name + " [USE]");
    return;
  }
  auto memo = std::make_shared<MemoControl>();
  memo->fileName = name;
  memo->memoType = MemoTypeOfVersion(area.Version());
  memo->openMode = area.openMode;
  memo->tableIsOem = area.tableIsOem;
  if (const int code = OpenMemoControl(*memo); code != 0) {
    ReportError(static_cast<std::uint16_t>(code), "Memo file not found: " + name + " [USE]");
    return;
  }
  area.memoState = std::move(memo);
}

void CloseMemofile() {
  WorkArea* area = Area();
  if (area == nullptr || !area->memoState) return;
  MemoControl& memo = *CurrentMemo();
  memo.lockHeld = false;
  memo.blob = BlobDescriptor{};
  memo.file.Close();
  area->memoState.reset();
}

void CreateMemofile() {
  if (NoDbfInUse("CreateMemofile")) return;
  const WorkArea& area = *Area();
  NewMemoFile(MemoFileName(area, TableNameWithoutExt(area)), MemoTypeOfVersion(area.Version()),
              MemoBlockSize, "CreateMemofile()");
}

void ReopenMemofile() {
  if (NoDbfInUse("ReopenMemofile")) return;
  CloseMemofile();
  LastErrorCode = 0;
  CreateMemofile();
  if (LastErrorCode == 0) OpenMemofile(TableNameWithoutExt(*Area()));
}

}  // namespace dadav
