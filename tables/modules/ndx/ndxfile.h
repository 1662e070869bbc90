#pragma once
// Whole 512-byte blocks of an index file: block 0 is the anchor, block n node n.

#include <cstdint>

#include "platform/files/blockfile.h"
#include "tables/modules/ndx/ndxformat.h"

namespace dadav {

// I/O code of a read that meets the end of the file: a block the file does not hold is an
// error, never a node of zeros.
constexpr int kNdxShortRead = 100;
// I/O code of a write the device accepted only in part.
constexpr int kNdxShortWrite = 101;

int ReadNdxBlock(const platform::BlockFile& file, std::uint32_t block, NdxBlock& bytes);
int WriteNdxBlock(const platform::BlockFile& file, std::uint32_t block, const NdxBlock& bytes);
// Number of whole or partial blocks the file holds.
int CountNdxBlocks(const platform::BlockFile& file, std::uint64_t& blocks);

}  // namespace dadav
