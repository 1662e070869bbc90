#pragma once
// A text file as the program's file routines know it: a name assigned once, opened for reading or
// for writing, read line by line and written in lines ending in CR LF, with the I/O result code of
// its last operation kept for the routines that report failures by number.
//
// Reading takes LF or CR LF line ends and stops at a Ctrl-Z; lines have no length limit. Written
// bytes go out unchanged. Writes are buffered, so a full disk may surface only at Close.
//
// Failures: an open that fails only records its code (callers test IoResult, since many opens are
// probes); every other failing operation also sets AbortFlag. Opening a file while one is open
// closes the old one first.

#include <cstdint>
#include <string>
#include <string_view>

// I/O result codes.
inline constexpr std::int32_t IoFileNotFound = 2;
inline constexpr std::int32_t IoPathNotFound = 3;
inline constexpr std::int32_t IoAccessDenied = 5;
inline constexpr std::int32_t IoReadError = 100;
inline constexpr std::int32_t IoWriteError = 101;
inline constexpr std::int32_t IoFileNotOpen = 103;
inline constexpr std::int32_t IoWriteProtected = 150;
inline constexpr std::int32_t IoDriveNotReady = 152;

class TextFile {
 public:
  TextFile() = default;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  ~TextFile();

  void Assign(const std::string& name) { name_ = name; }
  const std::string& FileName() const { return name_; }

  // Opens the assigned file for reading; when the exact name is absent, a name differing only in
  // letter case is taken. Anything but a regular file (a folder, a FIFO) is refused
  // (IoAccessDenied).
  void Reset();
  // Creates the assigned file under the name as given, or empties it, for writing.
  void Rewrite();
  void Close();
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
  bool Require(Mode mode);
  bool Fill();
  void Fail(std::int32_t code, int error);

  std::string name_;
  int fd_ = -1;
  Mode mode_ = Mode::Closed;
  std::string buffer_;
  std::size_t pos_ = 0;
  bool ended_ = false;
  std::int32_t ioResult_ = 0;
  int error_ = 0;  // the system's error number behind ioResult_, 0 when there is none
};
