#pragma once
// The main form: the program's one window, a drawing surface under the main menu. It draws
// nothing of its own; every piece of work the user starts comes through one of its menu
// commands, and its create, close-query and destroy steps frame the run.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/lang/language.h"
#include "app/main/commandline.h"
#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "platform/ui/mainwindow.h"
#include "platform/ui/windowsurface.h"

class Thh final : public LanguageForm {
 public:
  Thh();
  ~Thh() override;
  Thh(const Thh&) = delete;
  Thh& operator=(const Thh&) = delete;

  platform::MainWindow& Window() { return window_; }

  // The start-up: configuration, recent files, the command line, the first calculation, the
  // language and the caption. The exit code when the start ended the program.
  std::optional<int> FormCreate(const CommandLine& line);
  // Whether the window may close: the save question, then the run's block files deleted.
  bool FormCloseQuery();
  // The recent files kept.
  void FormDestroy();

  void ApplyMenuCaptions() override;
  void UpdateCaption() override;

  // Where the drawing and CAD commands send (device, drawing); the drawing dispatcher unless a
  // test listens.
  std::function<void(std::uint16_t device, std::uint16_t drawing)> outputDrawing;

  // Menu commands.
  void Draw(std::uint16_t device, std::uint16_t drawing);
  void mi_fileNewClick();
  void mi_fileOpenClick();
  void mi_fileOpenTableClick();
  void mi_FileSaveClick();
  void mi_FileSaveAsClick();
  void mi_fileRecentClick(std::int32_t n);
  void mi_fileexitClick();
  void mi_EditTextClick();
  // An input form; after OK the connection is calculated again and the drawing follows.
  void InputFormClick(void (*showForm)());
  void mi_editconfigClick();
  void mi_stlClick(std::uint16_t drawing);
  void mi_DocumentSetupClick();
  void mi_OleStartExcelClick();
  void mi_OleExportExcelClick();
  void mi_OlePrintoutExcelClick();
  void mi_languageClick(std::int32_t code);

 private:
  void BuildMenu();

  platform::MainWindow window_;
  platform::WindowDrawSurface surface_;
  TFbrelgra graphics_;
  std::unique_ptr<TDrawer> drawer_;
};

// The main form, once created.
extern Thh* hh;
