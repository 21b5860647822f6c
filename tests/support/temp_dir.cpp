#include "support/temp_dir.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace prambus {

TempDir::TempDir() {
  char tmpl[] = "/tmp/prambus-testXXXXXX";
  path_ = mkdtemp(tmpl);
}

TempDir::~TempDir() {
  std::error_code ec;
  // Read-only files must not keep their folder alive.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ec))
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Read(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void TempDir::Write(const std::string& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace prambus
