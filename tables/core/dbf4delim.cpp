#include "tables/core/dbf4delim.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/files/blocklines.h"
#include "platform/files/fileresolve.h"
#include "platform/files/newoutput.h"
#include "platform/files/osfiles.h"
#include "tables/core/bulkprogress.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"

namespace dadav {

char DelimitedSeparator = ',';
char DelimitedQuote = '"';
std::size_t DelimitedLineMax = 2048;

namespace {

constexpr char kEndOfText = 0x1A;

bool Written(char type) {
  switch (type) {
    case 'C':
    case 'D':
    case 'F':
    case 'L':
    case 'N':
      return true;
    default:
      return false;
  }
}

std::string_view StoredText(const WorkArea& area, const FieldDescriptor& f) {
  return {reinterpret_cast<const char*>(area.raw.data() + f.offset), f.length};
}

// Appends a text between quotes, its own quote characters doubled.
void AppendQuoted(std::string& line, std::string_view text) {
  if (DelimitedQuote == 0) {
    line += text;
    return;
  }
  line += DelimitedQuote;
  for (char c : text) {
    if (c == DelimitedQuote) line += c;
    line += c;
  }
  line += DelimitedQuote;
}

void AppendFieldToken(std::string& line, const WorkArea& area, const FieldDescriptor& f) {
  const std::string_view stored = StoredText(area, f);
  switch (f.type) {
    case 'C':
      return AppendQuoted(line, RTrim(stored));
    case 'D':
      line += RTrim(stored);
      return;
    case 'L':
      line += stored.substr(0, 1);
      return;
    default:
      line += LTrim(stored);
  }
}

std::string DelimitedPath(const std::string& name) {
  return platform::ResolveFileName(FExpand(AddDefaultExt(name, "TXT")));
}

// The longest line a record of the area gives, quotes doubled.
std::size_t LongestLine(const WorkArea& area) {
  std::size_t length = 0;
  for (const FieldDescriptor& f : area.fields) {
    if (!Written(f.type)) continue;
    length += 1 + (f.type == 'C' ? 2 + 2 * std::size_t{f.length} : f.length);
  }
  return length;
}

// The next token from position: blanks and tabs before it dropped, quotes taken out, a doubled
// quote inside quotes read as one.
std::string NextToken(const std::string& line, std::size_t& position) {
  while (position < line.size() && (line[position] == ' ' || line[position] == '\t')) ++position;
  std::string token;
  bool quoted = false;
  for (; position < line.size(); ++position) {
    const char c = line[position];
    if (DelimitedQuote != 0 && c == DelimitedQuote) {
      if (quoted && position + 1 < line.size() && line[position + 1] == DelimitedQuote) {
        token += c;
        ++position;
      } else {
        quoted = !quoted;
      }
    } else if (!quoted && c == DelimitedSeparator) {
      ++position;
      break;
    } else {
      token += c;
    }
  }
  return token;
}

void PutText(std::int32_t n, std::string_view text, std::size_t room) {
  std::uint8_t* p = FieldAddress(n);
  const std::size_t length = std::min(text.size(), room);
  p[0] = static_cast<std::uint8_t>(length);
  std::memcpy(p + 1, text.data(), length);
}

bool EightDigits(std::string_view token) {
  return token.size() == 8 && token.find_first_not_of("0123456789") == std::string_view::npos;
}

void PutNumber(std::int32_t n, const FieldDescriptor& f, std::string_view token) {
  std::uint8_t* p = FieldAddress(n);
  if (f.decimals > 0) {
    const double value = ParseFieldReal(token);
    std::memcpy(p, &value, 8);
  } else if (NativeFieldSize(f) == 8) {
    const std::int64_t value = ParseFieldInt(token);
    std::memcpy(p, &value, 8);
  } else {
    const auto value = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(ParseFieldInt(token), std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
    std::memcpy(p, &value, 4);
  }
}

void StoreToken(std::int32_t n, const FieldDescriptor& f, const std::string& token) {
  switch (f.type) {
    case 'C':
      PutText(n, token, f.length);
      break;
    case 'D':
      // Digits are the stored form itself, so the year keeps its century; a virtual file has
      // no stored form and takes the date with its four-digit year.
      if (!EightDigits(token))
        PutText(n, token, 10);
      else if (Area()->vfile.isVirtual)
        PutText(n, DtosToCenturyDate(token), 10);
      else
        PutStoredField(n, token);
      break;
    case 'L':
      *FieldAddress(n) = !token.empty() && std::strchr("TtYy", token[0]) != nullptr;
      break;
    default:
      PutNumber(n, f, token);
  }
}

// The new file of an export, given up unless it replaced the target. The block file writes
// through a second descriptor, so that the new file stays open until it is put in place.
class ExportFile {
 public:
  ~ExportFile() {
    file.Close();
    platform::DropOutput(output);
  }
  platform::BlockFile file;
  platform::NewOutput output;
};

void ReportExportError(int code, const std::string& name) {
  ReportError(static_cast<std::uint16_t>(code),
              "File: " + name + " [CopyToDelimited(" + name + ")]");
}

// The current record as one line with its end, built in line: one buffer serves every record.
void DelimitedRecord(std::string& line) {
  const WorkArea& area = *Area();
  line.clear();
  bool first = true;
  for (const FieldDescriptor& f : area.fields) {
    if (!Written(f.type)) continue;
    if (!first) line += DelimitedSeparator;
    AppendFieldToken(line, area, f);
    first = false;
  }
  line += "\r\n";
}

// Stores the token at position of line in field n (1-based) and moves position past it. Memo
// fields and types the format leaves out take no token.
void ParseDelimitedField(std::int32_t n, const std::string& line, std::size_t& position) {
  const FieldDescriptor& f = Area()->fields[static_cast<std::size_t>(n - 1)];
  if (!Written(f.type)) return;
  StoreToken(n, f, NextToken(line, position));
}

// Writes the visible records from the top and the end mark; the number of records.
std::int32_t WriteRecords(platform::BlockLineWriter& writer) {
  std::int32_t count = 0;
  std::string line;
  GoTop();
  while (!dEOF()) {
    DelimitedRecord(line);
    writer.Write(line);
    ++count;
    SKIP(1);
  }
  writer.Write(std::string(1, kEndOfText));
  return count;
}

}  // namespace

std::int32_t CopyToDelimited(const std::string& name) {
  if (NoDbfInUse("CopyToDelimited")) return 0;
  LastErrorCode = 0;
  if (Area()->vfile.isVirtual) return 0;
  const std::string path = DelimitedPath(name);
  ExportFile out;
  if (platform::OpenOutput(path, out.output) != 0) {
    ReportExportError(platform::IoCodeFromErrno(errno, true), name);
    return 0;
  }
  const int writerFd = ::dup(out.output.fd);
  int code = writerFd < 0 ? platform::IoCodeFromErrno(errno, true) : out.file.Adopt(writerFd);
  if (code != 0) {
    ReportExportError(code, name);
    return 0;
  }
  platform::BlockLineWriter writer(out.file);
  const std::int32_t count = WriteRecords(writer);
  code = writer.Flush();
  if (code == 0) code = out.file.Sync();
  out.file.Close();
  if (code == 0 && platform::PlaceOutput(out.output, true) != 0)
    code = platform::IoCodeFromErrno(errno, true);
  if (code != 0) {
    ReportExportError(code, name);
    return 0;
  }
  return count;
}

std::int32_t AppendFromDelimited(const std::string& name, bool showProgress) {
  if (NoDbfInUse("AppendFromDelimited")) return 0;
  LastErrorCode = 0;
  platform::BlockFile file;
  std::uint64_t total = 0;
  if (file.Open(DelimitedPath(name), platform::kModeSharedRead) != 0 || file.Size(total) != 0)
    return 0;
  AppendProgress progress(showProgress, total);
  platform::BlockLineReader reader(file);
  const std::size_t limit = std::max(DelimitedLineMax, LongestLine(*Area()));
  std::int32_t count = 0;
  for (std::string line; reader.ReadLine(line, limit);) {
    progress.Reach(reader.Consumed());
    if (line.empty()) continue;
    ClearRecord();
    std::size_t position = 0;
    for (std::int32_t n = 1; n <= Area()->fieldCount && position < line.size(); ++n)
      ParseDelimitedField(n, line, position);
    Append();
    if (LastErrorCode != 0) return count;
    ++count;
  }
  if (reader.Error() != 0)
    ReportError(static_cast<std::uint16_t>(reader.Error()),
                "File: " + name + " [AppendFromDelimited(" + name + ")]");
  return count;
}

}  // namespace dadav
