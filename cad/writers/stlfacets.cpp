#include "cad/writers/stlfacets.h"

#include <fcntl.h>
#include <unistd.h>

#include <memory>

#include "platform/files/osfiles.h"
#include "platform/files/replacefile.h"

namespace {

constexpr std::size_t kHeaderSize = 80;
constexpr std::size_t kHeadSize = kHeaderSize + 4;
constexpr std::size_t kRecordSize = 50;
constexpr std::size_t kPieceSize = std::size_t{1} << 18;

std::string FileName;
std::string NewFile;  // beside FileName, replacing it when complete
int Descriptor = -1;  // -1 until the first piece is written
std::unique_ptr<char[]> Piece;
std::size_t Used = 0;

// Gives up the new file: the old one stays as it was.
void drop_file() {
  if (Descriptor >= 0) ::close(Descriptor);
  Descriptor = -1;
  if (!NewFile.empty()) platform::os::Unlink(NewFile);
  NewFile.clear();
}

// A device or FIFO named as the file is written to as it is.
bool create_file() {
  if (platform::Replaceable(FileName)) {
    Descriptor = platform::CreateTempBeside(FileName, NewFile);
    if (Descriptor < 0) NewFile.clear();
  } else {
    Descriptor = platform::os::Open(FileName, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC);
  }
  return Descriptor >= 0;
}

bool write_piece() {
  const bool written =
      (Descriptor >= 0 || create_file()) && platform::os::WriteAll(Descriptor, Piece.get(), Used);
  Used = 0;
  if (!written) drop_file();
  return written;
}

void put_count(char* at, std::uint32_t count) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<char>(count >> (8 * i));
}

// The count into the head already written.
bool write_count(std::uint32_t count) {
  char bytes[4];
  put_count(bytes, count);
  return ::lseek(Descriptor, kHeaderSize, SEEK_SET) == static_cast<off_t>(kHeaderSize) &&
         platform::os::WriteAll(Descriptor, bytes, sizeof bytes);
}

}  // namespace

void stl_facets_begin(const std::string& name, std::string_view header) {
  drop_file();
  FileName = name;
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
  const bool head_written = Descriptor >= 0;
  if (!head_written) put_count(Piece.get() + kHeaderSize, count);
  bool written = write_piece() && (head_written ? write_count(count) : true);
  if (Descriptor >= 0) written = ::close(Descriptor) == 0 && written;
  Descriptor = -1;
  if (!written || NewFile.empty()) {
    drop_file();
    return written;
  }
  const bool placed = platform::ReplaceFileUnsynced(NewFile, FileName) == 0;
  NewFile.clear();
  return placed;
}

void stl_facets_discard() {
  drop_file();
  Used = 0;
}
