#pragma once
// File, open table: lists the calculation files of the data folder in the table window and loads
// each file the user picks there, until the window is closed.

#include <functional>
#include <string>

struct FileTableHooks {
  // The main window's caption while a file is listed.
  std::function<void(const std::string& caption)> showProgress;
  // After a pick has loaded its file: the message count and the caption of the main window.
  std::function<void()> afterLoad;
  // Once the table has closed: the main window's caption, which the listing changed.
  std::function<void()> afterClose;
};

// Runs after the main form has asked to save a modified file. Clears the drawing; the connection
// and CurrentFile stay until a pick loads a file, which then names it. Ends with AbortFlag set.
void BuildFileTable(const FileTableHooks& hooks);
