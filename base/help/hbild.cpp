#include "base/help/hbild.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/draw/breldraw.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/help/hbildvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/numbertext.h"
#include "base/text/utilmath.h"
#include "platform/files/fileresolve.h"

namespace {

constexpr long double kMmPerPlotterUnit = 0.025L;
constexpr char kLabelEnd = 3;

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// Plot-file bytes with the readers of the command language. Every read consumes a byte, so
// any loop over them ends with the data.
class HpglReader {
 public:
  explicit HpglReader(const std::string& data) : data_(data) {}

  // False at the end of the data, with AbortFlag set.
  bool ReadNonBlank(char& c) {
    while (pos_ < data_.size()) {
      c = data_[pos_++];
      if (c != ' ' && c != '\r' && c != '\n') return true;
    }
    AbortFlag = 1;
    return false;
  }

  bool ReadLabelChar(char& c) {
    while (pos_ < data_.size()) {
      c = data_[pos_++];
      if (c != '\r' && c != '\n') return true;
    }
    AbortFlag = 1;
    return false;
  }

  // The text of one parameter, up to and without its "," or ";".
  bool ReadParameter(std::string& text) {
    text.clear();
    char c = 0;
    while (ReadNonBlank(c)) {
      if (c == ',' || c == ';') {
        if (c == ';') HpglEndSeen = 1;
        return true;
      }
      text += c;
    }
    return false;
  }

  bool ReadInt(std::int32_t& value) {
    std::string text;
    if (!ReadParameter(text)) return false;
    value = text.empty() ? 1 : TextToInt(text);
    return true;
  }

  bool ReadReal(long double& value) {
    std::string text;
    if (!ReadParameter(text)) return false;
    value = TextToReal(text);
    return true;
  }

  bool ReadCoord(long double& value) {
    std::string text;
    if (!ReadParameter(text)) return false;
    std::string kept;
    for (const char c : text) {
      if (c != 'P' && c != 'A') kept += c;
    }
    value = kept.empty() ? 0 : TextToReal(kept);
    return true;
  }

  void SkipToEnd() {
    char c = 0;
    while (ReadNonBlank(c)) {
      if (c == ';') {
        HpglEndSeen = 1;
        return;
      }
    }
  }

 private:
  const std::string& data_;
  std::size_t pos_ = 0;
};

class HpglInterpreter {
 public:
  explicit HpglInterpreter(const std::string& data) : in_(data) {}

  void Run();

 private:
  void Execute(char c1, char c2);
  void PenMove();
  void MoveOrDraw(long double x, long double y);
  void Circle();
  void CharSize();
  void Direction();
  void Label();
  void ArcAbsolute();
  void PolylineEncoded();
  // A "," after the last parameter read leaves further parameters, which are skipped.
  void EndCommand() {
    if (HpglEndSeen == 0 && AbortFlag == 0) in_.SkipToEnd();
  }
  void UsePenColour() { Drawer->grSetColor(HpglPenColor(HpglPen)); }

  HpglReader in_;
  // The start position (-999, -999) is no place to draw from.
  bool positionKnown_ = false;
};

void HpglInterpreter::Run() {
  for (;;) {
    HpglEndSeen = 0;
    char c1 = 0;
    char c2 = 0;
    if (!in_.ReadNonBlank(c1)) break;
    if (c1 == ';' && !in_.ReadNonBlank(c1)) break;
    if (!in_.ReadNonBlank(c2)) break;
    Execute(Upper(c1), Upper(c2));
    if (AbortFlag != 0) break;
  }
}

void HpglInterpreter::Execute(char c1, char c2) {
  const std::string m{c1, c2};
  if (m == "PU" || m == "PD") {
    HpglPenDown = m == "PD" ? 1 : 0;
    PenMove();
  } else if (m == "PA") {
    PenMove();
  } else if (m == "SP") {
    std::int32_t pen = 0;
    if (in_.ReadInt(pen)) HpglPen = static_cast<std::uint8_t>(pen);
    EndCommand();
  } else if (m == "CI") {
    Circle();
  } else if (m == "SI") {
    CharSize();
  } else if (m == "DI") {
    Direction();
  } else if (m == "LB") {
    Label();
  } else if (m == "AA") {
    ArcAbsolute();
  } else if (m == "PE") {
    PolylineEncoded();
  } else if (m == "CS") {
    long double set = 0;
    if (in_.ReadCoord(set)) HpglCharSet = set;
    EndCommand();
  } else {
    in_.SkipToEnd();
  }
}

void HpglInterpreter::MoveOrDraw(long double x, long double y) {
  if (HpglPenDown != 0 && positionKnown_) {
    UsePenColour();
    Drawer->grLine(HpglPosX, HpglPosY, x, y);
  }
  HpglPosX = x;
  HpglPosY = y;
  positionKnown_ = true;
}

void HpglInterpreter::PenMove() {
  for (;;) {
    long double x = 0;
    long double y = 0;
    if (!in_.ReadCoord(x) || HpglEndSeen != 0) return;
    if (!in_.ReadCoord(y)) return;
    MoveOrDraw(x * kMmPerPlotterUnit, y * kMmPerPlotterUnit);
    if (HpglEndSeen != 0) return;
  }
}

void HpglInterpreter::Circle() {
  long double r = 0;
  if (!in_.ReadReal(r)) return;
  if (positionKnown_) {
    UsePenColour();
    Drawer->grCircle(HpglPosX, HpglPosY, r * kMmPerPlotterUnit);
  }
  EndCommand();
}

void HpglInterpreter::CharSize() {
  long double w = 0;
  long double h = 0;
  if (!in_.ReadReal(w) || HpglEndSeen != 0 || !in_.ReadReal(h)) return;
  HpglCharWidth = w;
  HpglCharHeight = h;
  EndCommand();
}

void HpglInterpreter::Direction() {
  long double run = 0;
  long double rise = 0;
  if (!in_.ReadReal(run) || HpglEndSeen != 0 || !in_.ReadReal(rise)) return;
  HpglDirRun = run;
  HpglDirRise = rise;
  EndCommand();
}

std::uint8_t Umlaut(char c) {
  switch (c) {
    case 'a':
      return 132;
    case 'o':
      return 148;
    case 'u':
      return 129;
    case 'A':
      return 142;
    case 'O':
      return 153;
    case 'U':
      return 154;
    default:
      return 0;
  }
}

void HpglInterpreter::Label() {
  std::string text;
  char c = 0;
  for (;;) {
    if (!in_.ReadLabelChar(c)) return;
    if (c == kLabelEnd) break;
    if (c == '}' && HpglCharSet == 3) {
      const std::uint8_t umlaut = text.empty() ? 0 : Umlaut(text.back());
      if (umlaut != 0) text.back() = static_cast<char>(umlaut);
      continue;
    }
    text += c;
  }
  HpglEndSeen = 1;
  UsePenColour();
  const long double angle = AngleXY(HpglDirRun, HpglDirRise) * 180 / Pi;
  Drawer->grSetTextStyle(2, angle, 10 * HpglCharHeight, 10 * HpglCharWidth);
  Drawer->grOutTextXY(HpglPosX, HpglPosY, text);
}

// The pen ends at the arc's end point, as on a plotter.
void HpglInterpreter::ArcAbsolute() {
  long double xc = 0;
  long double yc = 0;
  long double sweep = 0;
  if (!in_.ReadCoord(xc) || HpglEndSeen != 0) return;
  if (!in_.ReadCoord(yc) || HpglEndSeen != 0) return;
  if (!in_.ReadReal(sweep)) return;
  xc *= kMmPerPlotterUnit;
  yc *= kMmPerPlotterUnit;
  long double xe = 0;
  long double ye = 0;
  RotateAbout(HpglPosX, HpglPosY, xc, yc, sweep * Pi / 180, xe, ye);
  if (HpglPenDown != 0 && positionKnown_) {
    const long double r = std::hypot(HpglPosX - xc, HpglPosY - yc);
    const long double a1 = AngleXY(HpglPosX - xc, HpglPosY - yc) * 180 / Pi;
    long double a2 = AngleXY(xe - xc, ye - yc) * 180 / Pi;
    if (a2 == a1) a2 = a1 + 360;
    UsePenColour();
    Drawer->grArc(xc, yc, a1, a2, r, sweep);
  }
  HpglPosX = xe;
  HpglPosY = ye;
  EndCommand();
}

// Encoded numbers of HP-GL/2: base-64 (8-bit) or base-32 (7-bit) digits, lowest first, the
// lowest bit the sign.
class EncodedNumbers {
 public:
  enum class Result { Value, CommandEnd, DataEnd };

  explicit EncodedNumbers(HpglReader& in) : in_(in) {}
  void SetSevenBit() { sevenBit_ = true; }

  // Decodes the number that begins with first; the ";" that ends the command is not part of
  // a number and ends it.
  Result Decode(char first, std::int64_t& value) {
    std::uint64_t acc = 0;
    int shift = 0;
    char c = first;
    for (;;) {
      const unsigned u = static_cast<unsigned char>(c);
      const unsigned bits = sevenBit_ ? 5 : 6;
      const bool nonFinal = u >= 63 && u < 63 + (1u << bits);
      const unsigned finalBase = sevenBit_ ? 95 : 191;
      const bool isFinal = u >= finalBase && u < finalBase + (1u << bits);
      if ((nonFinal || isFinal) && shift <= 58) {
        acc += static_cast<std::uint64_t>(u - (nonFinal ? 63 : finalBase)) << shift;
      }
      if (!nonFinal) break;
      shift += static_cast<int>(bits);
      if (!in_.ReadNonBlank(c)) return Result::DataEnd;
      if (c == ';') return Result::CommandEnd;
    }
    const std::int64_t magnitude = static_cast<std::int64_t>(acc >> 1);
    value = (acc & 1) != 0 ? -magnitude : magnitude;
    return Result::Value;
  }

  // Reads the first character of the next number, then decodes it.
  Result ReadAndDecode(std::int64_t& value) {
    char c = 0;
    if (!in_.ReadNonBlank(c)) return Result::DataEnd;
    if (c == ';') return Result::CommandEnd;
    return Decode(c, value);
  }

 private:
  HpglReader& in_;
  bool sevenBit_ = false;
};

void HpglInterpreter::PolylineEncoded() {
  using Result = EncodedNumbers::Result;
  HpglPenDown = 1;
  EncodedNumbers numbers(in_);
  bool absolute = false;
  char c = 0;
  for (;;) {
    if (!in_.ReadNonBlank(c)) return;
    const unsigned u = static_cast<unsigned char>(c);
    if (c == ';') {
      HpglEndSeen = 1;
      return;
    }
    if (c == '7') {
      numbers.SetSevenBit();
    } else if (c == ':') {
      std::int64_t pen = 0;
      const Result r = numbers.ReadAndDecode(pen);
      if (r != Result::Value) return;
      HpglPen = static_cast<std::uint8_t>(std::clamp<std::int64_t>(pen, 1, 15));
    } else if (c == '<') {
      HpglPenDown = 0;
    } else if (c == '>') {
      if (!in_.ReadNonBlank(c) || c == ';') return;
    } else if (c == '=') {
      absolute = true;
    } else if (u >= 63 && u <= 254) {
      std::int64_t ex = 0;
      std::int64_t ey = 0;
      if (numbers.Decode(c, ex) != Result::Value) return;
      if (numbers.ReadAndDecode(ey) != Result::Value) return;
      const long double dx = ex * kMmPerPlotterUnit;
      const long double dy = ey * kMmPerPlotterUnit;
      MoveOrDraw(absolute ? dx : HpglPosX + dx, absolute ? dy : HpglPosY + dy);
      HpglPenDown = 1;
      absolute = false;
    }
  }
}

void PlotFile(const std::string& fileName, bool nameAllowed) {
  Drawer->grWaitCursor();
  const std::string path = nameAllowed ? platform::ResolveFileName(fileName) : fileName;
  if (nameAllowed) {
    Drawer->grCheckFile(path);
  } else {
    Drawer->grFileMissing(path);
  }
  std::string data;
  if (AbortFlag == 0) {
    ReadWholeFile(path, data);  // a file that fails while being read draws what was read
    PlotHpglText(data);
  }
  Drawer->grNormalCursor();
}

}  // namespace

void PlotHpglText(const std::string& data) {
  HpglPosX = -999;
  HpglPosY = -999;
  SheetKind = 0;
  HpglInterpreter(data).Run();
  AbortFlag = 0;
}

void PlotHpgl(const std::string& fileName) {
  PlotFile(fileName, true);
}

void PlotNamedImage(const std::string& name) {
  const bool plain = name.find_first_of(std::string("/\0", 2)) == std::string::npos &&
                     name.find("..") == std::string::npos;
  PlotFile(AddBackslash(PltDir) + name + ".plt", plain);
}
