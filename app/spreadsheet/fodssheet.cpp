// The flat OpenDocument text of one sheet: number cells carry a style with the decimals they were
// written with, text cells keep every blank, tab and character of their text.
#include "app/spreadsheet/fodssheet.h"

#include <cstddef>

#include "base/text/numbertext.h"

namespace {

constexpr std::size_t kMostDigits = 15;
constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::size_t CountDigits(std::string_view text, std::size_t from) {
  std::size_t n = 0;
  while (from + n < text.size() && IsDigit(text[from + n])) ++n;
  return n;
}

// Decimals written after the separator of a number text.
std::int32_t DecimalsOf(std::string_view number) {
  const std::size_t separator = number.find_first_of(".,");
  return separator == std::string_view::npos
             ? 0
             : static_cast<std::int32_t>(number.size() - separator - 1);
}

// Length of the well-formed UTF-8 sequence at text[i] whose character XML allows, else 0.
std::size_t XmlCharLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[i + k]); };
  const std::uint8_t lead = byte(0);
  if (lead < 0x80) return lead >= 0x20 || lead == '\t' ? 1 : 0;
  std::size_t length = 0;
  std::uint32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07u;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(k) & 0xC0u) != 0x80u) return 0;
    code = (code << 6) | (byte(k) & 0x3Fu);
  }
  const bool shortest =
      (length == 3 && code >= 0x800) || (length == 4 && code >= 0x10000) || length == 2;
  const bool allowed =
      code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF) && code != 0xFFFE && code != 0xFFFF;
  return shortest && allowed ? length : 0;
}

void AppendBlanks(std::string& out, std::size_t count, bool literalFirst) {
  if (literalFirst) {
    out += ' ';
    --count;
  }
  if (count == 1) out += "<text:s/>";
  if (count > 1) out += "<text:s text:c=\"" + IntText(static_cast<std::int32_t>(count)) + "\"/>";
}

// The paragraph text of a text cell. A blank stays a plain blank only between two characters;
// every other blank, and every tab, is spelled out so that no reader collapses it.
void AppendCellText(std::string& out, std::string_view text) {
  bool afterChar = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ') {
      std::size_t run = 1;
      while (i + run < text.size() && text[i + run] == ' ') ++run;
      const bool inside = afterChar && i + run < text.size();
      AppendBlanks(out, run, inside);
      i += run;
      afterChar = false;
      continue;
    }
    afterChar = c != '\t';
    const std::size_t length = XmlCharLength(text, i);
    if (c == '\t') {
      out += "<text:tab/>";
    } else if (length == 0) {
      out += kReplacement;
    } else if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '"') {
      out += "&quot;";
    } else {
      out.append(text.substr(i, length));
    }
    i += length == 0 ? 1 : length;
  }
}

void AppendCell(std::string& out, const std::string& text) {
  if (text.empty()) {
    out += "<table:table-cell/>";
    return;
  }
  if (IsNumberText(text)) {
    std::string number(TrimBlanks(text));
    if (const std::size_t comma = number.find(','); comma != std::string::npos) number[comma] = '.';
    out += "<table:table-cell table:style-name=\"ce" + IntText(DecimalsOf(number)) +
           "\" office:value-type=\"float\" office:value=\"" + number + "\"><text:p>" + number +
           "</text:p></table:table-cell>";
    return;
  }
  out += "<table:table-cell office:value-type=\"string\"><text:p>";
  AppendCellText(out, text);
  out += "</text:p></table:table-cell>";
}

void AppendRepeated(std::string& out, const char* element, const char* attribute,
                    std::int32_t count, const char* inner) {
  out += std::string("<") + element;
  if (count > 1) out += std::string(" ") + attribute + "=\"" + IntText(count) + "\"";
  out += inner[0] == '\0' ? "/>" : std::string(">") + inner + "</" + element + ">";
}

void AppendRow(std::string& out, const SheetCells::Row& row) {
  out += "<table:table-row>";
  std::int32_t column = 1;
  for (const auto& [at, text] : row) {
    if (at > column) {
      AppendRepeated(out, "table:table-cell", "table:number-columns-repeated", at - column, "");
    }
    AppendCell(out, text);
    column = at + 1;
  }
  out += "</table:table-row>\n";
}

// A number style and a cell style for each count of decimals a number cell can have.
void AppendStyles(std::string& out) {
  out += "<office:automatic-styles>\n";
  for (std::int32_t decimals = 0; decimals <= static_cast<std::int32_t>(kMostDigits); ++decimals) {
    const std::string n = IntText(decimals);
    out += "<number:number-style style:name=\"N" + n +
           "\"><number:number number:decimal-places=\"" + n + "\" number:min-decimal-places=\"" +
           n +
           "\" number:min-integer-digits=\"1\"/></number:number-style>\n"
           "<style:style style:name=\"ce" +
           n + "\" style:family=\"table-cell\" style:data-style-name=\"N" + n + "\"/>\n";
  }
  out += "</office:automatic-styles>\n";
}

}  // namespace

void SheetCells::Set(std::int32_t row, std::int32_t column, std::string utf8) {
  rows_[row][column] = std::move(utf8);
}

bool IsNumberText(std::string_view text) {
  const std::string_view t = TrimBlanks(text);
  std::size_t i = !t.empty() && t[0] == '-' ? 1 : 0;
  const std::size_t integer = CountDigits(t, i);
  if (integer == 0 || (integer > 1 && t[i] == '0')) return false;
  i += integer;
  std::size_t decimals = 0;
  if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
    decimals = CountDigits(t, i + 1);
    if (decimals == 0) return false;
    i += decimals + 1;
  }
  return i == t.size() && integer + decimals <= kMostDigits;
}

std::string FodsDocument(const SheetCells& sheet) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<office:document"
      " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
      " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
      " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
      " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
      " xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\""
      " office:version=\"1.2\""
      " office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">\n";
  AppendStyles(out);
  out += "<office:body><office:spreadsheet><table:table table:name=\"Sheet1\">\n";
  std::int32_t next = 1;
  for (const auto& [row, cells] : sheet.Rows()) {
    if (row > next) {
      AppendRepeated(out, "table:table-row", "table:number-rows-repeated", row - next,
                     "<table:table-cell/>");
    }
    AppendRow(out, cells);
    next = row + 1;
  }
  out += "</table:table></office:spreadsheet></office:body></office:document>\n";
  return out;
}
