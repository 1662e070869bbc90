#pragma once
// The main form's current file: the save question before anything replaces the input, saving
// under the current name, the window caption and the message count, and the recent files of the
// File menu. Only these routines and the file commands change CurrentFile, DataDir and Modified.

#include <cstdint>
#include <string>

#include "platform/ui/mainwindow.h"

// The save question; the caller stops when it leaves AbortFlag set (Cancel, or a failed save,
// which also keeps Modified).
void AskSaveModified();
// Saves the input under the base name without asking before overwriting; true when the file
// was written whole.
bool SaveCurrentFile(const std::string& name);
// The window title of the current file, the recent-file items and the message count.
void UpdateCaption(platform::MainWindow& window);
// The message count on the error-messages item, enabled only while there are messages.
void UpdateMessageCountCaption(platform::MenuBar& bar);
// UpdateMessageCountCaption, then the current drawing again.
void UpdateMessageCount(platform::MainWindow& window);

// RecentMenuIndex := the Exit item's position in the File menu; then ShowRecentFiles.
void InitRecentMenu(platform::MenuBar& bar);
// The recent-file items and their separator as the list stands.
void ShowRecentFiles(platform::MenuBar& bar);
// The item for entry n: hidden when it is empty, else "&n" and the shortened path.
void ShowRecentFile(platform::MenuItem& item, std::int32_t n);
// Loads entry n after the save question. A missing file is dropped from the list at once; a
// file that fails to load leaves the current file, its folder and Modified as they were.
void OpenRecentFile(platform::MainWindow& window, std::int32_t n);
