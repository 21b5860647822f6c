// How well encoding detection does on a corpus: each UTF-8 text given is
// written out in every candidate encoding with the system's converter
// (characters an encoding lacks transliterated, as a file in it would have
// them), cut into samples of several lengths at spread-out places, and each
// sample with a byte outside ASCII detected as a whole file. A guess counts as right when it reads
// the sample exactly as its true encoding does (a Russian text is the same bytes in KOI8-R and
// KOI8-U). Binary files given with --binary are cut the same way; any guess on them is wrong.
//   detection_corpus [--samples=N] TEXT... [--binary FILE...]
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "encodings/encoding_catalogue.h"
#include "encodings/encoding_detection.h"

namespace {

using prambus::CodeTable;

struct Candidate {
  const char* id;
  const char* iconvName;
};
const Candidate kEncodings[] = {
    {"windows-1251", "CP1251"}, {"cp866", "CP866"},           {"koi8-r", "KOI8-R"},
    {"koi8-u", "KOI8-U"},       {"iso-8859-5", "ISO-8859-5"}, {"mac-cyrillic", "MAC-CYRILLIC"},
    {"utf-8", nullptr},
};
const size_t kLengths[] = {20, 50, 100, 200, 500, 1000, 5000};

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Convert(const std::string& utf8, const char* to) {
  const std::string target = std::string(to) + "//TRANSLIT";
  iconv_t cd = iconv_open(target.c_str(), "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out(utf8.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size(), outLeft = out.size();
  char* o = out.data();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1)) {
      if (errno != EILSEQ && errno != EINVAL) break;
      *o++ = '?', --outLeft;  // what transliteration cannot render
      // Skip the whole UTF-8 character.
      do ++in, --inLeft;
      while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
    }
  }
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

struct Cell {
  int right = 0, wrong = 0, none = 0;
};

bool ReadAlike(const CodeTable& a, const CodeTable& b, const std::string& sample) {
  for (const char c : sample)
    if (a[static_cast<uint8_t>(c)] != b[static_cast<uint8_t>(c)]) return false;
  return true;
}

bool IsAscii(const std::string& s) {
  for (const char c : s)
    if (static_cast<uint8_t>(c) >= 0x80) return false;
  return true;
}

// Spread-out start offsets for samples of a length.
std::vector<size_t> Offsets(size_t size, size_t length, int samples) {
  std::vector<size_t> out;
  if (size < length) return out;
  uint64_t x = 88172645463325252ull;
  for (int i = 0; i < samples; ++i) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    out.push_back(static_cast<size_t>(x % (size - length + 1)));
  }
  return out;
}

void PrintTable(const char* title, const std::map<std::string, std::map<size_t, Cell>>& cells) {
  std::printf("\n%s\n%-13s", title, "");
  for (size_t l : kLengths) std::printf(" %18zu", l);
  std::printf("\n");
  for (const auto& [id, row] : cells) {
    std::printf("%-13s", id.c_str());
    for (size_t l : kLengths) {
      const auto it = row.find(l);
      if (it == row.end()) {
        std::printf(" %18s", "-");
        continue;
      }
      const Cell& c = it->second;
      const int n = c.right + c.wrong + c.none;
      std::printf("   %6.2f%% %3dw %3dn", n ? 100.0 * c.right / n : 0.0, c.wrong, c.none);
    }
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  int samples = 400;
  std::vector<const char*> texts, binaries;
  bool binary = false, showWrong = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--samples=", 10) == 0)
      samples = std::atoi(argv[i] + 10);
    else if (std::strcmp(argv[i], "--show-wrong") == 0)
      showWrong = true;
    else if (std::strcmp(argv[i], "--binary") == 0)
      binary = true;
    else
      (binary ? binaries : texts).push_back(argv[i]);
  }
  const prambus::EncodingCatalogue catalogue;
  std::map<std::string, std::map<size_t, Cell>> cells;
  for (const char* path : texts) {
    const std::string utf8 = ReadFile(path);
    for (const Candidate& enc : kEncodings) {
      const std::string bytes = enc.iconvName ? Convert(utf8, enc.iconvName) : utf8;
      const prambus::EncodingEntry* truth = catalogue.Find(enc.id);
      for (size_t length : kLengths) {
        for (size_t at : Offsets(bytes.size(), length, samples)) {
          // A UTF-8 file starts at a character; a sample of plain ASCII
          // cannot tell, and is left out.
          while (!enc.iconvName && at > 0 && (static_cast<uint8_t>(bytes[at]) & 0xC0) == 0x80) --at;
          const std::string sample = bytes.substr(at, length);
          if (IsAscii(sample)) continue;
          const bool whole = enc.iconvName != nullptr;  // a cut UTF-8 sample is a file's start
          const prambus::EncodingGuess g = prambus::DetectEncoding(sample, whole);
          Cell& c = cells[enc.id][length];
          if (g.id.empty()) {
            ++c.none;
            continue;
          }
          const prambus::EncodingEntry* guess = catalogue.Find(g.id);
          const bool right = g.id == enc.id || (enc.iconvName && guess && guess->table &&
                                                truth->table && guess->showsDocument &&
                                                ReadAlike(*guess->table, *truth->table, sample));
          ++(right ? c.right : c.wrong);
          if (!right && showWrong)
            std::printf("%s as %s, %zu bytes at %zu: %s\n", path, enc.id, length, at,
                        std::string(g.id).c_str());
        }
      }
    }
  }
  PrintTable("Text: right share, wrong guesses (w), no guess (n)", cells);
  if (binaries.empty()) return 0;
  std::map<std::string, std::map<size_t, Cell>> bin;
  for (const char* path : binaries) {
    const std::string bytes = ReadFile(path);
    for (size_t length : kLengths)
      for (size_t at : Offsets(bytes.size(), length, samples)) {
        Cell& c = bin["binary"][length];
        const prambus::EncodingGuess g = prambus::DetectEncoding(bytes.substr(at, length), true);
        ++(g.id.empty() ? c.right : c.wrong);
        if (!g.id.empty() && showWrong)
          std::printf("%s, %zu bytes at %zu: %s\n", path, length, at, std::string(g.id).c_str());
      }
  }
  PrintTable("Binary files: share left alone, wrong guesses (w)", bin);
  return 0;
}
