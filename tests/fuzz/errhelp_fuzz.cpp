// The message help file read for messages whose keys are its own first lines (and one it lacks):
// origin and remedy for the report, the help form, and a saved help rewriting the file.
#include "base/dialogs/helperr.h"
#include "base/text/messages.h"
#include "tests/fuzz/fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  const std::string text = Bytes(data, size);
  run.Put("KV6.err", text);
  std::size_t start = 0;
  while (MessageCount < kMaxMessages - 1 && start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    Messages[++MessageCount] = text.substr(start, end - start);
    start = end + 1;
  }
  Messages[++MessageCount] = "Error  : no such message";
  std::string origin, remedy;
  for (std::int32_t i = 1; i <= MessageCount; ++i) {
    ErrorOrigin(i, origin);
    ErrorRemedy(i, remedy);
    ShowErrorHelp(i);
  }
  SaveErrorHelp(Messages[1], "origin\r\nof it", "remedy");
  ErrorOrigin(1, origin);
  return 0;
}
