#pragma once
// Everything that makes up the program's current connection: its inputs, results, materials,
// drawing documentation, document links and the calculation's messages. Taken as one value, so
// that a command that must run through other connections (a listing of files, a pick from a
// table) can put the connection back exactly as it was.

#include <array>
#include <cstdint>
#include <string>

#include "base/settings/wbrelvar.h"
#include "base/text/messages.h"
#include "calc/documentlinks.h"
#include "calc/drawinginfo.h"
#include "calc/kv6record.h"

struct ConnectionState {
  kv6record record;
  std::array<std::string, kDrawingTextCount + 1> drawingTexts;
  PartPair<std::string> drawingName, drawingNo, drawingName2;
  PartPair<RKM1BASE_Record> materials;
  PartPair<long double> fs, fh, pzul;
  PartPair<std::uint16_t> materialRecNo;
  KV3WSTYP_Record materialType;
  OneBased<ChangeEntry, kChangeSlotCount> changes;
  std::uint16_t changeCount = 0;
  TitleBlockFieldSet titleBlock;
  OneBased<DrawingTextRecord, kDrawingTextSlotCount> texts;
  std::uint16_t textCount = 0;
  std::int32_t textMode = 0;
  std::int32_t titleBlockStandard = 0;
  OneBased<DocumentLink, kDocumentLinkCount> links;
  decltype(Messages) messages;
  std::uint16_t messageCount = 0;
  std::uint8_t fatal = 0;

  bool operator==(const ConnectionState&) const = default;

  // The program's connection as it is now.
  static ConnectionState Current();
  // Makes it the program's connection again.
  void Restore() const;
};
