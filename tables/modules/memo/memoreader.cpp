#include "tables/modules/memo/memoreader.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "tables/modules/memo/memoformat.h"

namespace dadav {
namespace {

constexpr std::size_t kLaterRead = 65536;
constexpr std::uint64_t kNoStatedLength = std::numeric_limits<std::uint64_t>::max();

}  // namespace

bool BlockOffset(const MemoControl& memo, std::int64_t block, std::uint64_t& offset) {
  if (block < -kMaxMemoBlock || block > kMaxMemoBlock) return false;
  offset = static_cast<std::uint64_t>(block < 0 ? -block : block) * memo.blockSize;
  return true;
}

int MemoRecordReader::Start(const MemoControl& memo, std::int64_t block) {
  memo_ = &memo;
  finished_ = false;
  code_ = 0;
  begin_ = end_ = 0;
  taken_ = 0;
  if (!BlockOffset(memo, block, recordStart_)) return code_ = 1003;
  // The buffer keeps its size from one record to the next, so a reader that is used again
  // neither allocates nor clears it.
  const std::size_t first = std::max<std::size_t>(memo.firstRead, 2u * memo.blockSize);
  if (buffer_.size() < first) buffer_.resize(first);
  std::size_t done = 0;
  code_ = MemoRead(memo, recordStart_, buffer_.data(), first, done);
  if (code_ != 0) return code_;
  if (done == 0) return code_ = 1003;
  end_ = done;
  nextOffset_ = recordStart_ + done;
  std::uint64_t length = 0;
  group_ = ParseGroupHeader(memo.memoType, reinterpret_cast<const std::uint8_t*>(buffer_.data()),
                            done, length);
  begin_ = group_ ? std::min(kGroupHeaderBytes, done) : 0;
  taken_ = begin_;
  left_ = group_ ? length : kNoStatedLength;
  return 0;
}

bool MemoRecordReader::Fill() {
  const std::size_t wanted =
      group_ ? static_cast<std::size_t>(std::min<std::uint64_t>(left_, kLaterRead)) : kLaterRead;
  if (buffer_.size() < wanted) buffer_.resize(wanted);
  std::size_t done = 0;
  code_ = MemoRead(*memo_, nextOffset_, buffer_.data(), wanted, done);
  if (code_ != 0 || done == 0) return false;
  begin_ = 0;
  end_ = done;
  nextOffset_ += done;
  return true;
}

bool MemoRecordReader::Next(std::string_view& piece) {
  while (!finished_) {
    if (left_ == 0) break;
    if (begin_ == end_ && !Fill()) break;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(end_ - begin_, left_));
    piece = std::string_view(buffer_.data() + begin_, n);
    begin_ += n;
    if (group_) {
      left_ -= n;
    } else {
      const std::size_t stop = piece.find('\x1A');
      if (stop != std::string_view::npos) {
        piece = piece.substr(0, stop);
        left_ = 0;
      }
    }
    taken_ += piece.size();
    if (!piece.empty()) return true;
  }
  finished_ = true;
  return false;
}

}  // namespace dadav
