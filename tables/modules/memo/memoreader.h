#pragma once
// Reads one memo record piece by piece, in whichever form it is stored: after a group header
// for its stated length, or as a text up to its first 0x1A. Nothing read from the file sizes a
// buffer: a stated length past the file's end ends at the end, and a text without 0x1A ends
// there too, so a damaged file can neither exhaust memory nor keep the reader going.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "tables/modules/memo/memofile.h"

namespace dadav {

class MemoRecordReader {
 public:
  // Finds the record at block |block|: 0, 1003 when it does not start inside the file, else
  // the I/O code. A text-form record ends at its first 0x1A.
  int Start(const MemoControl& memo, std::int64_t block);
  // The next piece of the record's data, valid until the next call; false at its end or after
  // a read error (Code).
  bool Next(std::string_view& piece);

  int Code() const { return code_; }
  bool GroupForm() const { return group_; }
  std::uint64_t RecordStart() const { return recordStart_; }
  // Bytes of the record taken so far, its group header included.
  std::uint64_t Taken() const { return taken_; }

 private:
  bool Fill();

  const MemoControl* memo_ = nullptr;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::uint64_t nextOffset_ = 0;
  std::uint64_t recordStart_ = 0;
  std::uint64_t left_ = 0;  // data still to deliver; a text form has no stated length
  std::uint64_t taken_ = 0;
  bool group_ = false;
  bool finished_ = false;
  int code_ = 0;
};

// The file offset of block |block|; false for a block no memo field can hold.
bool BlockOffset(const MemoControl& memo, std::int64_t block, std::uint64_t& offset);

}  // namespace dadav
