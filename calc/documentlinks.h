#pragma once
// The five document links of a connection: each pairs a program with a document file the user
// opens from the program. Texts are kept as typed, Windows-1252 bytes, never converted.

#include <string>

#include "calc/kv6record.h"

inline constexpr int kDocumentLinkCount = 5;

struct DocumentLink {
  std::string Program;  // path or name of the program
  std::string File;     // path of the document

  bool operator==(const DocumentLink&) const = default;
};

extern OneBased<DocumentLink, kDocumentLinkCount> DocumentLinks;

// Start-up: the stored default programs, no files.
void InitDocumentLinks();
// A new connection: the three drawing texts of the report headers empty; the links stay.
void ResetDocumentTexts();
