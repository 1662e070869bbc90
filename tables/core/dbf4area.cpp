#include "tables/core/dbf4area.h"

#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"

namespace dadav {

std::array<std::unique_ptr<WorkArea>, kAreaCount + 1> WorkAreaTable;
std::uint8_t CurrentAreaNumber = 1;
std::uint16_t ShareMode = platform::kModeShared;
std::uint16_t ForcedOpenMode = 65535;
bool EngineStarted = false;

void Select(std::uint8_t area) {
  if (area >= 1 && area <= kUserAreas) {
    CurrentAreaNumber = area;
    return;
  }
  if (area == 0) {
    for (std::uint8_t n = 1; n <= kUserAreas; ++n) {
      if (!WorkAreaTable[n]) {
        CurrentAreaNumber = n;
        return;
      }
    }
    ReportError(220, "No free workarea available [Select(0)]");
    return;
  }
  ReportError(220, "Invalid workarea selected = [Select(" + std::to_string(area) + ")]");
}

std::uint8_t CurrentArea() {
  return CurrentAreaNumber;
}

bool ReportNoDbfInUse(const char* operation) {
  ReportError(215, std::string("No database in use [") + operation +
                       "]  WorkArea = " + std::to_string(CurrentAreaNumber));
  return true;
}

void DbfName(std::string& name) {
  name = Area() != nullptr ? Area()->fileName : std::string();
}
void AliasName(std::string& alias) {
  alias = Area() != nullptr ? Area()->alias : std::string();
}

std::int32_t RecCount() {
  if (Area() == nullptr) return 0;
  RefreshRecCount();
  return Area()->recCount;
}

std::int32_t RecNo() {
  return Area() != nullptr ? Area()->recNo : 0;
}
std::uint16_t RecSize() {
  return Area() != nullptr ? Area()->recordLength : 0;
}

void RefreshRecCount() {
  WorkArea* area = Area();
  if (area == nullptr || area->exclusive || area->vfile.isVirtual || area->recordLength == 0)
    return;
  std::uint64_t size = 0;
  if (area->file.Size(size) != 0 || size < static_cast<std::uint64_t>(area->headerLength)) return;
  area->recCount = RecordsInFile(*area, size);
}

std::uint16_t NativeRecordSize(std::uint8_t area) {
  if (area < 1 || area > kAreaCount || !WorkAreaTable[area]) return 0;
  return NativeSizeOf(*WorkAreaTable[area]);
}

void StoreNativeRecord() {
  WorkArea* area = Area();
  if (area != nullptr && !area->vfile.isVirtual) PackRecord(*area, area->native);
}

void LoadNativeRecord() {
  WorkArea* area = Area();
  if (area != nullptr && !area->vfile.isVirtual) UnpackRecord(*area, area->native);
}

}  // namespace dadav
