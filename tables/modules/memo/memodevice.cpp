#include "tables/modules/memo/memodevice.h"

#include "tables/core/dbf4area.h"
#include "tables/core/tzerror.h"
#include "tables/modules/memo/memofile.h"
#include "tables/modules/memo/memolines.h"
#include "tables/modules/memo/memoreader.h"
#include "tables/modules/memo/memowrite.h"

namespace dadav {
namespace {

constexpr char kSoftEnd = static_cast<char>(kLineEndSoft);
constexpr int kDeviceWriteError = 101;

// Logical lines of a memo, read piece by piece: a line ends at CR LF, and 0x8D LF, the
// word-wrap break, is taken out. Lines are split on the stored bytes, before the code-page
// conversion, since 0x8D is a letter in the DOS code page.
class LogicalLines : public MemoLineReader {
 public:
  explicit LogicalLines(std::shared_ptr<MemoControl> memo) : memo_(std::move(memo)) {}

  int Start(std::int64_t block) {
    if (block == 0) {
      ended_ = true;
      return 0;
    }
    return reader_.Start(*memo_, block);
  }

  bool ReadLine(std::string& line) override {
    for (;;) {
      const std::size_t end = HardEnd();
      if (end != std::string::npos) {
        Deliver(line, end);
        begin_ = scanned_ = end + 2;
        return true;
      }
      if (!More()) break;
    }
    if (begin_ == pending_.size()) return false;
    Deliver(line, pending_.size());
    begin_ = scanned_ = pending_.size();
    return true;
  }

 private:
  // Where the first CR LF of the line from begin_ on starts, npos when there is none yet.
  std::size_t HardEnd() {
    for (std::size_t lf = pending_.find('\n', scanned_); lf != std::string::npos;
         lf = pending_.find('\n', lf + 1)) {
      if (lf > begin_ && pending_[lf - 1] == '\r') return lf - 1;
    }
    scanned_ = pending_.size();
    return std::string::npos;
  }

  bool More() {
    std::string_view piece;
    if (ended_ || !reader_.Next(piece)) {
      if (!ended_ && reader_.Code() != 0) {
        ReportGetMemoError(*memo_, 30);
      }
      ended_ = true;
      return false;
    }
    // The lines delivered go only once they are half of what is held, so that a memo of many
    // lines is not moved along once per line.
    if (begin_ > 0 && begin_ >= pending_.size() / 2) {
      pending_.erase(0, begin_);
      scanned_ -= begin_;
      begin_ = 0;
    }
    pending_.append(piece);
    return true;
  }

  // The line from begin_ to end, without its soft line ends, in the engine's code page.
  void Deliver(std::string& line, std::size_t end) {
    line.clear();
    const std::string_view text = std::string_view(pending_).substr(begin_, end - begin_);
    std::size_t from = 0;
    for (std::size_t soft = text.find(kSoftEnd); soft != std::string_view::npos;
         soft = text.find(kSoftEnd, soft + 1)) {
      if (soft + 1 < text.size() && text[soft + 1] == '\n') {
        line.append(text.substr(from, soft - from));
        from = soft + 2;
      }
    }
    line.append(text.substr(from));
    MemoToEngine(*memo_, line.data(), line.size());
  }

  std::shared_ptr<MemoControl> memo_;
  MemoRecordReader reader_;
  std::string pending_;
  std::size_t begin_ = 0;    // where the next line starts in pending_
  std::size_t scanned_ = 0;  // pending_ holds no CR LF of that line before here
  bool ended_ = false;
};

}  // namespace

std::unique_ptr<MemoLineReader> AssignMemo(std::int64_t block) {
  if (CheckMemoArea("AssignMemo")) return nullptr;
  auto lines = std::make_unique<LogicalLines>(CurrentMemoShared());
  if (const int code = lines->Start(block); code != 0) {
    ReportGetMemoError(*CurrentMemo(), code);
    return nullptr;
  }
  return lines;
}

MemoTextDevice::MemoTextDevice(std::int32_t& block) : block_(block), area_(CurrentArea()) {}

bool MemoTextDevice::Load() {
  AreaSelection selected(area_);
  error_ = 0;
  nextLine_ = 0;
  line_.clear();
  previous_ = '\0';
  return GetMemo(block_);
}

bool MemoTextDevice::Reset() {
  mode_ = Mode::kClosed;
  if (!Load()) return false;
  mode_ = Mode::kInput;
  return true;
}

bool MemoTextDevice::Rewrite() {
  mode_ = Mode::kClosed;
  AreaSelection selected(area_);
  if (CheckMemoArea("AssignMemo")) return false;
  MemoLines.Clear();
  error_ = 0;
  line_.clear();
  previous_ = '\0';
  mode_ = Mode::kOutput;
  return true;
}

bool MemoTextDevice::Append() {
  mode_ = Mode::kClosed;
  if (!Load()) return false;
  // Text appended to a memo whose last line has no end continues that line.
  const std::size_t last = MemoLines.Count();
  if (last > 0 && MemoLines.End(last - 1) == kLineEndNone && !MemoLines.Truncated()) {
    line_ = std::string(MemoLines.Text(last - 1));
    MemoLines.DropLast();
  }
  if (MemoLines.Truncated()) error_ = kDeviceWriteError;
  mode_ = Mode::kOutput;
  return true;
}

bool MemoTextDevice::Read(std::string& text) {
  if (mode_ != Mode::kInput || nextLine_ >= MemoLines.Count()) return false;
  text = MemoLines.Text(nextLine_);
  if (MemoLines.End(nextLine_) == kLineEndHard) text += "\r\n";
  ++nextLine_;
  return true;
}

void MemoTextDevice::StoreLine(std::uint8_t end) {
  if (!MemoLines.Add(line_, end)) error_ = kDeviceWriteError;
  line_.clear();
}

void MemoTextDevice::Write(std::string_view text) {
  if (mode_ != Mode::kOutput) return;
  for (const char c : text) {
    if (c == '\r') {
      StoreLine(previous_ == kSoftEnd ? kLineEndSoft : kLineEndHard);
    } else if (c != '\n' && c != kSoftEnd) {
      if (line_.size() == kMemoLineWidth) StoreLine(kLineEndNone);
      line_.push_back(c);
    }
    previous_ = c;
  }
}

void MemoTextDevice::Close() {
  const bool writing = mode_ == Mode::kOutput;
  mode_ = Mode::kClosed;
  if (!writing) return;
  if (!line_.empty()) StoreLine(kLineEndNone);
  if (error_ != 0 || MemoLines.Truncated()) {
    error_ = kDeviceWriteError;
    MemoLines.Clear();
    return;
  }
  AreaSelection selected(area_);
  const bool hadLines = MemoLines.Count() > 0;
  // Failed until the lines are written, also when the error report throws.
  error_ = kDeviceWriteError;
  LastErrorCode = 0;
  const std::int64_t block = EditMemo();
  if (hadLines && (block == 0 || LastErrorCode != 0)) return;
  error_ = 0;
  block_ = static_cast<std::int32_t>(block);
}

}  // namespace dadav
