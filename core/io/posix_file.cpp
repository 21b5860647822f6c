#include "io/posix_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "io/io_error.h"

namespace prambus {
namespace {
[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw IoError(what + " " + path + ": " + std::strerror(errno));
}
}  // namespace

InputFile::InputFile(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) Fail("cannot open", path);
  struct stat st {};
  if (::fstat(fd_, &st) != 0) {
    ::close(fd_);
    Fail("cannot stat", path);
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd_);
    errno = EISDIR;
    Fail("cannot read", path);
  }
  size_ = S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : 0;
}

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

size_t InputFile::Read(void* buf, size_t n) {
  for (;;) {
    ssize_t r = ::read(fd_, buf, n);
    if (r >= 0) return static_cast<size_t>(r);
    if (errno != EINTR) throw IoError(std::string("read failed: ") + std::strerror(errno));
  }
}

OutputFile::OutputFile(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) Fail("cannot create", path);
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
}

void OutputFile::Write(const void* buf, size_t n) {
  const char* p = static_cast<const char*>(buf);
  while (n > 0) {
    ssize_t w = ::write(fd_, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      Fail("cannot write", path_);
    }
    if (w == 0) {
      errno = ENOSPC;
      Fail("cannot write", path_);
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
}

void OutputFile::Sync() {
  if (::fsync(fd_) != 0) Fail("cannot flush", path_);
}

void OutputFile::Close() {
  if (fd_ < 0) return;
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) Fail("cannot close", path_);
}

}  // namespace prambus
