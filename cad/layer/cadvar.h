// Process-wide state of the CAD output: target and file, text style, layers and pens, offsets,
// polyline and block bookkeeping, 3D levels, drawing options and the configured CAD settings.
// Plain globals with defaults set once by InitCadDefaults at program start.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// Layers, pens and text font.
extern std::array<std::string, 6> LayerNames;
extern std::array<std::int32_t, 6> LayerColours;
extern std::array<std::int32_t, 17> PenColours;  // 1..16: pens of layers 16 to 31
extern std::array<std::int32_t, 17> PenWidths;   // 1..16
extern std::array<std::int32_t, 6> LayerLineWidths;
extern std::uint8_t MonochromeLayers;
extern std::int32_t NumberedLayers;
extern std::string CadFont;
extern long double CadTextFactor;
extern long double CadFontAngle;
extern std::string CurrentLayer;
extern std::uint8_t CurrentLayerNumber;

// Current text style.
extern long double TextHeight;
extern long double TextWidthFactor;
extern long double TextAngle;
extern long double TextObliqueAngle;
extern std::int32_t TextAlignH;
extern std::int32_t TextAlignV;
extern long double LineSpacing;

// Output and geometry bookkeeping.
struct CadPoint {
  long double x = 0;
  long double y = 0;
};
struct CadExtents {
  long double xmin, xmax, ymin, ymax, width, height;
};
extern std::uint16_t CadTarget;
extern std::string CadFileName;
extern CadPoint CurrentPoint;
extern CadPoint DrawOffset;
extern CadExtents DrawingExtents;
extern std::uint8_t PolylineMode;
extern std::int32_t VertexCount;
extern long double VertexSweep;
extern std::uint8_t InBlocks;
extern std::int32_t BlockLevel;
extern long double InsertOriginX;
extern long double InsertOriginY;
extern long double InsertAngle;
extern long double InsertScaleX;
extern long double InsertScaleY;
extern long double DimArrowFactor;
extern std::uint8_t SuppressOpen;
extern std::int32_t Mode3D;
extern long double ZBottom;
extern long double ZTop;
extern std::int32_t TitleBlockMode;
extern std::int32_t TitleBlockLanguage;

// Settings carried by the configuration.
struct PlotCommandList {
  std::uint16_t Count;
  std::uint16_t Chosen;              // not stored
  std::array<std::string, 6> Lines;  // 1..5
};
extern PlotCommandList PlotCommandLines;
extern std::int32_t CadDecimals;
extern long double CadUnitFactor;
extern long double DimArrowBase;
extern std::uint8_t OpenAfterExport;
extern std::uint8_t ArcsAsSegments;
extern long double ArcResolution;
extern std::int32_t StlType;
extern std::uint8_t StlInverse;
extern std::uint8_t HideMakerLine;
extern std::uint8_t HideFileName;
extern std::uint8_t HideDate;
extern std::uint8_t HideLogo;
extern std::uint8_t HideFooter;
extern std::uint8_t HideDrawingHead;
extern std::uint8_t HideProtectionNote;
extern std::uint8_t HideZoneMarks;
extern std::uint8_t HideMmScale;
extern std::uint8_t ShowChanges;
extern std::uint8_t UseHeadBlocks;
extern std::uint8_t UseInsertBlocks;
extern std::uint8_t RevisionFromZero;
extern std::string ApprovalFieldText;
extern long double ZSlice;
extern long double FitClearanceShaft;
extern long double FitClearanceBore;

// 3D view settings.
extern std::array<long double, 3> ViewAngles3D;
extern std::uint8_t Edit3DAngles;
extern std::uint8_t Drawing3D;
extern std::uint8_t NoCoordCross3D;

inline constexpr const char* DefaultPlotCommandLine = "C:\\PENWERK\\WPENWERK PENWERK.DXF /M1.0";

// Fills PenColours and PenWidths and resets the plot command lines to the default line.
void InitPenTables();
// Sets every default of the CAD state; runs once at program start.
void InitCadDefaults();
