#pragma once
// Tables as comma-separated text: the current table written as one line per record, and the
// lines of such a file appended as records. The files are Windows-1252 text.

#include <cstddef>
#include <cstdint>
#include <string>

namespace dadav {

extern char DelimitedSeparator;
extern char DelimitedQuote;  // 0 for none
extern std::size_t DelimitedLineMax;

// The visible records from the top; the number written. The old file stays until the new one
// is complete.
std::int32_t CopyToDelimited(const std::string& name);
// One line per non-empty line of the file; the number appended. Stops at the first record the
// table refuses.
std::int32_t AppendFromDelimited(const std::string& name, bool showProgress);

}  // namespace dadav
