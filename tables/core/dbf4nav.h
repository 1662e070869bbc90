#pragma once
// Moving the current work area between records: top, bottom, by visible records, or to a
// record number, following the controlling index when one is active.

#include <cstdint>

namespace dadav {

bool RecordVisible();
void GoTop();
void GoBottom();
void SKIP(std::int32_t count);
void GO(std::int32_t record);
void Dbf4RawGo(std::int32_t record);
void RawGo(std::int32_t record);
bool dEOF();
bool dBOF();
void FirstRecord();
void LastRecord();
// GO when the record exists, else false without an error.
bool GoIfValid(std::int32_t record);
bool SkipToVisible();
void SetBOFFlag();
void SetEOFFlag();
void GoPastEnd();

}  // namespace dadav
