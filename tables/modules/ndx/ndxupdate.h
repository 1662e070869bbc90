#pragma once
// Keeping the open indexes of the current work area in step with its table: inserting a key
// with node splits, removing one, moving the keys of a changed record, and the hooks APPEND
// and REPLACE call.

#include <cstdint>

namespace dadav {

// The record whose key DeleteKey removes.
extern std::int32_t TargetRecord;

// Inserts the key for the current record into slot n's index; 0, or -1 after an error. A key
// a unique index already holds is left out with 0.
int AppendIndex(const std::uint8_t* key, std::uint8_t slot);
// Removes the entry with the key and TargetRecord; -1 when there is none (0 in a unique index,
// which may hold the key for another record or not at all) or after an error.
int DeleteKey(const std::uint8_t* key, std::uint8_t slot);

void AppendNewKey();
void SyncAndSaveKeys();
void CompareKeys();
// REPLACE's hook after writing: the keys moved with order 0 switched off, the key saved.
void MoveChangedKeys();

}  // namespace dadav
