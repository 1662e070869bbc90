#include "tables/modules/memo/memolines.h"

#include "tables/core/dbf4area.h"
#include "tables/modules/memo/memofile.h"
#include "tables/modules/memo/memoformat.h"
#include "tables/modules/memo/memoreader.h"

namespace dadav {

std::uint16_t MemoLineLimit = 1024;
std::uint16_t MemoWidth = 78;
bool MemoWidthSwitch = false;
MemoLineSet MemoLines;

namespace {

std::size_t LineWidth() {
  return MemoWidthSwitch ? static_cast<std::size_t>(MemoWidth) + 1 : kMemoLineWidth;
}

bool IsLineEndByte(char c) {
  return c == '\r' || static_cast<std::uint8_t>(c) == kLineEndSoft;
}

}  // namespace

std::string_view MemoLineSet::Text(std::size_t i) const {
  return std::string_view(text_).substr(lines_[i].start, lines_[i].length);
}

void MemoLineSet::Clear() {
  text_.clear();
  lines_.clear();
  lineStart_ = 0;
  truncated_ = false;
  block = 0;
}

bool MemoLineSet::Store(std::size_t length, std::uint8_t end) {
  if (lines_.size() >= MemoLineLimit) {
    truncated_ = true;
    text_.resize(lineStart_);
    return false;
  }
  lines_.push_back({lineStart_, length, end});
  lineStart_ += length;
  return true;
}

bool MemoLineSet::Add(std::string_view text, std::uint8_t end) {
  if (truncated_) return false;
  text_.append(text);
  return Store(text.size(), end);
}

// A line one byte over the width may still be ended by the LF after its CR or 0x8D.
bool MemoLineSet::Overlong() const {
  const std::size_t length = text_.size() - lineStart_;
  const std::size_t width = LineWidth();
  if (length <= width) return false;
  return !(length == width + 1 && IsLineEndByte(text_.back()));
}

void MemoLineSet::BreakLine() {
  const std::size_t width = LineWidth();
  const std::string_view head = std::string_view(text_).substr(lineStart_, width);
  const std::size_t blank = head.find_last_of(' ');
  Store(blank == std::string_view::npos ? width : blank + 1, kLineEndNone);
}

void MemoLineSet::AppendText(std::string_view part) {
  text_.append(part);
  while (!truncated_ && Overlong()) BreakLine();
}

void MemoLineSet::DropLast() {
  if (lines_.empty()) return;
  lineStart_ = lines_.back().start;
  text_.resize(lineStart_);
  lines_.pop_back();
}

void MemoLineSet::Feed(std::string_view stored) {
  while (!stored.empty() && !truncated_) {
    const std::size_t lineFeed = stored.find('\n');
    AppendText(stored.substr(0, lineFeed));
    if (lineFeed == std::string_view::npos || truncated_) return;
    stored.remove_prefix(lineFeed + 1);
    if (text_.size() > lineStart_ && IsLineEndByte(text_.back())) {
      const auto end = static_cast<std::uint8_t>(text_.back());
      text_.pop_back();
      Store(text_.size() - lineStart_, end);
    } else {
      AppendText("\n");
    }
  }
}

void MemoLineSet::Finish() {
  if (!truncated_ && text_.size() > lineStart_) Store(text_.size() - lineStart_, kLineEndNone);
}

bool GetMemo(std::int64_t block) {
  MemoLines.Clear();
  if (CheckMemoArea("GetMemo")) return false;
  MemoControl& memo = *CurrentMemo();
  MemoLines.block = block;
  if (block == 0) return true;
  // One reader for every GetMemo, so that its buffer is allocated once.
  static MemoRecordReader reader;
  if (const int code = reader.Start(memo, block); code != 0) {
    ReportGetMemoError(memo, code);
    return false;
  }
  std::string_view piece;
  while (!MemoLines.Truncated() && reader.Next(piece)) MemoLines.Feed(piece);
  memo.blocksRead = NextFreeBlock(reader.Taken(), memo.blockSize);
  NoteRecordBytes(memo, reader.Taken());
  if (reader.Code() != 0) {
    ReportGetMemoError(memo, 30);
    return false;
  }
  MemoLines.Finish();
  std::string& text = MemoLines.AllText();
  MemoToEngine(memo, text.data(), text.size());
  return true;
}

void ReportGetMemoError(MemoControl& memo, int code) {
  const std::string where = code == 1003 ? " Record # " + std::to_string(RecNo()) : "";
  ReportMemoError(&memo, code == 1003 ? 1003 : 30, memo.fileName + where + " [GetMemo]");
}

}  // namespace dadav
