#pragma once
// The bytes of a calculation file: code page 850 texts, one value per line, every line ending in
// CR LF. Reals carry "." and 7 decimals whatever the regional settings; the reader also takes ","
// so that files move between regional settings.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/calcfiledata.h"

// Larger files are no calculation files.
inline constexpr std::size_t kCalcFileLimit = 1U << 20;

// The file's lines, without their line ends.
std::vector<std::string> CalcFileLines(const CalcFileData& data);
// The sections of the lines, appended to lines.
void WriteChangeSection(const CalcFileData& data, std::vector<std::string>& lines);
void WriteDocumentsSection(const CalcFileData& data, std::vector<std::string>& lines);
void WriteIso7200Header(const CalcFileData& data, std::vector<std::string>& lines);

// The data of a file's bytes; nothing for a damaged file (over kCalcFileLimit, or ending before
// the last material line). Lines missing after that read as empty texts and zeros, numbers that
// do not parse or lie outside what a connection can hold as 0, and counts within the slots.
std::optional<CalcFileData> ParseCalcFile(std::string_view bytes);
