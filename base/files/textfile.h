#pragma once
// A text file as the program's file routines know it: a name assigned once, opened for reading or
// for writing, read line by line and written in lines ending in CR LF, with the I/O result code of
// its last operation kept for the routines that report failures by number.
//
// Reading takes LF or CR LF line ends and stops at a Ctrl-Z; lines have no length limit. Written
// bytes go out unchanged. Writes are buffered, so a full disk may surface only at Close.
//
// A file the user gets whole (an output, an export, a copy) is assigned with AssignWhole: its
// lines go to a new file beside it, which Close renames over it only when every write went well,
// so a full disk or a stopped output leaves the old file as it was.
//
// Failures: an open that fails only records its code (callers test IoResult, since many opens are
// probes); every other failing operation also sets AbortFlag. Opening a file while one is open
// closes the old one first; a new file of AssignWhole that was not closed is given up then, as at
// the end of the TextFile.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files/newoutput.h"

// I/O result codes.
inline constexpr std::int32_t IoFileNotFound = 2;
inline constexpr std::int32_t IoPathNotFound = 3;
inline constexpr std::int32_t IoAccessDenied = 5;
inline constexpr std::int32_t IoReadError = 100;
inline constexpr std::int32_t IoWriteError = 101;
inline constexpr std::int32_t IoFileNotOpen = 103;
inline constexpr std::int32_t IoWriteProtected = 150;
inline constexpr std::int32_t IoDriveNotReady = 152;

// Why a file operation failed, in words ("disk full", "access denied"), from the system's error
// number, or from the I/O result code where there is none.
std::string FileFailureText(int error, std::int32_t code);

class TextFile {
 public:
  TextFile() = default;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  ~TextFile();

  void Assign(const std::string& name) {
    name_ = name;
    whole_ = false;
  }
  // The same for a file that Rewrite writes whole.
  void AssignWhole(const std::string& name) {
    name_ = name;
    whole_ = true;
  }
  const std::string& FileName() const { return name_; }

  // Opens the assigned file for reading; when the exact name is absent, a name differing only in
  // letter case is taken. Anything but a regular file (a folder, a FIFO) is refused
  // (IoAccessDenied).
  void Reset();
  // Creates the assigned file under the name as given, or empties it, for writing. After
  // AssignWhole a new file beside it is opened instead, unless a new file could not take its
  // place (a device, a FIFO, a file with other hard links or in a folder the program may not
  // make files in), which is written in place.
  void Rewrite();
  // A new file of AssignWhole replaces the old one only when every write went well; otherwise it
  // is removed and the result is the first write failure.
  void Close();
  // Closes without putting a new file of AssignWhole in place: the old file stays as it was.
  // Any other open file, and one of AssignWhole written in place, is closed as Close closes it.
  void Discard();
  bool IsOpen() const { return mode_ != Mode::Closed; }

  // True when nothing is left before the end of the file or a Ctrl-Z.
  bool Eof();
  // The next line without its line end; at the end of the file an empty line, which is no error.
  void ReadLine(std::string& line);
  void Write(std::string_view text);
  void WriteLine(std::string_view text);
  // Hands the written bytes to the file now, so that others can read them; false on failure.
  bool Flush();

  // Result of the last operation: 0 or one of the codes above.
  std::int32_t IoResult() const { return ioResult_; }
  // Why the last operation failed, in words ("disk full", "access denied"), for a message that
  // names the file.
  std::string FailureText() const;

 private:
  enum class Mode { Closed, Reading, Writing };

  bool Open(const std::string& path, int flags, Mode mode);
  void RewriteWhole();
  void RewriteInPlace();
  void Adopt(int fd, Mode mode);
  // Lets go of the descriptor without closing it.
  void Forget();
  // Closes the descriptor; 0 or the system's error.
  int CloseDescriptor();
  // Closes the output of RewriteWhole and puts it in place, or gives it up when written is false.
  void Finish(bool written);
  bool Require(Mode mode);
  bool Fill();
  void Fail(std::int32_t code, int error);

  std::string name_;
  bool whole_ = false;
  int fd_ = -1;
  Mode mode_ = Mode::Closed;
  std::string buffer_;
  std::size_t pos_ = 0;
  bool ended_ = false;
  std::int32_t ioResult_ = 0;
  int error_ = 0;  // the system's error number behind ioResult_, 0 when there is none
  std::optional<platform::NewOutput> output_;  // the output of RewriteWhole while it is written
  std::int32_t firstWriteFailure_ = 0;
  int firstWriteError_ = 0;
};
