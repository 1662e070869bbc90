#pragma once
// Records read by number for views (grid rows, exports, printing) without moving the area: whole
// records in blocks for a row cache, and the deletion flags of a whole table in large blocks. The
// current record, the native record, the position and the locks stay as they are.

#include <cstdint>
#include <string>
#include <vector>

#include "tables/core/workarea.h"

namespace dadav {

// Records read by these routines since the start; views report their reading by it.
extern std::uint64_t RecordsReadForViews;

// Reads up to count records from first into bytes, record after record, texts in the engine's
// code page; the number of whole records read (fewer at the end of the file or on an error).
std::int32_t ReadRecordBlock(const WorkArea& area, std::int32_t first, std::int32_t count,
                             std::vector<std::uint8_t>& bytes);
// The numbers of the records not marked deleted, in natural order.
std::vector<std::int32_t> LiveRecordNumbers(const WorkArea& area);
// The text FieldAsText gives for field f of a record read as raw bytes.
std::string RawFieldText(const std::uint8_t* record, const FieldDescriptor& f);
// Whether a raw record is marked deleted.
inline bool RawDeleted(const std::uint8_t* record) {
  return record[0] == '*';
}

}  // namespace dadav
