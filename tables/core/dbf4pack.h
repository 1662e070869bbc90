#pragma once
// PACK and the block-reading text search over a whole table.

#include <cstdint>
#include <string>

namespace dadav {

bool Pack();
void Search(const std::string& text, std::int32_t& field, bool fromTop);

}  // namespace dadav
