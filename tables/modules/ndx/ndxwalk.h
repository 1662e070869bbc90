#pragma once
// Walking an index's B-tree along the descriptor's path: descents to the first, the last or a
// key's leaf entry, and steps to the neighbouring leaves. Every node visited is read through
// ReadNode, so a damaged node ends the walk with an error; the path's depth limit keeps a node
// that is its own descendant from looping.

#include <cstdint>

#include "tables/modules/ndx/ndxindex.h"

namespace dadav {

// Results of WalkToKey besides a leaf position.
constexpr std::int32_t kWalkEmpty = -3;   // the index holds no key
constexpr std::int32_t kWalkBeyond = -2;  // the key is above the leaf's last entry

// Places the path on the first or last entry of the index; false when it holds none or after
// an error (LastErrorCode set).
bool WalkFirst(IndexDescriptor& d, std::uint8_t slot);
bool WalkLast(IndexDescriptor& d, std::uint8_t slot);
// Moves one entry forward or back; false at the end of the index, the path then unchanged
// unless empty leaves were passed, or after an error.
bool WalkNext(IndexDescriptor& d, std::uint8_t slot);
bool WalkPrior(IndexDescriptor& d, std::uint8_t slot);
// Descends to the leaf where the key belongs: its position there (the top level's position
// is left to the caller), kWalkBeyond, or kWalkEmpty.
std::int32_t WalkToKey(IndexDescriptor& d, std::uint8_t slot, const std::uint8_t* key);

}  // namespace dadav
