#include "tables/modules/ndx/ndxfile.h"

namespace dadav {

int ReadNdxBlock(const platform::BlockFile& file, std::uint32_t block, NdxBlock& bytes) {
  std::size_t done = 0;
  const int code =
      file.ReadAt(std::uint64_t{block} * kNdxBlockSize, bytes.data(), bytes.size(), done);
  if (code != 0) return code;
  return done == bytes.size() ? 0 : kNdxShortRead;
}

int WriteNdxBlock(const platform::BlockFile& file, std::uint32_t block, const NdxBlock& bytes) {
  std::size_t done = 0;
  const int code =
      file.WriteAt(std::uint64_t{block} * kNdxBlockSize, bytes.data(), bytes.size(), done);
  if (code != 0) return code;
  return done == bytes.size() ? 0 : kNdxShortWrite;
}

int CountNdxBlocks(const platform::BlockFile& file, std::uint64_t& blocks) {
  std::uint64_t size = 0;
  const int code = file.Size(size);
  blocks = (size + kNdxBlockSize - 1) / kNdxBlockSize;
  return code;
}

}  // namespace dadav
