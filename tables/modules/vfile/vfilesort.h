#pragma once
// Sorted virtual files: modes 3 (ascending) and 4 (descending) keep the records in the order of
// a key that the caller's key procedure builds from the record buffer, and SortVFile sorts a
// file filled in another mode.
//
// Keys compare as numbers when both are numbers, else as unsigned bytes. That comparison is not
// transitive ("1a" < "9" < "10" < "1a"); with mixed keys every record is kept and the order is
// deterministic, but it is no total order.

#include <cstdint>
#include <string>

#include "tables/core/workarea.h"
#include "tables/modules/vfile/vfilelist.h"

namespace dadav {

constexpr std::size_t kSortKeyLength = 100;

struct VFileSortKey {
  std::string text;
  bool numeric = false;
  double value = 0;
};

// The key for a key text: cut at 100 bytes; numeric when the text without surrounding blanks
// is one finite number with "." as the decimal sign.
VFileSortKey MakeSortKey(std::string text);
// Below 0, 0 or above 0 as a sorts before, with or after b ascending.
int CompareSortKeys(const VFileSortKey& a, const VFileSortKey& b);

// Links node, whose data is the record in the buffer, at its key's place in the area's sorted
// list. hint is the position the record held before a rewrite (0 for none): when the key still
// fits between its old neighbours it goes back there. False after an error, with list,
// position and buffer as they were and the node not linked.
bool InsertSorted(WorkArea& area, VFileNode& node, std::int32_t hint);
// Shows or raises the error a failed insertion left, as the reporting switches say.
void RaiseKeptError();

void Set_VFileKey_To(KeyMaker keyMaker, void* userData);
std::uint8_t Get_VFileMode();
void Set_VFileMode_To(std::uint8_t mode);
void SortVFile(std::uint8_t mode);

}  // namespace dadav
