// The encoding a file opens in. What the user chose for the file wins: the
// encoding of its pinned record, else the one its recent entry remembers.
// Only a file with neither is judged by its first bytes (when detection is
// on); a file that gives no clear guess (plain ASCII, binary, unclear text)
// opens in the encoding of the default record, as every file did before
// detection.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "encodings/encoding_catalogue.h"
#include "settings/stored_state.h"

namespace prambus {

struct OpeningEncodingInput {
  const WindowAppearance* pinned = nullptr;  // the file's pinned record, if any
  std::string_view recentId;                 // its recent entry's encoding; empty: none
  std::string_view defaultId;                // the default record's encoding
  // The file's first bytes; nothing when detection is off.
  std::optional<std::string_view> sample;
  bool wholeFile = false;  // the sample is all of the file
};

std::string OpeningEncoding(const EncodingCatalogue& catalogue, const OpeningEncodingInput& in);

// What the default record keeps of the encoding a document was shown in.
// One that names what a file is (UTF-8, UTF-16) is no choice of display for
// the files that follow: the previous one stays. UTF-8 shows a document, yet
// a file is shown so because it is UTF-8 (detected, or chosen for it), and
// an ASCII or binary file opened next keeps its single-byte table.
std::string DefaultRecordEncoding(const EncodingCatalogue& catalogue, std::string_view shown,
                                  std::string_view previous);

// The first bytes of a file for detection; empty when it cannot be read
// (the open that follows reports why).
std::string ReadDetectionSample(const std::string& path, bool& wholeFile);

}  // namespace prambus
