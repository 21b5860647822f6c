#include "shell/opening_encoding.h"

#include "encodings/encoding_detection.h"
#include "io/posix_file.h"

namespace prambus {

std::string OpeningEncoding(const EncodingCatalogue& catalogue, const OpeningEncodingInput& in) {
  if (in.pinned) return in.pinned->encodingId;
  // A remembered encoding whose table has been removed since is no choice.
  if (!in.recentId.empty() && catalogue.Find(in.recentId)) return std::string(in.recentId);
  if (in.sample) {
    const EncodingGuess guess = DetectEncoding(*in.sample, in.wholeFile);
    if (!guess.id.empty() && catalogue.Find(guess.id)) return std::string(guess.id);
  }
  return std::string(in.defaultId);
}

std::string DefaultRecordEncoding(const EncodingCatalogue& catalogue, std::string_view shown,
                                  std::string_view previous) {
  const EncodingEntry* entry = catalogue.Find(shown);
  return std::string(entry && (!entry->showsDocument || entry->showsUtf8) ? previous : shown);
}

std::string ReadDetectionSample(const std::string& path, bool& wholeFile) {
  std::string sample(kDetectionSample, '\0');
  size_t got = 0;
  wholeFile = false;
  try {
    InputFile file(path);
    while (got < sample.size()) {
      const size_t n = file.Read(sample.data() + got, sample.size() - got);
      if (n == 0) {
        wholeFile = true;
        break;
      }
      got += n;
    }
  } catch (const std::exception&) {
    return {};
  }
  sample.resize(got);
  return sample;
}

}  // namespace prambus
