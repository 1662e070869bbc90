#pragma once
// Text access to one memo. `AssignMemo` gives the line reader through which LOCATE and the
// expression evaluator read a memo: logical lines, the stored lines joined up to each hard
// line end, without line-end bytes and without any length limit. `MemoTextDevice` is the text
// file over a memo for reading it line by line, writing it anew or appending to it; it works
// through the module's one `MemoLines`, so one device is open at a time.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "tables/core/dbf4hooks.h"

namespace dadav {

// A reader over the current area's memo at block, nullptr after a reported error (1003 for a
// block outside the file). Block 0 reads no line.
std::unique_ptr<MemoLineReader> AssignMemo(std::int64_t block);

class MemoTextDevice {
 public:
  // Over the memo whose block number `block` holds, in the current area.
  explicit MemoTextDevice(std::int32_t& block);
  MemoTextDevice(const MemoTextDevice&) = delete;
  MemoTextDevice& operator=(const MemoTextDevice&) = delete;

  // Opens for input, for output (an empty memo) or for appending; false after a reported
  // error.
  bool Reset();
  bool Rewrite();
  bool Append();

  // The next stored line: a line with a hard end followed by CR LF, any other line alone, so
  // that soft-broken lines run together. False at the end.
  bool Read(std::string& text);
  // Collects text into lines: CR ends a line (soft when the byte before it is 0x8D), CR, LF
  // and 0x8D themselves are dropped, and a line is continued on the next at 254 characters.
  void Write(std::string_view text);
  // Writes an output or append device's lines back and stores the new block number. After
  // error 101, or over a memo too long to be read whole, nothing is written: the old number
  // stays.
  void Close();

  // 0, or 101 once lines exceeded the limit, the memo was read truncated or writing failed.
  int Error() const { return error_; }

 private:
  enum class Mode { kClosed, kInput, kOutput };
  bool Load();
  void StoreLine(std::uint8_t end);

  std::int32_t& block_;
  std::uint8_t area_;
  Mode mode_ = Mode::kClosed;
  std::size_t nextLine_ = 0;
  std::string line_;
  char previous_ = '\0';
  int error_ = 0;
};

}  // namespace dadav
