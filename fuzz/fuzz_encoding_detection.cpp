// Encoding detection on any bytes: it never crashes nor reads past the
// sample (the bytes are copied to a buffer of exactly their size, so the
// sanitizer sees any read beyond), and every guess names an encoding of the
// catalogue for the reason it gives.
#include <cstdlib>
#include <memory>
#include <string_view>

#include "encodings/encoding_catalogue.h"
#include "encodings/encoding_detection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const prambus::EncodingCatalogue catalogue;
  auto copy = std::make_unique<char[]>(size);
  std::copy(data, data + size, copy.get());
  const std::string_view sample(copy.get(), size);
  for (const bool wholeFile : {true, false}) {
    const prambus::EncodingGuess g = prambus::DetectEncoding(sample, wholeFile);
    using prambus::DetectionBasis;
    const bool guessed =
        g.basis == DetectionBasis::kByteOrderMark || g.basis == DetectionBasis::kValidUtf8 ||
        g.basis == DetectionBasis::kMostlyUtf8 || g.basis == DetectionBasis::kLetterStatistics;
    if (guessed == g.id.empty()) std::abort();
    if (guessed && !catalogue.Find(g.id)) std::abort();
    if (g.basis == DetectionBasis::kLetterStatistics && !catalogue.Find(g.id)->showsDocument)
      std::abort();
    if (g.byteOrderMark > size ||
        (g.byteOrderMark != 0) != (g.basis == DetectionBasis::kByteOrderMark))
      std::abort();
  }
  return 0;
}
