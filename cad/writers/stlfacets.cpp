#include "cad/writers/stlfacets.h"

#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/files/newoutput.h"
#include "platform/files/osfiles.h"

namespace {

constexpr std::size_t kHeaderSize = 80;
constexpr std::size_t kHeadSize = kHeaderSize + 4;
constexpr std::size_t kRecordSize = 50;
constexpr std::size_t kPieceSize = std::size_t{1} << 18;

std::string FileName;
platform::NewOutput Output;  // Output.fd is -1 until the first piece is written
int Error = 0;               // the system's error that gave the file up, 0 while none did
std::unique_ptr<char[]> Piece;
std::size_t Used = 0;

// Gives up the new file: the old one stays as it was.
void drop_file() {
  platform::DropOutput(Output);
}

bool failed() {
  Error = errno;
  drop_file();
  return false;
}

bool write_piece() {
  const bool created = Output.fd >= 0 || platform::OpenOutput(FileName, Output) == 0;
  const bool written = created && platform::os::WriteAll(Output.fd, Piece.get(), Used);
  Used = 0;
  return written || failed();
}

void put_count(char* at, std::uint32_t count) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<char>(count >> (8 * i));
}

// The count into the head already written.
bool write_count(std::uint32_t count) {
  char bytes[4];
  put_count(bytes, count);
  return ::lseek(Output.fd, kHeaderSize, SEEK_SET) == static_cast<off_t>(kHeaderSize) &&
         platform::os::WriteAll(Output.fd, bytes, sizeof bytes);
}

}  // namespace

void stl_facets_begin(const std::string& name, std::string_view header) {
  drop_file();
  FileName = name;
  Error = 0;
  if (!Piece) Piece = std::make_unique<char[]>(kPieceSize);
  header = header.substr(0, kHeaderSize);
  std::memcpy(Piece.get(), header.data(), header.size());
  std::memset(Piece.get() + header.size(), ' ', kHeadSize - header.size());
  Used = kHeadSize;
}

char* stl_facets_next() {
  if (Used + kRecordSize > kPieceSize && !write_piece()) return nullptr;
  char* record = Piece.get() + Used;
  Used += kRecordSize;
  record[kRecordSize - 2] = 'X';
  record[kRecordSize - 1] = 'X';
  return record;
}

bool stl_facets_end(std::uint32_t count) {
  const bool head_written = Output.fd >= 0;
  if (!head_written) put_count(Piece.get() + kHeaderSize, count);
  if (!write_piece()) return false;
  if (head_written && !write_count(count)) return failed();
  return platform::PlaceOutput(Output, false) == 0 || failed();
}

void stl_facets_discard() {
  drop_file();
  Used = 0;
}

int stl_facets_error() {
  return Error;
}
