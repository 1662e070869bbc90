#pragma once
// Copying a memo record from one memo file into another (APPEND FROM, COPY TO, PACK), changing
// its form between the layouts. The copy takes what reading the memo shows: a text-form source
// up to its first 0x1A, a 0x00 before it included, and a group-header source for its stated
// length (cut at the file's end). A type-0x83 target takes the text form, ended by 0x1A 0x1A,
// except for group-header data holding a 0x1A, which the text form would cut, or a 0x00, which
// marks it as binary: such data keeps a group header. Other targets always take a group header.

#include <cstdint>

#include "tables/modules/memo/memofile.h"
#include "tables/modules/memo/memolock.h"

namespace dadav {

// Copies the record at block |block| of `from` to `position` in `to`; groupForm tells the form
// it took. 0, 1003 for a block outside the source, 30 for a read error or 1005 for a write
// error.
int CopyMemoData(const MemoControl& from, std::int64_t block, MemoControl& to,
                 const AppendPosition& position, bool& groupForm);

// The reference a record copied into `to` gets: a group-header record in a type-0x83 file
// (a blob there) is negative.
std::int64_t CopiedReference(const MemoControl& to, std::int64_t block, bool groupForm);

// Copies the memo at block of the source area's memo file into the current area's, at its end
// or, with sameNumber, where it keeps its block number. The new reference, 0 for block 0 or
// after a reported error.
std::int64_t CopyMemo(std::uint8_t sourceArea, std::int64_t block, bool sameNumber);

}  // namespace dadav
