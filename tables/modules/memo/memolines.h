#pragma once
// `MemoLines`: the memo being read or edited through the text device, as lines with the kind
// of their line end. `GetMemo` fills it from a memo record: CR LF ends a line hard, 0x8D LF
// soft (a word-wrap break), and a line longer than the line width is broken after its last
// blank. At most `MemoLineLimit` lines are kept; a longer memo is marked truncated, so that it
// is never written back cut.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dadav {

struct MemoControl;

constexpr std::uint8_t kLineEndNone = 0;
constexpr std::uint8_t kLineEndHard = 0x0D;
constexpr std::uint8_t kLineEndSoft = 0x8D;
constexpr std::size_t kMemoLineWidth = 254;

extern std::uint16_t MemoLineLimit;  // lines (1024)
extern std::uint16_t MemoWidth;      // characters (78)
extern bool MemoWidthSwitch;         // lines end at MemoWidth + 1 instead of 254 (off)

class MemoLineSet {
 public:
  std::size_t Count() const { return lines_.size(); }
  std::string_view Text(std::size_t i) const;
  std::uint8_t End(std::size_t i) const { return lines_[i].end; }
  bool Truncated() const { return truncated_; }
  // The memo the lines were read from, 0 for a new one: EditMemo may reuse its run.
  std::int64_t block = 0;

  void Clear();
  // Appends a line (engine code page); false, marking the set truncated, when it is full.
  bool Add(std::string_view text, std::uint8_t end);
  void DropLast();

  // Splitting stored bytes into lines: Feed the record piece by piece, then Finish.
  void Feed(std::string_view stored);
  void Finish();
  // The texts of all lines, back to back, for the code-page conversion after reading.
  std::string& AllText() { return text_; }

 private:
  struct Line {
    std::size_t start;
    std::size_t length;
    std::uint8_t end;
  };
  void AppendText(std::string_view part);
  bool Overlong() const;
  void BreakLine();
  bool Store(std::size_t length, std::uint8_t end);

  std::string text_;
  std::vector<Line> lines_;
  std::size_t lineStart_ = 0;  // of the line being split
  bool truncated_ = false;
};

extern MemoLineSet MemoLines;

// Reads the current area's memo at block into MemoLines; block 0 gives no lines. False after a
// reported error: 1003 for a block outside the file, 30 for a read error.
bool GetMemo(std::int64_t block);

// Reports a memo that could not be read as GetMemo does: code 1003 (a block outside the file)
// with the current record's number, any other code as read error 30.
void ReportGetMemoError(MemoControl& memo, int code);

}  // namespace dadav
