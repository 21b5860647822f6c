#include "encodings/recode.h"

#include "encodings/code_tables.h"
#include "encodings/conversions.h"

namespace prambus {

RecodePlan::RecodePlan(const CodeTable& source, const CodeTable& target)
    : source_(source), target_(target), inverseTarget_(InverseTable(target)) {
  sourceMarker_ = IsMarker(source_);
  targetMarker_ = IsMarker(target_);
  // A character that the target table does not hold becomes '?', as in the
  // UTF conversions: whatever byte '?' itself becomes, else the byte '?'.
  bool present[256] = {};
  for (int b = 0; b < 256; ++b) present[target_[b]] = true;
  constexpr uint8_t kQuestion = '?';
  const uint8_t unknown = present[kQuestion] ? inverseTarget_[kQuestion] : kQuestion;
  for (int c = 0; c < 256; ++c)
    if (!present[c]) inverseTarget_[c] = unknown;
  if (targetMarker_ && target_[2] == kConvDosForOutput) {
    // Code page 866 has Latin i and I where Windows-1251 has і and І.
    inverseTarget_[target_[184]] = 105;
    inverseTarget_[target_[179]] = 73;
    inverseTarget_[0] = 0;
    inverseTarget_[1] = 1;
    inverseTarget_[2] = 2;
    target_[1] = 1;
    target_[2] = 2;  // the DOS table's own entry, which the marker had taken
    targetMarker_ = false;
  }
  if (!targetMarker_) {
    for (int c = 0; c < 256; ++c) {
      const uint8_t written = inverseTarget_[c];
      if (target_[written] == c) continue;
      outcome_[c] = written == unknown ? Outcome::kQuestionMark : Outcome::kLookalike;
    }
  }
}

CodeTable RecodePlan::Composed() const {
  CodeTable t;
  for (int b = 0; b < 256; ++b) t[b] = inverseTarget_[source_[b]];
  return t;
}

std::string RecodePlan::Decode(std::string_view bytes) const {
  if (!sourceMarker_) {
    std::string out(bytes);
    for (char& c : out) c = static_cast<char>(source_[static_cast<uint8_t>(c)]);
    return out;
  }
  switch (source_[2]) {
    case kConvQuotedPrintable:
      return decodeQuotedPrintable(bytes);
    case kConvTranslit:
      return translitToCyrillic(bytes);
    case kConvUtf16:
      return utf16ToAnsi(bytes, true);
    case kConvUtf8:
      return utf8ToAnsi(bytes);
    default:
      return std::string(bytes);
  }
}

std::string RecodePlan::Encode(std::string_view text) const {
  if (!targetMarker_) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(inverseTarget_[static_cast<uint8_t>(c)]);
    return out;
  }
  switch (target_[2]) {
    case kConvQuotedPrintable:
      return encodeQuotedPrintable(text, true);
    case kConvTranslit:
      return cyrillicToTranslit(text);
    case kConvUtf16:
      return ansiToUtf16(text);
    case kConvUtf8:
      return ansiToUtf8(text);
    default:
      return std::string(text);
  }
}

int RecodePlan::DecodeGrowth() const {
  return sourceMarker_ && source_[2] == kConvTranslit ? 2 : 1;  // X gives two letters
}

int RecodePlan::EncodeGrowth() const {
  if (!targetMarker_) return 1;
  switch (target_[2]) {
    case kConvQuotedPrintable:
      return 4;
    case kConvTranslit:
    case kConvUtf8:
      return 3;
    case kConvUtf16:
      return 2;
    default:
      return 1;
  }
}

size_t RecodePlan::EncodedLength(std::string_view text) const {
  if (!targetMarker_) return text.size();
  switch (target_[2]) {
    case kConvQuotedPrintable:
      return encodedQuotedPrintableLength(text);
    case kConvTranslit:
      return cyrillicToTranslitLength(text);
    case kConvUtf16:
      return 2 * text.size();
    case kConvUtf8:
      return ansiToUtf8Length(text);
    default:
      return text.size();
  }
}

std::string_view RecodePlan::WithoutByteOrderMark(std::string_view bytes) const {
  if (!sourceMarker_) return bytes;
  const std::string_view mark = source_[2] == kConvUtf16  ? std::string_view("\xFF\xFE")
                                : source_[2] == kConvUtf8 ? std::string_view("\xEF\xBB\xBF")
                                                          : std::string_view();
  if (!mark.empty() && bytes.substr(0, mark.size()) == mark) bytes.remove_prefix(mark.size());
  return bytes;
}

bool RecodePlan::Convert(std::string_view bytes, std::string& out, int64_t limit) const {
  bytes = WithoutByteOrderMark(bytes);
  const uint64_t worst = uint64_t{bytes.size()} * DecodeGrowth() * EncodeGrowth();
  if (worst <= static_cast<uint64_t>(limit)) {
    out = Encode(Decode(bytes));
    return true;
  }
  // The worst case does not fit: measure the result exactly first.
  const std::string text = Decode(bytes);
  if (text.size() > static_cast<uint64_t>(limit) ||
      EncodedLength(text) > static_cast<uint64_t>(limit))
    return false;
  out = Encode(text);
  return true;
}

}  // namespace prambus
