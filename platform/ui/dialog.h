// The program's questions to the user: message boxes, the small modal dialogs (a choice, a text,
// yes or no, an information screen), file and folder choice, and the forms of the help services.
// The core hands a backend one request and gets back how the dialog closed and its value; the
// help buttons call back into the core while the dialog stays open. Texts are Windows-1252
// display bytes. Forms run through Form::ShowModal.
//
// Three policies serve the requests: the Qt dialogs, a script for tests, and the command line,
// which writes every question to standard error and answers Cancel, so it never blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/messagebox.h"
#include "platform/ui/screen.h"

namespace platform {

// Box stands for a message box with more than an OK button, where a script must answer.
enum class DialogKind {
  List,
  Radio,
  Text,
  YesNo,
  InfoScreen,
  OpenFile,
  SaveFile,
  Folder,
  Form,
  Box,
  Color,
  Font
};
// How a dialog was left: its OK button (or Enter), its Cancel button, Esc, or the close box.
enum class DialogClose { Ok, Cancel, Escape, CloseBox };
enum class HelpButton { Text, Image };

struct DialogRequest {
  DialogKind kind = DialogKind::List;
  std::string caption;
  std::string prompt;
  // List and radio items; the yes/no dialog's two items; the information screen's lines.
  std::vector<std::string> items;
  std::int32_t selected = -1;  // 0-based, -1 for none
  std::string text;            // preset of the text dialog
  std::size_t maxLength = 0;   // of the text dialog; 0 for no limit
  // Size, font scale, border and (when set) position, as the core placed the dialog; without a
  // designed size the toolkit sizes it.
  RecordedFormHandle placement{Size{}};
  std::int32_t groupHeight = 0;  // of the radio group
  // Called for each press of "&Help Text" or "Aux. &Image"; the dialog stays open.
  std::function<void(HelpButton)> onHelp;
};

struct DialogResult {
  DialogClose close = DialogClose::Cancel;
  std::int32_t selected = -1;
  std::string text;
};

struct FileFilter {
  std::string description;
  std::string pattern;  // such as "*.plt"; matched without regard to letter case
};

struct FileRequest {
  DialogKind kind = DialogKind::OpenFile;  // OpenFile, SaveFile or Folder
  std::string caption;
  std::string folder;  // where the dialog starts
  std::string name;    // proposed file name of a save dialog
  std::vector<FileFilter> filters;
};

// The chosen path (a folder for Folder), empty when the dialog was cancelled. A path the program
// cannot hold (a letter 1252 lacks stands as "?" in path) also comes as the system spells it.
struct FileResult {
  bool chosen = false;
  std::string path;
  std::string unusableName;  // UTF-8; empty for a path the program can hold
};

// The colour dialog's answer: a Windows colour value 0x00BBGGRR.
struct ColorResult {
  bool chosen = false;
  std::uint32_t color = 0;
};

// A font as the font dialog shows and returns it; style is the font style code (bold 1, italic 2,
// underline 4, strikeout 8).
struct FontSpec {
  std::string face;
  std::int32_t size = 0;  // points
  std::uint16_t style = 0;
  bool operator==(const FontSpec&) const = default;
};

struct FontResult {
  bool chosen = false;
  FontSpec font;
};

class DialogBackend {
 public:
  virtual ~DialogBackend() = default;
  virtual DialogResult RunDialog(const DialogRequest& request) = 0;
  // The one way to show a message box: returns the button pressed; closing the box gives its
  // CancelAnswer.
  virtual MessageAnswer ShowBox(const MessageBoxRequest& request) = 0;
  virtual FileResult ChooseFile(const FileRequest& request) = 0;
  // The colour dialog opened on initial; not chosen when it was cancelled.
  virtual ColorResult ChooseColor(std::uint32_t initial) = 0;
  // The font dialog opened on initial; not chosen when it was cancelled.
  virtual FontResult ChooseFont(const FontSpec& initial) = 0;
  virtual void Beep() = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  // Asks to end the program with the exit code: the backends record it (RecordExitRequest),
  // and the program body ends through its one shutdown path.
  virtual void Exit(int code) = 0;
};

// The exit code a dialog asked for, until cleared; none while nobody asked.
void RecordExitRequest(int code);
std::optional<int> ExitRequest();
void ClearExitRequest();

// The application's title: the caption of plain messages.
void SetApplicationTitle(std::string title);
const std::string& ApplicationTitle();

// The dialog service of the platform's kit (platform/services.h); without one the command-line
// policy serves.
DialogBackend& Dialogs();

std::unique_ptr<DialogBackend> MakeCommandLineDialogs();

}  // namespace platform
