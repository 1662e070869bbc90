#include "calc/connectionstate.h"

#include "base/settings/brelvar.h"

ConnectionState ConnectionState::Current() {
  ConnectionState state;
  state.record = CalcData;
  state.drawingTexts = DrawingTexts;
  state.drawingName = DrawingName;
  state.drawingNo = DrawingNo;
  state.drawingName2 = DrawingName2;
  state.materials = Materials;
  state.fs = PartFS;
  state.fh = PartFH;
  state.pzul = PartPzul;
  state.materialRecNo = MaterialRecNo;
  state.materialType = MaterialType;
  state.changes = ChangeEntries;
  state.changeCount = ChangeCount;
  state.titleBlock = TitleBlockFields;
  state.texts = DrawingTextRecords;
  state.textCount = DrawingTextCount;
  state.textMode = DrawingTextMode;
  state.titleBlockStandard = TitleBlockStandard;
  state.links = DocumentLinks;
  state.messages = Messages;
  state.messageCount = MessageCount;
  state.fatal = FatalFlag;
  return state;
}

void ConnectionState::Restore() const {
  CalcData = record;
  DrawingTexts = drawingTexts;
  DrawingName = drawingName;
  DrawingNo = drawingNo;
  DrawingName2 = drawingName2;
  Materials = materials;
  PartFS = fs;
  PartFH = fh;
  PartPzul = pzul;
  MaterialRecNo = materialRecNo;
  MaterialType = materialType;
  ChangeEntries = changes;
  ChangeCount = changeCount;
  TitleBlockFields = titleBlock;
  DrawingTextRecords = texts;
  DrawingTextCount = textCount;
  DrawingTextMode = textMode;
  TitleBlockStandard = titleBlockStandard;
  DocumentLinks = links;
  Messages = messages;
  MessageCount = messageCount;
  FatalFlag = fatal;
}
