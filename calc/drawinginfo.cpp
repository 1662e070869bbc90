#include "calc/drawinginfo.h"

#include "base/text/utildate.h"

OneBased<ChangeEntry, kChangeSlotCount> ChangeEntries;
std::uint16_t ChangeCount = 0;
TitleBlockFieldSet TitleBlockFields;
OneBased<DrawingTextRecord, kDrawingTextSlotCount> DrawingTextRecords;
std::uint16_t DrawingTextCount = 0;
std::int32_t DrawingTextMode = kDrawingTextsA4;

void InitDrawingInfo() {
  ChangeEntries = {};
  ChangeCount = 0;
  DrawingTextRecords = {};
  DrawingTextCount = 0;
  TitleBlockFields = {};
  const std::string today = TodayText();
  for (int row = 1; row <= 3; ++row) TitleBlockFields.Rows[row].Date = today;
  DrawingTextMode = kDrawingTextsA4;
}

void ResetDrawingInfo() {
  ChangeCount = 0;
  TitleBlockFields = {};
  TitleBlockFields.Rows[1].Date = TodayText();
  DrawingTextCount = 0;
  DrawingTextMode = kDrawingTextsA4;
}
