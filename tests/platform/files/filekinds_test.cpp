// The kinds of file the platform's open takes: a reader gets only a regular file, a writer also a
// character device (a printer's device file, /dev/null), O_DIRECTORY only a folder. Every other
// kind fails with EACCES, and what opens is left blocking as the caller expects.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/files/osfiles.h"
#include "tests/support/tempfolder.h"

namespace {

class FileKinds : public testing::Test, protected TempFolder {
 protected:
  FileKinds() {
    Put("plain.txt", "x");
    ::mkfifo(Path("pipe").c_str(), 0600);
    // The test holds both ends itself, so a blocking open could not wait on the FIFO here.
    pipeEnds_ = ::open(Path("pipe").c_str(), O_RDWR | O_CLOEXEC);
    socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, Path("socket").c_str(), sizeof address.sun_path - 1);
    ::bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  }
  ~FileKinds() override {
    ::close(pipeEnds_);
    ::close(socket_);
  }

  // errno of a refused open, 0 for one that opened blocking.
  static int OpenResult(const std::string& path, int flags) {
    const int fd = platform::os::Open(path, flags | O_CLOEXEC);
    if (fd < 0) return errno;
    const bool blocking = (::fcntl(fd, F_GETFL) & O_NONBLOCK) == 0;
    ::close(fd);
    return blocking ? 0 : -1;
  }

  int pipeEnds_ = -1;
  int socket_ = -1;
};

TEST_F(FileKinds, EachOpenTakesOnlyTheKindsItsUseAllows) {
  ASSERT_GE(pipeEnds_, 0);
  struct Case {
    std::string path;
    int flags;
    int result;
  };
  const Case cases[] = {
      {Path("plain.txt"), O_RDONLY, 0},
      {Path("plain.txt"), O_RDWR, 0},
      {Path("plain.txt"), O_WRONLY | O_APPEND, 0},
      {Path("new.txt"), O_WRONLY | O_CREAT | O_EXCL, 0},
      {Path("pipe"), O_RDONLY, EACCES},
      {Path("pipe"), O_RDWR, EACCES},
      {Path("pipe"), O_WRONLY | O_CREAT | O_TRUNC, EACCES},
      {Path("socket"), O_RDONLY, ENXIO},
      {dir_, O_RDONLY, EACCES},
      {dir_, O_RDONLY | O_DIRECTORY, 0},
      {Path("plain.txt"), O_RDONLY | O_DIRECTORY, ENOTDIR},
      {"/dev/null", O_RDONLY, EACCES},
      {"/dev/null", O_WRONLY | O_APPEND, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OpenResult(c.path, c.flags), c.result) << c.path << " flags " << c.flags;
  }
}

}  // namespace
