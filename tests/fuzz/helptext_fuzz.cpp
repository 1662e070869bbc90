// A help file read for the numbers it holds (and one it lacks): as a hint line, and shown as a
// box with its help image.
#include <set>

#include "base/help/helptext.h"
#include "tests/fuzz/fuzzrun.h"

namespace {

constexpr std::size_t kMaxNumbers = 8;

// The entry numbers at the line starts, as the reader sees them, and 4000 (none in the seeds).
std::set<std::uint16_t> NumbersIn(const std::string& text) {
  std::set<std::uint16_t> numbers = {4000};
  std::size_t start = 0;
  while (start < text.size() && numbers.size() < kMaxNumbers) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::int32_t number = -1;
    std::string image;
    ParseHelpLine(text.substr(start, end - start), number, image);
    if (number >= 0 && number <= 0xFFFF) numbers.insert(static_cast<std::uint16_t>(number));
    start = end + 1;
  }
  return numbers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  const std::string text = Bytes(data, size);
  run.Put("brelcor.hlp", text);
  run.Put("kv6.hlp", text);
  std::string line;
  for (std::uint16_t number : NumbersIn(text)) {
    HelpEntryLine(number, line);
    ShowHelpText(number, "", 0);
    run.Paint();
  }
  return 0;
}
