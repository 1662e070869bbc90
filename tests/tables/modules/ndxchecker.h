#pragma once
// Walks an index file as an independent reader would and checks the tree's shape: every leaf
// at one depth, no inner node but the root without keys, keys ascending, and each separator at
// or above every key below it and at or below every key right of it (equal to the largest key
// below it when `exact`, as a fresh build writes them).

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ndxtest {

struct NdxWalk {
  std::vector<std::pair<std::string, std::uint32_t>> entries;  // (key bytes, record) in order
  std::string fault;                                           // empty when sound
};

NdxWalk CheckNdxFile(const std::string& path, bool exact);

}  // namespace ndxtest
