#include "cad/writers/igesrecord.h"

#include "base/text/numbertext.h"
#include "base/text/utilstr.h"

namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// Marks the bytes of the Hollerith strings of a parameter text. A string starts where a
// parameter starts (the text's start or after a delimiter) with digits and "H".
std::vector<bool> string_bytes(std::string_view text) {
  std::vector<bool> in_string(text.size(), false);
  std::size_t i = 0;
  bool field_start = true;
  while (i < text.size()) {
    if (field_start && is_digit(text[i])) {
      std::size_t j = i;
      std::size_t count = 0;
      while (j < text.size() && is_digit(text[j]) && count < text.size()) {
        count = count * 10 + static_cast<std::size_t>(text[j] - '0');
        ++j;
      }
      if (j < text.size() && text[j] == 'H') {
        std::size_t end = j + 1 + count < text.size() ? j + 1 + count : text.size();
        for (std::size_t k = j + 1; k < end; ++k) in_string[k] = true;
        i = end;
        field_start = false;
        continue;
      }
    }
    field_start = text[i] == ',' || text[i] == ';';
    ++i;
  }
  return in_string;
}

}  // namespace

std::string iges_record(std::string_view text, std::string_view pointer, char section,
                        std::int32_t sequence) {
  std::size_t used = text.size() + pointer.size() + 8;
  std::string line(text);
  if (used < 80) line.append(80 - used, ' ');
  line += pointer;
  line += section;
  line += IntTextZero(sequence, 7);
  return line;
}

std::string iges_hollerith(std::string_view text) {
  return IntText(static_cast<std::int32_t>(text.size())) + "H" + NoLineBreaks(text);
}

std::string iges_field(std::string_view text) {
  return TextRight(text, 8);
}

std::string iges_real(long double v) {
  return FixedPointText(v, 4);
}

std::vector<std::string> iges_cut(std::string_view text, std::size_t width) {
  std::vector<bool> in_string = string_bytes(text);
  std::vector<std::string> pieces;
  std::size_t pos = 0;
  while (text.size() - pos > width) {
    std::size_t length = width;
    for (std::size_t j = pos + width - 1; j > pos; --j) {
      if (text[j - 1] == ',' && !in_string[j - 1]) {
        length = j - pos;
        break;
      }
    }
    pieces.emplace_back(text.substr(pos, length));
    pos += length;
  }
  pieces.emplace_back(text.substr(pos));
  return pieces;
}
