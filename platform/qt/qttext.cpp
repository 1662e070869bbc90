#include "platform/qt/qttext.h"

#include "platform/files/codepage.h"
#include "platform/files/taggedtext.h"

namespace platform::qt {

QString ToQString(std::string_view cp1252) {
  const std::string utf8 = Cp1252ToUtf8(cp1252);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString MenuTextToQString(std::string_view text, std::uint16_t codePage) {
  const std::string utf8 = TaggedToUtf8({std::string(text), codePage});
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
