#include "bench_data.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace prambus::bench {

std::string MakeRussianText(size_t bytes, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::string> words;
  for (int i = 0; i < 3000; ++i) {
    const int n = 2 + static_cast<int>(rng() % 9);
    std::string w;
    const bool cyrillic = rng() % 10 < 6;
    for (int k = 0; k < n; ++k)
      w += cyrillic ? static_cast<char>(0xC0 + rng() % 64) : static_cast<char>('a' + rng() % 26);
    words.push_back(w);
  }
  std::string out;
  out.reserve(bytes + 128);
  std::string line;
  while (out.size() < bytes) {
    line.clear();
    while (line.size() < 65) {
      line += words[rng() % words.size()];
      const unsigned r = rng() % 100;
      if (r < 10)
        line += ',';
      else if (r < 15)
        line += '.';
      line += ' ';
    }
    out += line;
    out += "\r\n";
  }
  out.resize(bytes);
  return out;
}

const std::string& HundredMegabyteFile() {
  static const std::string path = [] {
    const std::string dir = "/tmp/prambus-bench";
    const std::string file = dir + "/text100m.txt";
    constexpr size_t kSize = 100u * 1024 * 1024;
    std::error_code ec;
    if (std::filesystem::file_size(file, ec) != kSize) {
      std::filesystem::create_directories(dir);
      const std::string text = MakeRussianText(kSize);
      std::ofstream(file, std::ios::binary)
          .write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    return file;
  }();
  return path;
}

const std::string& LargestTextFile() {
  static const std::string path = [] {
    const std::string file = "/tmp/prambus-bench/text2g.txt";
    constexpr size_t kSize = (size_t(1) << 31) - 1;
    std::error_code ec;
    if (std::filesystem::file_size(file, ec) != kSize) {
      std::filesystem::create_directories("/tmp/prambus-bench");
      const std::string piece = MakeRussianText(100u * 1024 * 1024);
      std::ofstream out(file, std::ios::binary);
      for (size_t done = 0; done < kSize; done += piece.size())
        out.write(piece.data(), static_cast<std::streamsize>(std::min(piece.size(), kSize - done)));
    }
    return file;
  }();
  return path;
}

}  // namespace prambus::bench
