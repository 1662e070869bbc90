// The configuration form, scripted: an untouched OK keeps every bit of every setting, each kind
// of control stores what the user chose with its inversions and repairs, the dependent
// visibility, Cancel after the immediate changes, Save, Import and Export by path, the tips, the
// plot command lines and the colour picker.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/config/selectcolor.h"
#include "app/config/tconfig.h"
#include "app/main/configfile.h"
#include "app/main/programidentity.h"
#include "base/dialogs/formplace.h"
#include "base/draw/hgvar.h"
#include "base/settings/wprinvar.h"
#include "cad/layer/cadvar.h"
#include "tests/app/documentationfixture.h"
#include "tests/support/scopedvariable.h"

namespace {

using platform::CheckBox;
using platform::ComboBox;
using platform::Edit;
using platform::Form;
using platform::RadioGroup;
using platform::StringGrid;
using Lines = std::vector<std::string>;

// The reals whose every bit an untouched form must keep.
std::vector<long double> Reals() {
  return {ZoomIncrement,    PanFactor,         GraphicsTextWidthFactor,
          TextHeightFactor, ViewAngles3D[0],   ViewAngles3D[1],
          ViewAngles3D[2],  CadTextFactor,     CadFontAngle,
          CadUnitFactor,    ArcResolution,     ZSlice,
          FitClearanceBore, FitClearanceShaft, DimArrowBase,
          ScreendumpScale,  PrintScaleVertical};
}

class ConfigFormTest : public DocumentationTest {
 protected:
  ConfigFormTest() {
    InitGraphicsSettings();
    InitCadDefaults();
    SetProgramIdentity();
    ConfigDir = dir_ + "/";
  }

  // Every setting away from its default, the reals with more digits than the form shows.
  static void SetEverythingOdd(std::uint16_t units) {
    UnitSystem = units;
    ZoomIncrement = 1.0123456789L;
    PanFactor = 0.0333333333L;
    GraphicsTextWidthFactor = 0.777777777L;
    TextHeightFactor = 1.1111111111L;
    ViewAngles3D = {0.1234567L, 0.3L, -0.7L};
    CadTextFactor = 0.9090909L;
    CadFontAngle = 12.3456789L;
    CadUnitFactor = 25.4L;
    ArcResolution = 0.0123456L;
    ZSlice = 0.333333L;
    FitClearanceBore = 0.127L;
    FitClearanceShaft = 0.0508L;
    DimArrowBase = 1.23456789L;
    ScreendumpScale = 1.0 / 3;
    PrintScaleVertical = 2.0 / 3;
    HorizontalPixels = 1001;
    VerticalPixels = 701;
    TextWindowRect[0] = 15;
    TextWindowRect[1] = 33;
    TextWindowRect[2] = 650;
    TextWindowRect[3] = 480;
    LinesPerPage = 66;
    HeaderSpaceLines = 3;
    InputWindowScale = 120;
    DialogScale = 90;
    CadDecimals = 8;
    TextDevice = 3;
    FloatDigits = 4;
    StlType = 1;
    DefaultView = 2;
    HideMakerLine = 1;
    Drawing3D = 0;
    NoPrinterQuery = 1;
    HideFooter = 1;
    PrintBorder = ScreendumpBorder = 1;
    ApprovalFieldText =
        "Gepr\x81"
        "ft";
    LayerNames[2] = "contour";
    LayerColours[4] = 9;
    PenColours[2] = 7;
    PenWidths[16] = 3;
    Palette[3] = 0x123456;
    BackgroundColour = 0x202020;
    PlotCommandLines.Lines[2] = "penwerk -x";
    TitleBlockStandard = 1;
    SheetBorderCode = 1;
    ShowChanges = 1;
    WheelZoomOn = 1;
    HelpLevel = 2;
  }

  void InConfig(std::function<void(Tconfig&)> act) {
    InForm([act](Form& form) { act(dynamic_cast<Tconfig&>(form)); });
  }
  static void Choose(Form& form, const char* name, std::int32_t index) {
    if (auto* radio = form.Find<RadioGroup>(name)) {
      radio->Choose(index);
    } else {
      form.Get<ComboBox>(name).Choose(index);
    }
  }
  static void Click(Form& form, const char* name) { form.Get<CheckBox>(name).Click(); }
};

TEST_F(ConfigFormTest, AnUntouchedOkChangesNoBitInEitherUnitSystem) {
  for (std::uint16_t units : {std::uint16_t{0}, std::uint16_t{1}}) {
    SetEverythingOdd(units);
    const Lines lines = ConfigFileLines();
    const std::vector<long double> reals = Reals();
    InConfig([](Tconfig& form) { Press(form, "Button_ok"); });
    ConfigureSettings();
    EXPECT_EQ(ConfigFileLines(), lines) << units;
    EXPECT_EQ(Reals(), reals);
  }
}

TEST_F(ConfigFormTest, SaveWritesWhatTheConfigurationWriterWrites) {
  SetEverythingOdd(0);
  InConfig([](Tconfig& form) {
    Type(form, "Edit_zoomfaktor", "1.5");
    Press(form, "Button_save");
    Press(form, "Button_cancel");
  });
  ConfigureSettings();
  EXPECT_EQ(ZoomIncrement, 1.5L);
  std::string expected;
  for (const std::string& line : ConfigFileLines()) expected += line + "\r\n";
  EXPECT_EQ(Read("kv6.cfg"), expected);
}

TEST_F(ConfigFormTest, EachKindOfControlStoresTheUsersChoice) {
  SetEverythingOdd(0);
  DialogSizeCode = 0;
  InConfig([](Tconfig& form) {
    EXPECT_EQ(form.Caption(), "KV6 Configuration");
    EXPECT_EQ(form.Get<ComboBox>("ComboBox_precision").Text(), "+1");  // FloatDigits 4
    Choose(form, "ComboBox_precision", 0);
    Type(form, "Edit_zslice", "0");
    Type(form, "Edit_massfaktorconfig", "0.005");
    Type(form, "Edit_3dx", "90");
    form.Get<platform::SpinEdit>("SpinEdit_dialogfenster").TypeValue(0);
    form.Get<platform::SpinEdit>("SpinEdit_linesperpage").TypeValue(7212);  // 3 digits: 721
    form.Get<platform::SpinEdit>("SpinEdit_spacelines").TypeValue(123);     // 2 digits: 12
    form.Get<StringGrid>("StringGrid_color").TypeCell(1, 1, "11");
    Choose(form, "RadioGroup_date", 2);
    Choose(form, "ComboBox_unit", 1);
    Type(form, "Edit_cadfont", "isocp");
    Press(form, "Button_ok");
  });
  ConfigureSettings();
  EXPECT_EQ(FloatDigits, 2);
  EXPECT_EQ(ZSlice, 0.1L);
  EXPECT_EQ(DimArrowBase, 1.0L);
  EXPECT_NEAR(static_cast<double>(ViewAngles3D[0]), 1.5707963267948966, 1e-15);
  EXPECT_EQ(InputWindowScale, 30);  // the spin edit's range keeps 0 from it
  EXPECT_EQ(LinesPerPage, 721);
  EXPECT_EQ(HeaderSpaceLines, 12);
  EXPECT_EQ(PenColours[1], 11);
  EXPECT_EQ(DateCode, 3);
  EXPECT_EQ(UnitSystem, 1);
  EXPECT_EQ(CadFont, "isocp");
  EXPECT_EQ(DbfWriteChecked, 0);
}

// Text that is not a number is refused with the range message before anything is stored, and
// the control shows its setting again.
TEST_F(ConfigFormTest, TextThatIsNoNumberIsRefusedAndShowsTheSettingAgain) {
  const std::string reals = "Valid Data are: -100000000000.0 .. 100000000000.0 !";
  const std::string wholes = "Valid Data are: -2147483648 .. 2147483647 !";
  const std::tuple<const char*, std::string> fields[] = {
      {"Edit_zoomfaktor", reals}, {"Edit_printxorigin", wholes}, {"Edit_x", wholes}, {"", wholes}};
  for (const auto& [name, range] : fields) {
    SetEverythingOdd(0);
    ScreenSizeCode = 0;
    const Lines lines = ConfigFileLines();
    const std::size_t shown = script_.Transcript().size();
    std::string before, after;
    InConfig([&](Tconfig& form) {
      StringGrid& pens = form.Get<StringGrid>("StringGrid_color");
      const auto text = [&] { return *name ? form.Get<Edit>(name).Text() : pens.Cell(1, 1); };
      before = text();
      *name ? Type(form, name, "2 px") : pens.TypeCell(1, 1, "2 px");
      Press(form, "Button_ok");
      after = text();
    });
    ConfigureSettings();
    EXPECT_EQ(std::tuple(after, script_.Transcript().at(shown + 1), ConfigFileLines() == lines),
              std::tuple(before, "Error  : |" + range, true))
        << name;
  }
}

// Boxes whose owner's flag means the opposite, and the box that stores two settings.
TEST_F(ConfigFormTest, InvertedBoxesStoreTheOwnersMeaning) {
  SetEverythingOdd(0);
  PrintBorder = ScreendumpBorder = 0;
  InConfig([](Tconfig& form) {
    EXPECT_FALSE(form.Get<CheckBox>("CheckBox_zeichbrelcortitel").Checked());
    EXPECT_TRUE(form.Get<CheckBox>("CheckBox_3Dto2D").Checked());
    EXPECT_FALSE(form.Get<CheckBox>("CheckBox_defaultprinter").Checked());
    EXPECT_FALSE(form.Get<CheckBox>("CheckBox_zeichfusszeile").Checked());
    EXPECT_EQ(form.Get<CheckBox>("CheckBox_zeichfusszeile").Caption(),
              "date time - BRELCOR KV6 V" + ProgVersion + " - file");
    for (const char* box : {"CheckBox_zeichbrelcortitel", "CheckBox_3Dto2D",
                            "CheckBox_defaultprinter", "CheckBox_zeichfusszeile",
                            "CheckBox_umrandung", "CheckBox_aktuellfile", "CheckBox_abc123"}) {
      Click(form, box);
    }
    Press(form, "Button_ok");
  });
  ConfigureSettings();
  EXPECT_EQ(HideMakerLine, 0);
  EXPECT_EQ(Drawing3D, 1);
  EXPECT_EQ(NoPrinterQuery, 0);
  EXPECT_EQ(HideFooter, 0);  // the stamp with date, time, program and file
  EXPECT_EQ(PrintBorder, 1);
  EXPECT_EQ(ScreendumpBorder, 1);
  EXPECT_EQ(HideCurrentFile, 1);
  EXPECT_EQ(HideZoneMarks, 1);
}

TEST_F(ConfigFormTest, WindowFieldsAreRepaired) {
  SetEverythingOdd(0);
  ScreenSizeCode = 0;
  TextWindowSizeCode = 0;
  const FakeDrawWindow window;
  InConfig([](Tconfig& form) {
    Type(form, "Edit_x", "900");
    form.Get<Edit>("Edit_x").Leave();  // the drawing window takes the width at once
    EXPECT_EQ(DrawWindowForm->ClientSize().width, 900);
    Type(form, "Edit_x", "0");
    Type(form, "Edit_y", "9999");
    Type(form, "Edit_width", "40");
    Type(form, "Edit_top", "500");
    Type(form, "Edit_left", "1001");
    Press(form, "Button_ok");
  });
  ConfigureSettings();
  EXPECT_EQ(HorizontalPixels, MaxClientWidth());
  EXPECT_EQ(VerticalPixels, 5000);
  EXPECT_EQ(DrawWindowForm->ClientSize(), (platform::Size{MaxClientWidth() + 1, 5001}));
  EXPECT_EQ(TextWindowRect[2], 700);
  EXPECT_EQ(TextWindowRect[1], 40);
  EXPECT_EQ(TextWindowRect[0], 10);
  EXPECT_EQ(TextWindowRect[3], 480);
}

// The 4:3 buttons round halves to the even neighbour; "Auto" hides the dialog sizes.
TEST_F(ConfigFormTest, FourToThreeRoundsHalvesToEvenAndAutoHidesTheDialogSizes) {
  ScreenSizeCode = 0;
  DialogSizeCode = 0;
  InConfig([](Tconfig& form) {
    Type(form, "Edit_x", "6");
    Press(form, "Button_y");
    EXPECT_EQ(form.Get<Edit>("Edit_y").Text(), "4");  // 4.5
    Type(form, "Edit_x", "10");
    Press(form, "Button_y");
    EXPECT_EQ(form.Get<Edit>("Edit_y").Text(), "8");  // 7.5
    Type(form, "Edit_y", "300");
    Press(form, "Button_x");
    EXPECT_EQ(form.Get<Edit>("Edit_x").Text(), "400");
    EXPECT_TRUE(form.Get<platform::SpinEdit>("SpinEdit_dialogfenster").Visible());
    Choose(form, "ComboBox_dialogwindowSizecode", 1);
    EXPECT_FALSE(form.Get<platform::SpinEdit>("SpinEdit_dialogfenster").Visible());
    EXPECT_FALSE(form.Get<platform::Button>("Button_dialogfenster").Visible());
    Press(form, "Button_cancel");
  });
  ConfigureSettings();
}

// A choice whose setting has no item shows none and keeps the setting.
TEST_F(ConfigFormTest, SettingsWithoutAnItemAreKept) {
  TextDevice = 8;
  FloatDigits = 7;
  StlType = 5;
  DefaultView = 7;
  UnitSystem = 9;
  RevisionIndexStyle = 9;
  InConfig([](Tconfig& form) {
    for (const char* name : {"ComboBox_ausdruckdefault", "ComboBox_precision",
                             "ComboBox_cadstltype", "ComboBox_unit", "ComboBox_index"}) {
      EXPECT_EQ(form.Get<ComboBox>(name).ItemIndex(), -1) << name;
    }
    EXPECT_EQ(form.Get<RadioGroup>("RadioGroup_ergebnisgrafik").ItemIndex(), -1);
    Press(form, "Button_ok");
  });
  ConfigureSettings();
  EXPECT_EQ(TextDevice, 8);
  EXPECT_EQ(FloatDigits, 7);
  EXPECT_EQ(StlType, 5);
  EXPECT_EQ(DefaultView, 7);
  EXPECT_EQ(UnitSystem, 0);
  EXPECT_EQ(RevisionIndexStyle, 0);
}

TEST_F(ConfigFormTest, TheTitleBlockDecidesWhatTheDrawingPageShows) {
  TitleBlockStandard = 0;
  SheetBorderCode = 1;
  InConfig([](Tconfig& form) {
    EXPECT_TRUE(form.Get<Edit>("Edit_freigabefeld").Visible());
    EXPECT_FALSE(form.Get<CheckBox>("CheckBox_aenderungen").Visible());
    EXPECT_EQ(form.Get<ComboBox>("ComboBox_7200rand").ItemIndex(), 0);
    EXPECT_FALSE(form.Get<ComboBox>("ComboBox_7200rand").Enabled());
    Choose(form, "ComboBox_zeichnkopf", 1);
    EXPECT_FALSE(form.Get<Edit>("Edit_freigabefeld").Visible());
    EXPECT_TRUE(form.Get<CheckBox>("CheckBox_aenderungen").Visible());
    EXPECT_TRUE(form.Get<CheckBox>("CheckBox_aendkopfindex0").Visible());
    EXPECT_FALSE(form.Get<CheckBox>("CheckBox_abc123").Visible());
    Choose(form, "ComboBox_7200rand", 1);
    EXPECT_TRUE(form.Get<CheckBox>("CheckBox_abc123").Visible());
    EXPECT_TRUE(form.Get<CheckBox>("CheckBox_mmscale").Visible());
    Choose(form, "ComboBox_zeichnkopf", 3);
    EXPECT_EQ(form.Get<ComboBox>("ComboBox_7200rand").ItemIndex(), 0);
    EXPECT_FALSE(form.Get<CheckBox>("CheckBox_abc123").Visible());
    Press(form, "Button_cancel");
  });
  ConfigureSettings();
  EXPECT_EQ(TitleBlockStandard, 0);
}

// The fields of the form, on every page.
void CollectFields(const platform::Container& container, std::vector<platform::Control*>& fields) {
  using platform::ControlKind;
  for (const auto& child : container.Children()) {
    const ControlKind kind = child->Kind();
    if (kind == ControlKind::Edit || kind == ControlKind::ComboBox ||
        kind == ControlKind::SpinEdit || kind == ControlKind::ListBox) {
      fields.push_back(child.get());
    }
    if (const auto* inner = dynamic_cast<const platform::Container*>(child.get())) {
      CollectFields(*inner, fields);
    }
  }
}

// Each choice carries its caption, and a caption shows exactly while its field does: at the
// opening, with either title block.
TEST_F(ConfigFormTest, EveryCaptionShowsWithItsFieldOnly) {
  TitleBlockStandard = 0;
  InConfig([](Tconfig& form) {
    const std::pair<const char*, const char*> captions[] = {
        {"Label_lpt", "LPT-Interface for text printing"},
        {"Label_ausdruckdefault", "output code"},
        {"Label_textwindowsizecode", "Text window"},
        {"Label_unit", "Unit"},
        {"Label_cadstltype", "STL Type"}};
    for (const auto& [label, caption] : captions) {
      const auto* shown = form.Find<platform::Label>(label);
      ASSERT_NE(shown, nullptr) << label;
      EXPECT_EQ(shown->Caption(), caption);
    }
    std::vector<platform::Control*> fields;
    CollectFields(form, fields);
    for (std::int32_t head : {0, 1}) {
      Choose(form, "ComboBox_zeichnkopf", head);
      for (const platform::Control* field : fields) {
        const std::string& name = field->Name();
        const std::string label = "Label_" + name.substr(name.find('_') + 1);
        if (const platform::Control* caption = form.FindControl(label)) {
          EXPECT_EQ(caption->Visible(), field->Visible()) << name << " " << head;
        }
      }
    }
    Press(form, "Button_cancel");
  });
  ConfigureSettings();
}

TEST_F(ConfigFormTest, CancelKeepsOnlyTheImmediateChanges) {
  BackgroundColour = 1;
  const auto palette = Palette;
  Palette[5] = 0xABCDEF;
  const auto changed = Palette;
  InConfig([](Tconfig& form) {
    Choose(form, "RadioGroup_bildschirmgrafik", 1);
    EXPECT_EQ(form.Get<platform::Panel>("Panel_colour").GetColor(),
              (platform::Color{255, 255, 255}));
    Press(form, "Button_resetcolor");
    Type(form, "Edit_zoomfaktor", "3");
    Press(form, "Button_cancel");
  });
  ConfigureSettings();
  EXPECT_EQ(BackgroundColour, 16777215u);
  EXPECT_EQ(Palette, changed);
  EXPECT_NE(ZoomIncrement, 3.0L);
  // The reset takes only the panels, and OK stores them beside the other pages' edits.
  BackgroundColour = 0x505050;
  InConfig([](Tconfig& form) {
    Choose(form, "RadioGroup_bildschirmgrafik", 1);
    Type(form, "Edit_zoomfaktor", "3");
    Press(form, "Button_resetcolor");
    EXPECT_EQ(form.Get<Edit>("Edit_zoomfaktor").Text(), "3");
    Press(form, "Button_ok");
  });
  ConfigureSettings();
  EXPECT_EQ(BackgroundColour, 0x505050u);
  EXPECT_EQ(ZoomIncrement, 3.0L);
  for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(Palette[i], DefaultPalette()[i]) << i;
  EXPECT_EQ(Palette[16], palette[16]);
}

// The colour dialog changes the background at once; panels and fonts wait for OK.
TEST_F(ConfigFormTest, ColourAndFontDialogsFillTheirControls) {
  using platform::headless::Step;
  BackgroundColour = 0x505050;
  InConfig([this](Tconfig& form) {
    script_.Expect(Step(platform::DialogKind::Color).Select(0x0000FF));
    Press(form, "Button_hintergrundfarbe");
    EXPECT_EQ(form.Get<platform::Panel>("Panel_colour").GetColor(), (platform::Color{255, 0, 0}));
    script_.Expect(Step(platform::DialogKind::Color).Select(0x00FF00));
    form.Get<platform::Panel>("Panel_color3").Click();
    script_.Expect(Step(platform::DialogKind::Color).Closing(platform::DialogClose::Cancel));
    form.Get<platform::Panel>("Panel_color4").Click();
    script_.Expect(Step(platform::DialogKind::Font).Choose({"Liberation Mono", 12, 2}));
    Press(form, "Button_textfont");
    script_.Expect(Step(platform::DialogKind::Font).Choose({"DejaVu Sans", 10, 1}));
    form.Get<platform::Label>("Label_font").Click();
    EXPECT_EQ(form.Get<platform::Label>("Label_hstyle").Caption(), "bold");
    script_.Expect(Step(platform::DialogKind::Font).Closing(platform::DialogClose::Cancel));
    Press(form, "Button_font");
    Press(form, "Button_cancel");
  });
  const auto palette = Palette;
  ConfigureSettings();
  EXPECT_EQ(BackgroundColour, 0x0000FFu);
  EXPECT_EQ(Palette, palette);
  EXPECT_NE(PrintFontName, "Liberation Mono");
  InConfig([this](Tconfig& form) {
    script_.Expect(Step(platform::DialogKind::Color).Select(0x00FF00));
    form.Get<platform::Panel>("Panel_color3").Click();
    script_.Expect(Step(platform::DialogKind::Font).Choose({"Liberation Mono", 12, 2}));
    Press(form, "Button_textfont");
    script_.Expect(Step(platform::DialogKind::Font).Choose({"DejaVu Sans", 10, 1}));
    Press(form, "Button_font");
    Press(form, "Button_ok");
  });
  ConfigureSettings();
  EXPECT_EQ(Palette[3], 0x00FF00u);
  EXPECT_EQ(PrintFontName, "Liberation Mono");
  EXPECT_EQ(PrintFontSize, 12);
  EXPECT_EQ(PrintFontStyle, 2);
  EXPECT_EQ(GraphicsFontName, "DejaVu Sans");
  EXPECT_EQ(GraphicsTextStyle, 1);
}

TEST_F(ConfigFormTest, ImportReadsExactlyTheChosenFile) {
  const ScopedVariable xdg("XDG_CONFIG_HOME", dir_ + "/xdg");
  const std::string decoyFolder = dir_ + "/xdg/brelcor/kv6";
  std::filesystem::create_directories(decoyFolder);
  ZoomIncrement = 4;
  WriteConfigFile(decoyFolder + "/kv6.cfg");
  ZoomIncrement = 2;
  WriteConfigFile(dir_ + "/good.cfg");
  ZoomIncrement = 1.5L;
  InConfig([](Tconfig& form) {
    Press(form, "Button_import");
    EXPECT_EQ(form.Get<Edit>("Edit_zoomfaktor").Text(), "2");
    EXPECT_EQ(AbortFlag, 0);
    ZoomIncrement = 1.5L;
    Press(form, "Button_import");  // missing: the start values of a run without a file
    EXPECT_EQ(AbortFlag, 1);
    EXPECT_NE(ZoomIncrement, 4.0L);
    Press(form, "Button_import");
    EXPECT_EQ(AbortFlag, 1);
    Press(form, "Button_cancel");
  });
  script_.Expect(platform::headless::Step(platform::DialogKind::OpenFile).Type(dir_ + "/good.cfg"));
  script_.Expect(platform::headless::Step(platform::DialogKind::OpenFile).Type(dir_ + "/kv6.cfg"));
  script_.Expect(platform::headless::Step(platform::DialogKind::OpenFile)
                     .Closing(platform::DialogClose::Cancel));
  ConfigureSettings();
  EXPECT_NE(ZoomIncrement, 4.0L);
  EXPECT_EQ(ShortName, "kv6");
  EXPECT_EQ(ConfigDir, dir_ + "/");
}

TEST_F(ConfigFormTest, ExportWritesTheNamedFileAndImportRestoresIt) {
  InConfig([this](Tconfig& form) {
    Type(form, "Edit_zoomfaktor", "2.5");
    Press(form, "Button_export");
    EXPECT_EQ(AbortFlag, 1);
    EXPECT_EQ(ZoomIncrement, 2.5L);  // the controls were stored all the same
    Press(form, "Button_export");
    EXPECT_EQ(Read("mine.cfg").substr(0, 18), "mine Configuration");
    Type(form, "Edit_zoomfaktor", "7");
    Press(form, "Button_import");
    EXPECT_EQ(form.Get<Edit>("Edit_zoomfaktor").Text(), "2.5");
    Press(form, "Button_ok");
  });
  script_.Expect(platform::headless::Step(platform::DialogKind::SaveFile)
                     .Closing(platform::DialogClose::Cancel));
  script_.Expect(platform::headless::Step(platform::DialogKind::SaveFile).Type(dir_ + "/mine"));
  script_.Expect(platform::headless::Step(platform::DialogKind::OpenFile).Type(dir_ + "/mine.cfg"));
  ConfigureSettings();
  EXPECT_EQ(ZoomIncrement, 2.5L);
  EXPECT_EQ(ShortName, "kv6");
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/kv6.cfg"));
}

TEST_F(ConfigFormTest, TipsFollowTheHelpLevel) {
  HelpLevel = 1;
  InConfig([](Tconfig& form) {
    EXPECT_FALSE(form.Get<CheckBox>("CheckBox_archivmode").Hint().empty());
    EXPECT_FALSE(form.Get<platform::Label>("Label_dirdbf").Hint().empty());
  });
  ConfigureSettings();
  HelpLevel = 0;
  InConfig(
      [](Tconfig& form) { EXPECT_TRUE(form.Get<CheckBox>("CheckBox_archivmode").Hint().empty()); });
  ConfigureSettings();
}

TEST_F(ConfigFormTest, PlotLinesAreEditedThroughTheTextInputAndTheOptionsForm) {
  PlotCommandLines.Lines = {"", "one", "two", "three", "four", "five"};
  InConfig([this](Tconfig& form) {
    auto& list = form.Get<platform::ListBox>("ListBox_penwerk");
    script_.Expect(platform::headless::Step(platform::DialogKind::Text).Type("second"));
    list.Choose(1);
    Press(form, "Button_editpenwerkcommandline");
    EXPECT_EQ(list.Items()[1], "second");
    script_.Expect(platform::headless::Step(platform::DialogKind::Text)
                       .Closing(platform::DialogClose::Cancel));
    Press(form, "Button_editpenwerkcommandline");
    EXPECT_EQ(list.Items()[1], "second");
    Press(form, "Button_ok");
  });
  ConfigureSettings();
  EXPECT_EQ(PlotCommandLines.Lines[2], "second");
  EXPECT_EQ(PlotCommandLines.Lines[1], "one");
  // The options form: Cancel keeps the line, OK puts the line it built in place of the first.
  InConfig([](Tconfig& form) {
    auto& list = form.Get<platform::ListBox>("ListBox_penwerk");
    Press(form, "Button_confpenwerk");
    EXPECT_EQ(list.Items()[0], "one");
    Press(form, "Button_confpenwerk");
    EXPECT_NE(list.Items()[0], "one");
    Press(form, "Button_ok");
  });
  InForm([](Form& form) { form.Close(); });
  InForm([](Form& form) { Press(form, "Button_ok"); });
  ConfigureSettings();
  EXPECT_NE(PlotCommandLines.Lines[1], "one");
}

// The count the configuration keeps follows the lines typed: a line filled beyond it is kept, a
// last line emptied is dropped.
TEST_F(ConfigFormTest, EditedPlotLinesAreKeptByTheirCount) {
  const auto editLine = [this](std::int32_t index, const std::string& text) {
    InConfig([this, index, text](Tconfig& form) {
      script_.Expect(platform::headless::Step(platform::DialogKind::Text).Type(text));
      form.Get<platform::ListBox>("ListBox_penwerk").Choose(index);
      Press(form, "Button_editpenwerkcommandline");
      Press(form, "Button_save");
      Press(form, "Button_ok");
    });
    ConfigureSettings();
    PlotCommandLines = {};
    ASSERT_TRUE(ReadConfigFile(ConfigDir + "kv6.cfg"));
  };
  ASSERT_EQ(PlotCommandLines.Count, 1);
  editLine(3, "penwerk -four");
  EXPECT_EQ(PlotCommandLines.Count, 4);
  EXPECT_EQ(PlotCommandLines.Lines[4], "penwerk -four");
  EXPECT_EQ(PlotCommandLines.Lines[2], DefaultPlotCommandLine);
  editLine(1, "penwerk -two");
  EXPECT_EQ(PlotCommandLines.Count, 4);
  EXPECT_EQ(PlotCommandLines.Lines[2], "penwerk -two");
  EXPECT_EQ(PlotCommandLines.Lines[4], "penwerk -four");
  editLine(3, "");
  EXPECT_EQ(PlotCommandLines.Count, 3);
  EXPECT_EQ(PlotCommandLines.Lines[3], DefaultPlotCommandLine);
}

TEST_F(ConfigFormTest, TheColourPickerTakesALineOnlyOnOk) {
  InForm([](Form& form) {
    auto& picker = dynamic_cast<TForm_selectcolor&>(form);
    EXPECT_EQ(picker.ListBox_colors.Items()[0], "1 (red)");
    EXPECT_EQ(picker.ListBox_colors.Items()[15], "16 (black)");
    EXPECT_EQ(picker.ListBox_colors.ItemIndex(), 4);
    picker.ListBox_colors.Choose(2);
    Press(form, "Button_cancel");
  });
  EXPECT_EQ(PickCadColour({5}).number, 5);
  InForm([](Form& form) {
    auto& picker = dynamic_cast<TForm_selectcolor&>(form);
    EXPECT_EQ(picker.ListBox_colors.ItemIndex(), -1);
    Press(form, "Button_ok");  // no line: the picker stays open
    EXPECT_EQ(form.GetModalResult(), platform::ModalResult::None);
    picker.ListBox_colors.Choose(15);
    Press(form, "Button_ok");
  });
  EXPECT_EQ(PickCadColour({0}).number, 16);
  EXPECT_EQ(AbortFlag, 0);
}

}  // namespace
