#pragma once
// Moving the indexes of the current work area: first, last, next and prior key, the seek of a
// key, the xBase FIND, and placing an index on the current record again. The routines return
// record numbers; placing the table on them is the caller's task, except for Find.

#include <cstdint>
#include <string>
#include <vector>

#include "tables/modules/ndx/ndxindex.h"

namespace dadav {

// Slot-1 routines of the core's hooks, on the order slot (CurrentOrderSlot).
std::int32_t _FindFirstRec();
std::int32_t _FindLastRec();
std::int32_t _FindNextRec();
std::int32_t _FindPriorRec();

// Places the order slot's index on the first entry whose key is not below the key (key length
// bytes); FindFound tells whether that entry holds the key.
void SeekKey(const std::uint8_t* key);
// xBase FIND on the controlling index: positions the table on the first visible record whose
// key starts with (FindExact: equals) the text, or after the last record.
void Find(const std::string& text);

void SyncIndex(bool all);
void SoftSyncIndex();
void SaveCurrentKey();
void SaveCurrentKeys(bool all, std::uint8_t count);

bool IndexEOF();
bool IndexBOF();
void SetIndexEOF();
void SetIndexBOF();
bool IndexActive();
bool SetFindExact();
bool ClearFindExact();

// The place after the last key: the table past its last record, slot 1 at its end.
void GoToEndPosition();

// The record of the slot's current entry, -1 at the end position or without one.
std::int32_t CurrentEntryRecord(const IndexDescriptor& d);
// The key of the slot's current entry, or nullptr.
const std::uint8_t* CurrentEntryKey(const IndexDescriptor& d);

}  // namespace dadav
