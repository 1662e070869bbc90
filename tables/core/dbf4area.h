#pragma once
// The work-area table of the xBase command layer: 35 slots, the current area, the guard every
// command runs first, and small accessors over the current area.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "tables/core/workarea.h"

namespace dadav {

constexpr std::uint8_t kAreaCount = 35;
constexpr std::uint8_t kUserAreas = 33;

extern std::array<std::unique_ptr<WorkArea>, kAreaCount + 1> WorkAreaTable;  // 1..35
extern std::uint8_t CurrentAreaNumber;
extern std::uint16_t ShareMode;
extern std::uint16_t ForcedOpenMode;
extern bool EngineStarted;

// The current area's block; nullptr when the area is free.
inline WorkArea* Area() {
  return WorkAreaTable[CurrentAreaNumber].get();
}

void Select(std::uint8_t area);
std::uint8_t CurrentArea();
// Reports that the current area holds no table; always true.
bool ReportNoDbfInUse(const char* operation);
inline bool NoDbfInUse(const char* operation) {
  return Area() == nullptr && ReportNoDbfInUse(operation);
}
void DbfName(std::string& name);
void AliasName(std::string& alias);
std::int32_t RecCount();
std::int32_t RecNo();
std::uint16_t RecSize();
void RefreshRecCount();
std::uint16_t NativeRecordSize(std::uint8_t area);
void StoreNativeRecord();
void LoadNativeRecord();

}  // namespace dadav
