// Texts across the Qt boundary: the program's Windows-1252 bytes to and from QString, through
// the program's own code-page table.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::qt {

QString ToQString(std::string_view cp1252);
std::string FromQString(const QString& text);
// Menu captions by their code-page tag (platform/files/taggedtext.h).
QString MenuTextToQString(std::string_view text, std::uint16_t codePage);
// The caption without its access-key marks ("&&" stays one "&"), for widgets that show none.
QString WithoutAccessKey(std::string_view cp1252);

}  // namespace platform::qt
