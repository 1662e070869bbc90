#pragma once
// Buffered text lines over a BlockFile: a reader for files of any line ending and a writer that
// collects small pieces into large writes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files/blockfile.h"

namespace platform {

class BlockLineReader {
 public:
  // Reads from the start of file, which must stay open while the reader is used.
  explicit BlockLineReader(const BlockFile& file, std::size_t bufferSize = 65520);

  // The next line without its end. LF, CR and CR LF each end a line; the byte 0x1A ends the
  // text (a line before it still counts). A line longer than limit is cut to limit and its
  // rest skipped. False when no line is left or a read failed (see Error).
  bool ReadLine(std::string& line, std::size_t limit);

  // Bytes taken from the file so far.
  std::uint64_t Consumed() const { return offset_ - (filled_ - next_); }
  // 0, or the I/O code of the read that failed.
  int Error() const { return error_; }

 private:
  bool NextByte(std::uint8_t& byte);
  bool PeekByte(std::uint8_t& byte);
  bool Refill();

  const BlockFile& file_;
  std::vector<std::uint8_t> buffer_;
  std::size_t next_ = 0;
  std::size_t filled_ = 0;
  std::uint64_t offset_ = 0;
  bool ended_ = false;
  int error_ = 0;
};

class BlockLineWriter {
 public:
  // Writes from the start of file, which must stay open and writable while the writer is used.
  explicit BlockLineWriter(const BlockFile& file, std::size_t bufferSize = 65536);

  // The first failure stays: later writes do nothing and Flush returns it.
  void Write(const std::string& text);
  // Writes what is buffered; 0 or the I/O code of the first failure.
  int Flush();

 private:
  const BlockFile& file_;
  std::size_t capacity_;
  std::string buffer_;
  std::uint64_t offset_ = 0;
  int error_ = 0;
};

}  // namespace platform
