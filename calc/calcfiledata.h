#pragma once
// Everything a calculation file holds, as one value: the inputs of a connection with its
// drawing documentation and document links. Files are read into it and written from it, so a
// load is taken over whole or not at all.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "calc/documentlinks.h"
#include "calc/drawinginfo.h"
#include "calc/kv6record.h"

struct CalcFileMaterial {
  std::string Name;
  std::int32_t Re = 0;
  long double Pzul = 0;
  long double FH = 0;
  long double FS = 0;
  std::uint16_t RecNo = 0;
  std::string Ident;

  bool operator==(const CalcFileMaterial&) const = default;
};

struct CalcFileData {
  // The listing header: rules, program title and version, then the three drawing texts.
  std::array<std::string, 7> Header;
  PartPair<std::string> DrawingName, DrawingNo, DrawingName2;
  std::int32_t P3GRow = 0;
  long double d1 = 0, d2 = 0, d3 = 0, e1 = 0, d4 = 0, d5 = 0;
  long double d6 = 0, d6pre = 0, d7 = 0, e2 = 0, r1 = 0, r2 = 0;
  long double l = 0, T = 0, Mb = 0;
  std::uint16_t DisplacementCase = 0;
  long double KA = 0, fW = 0;
  PartPair<CalcFileMaterial> Materials;
  std::string ChangesHeading;
  std::vector<ChangeEntry> Changes;  // at most kChangeSlotCount
  TitleBlockFieldSet TitleBlock;
  std::vector<DrawingTextRecord> Texts;  // at most kDrawingTextSlotCount
  OneBased<DocumentLink, kDocumentLinkCount> Links;
  std::uint16_t DimensionMode = 0;
  std::string TolShaft;
  std::int32_t TitleBlockStandard = 0;
  std::int32_t DrawingTextMode = 0;
  long double l1 = 0, l2 = 0, dB1 = 0, dB2 = 0;

  bool operator==(const CalcFileData&) const = default;
};

// The program's current connection, header lines and change heading as they would be written.
CalcFileData CalcFileSnapshot();
// Takes a read file over into the program: drawing texts, record, materials, documentation and
// links. Header lines 1-4 and the heading are labels and change nothing; the change and text
// slots above the file's counts keep their texts.
void CommitCalcFile(const CalcFileData& data);
