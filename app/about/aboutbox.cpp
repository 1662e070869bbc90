// The about window.
#include "app/about/aboutbox.h"

#include "base/dialogs/formplace.h"
#include "base/draw/breldraw.h"
#include "base/files/utilsys.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"

namespace {

void AddCentredLabel(platform::Container& panel, const char* name, std::string caption) {
  panel.Add<platform::Label>(name).SetCaption(std::move(caption));
}

}  // namespace

TAboutBox::TAboutBox() : platform::Form("TAboutBox", "Info", {300, 240}) {
  CenterOnDrawWindow(Placement());
  if (Drawer != nullptr) {
    Drawer->grClear();
    Drawer->grDrawLogo();
  }
  platform::Panel& panel = Add<platform::Panel>("Panel1");
  AddCentredLabel(panel, "ProductName", "Version " + ProgVersion + " for Linux");
  AddCentredLabel(panel, "Label_subject", "P3G polygon shaft-hub connections");
  AddCentredLabel(panel, "Label_standard", "DIN 32711");
  AddCentredLabel(panel, "Label_extended", ToDisplayText(LongTitle));
  AddCentredLabel(panel, "Label_sonderversion", "");
  AddCentredLabel(
      panel, "Label_fileversion",
      "File Version : " + FileVersionText("") + "   (w" + ShortName + ":" + KV6_BUILD_TAG + ")");
  platform::Button& ok = Add<platform::Button>("OKButton");
  ok.SetCaption("OK");
  ok.SetDefault(true);
  ok.SetModalResult(platform::ModalResult::Ok);
  SetCaption(ToDisplayText(ProductCode));
}

void ShowAboutBox() {
  TAboutBox about;
  about.ShowModal();
}
