#pragma once
// Random-access files for the table engine and its modules. Opening takes a share mode in the
// Windows numbering (low bits access, high bits sharing) and emulates its sharing with an OFD
// lock on one byte far beyond any real data, so two programs honour each other's exclusive use.

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Engine I/O result for an errno value: 2 not found, 3 bad path, 4 too many files, 5 access
// denied, 6 bad handle, 17 a rename across file systems, 80 a name already taken, 101 write
// failures, 100 every other read failure.
int IoCodeFromErrno(int err, bool writing = false);

// Share modes the engine uses: 66 read/write deny none, 64 read deny none, 18 read/write
// exclusive, 16 read exclusive, 2 read/write compatibility (exclusive).
constexpr std::uint16_t kModeShared = 66;
constexpr std::uint16_t kModeSharedRead = 64;
constexpr std::uint16_t kModeExclusive = 18;
constexpr std::uint16_t kModeExclusiveRead = 16;
constexpr std::uint16_t kModeCompat = 2;

// The byte whose OFD lock stands for the share mode of an open.
constexpr std::uint64_t kShareByteOffset = std::uint64_t{1} << 40;

class BlockFile {
 public:
  BlockFile() = default;
  ~BlockFile();
  BlockFile(BlockFile&& other) noexcept;
  BlockFile& operator=(BlockFile&& other) noexcept;
  BlockFile(const BlockFile&) = delete;
  BlockFile& operator=(const BlockFile&) = delete;

  // Opens an existing file; 0, an I/O code, or 32 when the share lock is refused.
  int Open(const std::string& path, std::uint16_t mode);
  // Creates a file, or empties the existing file the name leads to (following links as
  // FinalTargetStat does), but only after the exclusive share lock is held, so a file that another
  // program has open is never truncated under it (32). A name another program takes between the
  // look and the creation fails with 80, its file untouched.
  int Create(const std::string& path);
  // Takes over a descriptor open for reading and writing (a new temporary file) and holds it
  // with the exclusive share lock; the descriptor is closed when that fails (32).
  int Adopt(int fd);
  void Close();

  // Moves the share lock between shared and exclusive without closing; 32 when refused,
  // leaving the old lock in place.
  int ConvertShare(bool exclusive);

  // Reads or writes n bytes at offset, looping over short counts and interruptions. `done`
  // gets the bytes moved; a read that meets the end of file returns 0 with done < n.
  int ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t& done) const;
  int WriteAt(std::uint64_t offset, const void* buffer, std::size_t n, std::size_t& done) const;
  int Size(std::uint64_t& size) const;
  int Truncate(std::uint64_t size) const;
  int Sync() const;

  bool IsOpen() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }
  bool Writable() const { return writable_; }
  bool ShareExclusive() const { return shareExclusive_; }
  // Grows with every write, truncation, open, close and share change through this object, so
  // that a reader keeping bytes of the file knows when they may have gone stale.
  std::uint64_t Changes() const { return changes_; }

 private:
  int fd_ = -1;
  bool writable_ = false;
  bool shareExclusive_ = false;
  mutable std::uint64_t changes_ = 0;
};

}  // namespace platform
