#pragma once
// What the drawings' title block and change protocol show: the change list, the title-block
// fields and the free drawing texts with the sheet formats they go on. Global records that live
// for the whole run; texts are code page 850 bytes. The slots are never reallocated: the counts
// grow and shrink over them, and a slot above its count keeps its old texts.

#include <cstdint>
#include <string>

#include "calc/kv6record.h"

inline constexpr int kChangeSlotCount = 25;
inline constexpr int kDrawingTextSlotCount = 8;

struct ChangeEntry {
  std::string ChangeText;   // the "Modification" column, at most 20 characters typed
  std::string ChangeDate;   // at most 10 characters typed
  std::string Editor;       // who made it, at most 5 characters typed
  std::string Description;  // at most 255 characters typed; CR LF separates its lines

  bool operator==(const ChangeEntry&) const = default;
};

struct TitleRow {
  std::string Date;
  std::string Name;

  bool operator==(const TitleRow&) const = default;
};

// Rows 1-3 are the DIN 6771 rows "Compl.", "Check", "Stand." and the ISO 7200 rows "Created by",
// "Approved by", "Technical reference"; row 4, the approval row, exists only in DIN 6771. The
// replacement texts show only in DIN 6771, the last three only in ISO 7200.
struct TitleBlockFieldSet {
  OneBased<TitleRow, 4> Rows;
  std::string ReplacementFor;  // at most 15 characters typed
  std::string ReplacedBy;      // at most 15 characters typed
  std::string ResponsibleDept;
  std::string DocumentType;
  std::string DocumentStatus;

  bool operator==(const TitleBlockFieldSet&) const = default;
};

struct DrawingTextRecord {
  long double x = 0;
  long double y = 0;
  long double h = 0;
  long double phi = 0;
  std::string Text;
  std::int32_t Layer = 0;

  bool operator==(const DrawingTextRecord&) const = default;
};

// The sheet formats the drawing texts go on.
enum DrawingTextModes : std::int32_t {
  kDrawingTextsA4 = 0,
  kDrawingTextsA3 = 1,
  kDrawingTextsA4A3 = 2,
  kDrawingTextsNone = 3
};

extern OneBased<ChangeEntry, kChangeSlotCount> ChangeEntries;
extern std::uint16_t ChangeCount;
extern TitleBlockFieldSet TitleBlockFields;
extern OneBased<DrawingTextRecord, kDrawingTextSlotCount> DrawingTextRecords;
extern std::uint16_t DrawingTextCount;
extern std::int32_t DrawingTextMode;

// Start-up: every slot and field empty, no entries and no texts, the dates of title rows 1-3
// today, texts on A4.
void InitDrawingInfo();
// A new connection: no entries and no texts, texts on A4, every title-block field empty but the
// date of row 1, which is today. The slots keep their texts, so a new entry after a reset shows
// the old one's.
void ResetDrawingInfo();
