#pragma once
// File, Settings: every setting of the configuration on nine pages. The controls are loaded from
// the settings when the form opens and stored back on OK, Save and Export; Import reads another
// configuration file into the settings and shows it. A control still showing what it was loaded
// with stores the setting unchanged, so an untouched OK changes no bit.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/forms.h"

struct NumberBinding;

class Tconfig : public platform::Form {
 public:
  Tconfig();

  void LoadControls();
  void StoreControls();
  // The dependent visibility of the Drawing page.
  void ShowForTitleBlock();

 private:
  struct Binding {
    std::function<void()> load;
    std::function<void()> store;
    std::function<bool()> accepts;
  };

  platform::TabPage& Page(const char* name, const char* caption);
  void Bind(std::function<void()> load, std::function<void()> store);
  void Bind(std::pair<std::function<void()>, std::function<void()>> binding);
  void Bind(NumberBinding binding);
  // Whether every number control holds a number its setting takes; refuses the first that does
  // not.
  bool ControlsAccepted();
  platform::Button& AddButton(platform::Container& page, const char* name, const char* caption,
                              std::function<void()> onClick);
  void AddHelpButton(platform::Container& page, const char* name, std::uint16_t number);
  // "<" buttons that put a fixed text into an edit.
  void AddPreset(platform::Container& page, const char* button, const char* edit, const char* text);

  void AddDirectoriesPage();
  void AddGraphicsPage();
  void AddWindowSizeControls(platform::Container& page);
  void AddCadPage();
  void AddLayerGrid(platform::Container& page);
  void AddColourPage();
  void AddPrinterPage();
  void AddPrintoutPage();
  void AddSettingsPage();
  void AddExternalPage();
  void AddDrawingPage();
  void AddFormButtons();
  void SetTips();

  void ChooseMonochrome();
  void ResizeDrawWindow(platform::Edit& edit, bool width);
  void PickLayerColour();
  void PickPenColour();
  void EditPlotLine(bool withOptionsForm);
  void Import();
  void Export();

  platform::PageControl& pages_;
  std::vector<Binding> bindings_;
};

// The command File, Settings: the form shown modally, then the drawing window repainted with the
// background colour.
void ConfigureSettings();
