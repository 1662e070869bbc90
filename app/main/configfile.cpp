#include "app/main/configfile.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <variant>
#include <vector>

#include "app/main/screensize.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/draw/hgvar.h"
#include "base/files/listfile.h"
#include "base/files/utilpath.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/start/configplaces.h"
#include "base/text/numbertext.h"
#include "cad/layer/cadvar.h"
#include "platform/files/dirservices.h"

long double GraphicXFactor = 1.0L;

namespace {

// How a value line is written and read back.
enum class Kind {
  Text,
  TextKeptWhenEmpty,  // an empty line leaves the setting as it is
  Int,
  Word,
  RealExact,  // as calculation files hold reals: the value survives any number of saves
  RealW,      // seven decimals at FloatDigits 3
  Double,
  Flag,
  FlagNotFalse,  // true unless the line says FALSE
  FlagInverse,   // the line holds the opposite of the setting
  Char,
  Colour,         // an int held as a colour value
  PaletteColour,  // an int; 0 or below leaves the entry
  Rect,           // four fields, taken only when sized and the file goes on
  PlotLines,      // the count, then lines 2 to count of the plot program's command lines
};

using Target = std::variant<std::string*, std::int32_t*, std::uint16_t*, long double*, double*,
                            std::uint8_t*, char*, std::uint32_t*, PlotCommandList*>;

struct ConfigValue {
  Kind kind;
  Target target;
};

// Where the reader tests for the end of the file, around an item.
enum class Check {
  None,
  Stop,           // after the item: at the end, close without the finishing step
  Finish,         // after the item: at the end, finish
  FinishText,     // after the item: at the end, the graphics text from the CAD text, finish
  Optional,       // before the item: read only when the file goes on
  WithPrevious,   // read only when the item before was read
  ValueOptional,  // the label always, the value only when the file goes on
};

struct ConfigItem {
  std::string label;  // empty for the unlabelled tail
  std::vector<ConfigValue> values;
  std::function<void()> repair;
  Check check = Check::None;
};

ConfigValue Text(std::string& s) {
  return {Kind::Text, &s};
}
ConfigValue Int(std::int32_t& n) {
  return {Kind::Int, &n};
}
ConfigValue Word(std::uint16_t& n) {
  return {Kind::Word, &n};
}
ConfigValue RealExact(long double& x) {
  return {Kind::RealExact, &x};
}
ConfigValue RealW(long double& x) {
  return {Kind::RealW, &x};
}
ConfigValue Double(double& x) {
  return {Kind::Double, &x};
}
ConfigValue Flag(std::uint8_t& b) {
  return {Kind::Flag, &b};
}
ConfigValue Char(char& c) {
  return {Kind::Char, &c};
}

template <typename T>
void WhenOutside(T& value, T low, T high, T replacement) {
  if (value < low || value > high) value = replacement;
}

template <typename T>
void WhenZero(T& value, T replacement) {
  if (value == 0) value = replacement;
}

std::vector<ConfigItem> LayerItems() {
  std::vector<ConfigItem> items;
  for (std::size_t layer = 1; layer <= 5; ++layer) {
    items.push_back({"Layer", {Text(LayerNames[layer])}, nullptr});
    items.push_back({"Colour", {Int(LayerColours[layer])}, nullptr});
  }
  return items;
}

std::vector<ConfigItem> PenColourItems() {
  std::vector<ConfigItem> items;
  for (std::size_t pen = 1; pen <= 16; ++pen) {
    items.push_back({"Color Layer " + IntText(static_cast<std::int32_t>(pen) + 15),
                     {Int(PenColours[pen])},
                     [pen] { WhenZero(PenColours[pen], 1); },
                     pen == 16 ? Check::Finish : Check::None});
  }
  return items;
}

std::vector<ConfigValue> IntValues(std::int32_t* first, std::size_t count) {
  std::vector<ConfigValue> values;
  for (std::size_t i = 0; i < count; ++i) values.push_back(Int(first[i]));
  return values;
}

std::vector<ConfigItem> ItemsUpToPlotProgram() {
  std::vector<ConfigItem> items = LayerItems();
  const std::vector<ConfigItem> more = {
      {"Text font CAD", {Text(CadFont)}, nullptr},
      {"Textwidth/height CAD", {RealExact(CadTextFactor)}, [] { WhenZero(CadTextFactor, 1.0L); }},
      {"Font angle", {RealExact(CadFontAngle)}, nullptr},
      {"CAD Directory", {Text(CadDir)}, nullptr},
      {"DBF Directory", {Text(DbfDir)}, nullptr},
      {"Help level", {Word(HelpLevel)}, nullptr},
      {"Printer interface",
       {Word(PrinterInterface)},
       [] { WhenZero(PrinterInterface, std::uint16_t{1}); },
       Check::Stop},
      {"Printer type", {Word(PrinterType)}, nullptr, Check::Stop},
      {"Printing density", {Word(PrintingDensity)}, nullptr},
      {"Rotate Hardcopy ?", {Char(RotateHardcopy)}, [] { WhenZero(RotateHardcopy, 'N'); }},
      {"Digits for floating point numbers",
       {Int(FloatDigits)},
       [] { WhenOutside(FloatDigits, 1, 9, 3); }},
      {"Printing density vertical",
       {Word(PrintingDensityVertical)},
       [] {
         WhenOutside(PrintingDensityVertical, std::uint16_t{1}, std::uint16_t{4}, std::uint16_t{1});
       },
       Check::Stop},
      {"Color graphics", {Flag(ColourGraphics)}, nullptr},
      {"X-Factor for graphic extension",
       {RealExact(GraphicXFactor)},
       [] { WhenZero(GraphicXFactor, 1.0L); }},
      {"Graph mode", {Int(GraphMode)}, nullptr},
      {"Graph driver", {Int(GraphDriver)}, nullptr},
      {"Horizontal Pixels", {Word(HorizontalPixels)}, nullptr},
      {"Vertical Pixels", {Word(VerticalPixels)}, nullptr},
      {"temporary directory", {Text(TempDir)}, nullptr},
      {"printer interface for hardcopy",
       {Word(HardcopyInterface)},
       [] { WhenZero(HardcopyInterface, std::uint16_t{1}); },
       Check::Stop},
      {"EDI Directory", {Text(EdiDir)}, nullptr},
      {"PLT Directory", {Text(PltDir)}, nullptr},
      {"Display mode for printout 1:* 2:-",
       {Word(PrintoutStyle)},
       [] { WhenZero(PrintoutStyle, std::uint16_t{1}); }},
      {"Lines per page for printer",
       {Int(LinesPerPage)},
       [] {
         if (LinesPerPage < 5) LinesPerPage = 66;
       }},
      {"zoom increment", {RealW(ZoomIncrement)}, [] { WhenZero(ZoomIncrement, 1.02L); }},
      {"pan faktor", {RealW(PanFactor)}, [] { WhenZero(PanFactor, 0.01L); }},
      {"BRELCOR directory", {Text(BrelcorDir)}, nullptr, Check::Finish},
      {"PENWERK command line",
       {{Kind::TextKeptWhenEmpty, &PlotCommandLines.Lines[1]}},
       nullptr,
       Check::Finish},
  };
  items.insert(items.end(), more.begin(), more.end());
  return items;
}

std::vector<ConfigItem> ItemsUpToPenColours() {
  std::vector<ConfigItem> items = {
      {"background colour", {{Kind::Colour, &BackgroundColour}}, nullptr, Check::Finish},
      {"Windows print mode (1=mono 2=color)",
       {Word(WinPrintMode)},
       [] { WhenZero(WinPrintMode, std::uint16_t{1}); },
       Check::Finish},
      {"Layer Monochrome", {Flag(MonochromeLayers)}, nullptr, Check::FinishText},
      {"Textwidth/height Graphics",
       {RealW(GraphicsTextWidthFactor)},
       [] { WhenZero(GraphicsTextWidthFactor, 0.8L); }},
      {"Text font Graphics", {Text(GraphicsFontName)}, nullptr, Check::Finish},
  };
  const std::vector<ConfigItem> pens = PenColourItems();
  items.insert(items.end(), pens.begin(), pens.end());
  return items;
}

std::vector<ConfigItem> ItemsUpToTextWindow() {
  return {
      {"word processor", {Text(WordProcessor)}, nullptr},
      {"Database mode", {Word(DatabaseMode)}, nullptr},
      {"external database", {Text(ExternalDatabase)}, nullptr, Check::Finish},
      {"Windows Screendump Origin X", {Int(ScreendumpOrigin[0])}, nullptr},
      {"Windows Screendump Origin Y", {Int(ScreendumpOrigin[1])}, nullptr},
      {"Windows Screendump Scale",
       {Double(ScreendumpScale)},
       [] {
         if (ScreendumpScale == 0) {
           ScreendumpScale = 1.0;
           PrintScaleVertical = 1.0;
         }
       }},
      {"Windows Screendump Border ?", {Flag(ScreendumpBorder)}, nullptr, Check::Finish},
      {"Enter Password ?", {Flag(EnterPassword)}, nullptr, Check::Finish},
      {"PENWERK Command lines (n, line 2 .. line n)",
       {{Kind::PlotLines, &PlotCommandLines}},
       nullptr},
      {"Archive Flag ?", {Flag(ArchiveFlag)}, nullptr},
      {"Date Code",
       {Word(DateCode)},
       [] { WhenZero(DateCode, std::uint16_t{3}); },
       Check::Optional},
      {"Header Space Lines",
       {Int(HeaderSpaceLines)},
       [] { WhenOutside(HeaderSpaceLines, 0, 30, 0); },
       Check::Optional},
      {"Text Device",
       {Word(TextDevice)},
       [] { WhenOutside(TextDevice, std::uint16_t{1}, std::uint16_t{9}, std::uint16_t{1}); },
       Check::Optional},
      {"Text Device Window ?", {Flag(TextDeviceWindow)}, nullptr, Check::WithPrevious},
      {"Small Online Window ?", {Flag(SmallOnlineWindow)}, nullptr, Check::Optional},
      {"Enter Diagram Limits ?", {Flag(EnterDiagramLimits)}, nullptr, Check::Optional},
      {"Dot=1 Komma=2",
       {Word(DecimalMark)},
       [] { WhenOutside(DecimalMark, std::uint16_t{1}, std::uint16_t{2}, std::uint16_t{1}); }},
      {"Default Data Directory",
       {Text(DefaultDataDir)},
       [] {
         if (DefaultDataDir.empty()) DefaultDataDir = AddBackslash(StartDir);
       }},
      {"Text Height Factor",
       {RealW(TextHeightFactor)},
       [] {
         if (TextHeightFactor < 0.1L) TextHeightFactor = 1.0L;
       },
       Check::ValueOptional},
      {"Input Window Scale %",
       {Int(InputWindowScale)},
       [] { WhenOutside(InputWindowScale, 10, 1000, 100); },
       Check::ValueOptional},
      {"HTML Browser", {Text(HtmlBrowser)}, nullptr, Check::Finish},
      {"Print Scale Vertical",
       {Double(PrintScaleVertical)},
       [] {
         if (PrintScaleVertical < 0.0001) PrintScaleVertical = ScreendumpScale;
       }},
      {"Line thickness Layer 0..5", IntValues(LayerLineWidths.data(), 6),
       [] {
         for (std::int32_t& width : LayerLineWidths) WhenOutside(width, 1, 255, 1);
       }},
      {"Graphic Printout Dialog Box ?", {Flag(PrintDialogOn)}, nullptr},
      {"Text window left/top/width/height", {{Kind::Rect, &TextWindowRect[0]}}, nullptr},
  };
}

std::vector<ConfigItem> ItemsToTheEnd() {
  return {
      {"Metric Units=0,  English units=1", {Word(UnitSystem)}, nullptr},
      {"printout with header=1, header page 1 only=2",
       {Word(HeaderMode)},
       [] { WhenOutside(HeaderMode, std::uint16_t{1}, std::uint16_t{2}, std::uint16_t{1}); }},
      {"Text Font Printout",
       {Text(PrintFontName)},
       [] {
         if (PrintFontName.empty()) PrintFontName = "Courier New";
       }},
      {"Text Size Printout",
       {Word(PrintFontSize)},
       [] { WhenZero(PrintFontSize, std::uint16_t{10}); }},
      {"Text Style Printout", {Word(PrintFontStyle)}, nullptr},
      {"Text Style Graphics", {Word(GraphicsTextStyle)}, nullptr},
      {"Printer: Portrait=1, Landscape=2", {Word(PrinterOrientation)}, nullptr},
      {"Edit 3D x,y,z ?", {{Kind::FlagNotFalse, &Edit3DAngles}}, nullptr},
      {"3D - Default x,y,z",
       {RealW(ViewAngles3D[0]), RealW(ViewAngles3D[1]), RealW(ViewAngles3D[2]),
        Word(RevisionIndexStyle), Word(ExcelDecimalMark), Text(ApprovalFieldText)},
       [] { WhenZero(ExcelDecimalMark, std::uint16_t{2}); }},
      {"Decimals DXF,TXT", {Int(CadDecimals)}, [] { WhenOutside(CadDecimals, 1, 32, 6); }},
      {"CAD Text Mode", {Word(CadTextMode)}, [] { WhenZero(CadTextMode, std::uint16_t{1}); }},
      {"pen width Layer 16..31", IntValues(&PenWidths[1], 16), nullptr},
  };
}

const std::vector<ConfigItem>& LabelledItems() {
  static const std::vector<ConfigItem> items = [] {
    std::vector<ConfigItem> all;
    for (const auto& part :
         {ItemsUpToPlotProgram(), ItemsUpToPenColours(), ItemsUpToTextWindow(), ItemsToTheEnd()}) {
      all.insert(all.end(), part.begin(), part.end());
    }
    return all;
  }();
  return items;
}

ConfigItem Tail(ConfigValue value, std::function<void()> repair = nullptr) {
  return {"", {value}, std::move(repair)};
}

std::vector<ConfigItem> TailUpToPalette() {
  return {
      Tail(Word(TextCharMode)),
      Tail(Int(DialogScale), [] { WhenOutside(DialogScale, 10, 1000, 100); }),
      Tail(Word(AngleFormat),
           [] { WhenOutside(AngleFormat, std::uint16_t{1}, std::uint16_t{2}, std::uint16_t{2}); }),
      Tail(RealW(DimArrowBase), [] { WhenZero(DimArrowBase, 1.0L); }),
      Tail(Int(ConfigSpare)),
      Tail(Int(Language)),
      Tail(Int(DefaultView)),
      Tail(Flag(HideMakerLine)),
      Tail(Flag(HideFileName)),
      Tail(Flag(HideDate)),
      Tail(Flag(HideLogo)),
      Tail(Flag(HideFooter)),
      Tail(Flag(HideDrawingHead)),
      Tail(Flag(HideCurrentFile)),
      Tail(Flag(SaveMenuLanguage),
           [] {
             if (SaveMenuLanguage == 0) Language = 0;
           }),
      Tail(Int(TitleBlockStandard)),
  };
}

std::vector<ConfigItem> TailFromPalette() {
  std::vector<ConfigItem> items;
  for (std::size_t colour = 0; colour < 16; ++colour) {
    items.push_back(Tail({Kind::PaletteColour, &Palette[colour]}));
  }
  const std::vector<ConfigItem> more = {
      Tail({Kind::FlagInverse, &Drawing3D}),
      Tail(Flag(HideProtectionNote)),
      Tail(Text(ManualDir),
           [] {
             if (ManualDir.empty()) ManualDir = BrelcorDir;
           }),
      Tail(Int(SheetBorderCode)),
      Tail(Flag(HideZoneMarks)),
      Tail(Flag(HideMmScale)),
      Tail(Flag(ShowChanges)),
      Tail(Flag(UseHeadBlocks)),
      Tail(Flag(UseInsertBlocks)),
      Tail(Flag(SqrtQuiet)),
      Tail(Flag(OpenAfterExport)),
      Tail(Flag(ArcsAsSegments)),
      Tail(RealW(ArcResolution),
           [] {
             if (ArcResolution <= 0) ArcResolution = 0.5L;
           }),
      Tail(Int(StlType)),
      Tail(Int(ScreenSizeCode)),
      Tail(Int(DialogSizeCode)),
      Tail(Int(TextWindowSizeCode),
           [] {
             if (TextWindowSizeCode == 1) TextWindowDefaults();
           }),
      Tail(Flag(TablesInTempDir)),
      Tail(Flag(NoCoordCross3D)),
      Tail(RealW(ZSlice),
           [] {
             if (ZSlice <= 0) ZSlice = 0.1L;
           }),
      Tail(Flag(StlInverse)),
      Tail(Flag(WheelZoomOn)),
      Tail(RealW(FitClearanceShaft)),
      Tail(RealW(FitClearanceBore)),
      Tail(RealW(CadUnitFactor), [] { WhenZero(CadUnitFactor, 1.0L); }),
      Tail(Flag(RevisionFromZero)),
      Tail(Flag(SizeableDialogs)),
      Tail(Flag(NoPrinterQuery)),
  };
  items.insert(items.end(), more.begin(), more.end());
  return items;
}

const std::vector<ConfigItem>& TailItems() {
  static const std::vector<ConfigItem> items = [] {
    std::vector<ConfigItem> all = TailUpToPalette();
    const std::vector<ConfigItem> rest = TailFromPalette();
    all.insert(all.end(), rest.begin(), rest.end());
    return all;
  }();
  return items;
}

// Writing.

std::string FlagText(bool b) {
  return b ? "TRUE" : "FALSE";
}

void AppendPlotLines(const PlotCommandList& plot, std::vector<std::string>& lines) {
  lines.push_back(IntText(plot.Count));
  for (std::size_t i = 2; i <= std::min<std::size_t>(plot.Count, 5); ++i) {
    lines.push_back(plot.Lines[i]);
  }
}

void AppendValue(const ConfigValue& value, std::vector<std::string>& lines) {
  const Target& t = value.target;
  switch (value.kind) {
    case Kind::Text:
    case Kind::TextKeptWhenEmpty:
      lines.push_back(*std::get<std::string*>(t));
      break;
    case Kind::Int:
      lines.push_back(IntText(*std::get<std::int32_t*>(t)));
      break;
    case Kind::Word:
      lines.push_back(IntText(*std::get<std::uint16_t*>(t)));
      break;
    case Kind::RealExact:
      lines.push_back(ExactRealLineText(*std::get<long double*>(t)));
      break;
    case Kind::RealW:
      lines.push_back(RealLineText(*std::get<long double*>(t)));
      break;
    case Kind::Double:
      lines.push_back(RealLineText(*std::get<double*>(t)));
      break;
    case Kind::Flag:
    case Kind::FlagNotFalse:
      lines.push_back(FlagText(*std::get<std::uint8_t*>(t) != 0));
      break;
    case Kind::FlagInverse:
      lines.push_back(FlagText(*std::get<std::uint8_t*>(t) == 0));
      break;
    case Kind::Char:
      lines.push_back(std::string(1, *std::get<char*>(t)));
      break;
    case Kind::Colour:
    case Kind::PaletteColour:
      lines.push_back(IntText(static_cast<std::int32_t>(*std::get<std::uint32_t*>(t))));
      break;
    case Kind::Rect: {
      const std::int32_t* r = std::get<std::int32_t*>(t);
      lines.push_back(IntText(r[0]) + "|" + IntText(r[1]) + "|" + IntText(r[2]) + "|" +
                      IntText(r[3]) + "|");
      break;
    }
    case Kind::PlotLines:
      AppendPlotLines(*std::get<PlotCommandList*>(t), lines);
      break;
  }
}

// Reading.

void SkipLine() {
  std::string ignored;
  ReadTextLine(ignored);
}

void ReadFlag(std::uint8_t& flag, bool notFalse) {
  bool b = flag != 0;
  if (notFalse) {
    ReadBoolNotFalse(b);
  } else {
    ReadBoolLine(b);
  }
  flag = b ? 1 : 0;
}

// Lines 2 to 5 are kept; a longer list's further lines are read past, so the items after it
// stay in their places.
void ReadPlotLines(PlotCommandList& plot) {
  std::uint16_t count = 0;
  ReadWordLine(count);
  for (std::uint32_t line = 2; line <= count; ++line) {
    std::string text;
    ReadTextLine(text);
    if (line <= 5) plot.Lines[line] = std::move(text);
  }
  plot.Count = std::clamp<std::uint16_t>(count, 1, 5);
}

void ReadRect(std::int32_t* rect) {
  std::string left, top, width, height;
  ReadFields4(left, top, width, height);
  const std::int32_t w = TextToInt(width);
  const std::int32_t h = TextToInt(height);
  if (w == 0 || h == 0 || ListFile.Eof()) return;
  rect[0] = TextToInt(left);
  rect[1] = TextToInt(top);
  rect[2] = w;
  rect[3] = h;
}

void ReadValue(const ConfigValue& value) {
  const Target& t = value.target;
  switch (value.kind) {
    case Kind::Text:
      ReadTextLine(*std::get<std::string*>(t));
      break;
    case Kind::TextKeptWhenEmpty: {
      std::string text;
      ReadTextLine(text);
      if (!text.empty()) *std::get<std::string*>(t) = std::move(text);
      break;
    }
    case Kind::Int:
      ReadIntLine(*std::get<std::int32_t*>(t));
      break;
    case Kind::Word:
      ReadWordLine(*std::get<std::uint16_t*>(t));
      break;
    case Kind::RealExact:
    case Kind::RealW:
      ReadExtLine(*std::get<long double*>(t));
      break;
    case Kind::Double:
      ReadDoubleLine(*std::get<double*>(t));
      break;
    case Kind::Flag:
      ReadFlag(*std::get<std::uint8_t*>(t), false);
      break;
    case Kind::FlagNotFalse:
      ReadFlag(*std::get<std::uint8_t*>(t), true);
      break;
    case Kind::FlagInverse: {
      std::uint8_t& setting = *std::get<std::uint8_t*>(t);
      std::uint8_t inverse = setting == 0 ? 1 : 0;
      ReadFlag(inverse, false);
      setting = inverse == 0 ? 1 : 0;
      break;
    }
    case Kind::Char:
      ReadCharLine(*std::get<char*>(t));
      break;
    case Kind::Colour: {
      std::int32_t colour = 0;
      ReadIntLine(colour);
      *std::get<std::uint32_t*>(t) = static_cast<std::uint32_t>(colour);
      break;
    }
    case Kind::PaletteColour: {
      std::int32_t colour = 0;
      ReadIntLine(colour);
      if (colour > 0) *std::get<std::uint32_t*>(t) = static_cast<std::uint32_t>(colour);
      break;
    }
    case Kind::Rect:
      ReadRect(std::get<std::int32_t*>(t));
      break;
    case Kind::PlotLines:
      ReadPlotLines(*std::get<PlotCommandList*>(t));
      break;
  }
}

void ReadValues(const ConfigItem& item) {
  for (const ConfigValue& value : item.values) ReadValue(value);
}

void Repair(const ConfigItem& item) {
  if (item.repair) item.repair();
}

enum class Outcome { GoOn, Stopped, Finished };

// Reads one labelled item with its checks; whether the reading ends after it.
Outcome ReadItem(const ConfigItem& item, bool& skipped) {
  const bool previousSkipped = skipped;
  skipped = (item.check == Check::Optional && ListFile.Eof()) ||
            (item.check == Check::WithPrevious && previousSkipped);
  if (!skipped) {
    SkipLine();
    if (item.check != Check::ValueOptional || !ListFile.Eof()) ReadValues(item);
  }
  Repair(item);
  if (!ListFile.Eof()) return Outcome::GoOn;
  switch (item.check) {
    case Check::Stop:
      return Outcome::Stopped;
    case Check::FinishText:
      GraphicsTextWidthFactor = CadTextFactor;
      GraphicsFontName = "Arial";
      return Outcome::Finished;
    case Check::Finish:
      return Outcome::Finished;
    default:
      return Outcome::GoOn;
  }
}

}  // namespace

std::vector<std::string> ConfigFileLines() {
  std::vector<std::string> lines = {ShortName + " Configuration", "Version " + ProgVersion};
  for (const ConfigItem& item : LabelledItems()) {
    lines.push_back(item.label);
    for (const ConfigValue& value : item.values) AppendValue(value, lines);
  }
  for (const ConfigItem& item : TailItems()) {
    for (const ConfigValue& value : item.values) AppendValue(value, lines);
  }
  return lines;
}

bool ReadConfigFile(const std::string& path) {
  ListFile.Assign(path);
  ListFile.Reset();
  if (ListFile.IoResult() != 0) return false;
  GraphicXFactor = 1.0L;
  SkipLine();
  SkipLine();
  bool skipped = false;
  for (const ConfigItem& item : LabelledItems()) {
    switch (ReadItem(item, skipped)) {
      case Outcome::GoOn:
        break;
      case Outcome::Stopped:
        ListFile.Close();
        return true;
      case Outcome::Finished:
        FinishConfigRead();
        return true;
    }
  }
  for (const ConfigItem& item : TailItems()) {
    ReadValues(item);
    Repair(item);
  }
  FinishConfigRead();
  return true;
}

void FinishConfigRead() {
  DefaultWindowSize();
  ApplyScreenSize();
  ListFile.Close();
  TablesInTempDir = 0;
}

void ReadConfig() {
  const std::string name = ShortName + ".cfg";
  const std::string userFolder = UserConfigFolder();
  // The current folder's and the user's file are written back where they were found; a
  // system-wide one is a template, and the user's changes go to the user's folder.
  const std::string here = AddBackslash(ConfigDir);
  if (ReadConfigFile(here + name)) return;
  if (!userFolder.empty() && ReadConfigFile(userFolder + name)) {
    ConfigDir = userFolder;
    return;
  }
  if (!userFolder.empty()) ConfigDir = userFolder;
  for (const std::string& folder : SystemConfigFolders()) {
    if (ReadConfigFile(folder + name)) return;
  }
  ScreenDefaultsWithoutConfig();
  AbortFlag = 1;
}

void WriteConfig() {
  if (AbortFlag != 0) return;
  WriteConfigFile(AddBackslash(ConfigDir) + ShortName + ".cfg");
}

void WriteConfigFile(const std::string& path) {
  const std::string folder = DirOfPath(path);
  if (!folder.empty()) platform::MakeFolders(folder);
  ReplaceFileLines(path, ConfigFileLines());
}
