// The configuration form: the pages, the bindings of controls to settings, and the buttons.
#include "app/config/tconfig.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "app/config/configbindings.h"
#include "app/config/selectcolor.h"
#include "app/main/checkdirectories.h"
#include "app/main/configfile.h"
#include "app/main/screensize.h"
#include "base/dialogs/formplace.h"
#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/draw/brelgraf.h"
#include "base/draw/fontstyle.h"
#include "base/draw/hgvar.h"
#include "base/files/utilpath.h"
#include "base/files/utilsys.h"
#include "base/help/helptext.h"
#include "base/report/reportdevice.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/unittext.h"
#include "cad/layer/cadvar.h"
#include "cad/layer/confpenwerk.h"
#include "platform/ui/dialog.h"

namespace {

using platform::Button;
using platform::CheckBox;
using platform::ComboBox;
using platform::Container;
using platform::Edit;
using platform::Label;
using platform::RadioGroup;
using platform::SpinEdit;
using platform::StringGrid;

constexpr std::uint32_t kWhite = 16777215;
constexpr std::int32_t kLargestPixels = 5000;
constexpr long double kDegree = std::numbers::pi_v<long double> / 180;

// The name of the label that captions a field: "Label_" and the field's name after its kind.
std::string CaptionName(std::string_view field) {
  return "Label_" + std::string(field.substr(field.find('_') + 1));
}

template <typename T>
T& Labelled(Container& page, const char* name, const std::string& caption) {
  page.Add<Label>(CaptionName(name)).SetCaption(ToDisplayText(caption));
  return page.Add<T>(name);
}

RadioGroup& Radio(Container& page, const char* name, const char* caption,
                  std::vector<std::string> items) {
  RadioGroup& radio = page.Add<RadioGroup>(name);
  radio.SetCaption(ToDisplayText(caption));
  for (std::string& item : items) item = ToDisplayText(item);
  radio.SetItems(std::move(items));
  return radio;
}

ComboBox& WithItems(ComboBox& combo, std::vector<std::string> items) {
  for (std::string& item : items) item = ToDisplayText(item);
  combo.SetItems(std::move(items));
  return combo;
}

ComboBox& Combo(Container& page, const char* name, std::vector<std::string> items) {
  return WithItems(page.Add<ComboBox>(name), std::move(items));
}

ComboBox& Combo(Container& page, const char* name, const std::string& caption,
                std::vector<std::string> items) {
  return WithItems(Labelled<ComboBox>(page, name, caption), std::move(items));
}

CheckBox& Check(Container& page, const char* name, const std::string& caption) {
  CheckBox& box = page.Add<CheckBox>(name);
  box.SetCaption(ToDisplayText(caption));
  return box;
}

// "round" of the window sizes: halves go to the even neighbour.
std::int32_t RoundHalfEven(long double x) {
  const long double down = std::floor(x);
  const long double rest = x - down;
  const bool up = rest > 0.5L || (rest == 0.5L && std::fmod(down, 2.0L) != 0);
  return static_cast<std::int32_t>(up ? down + 1 : down);
}

// The plot-program lines the configuration keeps: up to the last line that holds a text and
// either was kept before or has been edited here. Lines beyond the kept ones show the default
// command line unless edited, and an untouched list keeps its count.
std::uint16_t StoredPlotLineCount(const std::vector<std::string>& items,
                                  const std::vector<std::string>& shown, std::uint16_t count) {
  if (items == shown) return count;
  std::uint16_t last = 1;
  for (std::uint16_t line = 2; line <= 5; ++line) {
    const std::string& text = items[line - 1U];
    if (!text.empty() && (line <= count || text != shown[line - 1U])) last = line;
  }
  return last;
}

}  // namespace

Tconfig::Tconfig()
    : platform::Form("Tconfig", ToDisplayText(ProductCode) + " Configuration", {640, 520}),
      pages_(Add<platform::PageControl>("PageControl1")) {
  AddDirectoriesPage();
  AddGraphicsPage();
  AddCadPage();
  AddColourPage();
  AddPrinterPage();
  AddPrintoutPage();
  AddSettingsPage();
  AddExternalPage();
  AddDrawingPage();
  AddFormButtons();
  SetTips();
  ScaleForm(Placement());
  Placement().SetPosition({Placement().Position().x, Placement().Position().y - 10});
  LoadControls();
  pages_.SetActivePageIndex(0);
  onShow = [this] { ShowForTitleBlock(); };
}

platform::TabPage& Tconfig::Page(const char* name, const char* caption) {
  return pages_.AddPage(name, ToDisplayText(caption));
}

void Tconfig::Bind(std::function<void()> load, std::function<void()> store) {
  bindings_.push_back({std::move(load), std::move(store), nullptr});
}

void Tconfig::Bind(LoadStore binding) {
  Bind(std::move(binding.first), std::move(binding.second));
}

void Tconfig::Bind(NumberBinding binding) {
  bindings_.push_back({std::move(binding.loadStore.first), std::move(binding.loadStore.second),
                       std::move(binding.accepts)});
}

bool Tconfig::ControlsAccepted() {
  return std::ranges::all_of(bindings_, [](const Binding& b) { return !b.accepts || b.accepts(); });
}

Button& Tconfig::AddButton(Container& page, const char* name, const char* caption,
                           std::function<void()> onClick) {
  Button& button = page.Add<Button>(name);
  button.SetCaption(ToDisplayText(caption));
  button.onClick = std::move(onClick);
  return button;
}

void Tconfig::AddHelpButton(Container& page, const char* name, std::uint16_t number) {
  AddButton(page, name, "&Help", [number] { ShowHelpText(number, "", 1); });
}

void Tconfig::AddPreset(Container& page, const char* button, const char* edit, const char* text) {
  AddButton(page, button, "<", [this, edit, text] { Get<Edit>(edit).SetText(text); });
}

void Tconfig::LoadControls() {
  ColourNames();
  for (const Binding& b : bindings_) b.load();
  ShowForTitleBlock();
}

void Tconfig::StoreControls() {
  for (const Binding& b : bindings_) b.store();
}

// Directories ---------------------------------------------------------------------------------

void Tconfig::AddDirectoriesPage() {
  platform::TabPage& page = Page("Tab_dir", "Directories");
  const auto folder = [&](const char* edit, const char* button, std::string caption,
                          std::string& value) {
    Edit& field = Labelled<Edit>(page, edit, caption);
    AddButton(page, button, "...", [&field] {
      std::string chosen;
      SelectDirectory(field.Text(), chosen);
      field.SetText(chosen);
    });
    Bind(TextBinding(field, value));
  };
  folder("Edit_dirdbf", "Button_dirdbf", "Database directory (dbf)", DbfDir);
  folder("Edit_direxe", "Button_direxe", "BRELCOR EXE Directory", BrelcorDir);
  folder("Edit_dirplt", "Button_dirplt", "Help (hlp), help images (plt) and dem files", PltDir);
  folder("Edit_dirtemp", "Button_dirtemp", "Temporary directory", TempDir);
  AddButton(page, "Button_dirtempenv", "<", [this] {
    const std::string temp = EnvironmentText("TEMP");
    if (temp.find_first_not_of(' ') != std::string::npos) Get<Edit>("Edit_dirtemp").SetText(temp);
  });
  folder("Edit_diredi", "Button_diredi", "EDI Directory", EdiDir);
  folder("Edit_dirdata", "Button_dirdata", "." + FileExt + " Directory", DefaultDataDir);
  folder("Edit_dircad", "Button_dircad", "CAD Directory", CadDir);
  Edit& working = Labelled<Edit>(page, "Edit_dirworking", "Working Directory");
  working.SetReadOnly(true);
  Bind([&working] { working.SetText(PrintoutDir); }, [] {});
  AddHelpButton(page, "Button_workingDir", 1605);
  Get<Button>("Button_workingDir").SetCaption("?");
  page.Add<Label>("Label_user").SetCaption("User: " + EnvironmentText("USERNAME"));
  CheckBox& dbfTemp = Check(page, "CheckBox_dbftemp", "copy DBF -> TEMP");
  dbfTemp.SetVisible(false);
  dbfTemp.onClick = [&dbfTemp] {
    if (dbfTemp.Checked()) CheckDirectories();
  };
  Bind(FlagBinding(dbfTemp, TablesInTempDir));
}

// Graphics ------------------------------------------------------------------------------------

void Tconfig::AddGraphicsPage() {
  platform::TabPage& page = Page("Tab_grafik", "Graphics");
  RadioGroup& colour =
      Radio(page, "RadioGroup_bildschirmgrafik", "Color graphics", {"color", "monochrom"});
  colour.onClick = [this] { ChooseMonochrome(); };
  Bind([&colour] { colour.SetItemIndex(ColourGraphics != 0 ? 0 : 1); },
       [&colour] {
         if (colour.ItemIndex() >= 0) ColourGraphics = colour.ItemIndex() == 0 ? 1 : 0;
       });
  platform::Panel& background = page.Add<platform::Panel>("Panel_colour");
  Bind([&background] { background.SetColor(platform::ColorFromValue(BackgroundColour)); }, [] {});
  // The background changes at once, not only on OK.
  AddButton(page, "Button_hintergrundfarbe", "background colour", [&background] {
    const platform::ColorResult chosen = platform::Dialogs().ChooseColor(BackgroundColour);
    if (!chosen.chosen) return;
    BackgroundColour = chosen.color;
    background.SetColor(platform::ColorFromValue(BackgroundColour));
  });
  AddWindowSizeControls(page);
  Bind(RealBinding(Labelled<Edit>(page, "Edit_textbreitenfaktor", "Textwidth/height"),
                   GraphicsTextWidthFactor, ZeroGives(1.0L)));
  AddPreset(page, "Button_textbreitenfaktor", "Edit_textbreitenfaktor", "0.8");
  Bind(RealBinding(Labelled<Edit>(page, "Edit_texthoehenfaktor", "Text height factor"),
                   TextHeightFactor, ZeroGives(1.0L)));
  AddPreset(page, "Button_texthoehenfaktor", "Edit_texthoehenfaktor", "1");
  Label& font = page.Add<Label>("Label_font");
  Label& style = page.Add<Label>("Label_hstylecode");
  Bind(
      [&font, &style] {
        font.SetCaption(GraphicsFontName);
        style.SetCaption(IntText(GraphicsTextStyle));
      },
      [&font, &style] {
        GraphicsFontName = font.Caption();
        GraphicsTextStyle = static_cast<std::uint16_t>(TextToInt(style.Caption()));
      });
  Label& styleName = page.Add<Label>("Label_hstyle");
  const auto showStyle = [&style, &styleName](std::uint16_t code) {
    style.SetCaption(IntText(code));
    std::string name;
    FontStyleName(code, name);
    styleName.SetCaption(name);
  };
  AddButton(page, "Button_graphicfont", "<", [&font, showStyle] {
    font.SetCaption("Arial");
    showStyle(3);
  });
  const auto chooseFont = [&font, &style, showStyle] {
    const auto code = static_cast<std::uint16_t>(TextToInt(style.Caption()));
    const platform::FontResult chosen = platform::Dialogs().ChooseFont({font.Caption(), 0, code});
    if (!chosen.chosen) return;
    font.SetCaption(chosen.font.face);
    showStyle(chosen.font.style);
  };
  AddButton(page, "Button_font", "Font...", chooseFont);
  for (Label* label : {&font, &style, &styleName}) label->onClick = chooseFont;
  Bind(RealBinding(Labelled<Edit>(page, "Edit_zoomfaktor", "zoom increment"), ZoomIncrement,
                   ZeroGives(1.0L)));
  AddPreset(page, "Button_zoom", "Edit_zoomfaktor", "1.02");
  Bind(RealBinding(Labelled<Edit>(page, "Edit_panfaktor", "pan faktor"), PanFactor));
  AddPreset(page, "Button_pan", "Edit_panfaktor", "0.02");
  Bind(FlagBinding(Check(page, "CheckBox_zoomMouseWheel", "Zoom Mouse Wheel ?"), WheelZoomOn));
  CheckBox& border = Check(page, "CheckBox_umrandung", "Border line");
  Bind([&border] { border.SetChecked(ScreendumpBorder != 0); },
       [&border] { PrintBorder = ScreendumpBorder = border.Checked() ? 1 : 0; });
  Bind(SpinBinding(Labelled<SpinEdit>(page, "SpinEdit_dialogfenster", "dialog window size %"),
                   InputWindowScale, [](std::int32_t n) { return n == 0 ? 100 : n; }));
  Bind(SpinBinding(Labelled<SpinEdit>(page, "SpinEdit_dialogelemente", "Dialog element size %"),
                   DialogScale, [](std::int32_t n) { return n == 0 ? 100 : n; }));
  for (const char* spin : {"SpinEdit_dialogfenster", "SpinEdit_dialogelemente"}) {
    Get<SpinEdit>(spin).SetRange(30, 300);
    Get<SpinEdit>(spin).SetMaxDigits(3);
  }
  AddButton(page, "Button_dialogfenster", "<", [this] {
    // The scale the automatic dialog size gives, shown without taking it over yet.
    const auto kept = std::tuple(InputWindowScale, DialogScale, ScreenSizeCode, DialogSizeCode);
    ScreenSizeCode = 0;
    DialogSizeCode = 1;
    ApplyScreenSize();
    Get<SpinEdit>("SpinEdit_dialogfenster").SetValue(InputWindowScale);
    Get<SpinEdit>("SpinEdit_dialogelemente").SetValue(100);
    std::tie(InputWindowScale, DialogScale, ScreenSizeCode, DialogSizeCode) = kept;
  });
  ComboBox& dialogSize = Combo(page, "ComboBox_dialogwindowSizecode", {"Input", "Auto"});
  const auto showSizes = [this, &dialogSize] {
    const bool input = dialogSize.ItemIndex() == 0;
    for (const char* name :
         {"SpinEdit_dialogfenster", "SpinEdit_dialogelemente", "Label_dialogfenster",
          "Label_dialogelemente", "Button_dialogfenster"}) {
      FindControl(name)->SetVisible(input);
    }
  };
  dialogSize.onChange = showSizes;
  Bind(
      [&dialogSize, showSizes] {
        dialogSize.SetItemIndex(DialogSizeCode);
        showSizes();
      },
      ChoiceBinding(dialogSize, DialogSizeCode).second);
  Bind(FlagBinding(Check(page, "CheckBox_dialogwindowsizeable", "sizeable ?"), SizeableDialogs));
  Bind(FlagBinding(Check(page, "CheckBox_3dxyz", "3D Edit x,y,z"), Edit3DAngles));
  const char* angles[] = {"Edit_3dx", "Edit_3dy", "Edit_3dz"};
  const char* axes[] = {"x \xF8", "y \xF8", "z \xF8"};
  for (std::size_t i = 0; i < 3; ++i) {
    Bind(RealBinding(
        Labelled<Edit>(page, angles[i], axes[i]), ViewAngles3D[i], nullptr,
        [](long double radians) { return RealText(radians / kDegree); },
        [](std::string_view degrees) { return TextToReal(degrees) * kDegree; }));
  }
  // Set, the drawings' stamp is the program text alone; clear, it is date, time, program and file.
  Bind(FlagBinding(Check(page, "CheckBox_zeichfusszeile",
                         "date time - BRELCOR " + ProductCode + " V" + ProgVersion + " - file"),
                   HideFooter, true));
  AddHelpButton(page, "Button_grafikhilfe", 1940);
}

void Tconfig::AddWindowSizeControls(Container& page) {
  Edit& x = Labelled<Edit>(page, "Edit_x", "x");
  Edit& y = Labelled<Edit>(page, "Edit_y", "y");
  x.SetMaxLength(4);
  y.SetMaxLength(4);
  // A side is shown one above its setting; 0 or nothing typed takes the screen's largest.
  const auto side = [](Edit& edit, std::uint16_t& setting, std::int32_t (*largest)()) {
    const auto load = [&edit, &setting] { edit.Fill(IntText(setting + 1)); };
    const auto store = [&edit, &setting, largest] {
      if (edit.Filled()) return;
      const std::int32_t n = std::clamp(TypedInt(edit.Text()).value_or(0) - 1, 0, kLargestPixels);
      setting = static_cast<std::uint16_t>(n == 0 ? largest() : n);
    };
    return NumberBinding{{load, store}, [&edit, load] { return AcceptsWholeNumber(edit, load); }};
  };
  Bind(side(x, HorizontalPixels, &MaxClientWidth));
  Bind(side(y, VerticalPixels, &MaxClientHeight));
  Bind([] {},
       [] {
         if (DrawWindowForm != nullptr) {
           DrawWindowForm->SetClientSize({HorizontalPixels + 1, VerticalPixels + 1});
         }
       });
  x.onExit = [this, &x] { ResizeDrawWindow(x, true); };
  y.onExit = [this, &y] { ResizeDrawWindow(y, false); };
  AddButton(page, "Button_aufloesung", "<", [&x, &y] {
    x.SetText(IntText(MaxClientWidth()));
    y.SetText(IntText(MaxClientHeight()));
    if (DrawWindowForm != nullptr)
      DrawWindowForm->SetClientSize({MaxClientWidth(), MaxClientHeight()});
  });
  AddButton(page, "Button_x", "<", [&x, &y] {
    const std::int32_t wide = RoundHalfEven(TextToInt(y.Text()) * 4.0L / 3);
    if (wide <= MaxClientWidth()) {
      x.SetText(IntText(wide));
    } else {
      x.SetText(IntText(MaxClientWidth()));
      y.SetText(IntText(RoundHalfEven(MaxClientWidth() * 3.0L / 4)));
    }
  });
  AddButton(page, "Button_y", "<", [&x, &y] {
    const std::int32_t high = RoundHalfEven(TextToInt(x.Text()) * 3.0L / 4);
    if (high <= MaxClientHeight()) {
      y.SetText(IntText(high));
    } else {
      y.SetText(IntText(MaxClientHeight()));
      x.SetText(IntText(RoundHalfEven(MaxClientHeight() * 4.0L / 3)));
    }
  });
  ComboBox& code = Combo(page, "ComboBox_screensizecode", {"Input", "max 4:3", "max"});
  const auto enable = [this, &code] {
    const bool input = code.ItemIndex() == 0;
    for (const char* edit : {"Edit_x", "Edit_y"}) Get<Edit>(edit).SetEnabled(input);
    for (const char* button : {"Button_aufloesung", "Button_x", "Button_y"}) {
      Get<Button>(button).SetVisible(input);
    }
  };
  code.onChange = enable;
  Bind(
      [&code, enable] {
        code.SetItemIndex(ScreenSizeCode);
        enable();
      },
      ChoiceBinding(code, ScreenSizeCode).second);
}

void Tconfig::ResizeDrawWindow(Edit& edit, bool width) {
  const std::int32_t n = TypedInt(edit.Text()).value_or(0);
  if (n <= 0 || DrawWindowForm == nullptr) return;
  platform::Size size = DrawWindowForm->ClientSize();
  (width ? size.width : size.height) = n;
  DrawWindowForm->SetClientSize(size);
}

void Tconfig::ChooseMonochrome() {
  if (Get<RadioGroup>("RadioGroup_bildschirmgrafik").ItemIndex() != 1 || BackgroundColour >= 2) {
    return;
  }
  BackgroundColour = kWhite;
  Get<platform::Panel>("Panel_colour").SetColor(platform::ColorFromValue(BackgroundColour));
}

// CAD -----------------------------------------------------------------------------------------

void Tconfig::AddCadPage() {
  platform::TabPage& page = Page("Tab_cad", "CAD");
  Bind(TextBinding(Labelled<Edit>(page, "Edit_cadfont", "Text font"), CadFont));
  Bind(RealBinding(Labelled<Edit>(page, "Edit_cadtextbreite", "Textwidth/height"), CadTextFactor));
  AddPreset(page, "Button_cadtextbreite", "Edit_cadtextbreite", "1");
  Bind(RealBinding(Labelled<Edit>(page, "Edit_cadtextwinkel", "Font angle"), CadFontAngle));
  AddPreset(page, "Button_cadtextwinkel", "Edit_cadtextwinkel", "0");
  Bind(FlagBinding(Check(page, "CheckBox_diagrammgrenzen", "Enter limits of diagrams"),
                   EnterDiagramLimits));
  SpinEdit& decimals =
      Labelled<SpinEdit>(page, "SpinEdit_dxfdec", "Digits for floating point numbers DXF, TXT");
  decimals.SetRange(3, 16);
  decimals.SetMaxDigits(2);
  Bind(SpinBinding(decimals, CadDecimals));
  AddButton(page, "Button_dxfdec", "<", [&decimals] { decimals.SetValue(6); });
  Bind(RealBinding(Labelled<Edit>(page, "Edit_dxfscale", "Scale DXF, TXT"), CadUnitFactor,
                   ZeroGives(1.0L), [](long double x) { return RealTextPrec(-3, x); }));
  AddPreset(page, "Button_dxfscale", "Edit_dxfscale", "1");
  Bind(ChoiceBinding(Radio(page, "radiogroupcadtexttyp", "Text Type",
                           {"OEM (ASCII)", "ANSI", "\x8E->Ae, \xE1->ss..."}),
                     CadTextMode, 1));
  Bind(FlagBinding(Check(page, "CheckBox_3Dto2D", "3D->2D DXF/IGES"), Drawing3D, true));
  Bind(FlagBinding(Check(page, "CheckBox_execCadFile", "Exec CAD App ?"), OpenAfterExport));
  Bind(FlagBinding(Check(page, "CheckBox_japolyArcToLines", "Polyline Arc -> Lines ?"),
                   ArcsAsSegments));
  Bind(RealBinding(Labelled<Edit>(page, "Edit_resolutionArcToLines", "precision"), ArcResolution));
  AddPreset(page, "Button_resolutionArcToLines", "Edit_resolutionArcToLines", "0.1");
  Bind(ChoiceBinding(Combo(page, "ComboBox_cadstltype", "STL Type", {"Binary", "ASCII"}), StlType));
  Bind(FlagBinding(Check(page, "CheckBox_jastlinvers", "STL Dir invers"), StlInverse));
  const auto length = [&](const char* edit, const char* button, const char* caption,
                          long double& value, Repair repair, const char* preset) {
    Bind(RealBinding(Labelled<Edit>(page, edit, caption), value, std::move(repair), LengthText,
                     TextToLength));
    AddPreset(page, button, edit, preset);
  };
  length("Edit_zslice", "Button_zslice", "z slice", ZSlice, ZeroGives(0.1L), "0.1");
  length("Edit_fitclearancebore", "Button_fitclearancebore", "STL fit clearance bore",
         FitClearanceBore, nullptr, "0.1");
  length("Edit_fitclearanceshaft", "Button_fitclearanceshaft", "STL fit clearance shaft",
         FitClearanceShaft, nullptr, "0.05");
  AddLayerGrid(page);
  Bind(FlagBinding(Check(page, "CheckBox_layermonochrom", "Layer Monochrome ?"), MonochromeLayers));
  AddHelpButton(page, "Button_helpcad", 1920);
  AddHelpButton(page, "Button_layerhilfe", 1910);
}

void Tconfig::AddLayerGrid(Container& page) {
  StringGrid& grid = page.Add<StringGrid>("StringGrid_layer");
  grid.SetSize(4, 6);
  grid.SetEditable(true);
  grid.SetCell(1, 0, "Layer");
  grid.SetCell(2, 0, "Colour");
  grid.SetCell(3, 0, "pen width");
  const char* kinds[] = {"continuous line      0.50 mm", "continuous line      0.35 mm",
                         "continuous line      0.25 mm", "dashed line          0.25 mm",
                         "center line          0.25 mm"};
  for (std::int32_t row = 1; row <= 5; ++row) {
    const auto layer = static_cast<std::size_t>(6 - row);
    grid.SetCell(0, row, kinds[row - 1]);
    Bind([&grid, row, layer] { grid.SetCell(1, row, LayerNames[layer]); },
         [&grid, row, layer] { LayerNames[layer] = grid.Cell(1, row); });
    Bind(CellBinding(grid, 2, row, LayerColours[layer]));
    Bind(CellBinding(grid, 3, row, LayerLineWidths[layer]));
  }
  struct Reset {
    const char* button;
    std::int32_t row;
    const char* name;
    const char* colour;
    const char* width;
  };
  for (const Reset& r :
       {Reset{"Button_layer1", 5, "1", "2", "1"}, Reset{"Button_layer2", 4, "2", "2", "1"},
        Reset{"Button_layer3", 3, "3", "2", "1"}, Reset{"Button_layer4", 2, "4", "3", "2"},
        Reset{"Button_layer5", 1, "5", "1", "3"}}) {
    AddButton(page, r.button, "<", [&grid, r] {
      grid.SetCell(1, r.row, r.name);
      grid.SetCell(2, r.row, r.colour);
      grid.SetCell(3, r.row, r.width);
    });
  }
  AddButton(page, "Button_selectlayercolor", "Colour", [this] { PickLayerColour(); });
}

void Tconfig::PickLayerColour() {
  StringGrid& grid = Get<StringGrid>("StringGrid_layer");
  const std::int32_t row = grid.Row();
  if (row < 1) return;
  const CadColour colour = PickCadColour({TextToInt(grid.Cell(2, row))});
  grid.SetCell(2, row, IntText(colour.number));
}

// Colour --------------------------------------------------------------------------------------

void Tconfig::AddColourPage() {
  platform::TabPage& page = Page("Tab_color", "Colour");
  StringGrid& grid = page.Add<StringGrid>("StringGrid_color");
  grid.SetSize(3, 17);
  grid.SetEditable(true);
  grid.SetCell(1, 0, "Colour");
  grid.SetCell(2, 0, "pen width");
  for (std::int32_t row = 1; row <= 16; ++row) {
    grid.SetCell(0, row, IntText(15 + row));
    Bind(CellBinding(grid, 1, row, PenColours[static_cast<std::size_t>(row)]));
    Bind(CellBinding(grid, 2, row, PenWidths[static_cast<std::size_t>(row)]));
  }
  for (const char* width : {"1", "2", "3"}) {
    AddButton(page, (std::string("Button_dick") + width).c_str(),
              (std::string("pen width =") + width).c_str(), [&grid, width] {
                for (std::int32_t row = 1; row <= 16; ++row) grid.SetCell(2, row, width);
              });
  }
  AddButton(page, "Button_selectcolor", "Colour", [this] { PickPenColour(); }).SetVisible(false);
  for (std::size_t i = 0; i < 16; ++i) {
    platform::Panel& panel =
        page.Add<platform::Panel>("Panel_color" + IntText(static_cast<std::int32_t>(i)));
    panel.SetCaption("Colour");
    panel.SetVisible(i > 0);
    panel.onClick = [&panel] {
      const platform::ColorResult chosen =
          platform::Dialogs().ChooseColor(platform::ColorValue(panel.GetColor()));
      if (chosen.chosen) panel.SetColor(platform::ColorFromValue(chosen.color));
    };
    Bind([&panel, i] { panel.SetColor(platform::ColorFromValue(Palette[i])); },
         [&panel, i] { Palette[i] = platform::ColorValue(panel.GetColor()); });
  }
  AddButton(page, "Button_resetcolor", "<", [this] {
    const auto& defaults = DefaultPalette();
    for (std::size_t i = 0; i < 16; ++i) {
      Get<platform::Panel>("Panel_color" + IntText(static_cast<std::int32_t>(i)))
          .SetColor(platform::ColorFromValue(defaults[i]));
    }
  });
  AddHelpButton(page, "Button_colorhilfe", 1555);
}

void Tconfig::PickPenColour() {
  StringGrid& grid = Get<StringGrid>("StringGrid_color");
  if (grid.Col() != 1 || grid.Row() < 1) return;
  const CadColour colour = PickCadColour({TextToInt(grid.Cell(1, grid.Row()))});
  grid.SetCell(1, grid.Row(), IntText(colour.number));
}

// Printer and printout ------------------------------------------------------------------------

void Tconfig::AddPrinterPage() {
  platform::TabPage& page = Page("Tab_drucker", "Printer");
  Bind(RealBinding(Labelled<Edit>(page, "Edit_printscale", "Scale x"), ScreendumpScale));
  AddPreset(page, "Button_printscalex1", "Edit_printscale", "1.0");
  Bind(RealBinding(Labelled<Edit>(page, "Edit_printscaley", "Scale y"), PrintScaleVertical));
  AddButton(page, "Button_scaleyx", "<",
            [this] { Get<Edit>("Edit_printscaley").SetText(Get<Edit>("Edit_printscale").Text()); });
  Bind(IntEditBinding(Labelled<Edit>(page, "Edit_printxorigin", "x"), ScreendumpOrigin[0]));
  AddPreset(page, "Button_printxorigin", "Edit_printxorigin", "0");
  Bind(IntEditBinding(Labelled<Edit>(page, "Edit_printyorigin", "y"), ScreendumpOrigin[1]));
  AddPreset(page, "Button_printyorigin", "Edit_printyorigin", "0");
  Bind(ChoiceBinding(
      Radio(page, "RadioGroup_printmono", "shading", {"Monochrome", "Color / grey-scale"}),
      WinPrintMode, 1));
  Bind(ChoiceBinding(Radio(page, "RadioGroup_orientation", "Printout", {"Portrait", "Landscape"}),
                     PrinterOrientation, 1));
  CheckBox& dialog = Check(page, "CheckBox_printerDialogbox", "Show output code dialogue box");
  dialog.SetVisible(false);
  Bind(FlagBinding(dialog, PrintDialogOn));
  Bind(
      FlagBinding(Check(page, "CheckBox_defaultprinter", "Default printer"), NoPrinterQuery, true));
  AddHelpButton(page, "Button_helpprint", 1935);
}

void Tconfig::AddPrintoutPage() {
  platform::TabPage& page = Page("Tab_textdruck", "Printout");
  Bind(ChoiceBinding(Combo(page, "ComboBox_lpt", "LPT-Interface for text printing",
                           {"LPT1", "LPT2", "LPT3", "LPT4"}),
                     PrinterInterface, 1));
  Bind(ChoiceBinding(Radio(page, "RadioGroup_trenn", "Select linetype",
                           {"lines  ---- ====  ****", "lines  \xC4\xC4\xC4\xC4 \xCD\xCD\xCD\xCD",
                            "blanks and empty lines", "compressed, without space lines"}),
                     PrintoutStyle, 1));
  Bind(SpinBinding(
      Labelled<SpinEdit>(page, "SpinEdit_linesperpage", "Max. lines per page for printer"),
      LinesPerPage));
  Get<SpinEdit>("SpinEdit_linesperpage").SetRange(1, 999);
  Get<SpinEdit>("SpinEdit_linesperpage").SetMaxDigits(3);
  Bind(SpinBinding(Labelled<SpinEdit>(page, "SpinEdit_spacelines", "header space lines"),
                   HeaderSpaceLines));
  Get<SpinEdit>("SpinEdit_spacelines").SetRange(0, 30);
  Get<SpinEdit>("SpinEdit_spacelines").SetMaxDigits(2);
  Bind(ChoiceBinding(Radio(page, "RadioGroup_date", "date",
                           {"DD.MM.YYYY", "MM/DD/YYYY", "YYYY-MM-DD", "DD/MM/YYYY"}),
                     DateCode, 1));
  OpenReport(90, "");
  std::vector<std::string> devices(ChoiceTexts.begin() + 1, ChoiceTexts.begin() + 8);
  Bind(ChoiceBinding(Combo(page, "ComboBox_ausdruckdefault", "output code", devices), TextDevice,
                     1));
  Bind(FlagBinding(Check(page, "CheckBox_ausdruckshowdialog", "Show output code dialogue box"),
                   TextDeviceWindow));
  const std::int32_t screenHeight = platform::PrimaryScreen().size.height;
  const auto within = [](std::int32_t low, std::int32_t high, std::int32_t fallback) {
    return [=](std::int32_t n) { return n < low || n > high ? fallback : n; };
  };
  Bind(IntEditBinding(Labelled<Edit>(page, "Edit_left", "left"), TextWindowRect[0],
                      within(0, 1000, 10)));
  Bind(IntEditBinding(Labelled<Edit>(page, "Edit_top", "top"), TextWindowRect[1],
                      within(0, 450, 40)));
  Bind(IntEditBinding(Labelled<Edit>(page, "Edit_width", "width"), TextWindowRect[2],
                      within(50, 1000, 700)));
  Bind(IntEditBinding(Labelled<Edit>(page, "Edit_height", "height"), TextWindowRect[3],
                      [this, screenHeight](std::int32_t n) {
                        return n < 50 || n > screenHeight
                                   ? TextToInt(Get<Edit>("Edit_y").Text()) - 20
                                   : n;
                      }));
  AddButton(page, "Button_Textwindow", "<", [this] {
    std::int32_t kept[4];
    std::copy(TextWindowRect, TextWindowRect + 4, kept);
    TextWindowDefaults();
    const std::int32_t width = TextWindowRect[2] == 0 ? 700 : TextWindowRect[2];
    Get<Edit>("Edit_left").SetText("20");
    Get<Edit>("Edit_top").SetText("40");
    Get<Edit>("Edit_width").SetText(IntText(width));
    Get<Edit>("Edit_height").SetText(IntText(TextWindowRect[3]));
    std::copy(kept, kept + 4, TextWindowRect);
  });
  ComboBox& sizeCode = Combo(page, "ComboBox_textwindowsizecode", "Text window", {"Input", "Auto"});
  const auto enable = [this, &sizeCode] {
    const bool input = sizeCode.ItemIndex() == 0;
    for (const char* edit : {"Edit_left", "Edit_top", "Edit_width", "Edit_height"}) {
      Get<Edit>(edit).SetEnabled(input);
    }
    Get<Button>("Button_Textwindow").SetVisible(input);
  };
  sizeCode.onChange = enable;
  Bind(
      [&sizeCode, enable] {
        sizeCode.SetItemIndex(TextWindowSizeCode);
        enable();
      },
      ChoiceBinding(sizeCode, TextWindowSizeCode).second);
  std::vector<std::string> units(UnitSystemNames.begin(), UnitSystemNames.end());
  Bind(ChoiceBinding(Combo(page, "ComboBox_unit", "Unit", units), UnitSystem, 0, true));
  Bind(ChoiceBinding(
      Radio(page, "RadioGroup_ff", "text printout", {"with header", "header only page 1"}),
      HeaderMode, 1));
  Label& font = page.Add<Label>("Label_courier");
  Label& size = page.Add<Label>("Label_couriersize");
  Label& style = page.Add<Label>("Label_courierstyle");
  AddButton(page, "Button_textfont", "Font..", [&font, &size, &style] {
    const platform::FontResult chosen =
        platform::Dialogs().ChooseFont({font.Caption(), TextToInt(size.Caption()),
                                        static_cast<std::uint16_t>(TextToInt(style.Caption()))});
    if (!chosen.chosen) return;
    font.SetCaption(chosen.font.face);
    size.SetCaption(IntText(chosen.font.size));
    style.SetCaption(IntText(chosen.font.style));
  });
  Bind(
      [&font, &size, &style] {
        font.SetCaption(PrintFontName);
        size.SetCaption(IntText(PrintFontSize));
        style.SetCaption(IntText(PrintFontStyle));
      },
      [&font, &size, &style] {
        PrintFontName = font.Caption();
        PrintFontSize = static_cast<std::uint16_t>(TextToInt(size.Caption()));
        PrintFontStyle = static_cast<std::uint16_t>(TextToInt(style.Caption()));
      });
  Bind(ChoiceBinding(Radio(page, "RadioGroup_ausgrad", "Angle", {"15.1234\xF8", "15\xF8 7' 26\""}),
                     AngleFormat, 1));
  AddHelpButton(page, "Button_helpausdruck", 1930);
}

// Settings ------------------------------------------------------------------------------------

void Tconfig::AddSettingsPage() {
  platform::TabPage& page = Page("Tab_einstellung", "Settings");
  Bind(ChoiceBinding(
      Radio(page, "RadioGroup_hilfegrad", "Help level",
            {"0 : No info window", "1 : default help level", "2 : extended help, single input"}),
      HelpLevel));
  Bind(FlagBinding(Check(page, "CheckBox_usereingabe", "Enter user at start of program"),
                   EnterPassword));
  Bind(ChoiceBinding(
      Radio(page, "RadioGroup_punktkomma", "Decimal sign CAD->TXT ", {"x.xx", "x,xx"}), DecimalMark,
      1));
  RadioGroup& excel =
      Radio(page, "RadioGroup_ExcelDot", "Decimal sign Excel", {"English x.xx", "German x,xx"});
  excel.SetVisible(false);
  Bind(ChoiceBinding(excel, ExcelDecimalMark, 1));
  Bind(ChoiceBinding(
      Labelled<ComboBox>(page, "ComboBox_precision", "digits for floating point numbers +/-"),
      FloatDigits, 2));
  Get<ComboBox>("ComboBox_precision").SetItems({"-1", "0", "+1", "+2", "+3"});
  Bind(FlagBinding(Check(page, "CheckBox_archivmode", "Archive flag ?"), ArchiveFlag));
  Bind(FlagBinding(Check(page, "CheckBox_aktuellfile", "actual." + FileExt + " ?"), HideCurrentFile,
                   true));
  Bind(ChoiceBinding(
      Radio(page, "RadioGroup_chars", "Special characters", {"\xFD  \xE6  \xF8", "2  u  deg"}),
      TextCharMode));
  Bind(FlagBinding(Check(page, "CheckBox_hidewarnings", "Suppress hints and warnings"), SqrtQuiet));
  Bind(ChoiceBinding(Radio(page, "RadioGroup_ergebnisgrafik", "Result Screen",
                           {"default", "Quick 1", "Quick 3", "Production drawing", "Diagram",
                            "Drawing", "Quick 4"}),
                     DefaultView));
  Bind(FlagBinding(Check(page, "CheckBox_saveMenuLanguage", "Save Menu Language ?"),
                   SaveMenuLanguage));
}

// External ------------------------------------------------------------------------------------

void Tconfig::AddExternalPage() {
  platform::TabPage& page = Page("Tab_extern", "external");
  platform::ListBox& lines =
      Labelled<platform::ListBox>(page, "ListBox_penwerk", "PENWERK Command Lines");
  auto shown = std::make_shared<std::vector<std::string>>();
  Bind(
      [&lines, shown] {
        *shown = {PlotCommandLines.Lines.begin() + 1, PlotCommandLines.Lines.end()};
        lines.SetItems(*shown);
      },
      [&lines, shown] {
        const std::vector<std::string> items = lines.Items();
        PlotCommandLines.Count = StoredPlotLineCount(items, *shown, PlotCommandLines.Count);
        for (std::size_t i = 0; i < 5; ++i) PlotCommandLines.Lines[i + 1] = items[i];
      });
  lines.onDoubleClick = [this] { EditPlotLine(true); };
  AddButton(page, "Button_confpenwerk", "Config", [this] { EditPlotLine(true); });
  AddButton(page, "Button_editpenwerkcommandline", "Edit", [this] { EditPlotLine(false); });
  // Programs are files of any name here, not only "*.exe".
  const auto program = [&](const char* edit, const char* button, const char* caption,
                           std::string& value, std::string mask, bool visible) {
    Edit& field = Labelled<Edit>(page, edit, caption);
    field.SetVisible(visible);
    FindControl(CaptionName(edit))->SetVisible(visible);
    Bind(TextBinding(field, value));
    AddButton(page, button, "...", [&field, mask] {
      std::string file;
      SelectFile(field.Text(), mask, file);
      if (AbortFlag == 0) field.SetText(file);
      AbortFlag = 0;
    }).SetVisible(visible);
  };
  program("Edit_externtxt", "Button_externtxt", "word processor", WordProcessor, "*", false);
  program("Edit_externhtml", "Button_externhtml", "HTML Browser", HtmlBrowser, "*", false);
  program("Edit_handbuchdir", "Button_handbuchdir", (" E-Manual (" + ShortName + ".htm)").c_str(),
          ManualDir, ShortName + ".htm", true);
}

void Tconfig::EditPlotLine(bool withOptionsForm) {
  platform::ListBox& lines = Get<platform::ListBox>("ListBox_penwerk");
  if (!withOptionsForm && lines.ItemIndex() < 0) return;
  const std::int32_t index = std::max(lines.ItemIndex(), 0);
  std::vector<std::string> items = lines.Items();
  std::string& line = items[static_cast<std::size_t>(index)];
  AbortFlag = 0;
  if (withOptionsForm) {
    TForm_confpenwerk form;
    form.CommandLine = line;
    form.ShowModal();
    if (AbortFlag == 0) line = form.CommandLine;
  } else {
    std::string text = line;
    InputText("PENWERK Command Line", 80, text);
    if (AbortFlag == 0) line = text;
  }
  AbortFlag = 0;
  lines.SetItems(std::move(items));
  lines.SetItemIndex(index);
}

// Drawing -------------------------------------------------------------------------------------

void Tconfig::AddDrawingPage() {
  platform::TabPage& page = Page("Tab_zeichnung", "Drawing");
  const auto hide = [&](const char* name, const std::string& caption, std::uint8_t& flag) {
    Bind(FlagBinding(Check(page, name, caption), flag, true));
  };
  hide("CheckBox_zeichbrelcortitel", "BRELCOR " + ProductCode + " V" + ProgVersion, HideMakerLine);
  hide("CheckBox_zeichfilename", "file name " + FileExt + " ?", HideFileName);
  hide("CheckBox_zeichdatum", "date and time", HideDate);
  hide("CheckBox_zeichlogo", "$logo_1.dx$ ?  (logo)", HideLogo);
  hide("CheckBox_zeichnungskopf", "Production drawing with header", HideDrawingHead);
  ComboBox& head = Labelled<ComboBox>(page, "ComboBox_zeichnkopf", "Drawing with header");
  head.SetItems({"DIN 6771 min.", "ISO 7200 Fig.1", "ISO 7200 Fig.2", "DIN 6771"});
  head.onChange = [this] { ShowForTitleBlock(); };
  Bind(ChoiceBinding(head, TitleBlockStandard));
  Edit& approval = Labelled<Edit>(page, "Edit_freigabefeld", "Drawing approved");
  Bind([&approval] { approval.Fill(ToDisplayText(ApprovalFieldText)); },
       [&approval] {
         if (!approval.Filled()) ApprovalFieldText = FromDisplayText(approval.Text());
       });
  AddPreset(page, "Button_freigabefeld", "Edit_freigabefeld", "App");
  Bind(ChoiceBinding(Labelled<ComboBox>(page, "ComboBox_index", "Index"), RevisionIndexStyle, 0,
                     true));
  Get<ComboBox>("ComboBox_index").SetItems({"a,b,c...", "1,2,3...", "A,B,C...", "....."});
  Bind(RealBinding(Labelled<Edit>(page, "Edit_massfaktorconfig", "Size coeff."), DimArrowBase,
                   [](long double x) { return x < 0.01L ? 1.0L : x; }));
  AddPreset(page, "Button_massfaktorconfig", "Edit_massfaktorconfig", "1.0");
  hide("CheckBox_copyrightvermerk", "Copyright notice", HideProtectionNote);
  ComboBox& border = Labelled<ComboBox>(page, "ComboBox_7200rand", "sheet border");
  border.SetItems({"5 mm", "10 mm"});
  border.onChange = [this] { ShowForTitleBlock(); };
  Bind(ChoiceBinding(border, SheetBorderCode));
  hide("CheckBox_abc123", "ABCD-1234  Border line", HideZoneMarks);
  hide("CheckBox_mmscale", "mm Scale  Border line", HideMmScale);
  Bind(FlagBinding(Check(page, "CheckBox_aenderungen", "Show modifications ? "), ShowChanges));
  Bind(FlagBinding(Check(page, "CheckBox_zeichhead034", "$head_0.dx$, $head_3.dx$, $head_4.dx$ ?"),
                   UseHeadBlocks));
  Bind(FlagBinding(
      Check(page, "CheckBox_zeichinsert034", "$insert_0.dx$, $insert_3.dx$, $insert_4.dx$ ?"),
      UseInsertBlocks));
  Bind(FlagBinding(Check(page, "CheckBox_Neindrawcoordcross3d", "3D w/o coordinate system"),
                   NoCoordCross3D));
  Bind(FlagBinding(Check(page, "CheckBox_aendkopfindex0", "ISO 7200 Rev. 0ABC <> ABCD"),
                   RevisionFromZero));
  AddButton(page, "Button_export", "Export", [this] { Export(); });
}

void Tconfig::ShowForTitleBlock() {
  ComboBox& head = Get<ComboBox>("ComboBox_zeichnkopf");
  ComboBox& border = Get<ComboBox>("ComboBox_7200rand");
  const bool din = head.ItemIndex() == 0 || head.ItemIndex() == 3;
  for (const char* name : {"Edit_freigabefeld", "Label_freigabefeld", "Button_freigabefeld",
                           "ComboBox_index", "Label_index"}) {
    FindControl(name)->SetVisible(din);
  }
  if (din) border.SetItemIndex(0);
  border.SetEnabled(!din);
  Get<CheckBox>("CheckBox_aenderungen").SetVisible(!din);
  Get<CheckBox>("CheckBox_aendkopfindex0").SetVisible(!din);
  const bool wide = border.ItemIndex() == 1;
  Get<CheckBox>("CheckBox_abc123").SetVisible(wide);
  Get<CheckBox>("CheckBox_mmscale").SetVisible(wide);
}

// Buttons and tips ----------------------------------------------------------------------------

void Tconfig::AddFormButtons() {
  AddButton(*this, "Button_ok", "OK", [this] {
    if (!ControlsAccepted()) return;
    StoreControls();
    DbfWriteChecked = 0;
    SetModalResult(platform::ModalResult::Ok);
  }).SetDefault(true);
  Button& cancel = AddButton(*this, "Button_cancel", "Cancel", nullptr);
  cancel.SetCancel(true);
  cancel.SetModalResult(platform::ModalResult::Cancel);
  AddButton(*this, "Button_save", "&Save", [this] {
    AbortFlag = 0;
    if (!ControlsAccepted()) return;
    StoreControls();
    WriteConfig();
  });
  AddButton(*this, "Button_import", "Import", [this] { Import(); });
}

void Tconfig::Import() {
  AbortFlag = 0;
  platform::FileRequest request;
  request.kind = platform::DialogKind::OpenFile;
  request.folder = ConfigDir;
  request.filters = {{"*.cfg", "*.cfg"}};
  const platform::FileResult chosen = platform::Dialogs().ChooseFile(request);
  if (!chosen.chosen) {
    AbortFlag = 1;
    return;
  }
  // Exactly the chosen file: a file that cannot be read gives what a missing configuration gives.
  if (!ReadConfigFile(chosen.path)) {
    ScreenDefaultsWithoutConfig();
    AbortFlag = 1;
  }
  LoadControls();
}

void Tconfig::Export() {
  if (!ControlsAccepted()) return;
  StoreControls();
  platform::FileRequest request;
  request.kind = platform::DialogKind::SaveFile;
  request.folder = ConfigDir;
  request.filters = {{"*.cfg", "*.cfg"}};
  const platform::FileResult chosen = platform::Dialogs().ChooseFile(request);
  if (!chosen.chosen || NameWithoutExt(chosen.path).empty()) {
    AbortFlag = 1;
    return;
  }
  const std::string keptName = ShortName;
  ShortName = NameWithoutExt(chosen.path);
  WriteConfigFile(DirOfPath(chosen.path) + ShortName + ".cfg");
  ShortName = keptName;
}

void Tconfig::SetTips() {
  struct Tip {
    std::uint16_t number;
    const char* control;
  };
  static const Tip kTips[] = {{1570, "Label_dircad"},
                              {1575, "CheckBox_dbftemp"},
                              {1590, "Label_dirplt"},
                              {1595, "Label_diredi"},
                              {1600, "Label_dirdbf"},
                              {1605, "Label_dirworking"},
                              {1610, "Label_dirtemp"},
                              {1615, "Label_dirdata"},
                              {1830, "Label_direxe"},
                              {1670, "RadioGroup_bildschirmgrafik"},
                              {1710, "Label_x"},
                              {1800, "Label_zoomfaktor"},
                              {1810, "Label_panfaktor"},
                              {1730, "Label_textbreitenfaktor"},
                              {1730, "Label_texthoehenfaktor"},
                              {1730, "Label_cadtextbreite"},
                              {1725, "Label_dialogfenster"},
                              {1725, "Label_dialogelemente"},
                              {1720, "Label_cadfont"},
                              {1740, "Label_cadtextwinkel"},
                              {1960, "CheckBox_diagrammgrenzen"},
                              {1980, "Label_dxfdec"},
                              {1990, "Label_dxfscale"},
                              {1715, "CheckBox_3Dto2D"},
                              {1735, "CheckBox_execCadFile"},
                              {1300, "CheckBox_japolyArcToLines"},
                              {1305, "Label_resolutionArcToLines"},
                              {1310, "Label_cadstltype"},
                              {1315, "Label_zslice"},
                              {1815, "CheckBox_zoomMouseWheel"},
                              {1585, "CheckBox_layermonochrom"},
                              {1755, "RadioGroup_punktkomma"},
                              {1580, "RadioGroup_hilfegrad"},
                              {1750, "Label_precision"},
                              {1500, "CheckBox_usereingabe"},
                              {2530, "CheckBox_archivmode"},
                              {2535, "CheckBox_aktuellfile"},
                              {2545, "CheckBox_hidewarnings"},
                              {2820, "RadioGroup_ergebnisgrafik"},
                              {2500, "Label_externtxt"},
                              {2550, "Label_handbuchdir"},
                              {2540, "Label_7200rand"}};
  for (const Tip& tip : kTips) {
    std::string text;
    if (HelpLevel > 0) HelpEntryLine(tip.number, text);
    if (platform::Control* control = FindControl(tip.control)) control->SetHint(text);
  }
}

void ConfigureSettings() {
  AbortFlag = 0;
  {
    Tconfig form;
    form.ShowModal();
  }
  if (DrawWindow != nullptr) DrawWindow->FormPaint();
}
