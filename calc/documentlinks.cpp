#include "calc/documentlinks.h"

#include "base/settings/wbrelvar.h"

OneBased<DocumentLink, kDocumentLinkCount> DocumentLinks;

void InitDocumentLinks() {
  // Stored as the Windows programs' names; starting them maps them to the desktop's opener.
  constexpr const char* kDefaultPrograms[kDocumentLinkCount] = {
      "notepad.exe", "write.exe", "mspaint.exe", "notepad.exe", "notepad.exe"};
  for (int n = 1; n <= kDocumentLinkCount; ++n) {
    DocumentLinks[n] = {kDefaultPrograms[n - 1], ""};
  }
}

void ResetDocumentTexts() {
  for (int i = 1; i <= kDrawingTextCount; ++i) DrawingTexts[static_cast<std::size_t>(i)].clear();
}
