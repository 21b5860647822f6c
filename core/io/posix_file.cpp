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
  const int err = errno;
  throw IoError::FromErrno(what + " " + path + ": " + std::strerror(err), err);
}

void RefuseUnlessRegular(const struct stat& st, const std::string& path) {
  if (S_ISDIR(st.st_mode)) throw IoError("a folder: " + path, FileProblem::kFolder, EISDIR);
  if (!S_ISREG(st.st_mode))
    throw IoError("not a regular file: " + path, FileProblem::kNotRegularFile);
}
}  // namespace

FileProblem ProblemOfErrno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return FileProblem::kMissing;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return FileProblem::kNoPermission;
    case EISDIR:
      return FileProblem::kFolder;
    case ENOSPC:
    case EDQUOT:
      return FileProblem::kNoSpace;
    case EFBIG:
    case EOVERFLOW:
      return FileProblem::kTooLarge;
    case ENXIO:
    case ENODEV:
      return FileProblem::kNotRegularFile;
    default:
      return FileProblem::kOther;
  }
}

int OpenRegularForReading(const std::string& path, int64_t& size) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) Fail("cannot open", path);
  RefuseUnlessRegular(st, path);
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) Fail("cannot open", path);
  try {
    if (::fstat(fd, &st) != 0) Fail("cannot stat", path);
    RefuseUnlessRegular(st, path);
    // Reads of a regular file wait for the disk as usual.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) Fail("cannot read", path);
  } catch (...) {
    ::close(fd);
    throw;
  }
  size = static_cast<int64_t>(st.st_size);
  return fd;
}

InputFile::InputFile(const std::string& path) {
  int64_t size = 0;
  fd_ = OpenRegularForReading(path, size);
  size_ = size;
}

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

size_t InputFile::Read(void* buf, size_t n) {
  for (;;) {
    ssize_t r = ::read(fd_, buf, n);
    if (r >= 0) return static_cast<size_t>(r);
    if (errno != EINTR)
      throw IoError::FromErrno(std::string("read failed: ") + std::strerror(errno), errno);
  }
}

OutputFile::OutputFile(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd_ < 0) Fail("cannot create", path);
}

OutputFile OutputFile::Borrowing(int fd) {
  OutputFile out;
  out.fd_ = fd;
  out.owned_ = false;
  out.path_ = "the file being saved";
  return out;
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : fd_(other.fd_), owned_(other.owned_), path_(std::move(other.path_)) {
  other.fd_ = -1;
}

OutputFile::~OutputFile() {
  if (fd_ >= 0 && owned_) ::close(fd_);
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
  if (owned_ && ::close(fd) != 0) Fail("cannot close", path_);
}

}  // namespace prambus
