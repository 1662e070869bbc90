#include "platform/qt/qttext.h"

#include <iconv.h>

#include <cerrno>

#include <vector>

#include "platform/codepage.h"

namespace platform::qt {

namespace {

// Unconvertible bytes become "?", like the 1252 table does.
std::string IconvToUtf8(std::string_view text, const char* codePage) {
  iconv_t cd = iconv_open("UTF-8", codePage);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::string out;
  std::vector<char> buffer(4 * text.size() + 4);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
      out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
      if (errno != E2BIG) {
        out += '?';
        ++in;
        --inLeft;
      }
      continue;
    }
    out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
  }
  iconv_close(cd);
  return out;
}

}  // namespace

QString ToQString(std::string_view cp1252) {
  const std::string utf8 = Cp1252ToUtf8(cp1252);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString MenuTextToQString(std::string_view text, std::uint16_t codePage) {
  if (codePage != 949 && codePage != 936) return ToQString(text);
  const std::string utf8 = IconvToUtf8(text, codePage == 949 ? "CP949" : "CP936");
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString WithoutAccessKey(std::string_view cp1252) {
  std::string plain;
  for (std::size_t i = 0; i < cp1252.size(); ++i) {
    if (cp1252[i] == '&' && i + 1 < cp1252.size()) ++i;
    plain += cp1252[i];
  }
  return ToQString(plain);
}

}  // namespace platform::qt
