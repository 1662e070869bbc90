#pragma once
// Building an index file from the table of the current work area: the table read in large
// blocks, the (key, record) items sorted in memory up to a budget and beyond it in sorted runs
// merged from one temporary file, and the B-tree written bottom-up in one pass, into a new file
// beside the old index that replaces it only once complete.

#include <cstddef>
#include <cstdint>
#include <string>

#include "tables/modules/ndx/ndxindex.h"

namespace dadav {

// Memory the sort may hold before it spills sorted runs to a temporary file.
extern std::size_t IndexSortBudget;
constexpr std::size_t kDefaultIndexSortBudget = std::size_t{256} << 20;

using IndexProgressProc = void (*)();
// The procedure a build calls `steps` times in all (0: never).
void SetIndexProgressProc(IndexProgressProc proc, std::uint32_t steps);

// The index file's full name: "NDX" (in the letter case of the table's extension) added when
// it has none, the table's folder when it names none, an existing file found in any case.
std::string IndexFilePath(const std::string& name);

// The new index is written under this name beside the old file (beside the file a link names)
// and renamed over it once complete, so that a build that fails or is ended leaves the old file
// as it was, marked if it was marked. Nobody builds an index that a program holds open: a file
// of this name beside an open index is what a build ended by a crash left.
std::string IndexBuildFileName(const std::string& path);

void MakeIndex(const std::string& name, const std::string& expression, bool soundex,
               std::uint8_t order, bool unique, bool descending, KeyMaker keyMaker, void* userData);

}  // namespace dadav
