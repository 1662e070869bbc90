#include "base/files/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "base/settings/wbrelvar.h"
#include "platform/files/fileresolve.h"
#include "platform/files/newoutput.h"
#include "platform/files/osfiles.h"
#include "platform/files/replacefile.h"

namespace {

constexpr std::size_t kBufferSize = 65536;
constexpr char kCtrlZ = '\x1A';

std::int32_t OpenErrorCode(int error) {
  switch (error) {
    case ENOENT:
      return IoFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return IoPathNotFound;
    case EROFS:
      return IoWriteProtected;
    case ENOMEDIUM:
      return IoDriveNotReady;
    case ENOSPC:
    case EDQUOT:
      return IoWriteError;
    default:
      return IoAccessDenied;
  }
}

std::int32_t WriteErrorCode(int error) {
  return error == EROFS ? IoWriteProtected : IoWriteError;
}

}  // namespace

// Written lines are never dropped silently: a file still open is closed, flushing its buffer;
// only a new file of AssignWhole, which nobody closed as complete, is given up.
TextFile::~TextFile() {
  Discard();
}

bool TextFile::Open(const std::string& path, int flags, Mode mode) {
  Discard();
  ioResult_ = 0;
  error_ = 0;
  const int fd = platform::os::Open(path, flags | O_CLOEXEC);
  if (fd < 0) {
    error_ = errno;
    ioResult_ = OpenErrorCode(error_);
    return false;
  }
  Adopt(fd, mode);
  return true;
}

void TextFile::Adopt(int fd, Mode mode) {
  fd_ = fd;
  mode_ = mode;
  buffer_.clear();
  pos_ = 0;
  ended_ = false;
  firstWriteFailure_ = 0;
  firstWriteError_ = 0;
}

void TextFile::Reset() {
  Open(platform::ResolveFileName(name_), O_RDONLY, Mode::Reading);
}

void TextFile::Rewrite() {
  if (whole_) {
    RewriteWhole();
  } else {
    RewriteInPlace();
  }
}

// The file is reached only through links the output unit follows (see FinalTargetStat), never
// through another user's link in a shared folder.
void TextFile::RewriteInPlace() {
  std::string target;
  struct stat info {};
  if (platform::FinalTargetStat(name_, target, info) != 0 && errno != ENOENT) {
    Discard();
    error_ = errno;
    ioResult_ = OpenErrorCode(error_);
    return;
  }
  Open(target, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, Mode::Writing);
}

// No sync of the new file's data nor of its folder: the rename comes only after every write
// succeeded, so a kill or a full disk leaves the old file or the complete new one, and the output
// costs one rename.
void TextFile::RewriteWhole() {
  Discard();
  ioResult_ = 0;
  error_ = 0;
  platform::NewOutput output;
  if (platform::OpenOutput(name_, output) != 0) {
    error_ = errno;
    ioResult_ = OpenErrorCode(error_);
    return;
  }
  Adopt(output.fd, Mode::Writing);
  output_ = std::move(output);
}

void TextFile::Forget() {
  fd_ = -1;
  mode_ = Mode::Closed;
  buffer_.clear();
}

int TextFile::CloseDescriptor() {
  const int error = ::close(fd_) == 0 ? 0 : errno;
  Forget();
  return error;
}

void TextFile::Close() {
  ioResult_ = 0;
  error_ = 0;
  if (!IsOpen()) {
    Fail(IoFileNotOpen, 0);
    return;
  }
  const bool flushed = mode_ != Mode::Writing || Flush();
  if (!output_) {
    const int error = CloseDescriptor();
    if (flushed && error != 0) Fail(WriteErrorCode(error), error);
    return;
  }
  if (ioResult_ == 0 && firstWriteFailure_ != 0) Fail(firstWriteFailure_, firstWriteError_);
  Finish(ioResult_ == 0);
}

void TextFile::Discard() {
  // An output written in place has no old file left to keep.
  if (!output_ || output_->inPlace) {
    if (IsOpen()) Close();
    return;
  }
  ioResult_ = 0;
  error_ = 0;
  Finish(false);
}

// The output's descriptor is closed by putting the file in place or giving it up.
void TextFile::Finish(bool written) {
  platform::NewOutput output = std::move(*output_);
  output_.reset();
  Forget();
  if (!written) {
    platform::DropOutput(output);
  } else if (platform::PlaceOutput(output, false) != 0) {
    const int error = errno;
    Fail(WriteErrorCode(error), error);
  }
}

bool TextFile::Require(Mode mode) {
  ioResult_ = 0;
  error_ = 0;
  if (mode_ == mode) return true;
  Fail(IoFileNotOpen, 0);
  return false;
}

void TextFile::Fail(std::int32_t code, int error) {
  ioResult_ = code;
  error_ = error;
  AbortFlag = 1;
}

std::string TextFile::FailureText() const {
  return FileFailureText(error_, ioResult_);
}

std::string FileFailureText(int error, std::int32_t code) {
  switch (error) {
    case 0:
      return "I/O error " + std::to_string(code);
    case ENOSPC:
    case EDQUOT:
      return "disk full";
    case EROFS:
      return "write-protected";
    case EACCES:
    case EPERM:
      return "access denied";
    case ENOENT:
      return "not found";
    case ENOTDIR:
      return "path not found";
    case EISDIR:
      return "a folder";
    default: {
      // The system's own words for the rest, the same in every language setting.
      const char* words = ::strerrordesc_np(error);
      return words != nullptr ? words : "I/O error " + std::to_string(error);
    }
  }
}

bool TextFile::Fill() {
  buffer_.resize(kBufferSize);
  pos_ = 0;
  ssize_t n;
  do {
    n = ::read(fd_, buffer_.data(), kBufferSize);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    Fail(IoReadError, errno);
    n = 0;
  }
  buffer_.resize(static_cast<std::size_t>(n));
  if (n == 0) ended_ = true;
  return n > 0;
}

bool TextFile::Eof() {
  if (!Require(Mode::Reading)) return true;
  if (ended_) return true;
  if (pos_ == buffer_.size() && !Fill()) return true;
  if (buffer_[pos_] == kCtrlZ) ended_ = true;
  return ended_;
}

namespace {

// Position of the next line end or Ctrl-Z from pos, npos when neither follows. Two memchr scans:
// find_first_of would test every byte against the set one call at a time.
std::size_t LineStop(const std::string& buffer, std::size_t pos) {
  const char* begin = buffer.data() + pos;
  const std::size_t length = buffer.size() - pos;
  const void* newline = std::memchr(begin, '\n', length);
  const std::size_t scan = newline ? static_cast<const char*>(newline) - begin : length;
  const void* ctrlZ = std::memchr(begin, kCtrlZ, scan);
  if (ctrlZ) return pos + (static_cast<const char*>(ctrlZ) - begin);
  return newline ? pos + scan : std::string::npos;
}

}  // namespace

void TextFile::ReadLine(std::string& line) {
  line.clear();
  if (!Require(Mode::Reading)) return;
  while (!ended_) {
    if (pos_ == buffer_.size() && !Fill()) break;
    const std::size_t stop = LineStop(buffer_, pos_);
    if (stop == std::string::npos) {
      line.append(buffer_, pos_);
      pos_ = buffer_.size();
      continue;
    }
    line.append(buffer_, pos_, stop - pos_);
    pos_ = stop;
    if (buffer_[stop] == kCtrlZ) {
      ended_ = true;
      break;
    }
    ++pos_;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    break;
  }
}

bool TextFile::Flush() {
  if (mode_ != Mode::Writing) return true;
  std::size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : ENOSPC;
      Fail(WriteErrorCode(error), error);
      if (firstWriteFailure_ == 0) {
        firstWriteFailure_ = ioResult_;
        firstWriteError_ = error;
      }
      buffer_.clear();
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  buffer_.clear();
  return true;
}

void TextFile::Write(std::string_view text) {
  if (!Require(Mode::Writing)) return;
  buffer_.append(text);
  if (buffer_.size() >= kBufferSize) Flush();
}

void TextFile::WriteLine(std::string_view text) {
  if (!Require(Mode::Writing)) return;
  buffer_.append(text);
  buffer_.append("\r\n");
  if (buffer_.size() >= kBufferSize) Flush();
}
