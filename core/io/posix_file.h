// Thin RAII wrappers over POSIX file descriptors that turn every failure into
// an IoError, so that no caller can mistake a short write for success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace prambus {

// Largest document the 32-bit offsets of the views can address.
inline constexpr int64_t kMaxDocumentSize = 2147483647;

// Opens a regular file for reading and returns its descriptor and size. A
// folder, FIFO, device or socket is refused before it is opened (opening a
// FIFO would wait for a writer, opening a device may act on it), and the open
// itself never blocks, so a path swapped for a FIFO meanwhile is refused too.
// Throws IoError.
int OpenRegularForReading(const std::string& path, int64_t& size);

class InputFile {
 public:
  // Only regular files; throws IoError (see OpenRegularForReading).
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  int64_t Size() const { return size_; }  // the size when the file was opened
  // Reads up to n bytes; 0 at the end of the file.
  size_t Read(void* buf, size_t n);

 private:
  int fd_ = -1;
  int64_t size_ = 0;
};

class OutputFile {
 public:
  // Creates or truncates the file.
  explicit OutputFile(const std::string& path);
  // Writes to a descriptor owned by someone else, from its current position;
  // Close leaves it open.
  static OutputFile Borrowing(int fd);
  ~OutputFile();
  OutputFile(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  int Descriptor() const { return fd_; }
  void Write(const void* buf, size_t n);  // writes all or throws
  void Sync();                            // flushes to the disk or throws
  void Close();                           // reports a failing close

 private:
  OutputFile() = default;
  int fd_ = -1;
  bool owned_ = true;
  std::string path_;
};

}  // namespace prambus
