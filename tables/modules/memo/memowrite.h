#pragma once
// Writing memos: `AddMemo` appends a text as a new memo, `EditMemo` writes `MemoLines` back.
// A new record goes to the block boundary at the file's end in one write (the zero bytes up to
// the boundary, the group header and the text together). Type-0x83 texts end with 0x1A 0x1A:
// after a single one, some readers read on into the following memos. Layout-C files of types
// 0x8B and 0x8C rewrite a memo in its old run when the run is large enough; should the program
// die in the middle of such a rewrite, that one memo can be left torn (a limit of the format,
// which has no room for a second copy).

#include <cstdint>
#include <string_view>

#include "tables/modules/memo/memofile.h"
#include "tables/modules/memo/memolock.h"

namespace dadav {

// The block of the new memo; 0 for a text of blanks and control characters only, or after a
// reported error.
std::int64_t AddMemo(std::string_view text);
// The block the lines went to; 0 when there were none or after a reported error. The lines are
// released.
std::int64_t EditMemo();

// The record of `data` as it is stored from `at` on: the group header and the data, or (text
// form) the data, 0x1A 0x1A and zero bytes up to the end of its last block; `pad` zero bytes
// come first. 0 or the I/O code.
int WriteMemoRecord(MemoControl& memo, std::uint64_t at, std::uint64_t pad, std::string_view data,
                    bool groupForm);
int WriteMemoRecord(MemoControl& memo, const AppendPosition& position, std::string_view data,
                    bool groupForm);

}  // namespace dadav
