// Services that keep what they were asked and act out what a test queued, in place of the viewer
// window, the printers and program starts. A test puts one in its slot with Substitute
// (platform/system/services.h).
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/system/services.h"

namespace platform {

enum class ViewerPress { Export, Print, SelectAll, Copy, Close };

// Keeps every request and acts out queued menu presses; the window closes after the last one.
class RecordingTextViewer final : public TextViewerBackend {
 public:
  WindowRect Show(const TextViewerRequest& request) override;

  std::vector<TextViewerRequest> shown;
  std::vector<ViewerPress> presses;  // for the next Show
  std::string selection;
  std::string clipboard;
  WindowRect closeRect;  // the rect the window closes with; width 0: as it opened
};

// Keeps the pages of each job; answers the dialog with the scripted range or Cancel.
class RecordingTextPrinter final : public TextPrinterBackend {
 public:
  struct Line {
    std::int32_t y = 0;
    std::string text;
  };
  struct Page {
    TextFontSpec font;
    std::vector<Line> lines;
  };
  struct Job {
    PrintRangeRequest request;  // as the dialog was opened
    std::vector<Page> pages;
    bool finished = false;
  };

  std::unique_ptr<TextPrintJob> Begin(PrintRangeRequest& request) override;

  std::deque<Job> jobs;                    // references to a job stay valid while others are added
  std::vector<PrintRangeRequest> dialogs;  // every dialog shown, also cancelled ones
  bool cancel = false;
  std::int32_t from = 0;  // 0: keep the preset
  std::int32_t to = 0;
  std::int32_t pageHeight = 6600;
  bool failFinish = false;  // jobs cannot be completed, as a PDF file in a read-only folder
};

// Keeps each job's bytes, raw ones in `jobs` and text ones in `textJobs`; every port is a device
// file while `deviceFile` is set; fails every job while `fail` is set.
class RecordingRawPrinter final : public RawPrinter {
 public:
  bool HasDeviceFile(std::int32_t) override { return deviceFile; }
  bool SendRaw(std::int32_t port, const std::string& fileName) override;
  bool SendText(std::int32_t port, const std::string& fileName) override;
  std::vector<std::pair<std::int32_t, std::string>> jobs;
  std::vector<std::pair<std::int32_t, std::string>> textJobs;
  bool deviceFile = true;
  bool fail = false;
};

// Records every request; StartProgram answers with `startResult`, OpenDocument and EditText
// with `openResult` (as xdg-open, or the editor "editor").
class RecordingLauncher final : public ProcessLauncher {
 public:
  int StartProgram(const std::vector<std::string>& argv) override {
    programs.push_back(argv);
    return startResult;
  }
  LaunchResult OpenDocument(const std::string& path) override {
    documents.push_back(path);
    return Answer("xdg-open");
  }
  LaunchResult EditText(const std::string& path) override {
    edited.push_back(path);
    return Answer("editor");
  }
  bool OpensDocuments() override { return opensDocuments; }

  int startResult = 0;
  LaunchResult openResult;
  bool opensDocuments = true;
  std::vector<std::vector<std::string>> programs;
  std::vector<std::string> documents;
  std::vector<std::string> edited;

 private:
  LaunchResult Answer(const char* program) const {
    LaunchResult result = openResult;
    result.program = program;
    return result;
  }
};

using RecordedViewer = Substitute<TextViewerBackend, RecordingTextViewer>;
using RecordedTextPrinter = Substitute<TextPrinterBackend, RecordingTextPrinter>;
using RecordedRawPrinter = Substitute<RawPrinter, RecordingRawPrinter>;
using RecordedLauncher = Substitute<ProcessLauncher, RecordingLauncher>;

}  // namespace platform
