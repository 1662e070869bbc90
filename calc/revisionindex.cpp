#include "calc/revisionindex.h"

#include "base/text/numbertext.h"

std::string RevisionIndexText(std::uint16_t style, std::int32_t n) {
  switch (style) {
    case 0:
      return std::string(1, static_cast<char>(n + 'a' - 1));
    case 1:
      return IntText(n);
    case 2:
      return std::string(1, static_cast<char>(n + 'A' - 1));
    default:
      return "";
  }
}
