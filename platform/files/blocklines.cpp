#include "platform/files/blocklines.h"

namespace platform {
namespace {

constexpr std::uint8_t kEndOfText = 0x1A;

}  // namespace

BlockLineReader::BlockLineReader(const BlockFile& file, std::size_t bufferSize)
    : file_(file), buffer_(bufferSize > 0 ? bufferSize : 1) {}

bool BlockLineReader::Refill() {
  if (ended_) return false;
  std::size_t got = 0;
  error_ = file_.ReadAt(offset_, buffer_.data(), buffer_.size(), got);
  offset_ += got;
  next_ = 0;
  filled_ = got;
  if (error_ != 0 || got == 0) ended_ = true;
  return got > 0;
}

bool BlockLineReader::PeekByte(std::uint8_t& byte) {
  if (next_ == filled_ && !Refill()) return false;
  byte = buffer_[next_];
  return true;
}

bool BlockLineReader::NextByte(std::uint8_t& byte) {
  if (!PeekByte(byte)) return false;
  ++next_;
  return true;
}

bool BlockLineReader::ReadLine(std::string& line, std::size_t limit) {
  line.clear();
  std::uint8_t byte = 0;
  bool any = false;
  while (NextByte(byte)) {
    if (byte == kEndOfText) {
      ended_ = true;
      next_ = filled_;
      return any;
    }
    any = true;
    if (byte == '\n') return true;
    if (byte == '\r') {
      if (PeekByte(byte) && byte == '\n') ++next_;
      return true;
    }
    if (line.size() < limit) line.push_back(static_cast<char>(byte));
  }
  return any;
}

BlockLineWriter::BlockLineWriter(const BlockFile& file, std::size_t bufferSize)
    : file_(file), capacity_(bufferSize) {
  buffer_.reserve(capacity_);
}

void BlockLineWriter::Write(const std::string& text) {
  if (error_ != 0) return;
  if (buffer_.size() + text.size() > capacity_) Flush();
  buffer_ += text;
}

int BlockLineWriter::Flush() {
  if (error_ == 0 && !buffer_.empty()) {
    std::size_t done = 0;
    error_ = file_.WriteAt(offset_, buffer_.data(), buffer_.size(), done);
    offset_ += done;
  }
  buffer_.clear();
  return error_;
}

}  // namespace platform
