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
// The largest magnitude of a real the reader takes: beyond it no connection is meant, and such
// values would overflow the calculation.
inline constexpr long double kLargestCalcFileReal = 1e12L;
// The largest magnitude a number field takes, in the record's units: the calculation file keeps
// values up to kLargestCalcFileReal, and the free profile derives values up to 7 times its d1
// and e1.
inline constexpr long double kLargestInput = kLargestCalcFileReal / 10;

// The fixed lines of the layout. The reader finds each where the counts before it place it, so
// a count that disagrees with the lines it counts shows as damage instead of shifting values.
inline constexpr std::string_view kLongRule = "--------------------";
inline constexpr std::string_view kShortRule = "--------------";
inline constexpr std::string_view kDocumentsHeading = "documents";
inline constexpr std::string_view kIso7200Heading = "ISO 7200 Header";
inline constexpr std::string_view kIso7200End = "---";

// The file's lines, without their line ends.
std::vector<std::string> CalcFileLines(const CalcFileData& data);
// The sections of the lines, appended to lines.
void WriteChangeSection(const CalcFileData& data, std::vector<std::string>& lines);
void WriteDocumentsSection(const CalcFileData& data, std::vector<std::string>& lines);
void WriteIso7200Header(const CalcFileData& data, std::vector<std::string>& lines);

// The data of a file's bytes; nothing for a damaged file: over kCalcFileLimit, ending before the
// last material line, a count that is no whole number, or a fixed line that is not where the
// counts place it. Lines missing after the last material line read as empty texts and zeros,
// numbers that do not parse or lie outside what a connection can hold as 0, and counts within
// the slots.
std::optional<CalcFileData> ParseCalcFile(std::string_view bytes);
