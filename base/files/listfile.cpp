#include "base/files/listfile.h"

#include <cmath>
#include <initializer_list>
#include <utility>

#include "base/files/utilsys.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"

TextFile ListFile;

namespace {

// As many as the program's number texts carry.
constexpr std::int32_t kSignificantDigits = 18;

void WriteFields(std::initializer_list<const std::string*> fields) {
  std::string line;
  for (const std::string* field : fields) line += *field + "|";
  ListFile.WriteLine(line);
}

std::string ReadLine() {
  std::string line;
  ListFile.ReadLine(line);
  return line;
}

long double ReadReal() {
  std::string line = ReadLine();
  for (char& c : line)
    if (c == ',') c = '.';
  return TextToReal(line);
}

// Written in their short form ("0", "-2").
bool WholeBelowOne(long double x) {
  return x < 1 && std::fabs(x - std::nearbyint(x)) < 1e-10L;
}

// The value's 18 significant digits in exponent form without trailing zeros: "1E-400",
// "1.23456789012345678E+0".
std::string ShortExponentText(long double x) {
  const std::string text = ExponentText(x, kSignificantDigits, 1);
  const std::size_t exponent = text.find('E');
  std::size_t end = text.find_last_not_of('0', exponent - 1) + 1;
  if (text[end - 1] == '.') --end;
  return text.substr(0, end) + text.substr(exponent);
}

}  // namespace

void WriteTextLine(const std::string& text) {
  ListFile.WriteLine(text);
}

void WriteStringLine(const std::string& text) {
  ListFile.WriteLine(text);
}

void WriteText(const std::string& text) {
  ListFile.Write(text);
}

void WriteIntLine(std::int32_t n) {
  ListFile.WriteLine(IntText(n));
}

void WriteRealLine(long double x) {
  ListFile.WriteLine(RealLineText(x));
}

std::string RealLineText(long double x) {
  return WholeBelowOne(x) ? RealText(x) : RealTextDec(7, x);
}

std::string ExactRealLineText(long double x) {
  std::string fixed = FixedPointText(x, WholeBelowOne(x) ? 0 : 7);
  std::string exponent = ShortExponentText(x);
  return TextToReal(fixed) == TextToReal(exponent) ? fixed : exponent;
}

void WriteBoolLine(bool b) {
  ListFile.WriteLine(b ? "TRUE" : "FALSE");
}

void WriteFields4(const std::string& a, const std::string& b, const std::string& c,
                  const std::string& d) {
  WriteFields({&a, &b, &c, &d});
}

void WriteFields6(const std::string& s1, const std::string& s2, const std::string& s3,
                  const std::string& s4, const std::string& s5, const std::string& s6) {
  WriteFields({&s1, &s2, &s3, &s4, &s5, &s6});
}

void WriteFields8(const std::string& s1, const std::string& s2, const std::string& s3,
                  const std::string& s4, const std::string& s5, const std::string& s6,
                  const std::string& s7, const std::string& s8) {
  WriteFields({&s1, &s2, &s3, &s4, &s5, &s6, &s7, &s8});
}

void ReadTextLine(std::string& text) {
  ListFile.ReadLine(text);
}

void ReadCharLine(char& c) {
  const std::string line = ReadLine();
  c = line.empty() ? '\0' : line[0];
}

void ReadIntLine(std::int32_t& n) {
  n = TextToInt(ReadLine());
}

void ReadWordLine(std::uint16_t& n) {
  n = static_cast<std::uint16_t>(static_cast<std::uint32_t>(TextToInt(ReadLine())));
}

void ReadExtLine(long double& x) {
  x = ReadReal();
}

void ReadDoubleLine(double& x) {
  x = static_cast<double>(ReadReal());
}

void ReadBoolLine(bool& b) {
  const std::string line = UpperText(ReadLine());
  if (AbortFlag == 0) b = line == "TRUE";
}

void ReadBoolNotFalse(bool& b) {
  const std::string line = UpperText(ReadLine());
  if (AbortFlag == 0) b = line != "FALSE";
}

void ReadFields4(std::string& a, std::string& b, std::string& c, std::string& d) {
  std::vector<std::string> fields = SplitFields(ReadLine(), 4);
  a = std::move(fields[0]);
  b = std::move(fields[1]);
  c = std::move(fields[2]);
  d = std::move(fields[3]);
}

std::vector<std::string> SplitFields(std::string_view line, std::size_t count) {
  std::vector<std::string> fields(count);
  std::size_t start = 0;
  for (std::string& field : fields) {
    const std::size_t bar = line.find('|', start);
    if (bar == std::string_view::npos) break;
    field = line.substr(start, bar - start);
    start = bar + 1;
  }
  return fields;
}

std::vector<std::string> ListingHeaderLines(const std::string& text1, const std::string& text2,
                                            const std::string& text3) {
  const std::string rule(65, '-');
  return {rule,
          LongTitle + "   V " + FileVersionText("W" + ShortName + ".exe"),
          "Version " + ProgVersion,
          rule,
          text1,
          text2,
          text3};
}

void ListingHeader() {
  for (const std::string& line :
       ListingHeaderLines(DrawingTexts[1], DrawingTexts[2], DrawingTexts[3]))
    WriteTextLine(line);
}
