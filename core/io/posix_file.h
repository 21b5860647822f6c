// Thin RAII wrappers over POSIX file descriptors that turn every failure into
// an IoError, so that no caller can mistake a short write for success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace prambus {

// Largest document the 32-bit offsets of the views can address.
inline constexpr int64_t kMaxDocumentSize = 2147483647;

class InputFile {
 public:
  explicit InputFile(const std::string& path);  // refuses folders
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  int64_t Size() const { return size_; }
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
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  void Write(const void* buf, size_t n);  // writes all or throws
  void Sync();                            // flushes to the disk or throws
  void Close();                           // reports a failing close

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace prambus
