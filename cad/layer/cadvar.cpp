#include "cad/layer/cadvar.h"

std::array<std::string, 6> LayerNames;
std::array<std::int32_t, 6> LayerColours;
std::array<std::int32_t, 17> PenColours;
std::array<std::int32_t, 17> PenWidths;
std::array<std::int32_t, 6> LayerLineWidths;
std::uint8_t MonochromeLayers;
std::int32_t NumberedLayers;
std::string CadFont;
long double CadTextFactor;
long double CadFontAngle;
std::string CurrentLayer;
std::uint8_t CurrentLayerNumber;

long double TextHeight;
long double TextWidthFactor;
long double TextAngle;
long double TextObliqueAngle;
std::int32_t TextAlignH;
std::int32_t TextAlignV;
long double LineSpacing;

std::uint16_t CadTarget;
std::string CadFileName;
CadPoint CurrentPoint;
CadPoint DrawOffset;
CadExtents DrawingExtents;
std::uint8_t PolylineMode;
std::int32_t VertexCount;
long double VertexSweep;
std::uint8_t InBlocks;
std::int32_t BlockLevel;
long double InsertOriginX;
long double InsertOriginY;
long double InsertAngle;
long double InsertScaleX;
long double InsertScaleY;
long double DimArrowFactor;
std::uint8_t SuppressOpen;
std::int32_t Mode3D;
long double ZBottom;
long double ZTop;
std::int32_t TitleBlockMode;
std::int32_t TitleBlockLanguage;

PlotCommandList PlotCommandLines;
std::int32_t CadDecimals;
long double CadUnitFactor;
long double DimArrowBase;
std::uint8_t OpenAfterExport;
std::uint8_t ArcsAsSegments;
long double ArcResolution;
std::int32_t StlType;
std::uint8_t StlInverse;
std::uint8_t HideMakerLine;
std::uint8_t HideFileName;
std::uint8_t HideDate;
std::uint8_t HideLogo;
std::uint8_t HideFooter;
std::uint8_t HideDrawingHead;
std::uint8_t HideProtectionNote;
std::uint8_t HideZoneMarks;
std::uint8_t HideMmScale;
std::uint8_t ShowChanges;
std::uint8_t UseHeadBlocks;
std::uint8_t UseInsertBlocks;
std::uint8_t RevisionFromZero;
std::string ApprovalFieldText;
long double ZSlice;
long double FitClearanceShaft;
long double FitClearanceBore;

std::array<long double, 3> ViewAngles3D;
std::uint8_t Edit3DAngles;
std::uint8_t Drawing3D;
std::uint8_t NoCoordCross3D;

void InitPenTables() {
  for (int i = 1; i <= 16; ++i) {
    PenColours[i] = i;
    PenWidths[i] = 1;
  }
  PlotCommandLines.Count = 1;
  PlotCommandLines.Chosen = 1;
  for (int i = 1; i <= 5; ++i) PlotCommandLines.Lines[i] = DefaultPlotCommandLine;
}

static void InitLayerDefaults() {
  LayerNames = {"0", "1", "2", "3", "4", "5"};
  LayerColours = {1, 2, 2, 2, 3, 1};
  LayerLineWidths = {3, 1, 1, 1, 2, 3};
  MonochromeLayers = 0;
  NumberedLayers = 0;
  CadFont = "TXT8";
  CadTextFactor = 1.0L;
  CadFontAngle = 0;
  CurrentLayer = LayerNames[0];
  CurrentLayerNumber = 0;
}

static void InitTextStyleDefaults() {
  TextHeight = 5.0L;
  TextWidthFactor = 1.0L;
  TextAngle = 0;
  TextObliqueAngle = 0;
  TextAlignH = 0;
  TextAlignV = 0;
  LineSpacing = 1.0L;
}

static void InitOutputDefaults() {
  CadTarget = 3;
  CadFileName = std::string(59, ' ');
  CurrentPoint = {};
  DrawOffset = {};
  DrawingExtents = {0, 160, 0, 120, 160, 120};
  PolylineMode = 1;
  VertexCount = 1;
  VertexSweep = 0;
  InBlocks = 0;
  BlockLevel = 0;
  InsertOriginX = 0;
  InsertOriginY = 0;
  InsertAngle = 0;
  InsertScaleX = 1.0L;
  InsertScaleY = 1.0L;
  DimArrowFactor = 1.0L;
  SuppressOpen = 0;
  Mode3D = 0;
  ZBottom = 0;
  ZTop = 1.0L;
  TitleBlockMode = 0;
  TitleBlockLanguage = 0;
}

static void InitSettingDefaults() {
  CadDecimals = 6;
  CadUnitFactor = 1.0L;
  DimArrowBase = 1.0L;
  OpenAfterExport = 1;
  ArcsAsSegments = 1;
  ArcResolution = 0.1L;
  StlType = 0;
  StlInverse = 0;
  HideMakerLine = HideFileName = HideDate = HideLogo = HideFooter = 0;
  HideDrawingHead = HideProtectionNote = HideZoneMarks = HideMmScale = 0;
  ShowChanges = UseHeadBlocks = UseInsertBlocks = 0;
  RevisionFromZero = 1;
  ApprovalFieldText.clear();
  ZSlice = 0.1L;
  FitClearanceShaft = 0;
  FitClearanceBore = 0;
  ViewAngles3D = {-0.2617993877991495L, 1.5707963267948966L, 3.6651914291880923L};
  Edit3DAngles = 1;
  Drawing3D = 1;
  NoCoordCross3D = 1;
}

void InitCadDefaults() {
  InitPenTables();
  InitLayerDefaults();
  InitTextStyleDefaults();
  InitOutputDefaults();
  InitSettingDefaults();
}

// The unit's start-up: the defaults hold before anything else of the program runs.
static const bool cad_defaults_set = (InitCadDefaults(), true);
