// A temporary folder removed with its contents, and whole-file helpers.
#pragma once

#include <string>

namespace prambus {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

  static std::string Read(const std::string& file);
  static void Write(const std::string& file, const std::string& bytes);

 private:
  std::string path_;
};

}  // namespace prambus
