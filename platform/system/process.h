// Starting other programs: a program by its argument list (no shell, not waited for), a document
// with the desktop's default program, and a text file in the user's editor. Without a display
// nothing is started: the command-line policy writes each request to standard error instead.
#pragma once

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// How a watched start went: a program that cannot be started has its errno, one that ends with
// an error at once (an opener without a program for the file, an editor that refuses it) its exit
// status; one still running after a moment counts as started.
struct LaunchResult {
  std::string program;  // the program started or tried
  int startError = 0;
  int exitStatus = 0;
  bool Started() const { return startError == 0 && exitStatus == 0; }
};

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // 0 when started, else the errno of the failure (ENOENT for a missing program).
  virtual int StartProgram(const std::vector<std::string>& argv) = 0;
  // Opens the document with the desktop's opener (xdg-open).
  virtual LaunchResult OpenDocument(const std::string& path) = 0;
  // Opens the text file in $VISUAL, else $EDITOR, else with the desktop's opener.
  virtual LaunchResult EditText(const std::string& path) = 0;
  // Whether OpenDocument has a program to hand documents to: the desktop's opener.
  virtual bool OpensDocuments();
};

// Starts programs for real: posix_spawnp, the child reaped when it ends; documents through
// xdg-open and text files through the user's editor, each watched for a moment.
std::unique_ptr<ProcessLauncher> MakeSystemLauncher();

std::unique_ptr<ProcessLauncher> MakeCommandLineLauncher();

// The editor's command line for the file: $VISUAL or $EDITOR split at blanks, else xdg-open.
std::vector<std::string> EditorCommand(const std::string& path);

// Through the launcher service of the platform's kit (platform/services.h); without one the
// command-line policy serves.
int StartProgram(const std::vector<std::string>& argv);
LaunchResult OpenDocument(const std::string& path);
LaunchResult EditText(const std::string& path);
bool OpensDocuments();

}  // namespace platform
