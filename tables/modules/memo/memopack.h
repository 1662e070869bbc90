#pragma once
// PACK of a memo file: the memos that the packed table's records refer to are copied, in the
// records' order, into a new memo file, and the records get their new references. Both new
// files are only written here; the table's PACK syncs them and puts them in place of the old
// ones, so that a crash, a full disk or a damaged memo leaves the old files as they were.

#include <cstdint>
#include <string>

#include "platform/files/blockfile.h"

namespace dadav {

// Copies the memos the first `records` records of newTable refer to from the current area's
// memo file into a new memo file beside it (CreatePackedFile, synced and closed) and writes their
// new references into newTable; memoName gets the memo file's name, newMemoName the new one's.
// False after a reported error, with the new memo file gone.
bool PackMemofile(const platform::BlockFile& newTable, std::int32_t records, std::string& memoName,
                  std::string& newMemoName);

}  // namespace dadav
