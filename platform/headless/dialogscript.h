// The scripted policy for tests: each dialog, file choice, modal form (run by the headless
// backend) and Yes/No box takes the next step of a queue, which says what kind of dialog is
// expected, which help buttons are pressed, how it closes and with what answer. OK-only boxes
// answer themselves and are only written to the transcript. A step of the wrong kind, or a question
// without a step, answers Cancel and marks the script failed, so no input loop can wait for ever.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/system/services.h"
#include "platform/ui/dialog.h"

namespace platform::headless {

struct DialogStep {
  DialogKind kind = DialogKind::List;
  std::vector<HelpButton> helpPresses;
  DialogClose close = DialogClose::Ok;
  // Answers; left empty they keep what the dialog preset. A yes/no dialog's items are 0 yes, 1 no.
  std::optional<std::int32_t> selected;
  std::optional<std::string> text;            // typed text, or the chosen path of a file dialog
  MessageAnswer answer = MessageAnswer::Yes;  // of a Box step
  std::function<void(Form&)> act;             // of a Form step: what the user does in the form
  std::optional<FontSpec> font;               // of a Font step: the font chosen

  DialogStep Help(HelpButton button) const;
  DialogStep Closing(DialogClose how) const;
  DialogStep Select(std::int32_t index) const;
  DialogStep Type(std::string typed) const;
  DialogStep Answer(MessageAnswer given) const;
  DialogStep Act(std::function<void(Form&)> action) const;
  DialogStep Choose(FontSpec chosen) const;
};

// A step of the kind that closes with OK and keeps every preset; refine it with the members.
DialogStep Step(DialogKind kind);

class ScriptedDialogs final : public DialogBackend {
 public:
  void Expect(DialogStep step) { steps_.push_back(std::move(step)); }

  DialogResult RunDialog(const DialogRequest& request) override;
  MessageAnswer ShowBox(const MessageBoxRequest& request) override;
  FileResult ChooseFile(const FileRequest& request) override;
  // A Color step answers with its selected value as the colour, a Font step with its font; either
  // keeps the initial value without one.
  ColorResult ChooseColor(std::uint32_t initial) override;
  FontResult ChooseFont(const FontSpec& initial) override;
  void Beep() override { ++beeps_; }
  void SetBusyCursor(bool busy) override;
  void Exit(int code) override {
    exits_.push_back(code);
    RecordExitRequest(code);
  }
  // Acts out the next step in a form the headless backend shows; a step that leaves the form
  // without a modal result closes it as the close box does.
  ModalResult PlayForm(Form& form);

  bool Failed() const { return !failures_.empty(); }
  bool UsedUp() const { return steps_.empty(); }
  const std::vector<std::string>& Failures() const { return failures_; }
  // One line per box and dialog shown, such as "Error  : |disk full" or "Text|Enter User ID ...".
  const std::vector<std::string>& Transcript() const { return transcript_; }
  // The requests as the backend received them, for checks of captions, items and sizes.
  const std::vector<DialogRequest>& Requests() const { return requests_; }
  const std::vector<FileRequest>& FileRequests() const { return fileRequests_; }
  int Beeps() const { return beeps_; }
  bool Busy() const { return busy_; }
  int CursorChanges() const { return cursorChanges_; }
  const std::vector<int>& Exits() const { return exits_; }

 private:
  std::optional<DialogStep> Next(DialogKind kind, const std::string& what);

  std::deque<DialogStep> steps_;
  std::vector<std::string> failures_;
  std::vector<std::string> transcript_;
  std::vector<DialogRequest> requests_;
  std::vector<FileRequest> fileRequests_;
  int beeps_ = 0;
  bool busy_ = false;
  int cursorChanges_ = 0;
  std::vector<int> exits_;
};

// A fresh script in place of the dialog service until the end of the scope.
using DialogScript = Substitute<DialogBackend, ScriptedDialogs>;

const char* DialogKindName(DialogKind kind);

}  // namespace platform::headless
