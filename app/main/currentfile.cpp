#include "app/main/currentfile.h"

#include <string>

#include "app/lang/language.h"
#include "app/lang/menutexts.h"
#include "app/main/recentfiles.h"
#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/draw/breldraw.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/messages.h"
#include "base/text/numbertext.h"
#include "cad/drawings/outputdrawing.h"
#include "calc/calcfile.h"
#include "platform/files/fileresolve.h"
#include "platform/files/osfiles.h"
#include "platform/files/taggedtext.h"

namespace {

constexpr const char* kFileMenu = "mi_file";

std::string ShownFileName() {
  if (ArchiveMode != 0) return CurrentFile;
  return PathInText(CurrentFileName());
}

// The recent-file items stand before the separator that precedes Exit.
platform::MenuItem* FileMenuItemAt(platform::MenuBar& bar, std::int32_t position) {
  platform::Menu* file = bar.FindMenu(kFileMenu);
  if (file == nullptr || position < 0) return nullptr;
  const auto index = static_cast<std::size_t>(position);
  return index < file->Items().size() ? file->Items()[index].get() : nullptr;
}

}  // namespace

void UpdateMessageCountCaption(platform::MenuBar& bar) {
  platform::MenuItem* item = bar.FindItem("mi_viewErrorMessages");
  if (item == nullptr) return;
  const MenuText caption = platform::JoinTagged(
      {MenuTextErrorMessages, {" (" + IntText(MessageCount) + ")", platform::kCodePage1252}});
  item->SetCaption(caption.bytes, caption.codePage);
  item->SetEnabled(MessageCount > 0);
}

void AskSaveModified() {
  if (ArchiveMode != 0 && ArchiveFlag != 0) {
    Modified = 0;
    return;
  }
  if (!CurrentFile.empty() && Modified != 0) {
    if (AskYesNo("Save file (" + ShownFileName() + ") ?")) {
      if (SaveCurrentFile(CurrentFile)) Modified = 0;
    } else if (AbortFlag == 0) {
      Modified = 0;
    }
  } else if (Modified != 0) {
    if (AskYesNo("Discard previous input data ?")) {
      Modified = 0;
    } else {
      AbortFlag = 1;
    }
  }
}

bool SaveCurrentFile(const std::string& name) {
  OverwriteQuestion = false;
  const bool written = WriteCalcFile(name);
  OverwriteQuestion = true;
  if (!written) AbortFlag = 1;
  return written;
}

void UpdateCaption(platform::MainWindow& window) {
  std::string title;
  SetWindowTitle(title);
  window.SetCaption(title);
  ShowRecentFiles(window.Menus());
  UpdateMessageCountCaption(window.Menus());
}

void UpdateMessageCount(platform::MainWindow& window) {
  UpdateMessageCountCaption(window.Menus());
  RedrawCurrentDrawing();
}

void InitRecentMenu(platform::MenuBar& bar) {
  RecentMenuIndex = -1;
  if (platform::Menu* file = bar.FindMenu(kFileMenu)) {
    for (std::size_t i = 0; i < file->Items().size(); ++i) {
      if (file->Items()[i]->Name() == "mi_fileexit") RecentMenuIndex = static_cast<std::int32_t>(i);
    }
  }
  ShowRecentFiles(bar);
}

void ShowRecentFiles(platform::MenuBar& bar) {
  if (platform::MenuItem* separator = FileMenuItemAt(bar, RecentMenuIndex - 1)) {
    separator->SetVisible(!RecentFiles[1].empty());
  }
  for (std::int32_t n = 1; n <= kRecentFileCount; ++n) {
    if (platform::MenuItem* item = FileMenuItemAt(bar, RecentMenuIndex - 6 + n)) {
      ShowRecentFile(*item, n);
    }
  }
}

void ShowRecentFile(platform::MenuItem& item, std::int32_t n) {
  const std::string& entry = RecentFiles[static_cast<std::size_t>(n)];
  item.SetVisible(!entry.empty());
  if (!entry.empty()) {
    item.SetCaption("&" + IntText(n) + " " + ShortenPath(entry), platform::kCodePage1252);
  }
}

void OpenRecentFile(platform::MainWindow& window, std::int32_t n) {
  AskSaveModified();
  if (AbortFlag != 0) return;
  // Absolute, so that a name the list holds relative to the working folder is still read as the
  // file itself and gives the data folder. A file found under another letter case goes by the
  // name it has on disk from now on, so that a save never brings the old name back.
  const std::string listed = AbsolutePath(RecentFiles[static_cast<std::size_t>(n)]);
  const std::string entry = platform::ResolveFileName(listed);
  if (!FileThere(entry)) {
    DeleteRecentFile(n);
    SetMenuCaptions(window.Menus());
    UpdateCaption(window);
    if (platform::os::Nameable(entry)) {
      ShowInfo("File " + PathInText(entry) + " not found !");
    } else {
      RefuseUnusableName(platform::os::HostName(entry));
    }
    return;
  }
  // The record, its file name and its folder change together or not at all.
  const std::string oldFile = CurrentFile;
  const std::string oldDir = DataDir;
  if (LoadCalcFile(entry)) {
    CurrentFile = NameWithoutExt(entry);
    DataDir = DirOfPath(entry);
    if (entry != listed) DeleteRecentFile(n);
    AddRecentFile(CurrentFile);
    Modified = 0;
    AbortFlag = 0;
    UpdateMessageCount(window);
  } else {
    CurrentFile = oldFile;
    DataDir = oldDir;
  }
  UpdateCaption(window);
}
