// The command-line policy: nobody can answer, so every question goes to standard error and takes
// its Cancel answer at once. Standard input is never read.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/files/codepage.h"
#include "platform/files/taggedtext.h"
#include "platform/ui/backend.h"
#include "platform/ui/dialog.h"

namespace platform {

namespace {

std::string_view WithoutTrailingBlanks(std::string_view line) {
  while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
  return line;
}

// A box is one line: each line break of its text becomes a blank.
std::string OneLine(const std::string& caption, std::string_view text) {
  std::string line = caption.empty() ? "" : caption + " ";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    line += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
  }
  return line;
}

void WriteOutputLine(std::string_view text) {
  const std::string line = Cp1252ToUtf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

class CommandLineDialogs final : public DialogBackend {
 public:
  DialogResult RunDialog(const DialogRequest& request) override {
    if (request.kind == DialogKind::InfoScreen) {
      for (const std::string& item : request.items) {
        const std::string_view line = WithoutTrailingBlanks(item);
        if (!line.empty()) WriteOutputLine(line);
      }
      return DialogResult{DialogClose::Ok, -1, ""};
    }
    WriteErrorLine(request.prompt);
    if (request.kind == DialogKind::List || request.kind == DialogKind::Radio) {
      for (const std::string& item : request.items) WriteErrorLine("  " + item);
    }
    return DialogResult{DialogClose::Cancel, request.selected, request.text};
  }

  MessageAnswer ShowBox(const MessageBoxRequest& request) override {
    WriteUtf8ErrorLine(TaggedToUtf8({OneLine(request.caption, request.text), request.codePage}));
    return CancelAnswer(request.buttons);
  }

  FileResult ChooseFile(const FileRequest& request) override {
    WriteErrorLine(request.caption);
    return FileResult{};
  }

  ColorResult ChooseColor(std::uint32_t) override {
    WriteErrorLine("Color");
    return ColorResult{};
  }

  FontResult ChooseFont(const FontSpec&) override {
    WriteErrorLine("Font");
    return FontResult{};
  }

  void Beep() override {}
  void SetBusyCursor(bool) override {}
  void Exit(int code) override { RecordExitRequest(code); }
};

}  // namespace

std::unique_ptr<DialogBackend> MakeCommandLineDialogs() {
  return std::make_unique<CommandLineDialogs>();
}

}  // namespace platform
