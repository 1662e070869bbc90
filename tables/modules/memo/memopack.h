#pragma once
// PACK of a memo file, crash-safe: after a crash, a full disk or a damaged memo, table and memo
// file are as they were or fully packed, never a mix. The referenced memos are copied into
// "<memo name>.new" beside the memo file, and the new field texts, with their byte offsets in
// the table, into "<memo name>.map"; both are synced. Renaming ".new" over the memo file is the
// one step that commits; then the field texts are written and the map deleted. Opening the
// memo file finishes what a crash interrupted: a ".new" still there means the rename never
// happened, so both files go; a map alone is applied again and deleted.

#include <string>

#include "tables/core/workarea.h"

namespace dadav {

void PackMemofile();

// Finishes an interrupted PACK of the area's memo file memoName before it is opened; false
// after a reported error (5 when the map must be applied but the table is not writable).
bool FinishInterruptedPack(WorkArea& area, const std::string& memoName);

}  // namespace dadav
