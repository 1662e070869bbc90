#pragma once
// Opening tables and virtual files into work areas, closing them, the exclusive reopen used by
// PACK, and the close of every area at exit.

#include <cstdint>
#include <string>

namespace dadav {

// Whether tables opened from now on store their texts in the DOS code page (the default).
extern bool TableLanguageOem;

void USE(const std::string& command, std::uint8_t* buffer = nullptr, std::uint16_t size = 0);
void UseVirtualFile(const std::string& command, std::uint8_t* buffer, std::uint16_t size);
void CloseArea();
void CloseAll();
// Reopens the current table exclusively, or shared again together with its indexes; 0 or the
// I/O code.
int ReopenDbf(bool exclusive);
void ResetWorkAreas();
void EngineExit();

}  // namespace dadav
