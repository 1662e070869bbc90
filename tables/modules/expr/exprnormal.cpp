#include "tables/modules/expr/exprnormal.h"

namespace dadav {

std::string NormalizeKeyExpression(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\'' || c == '"') {
      const std::size_t close = text.find(c, i + 1);
      if (close == std::string_view::npos) {
        out.append(text.substr(i));
        break;
      }
      const std::string_view inside = text.substr(i + 1, close - i - 1);
      const char quote = inside.find('"') == std::string_view::npos ? '"' : '\'';
      out += quote;
      out.append(inside);
      out += quote;
      i = close + 1;
      continue;
    }
    if (c != ' ' && c != '\t') out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    ++i;
  }
  return out;
}

}  // namespace dadav
