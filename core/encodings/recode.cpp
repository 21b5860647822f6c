#include "encodings/recode.h"

#include "encodings/code_tables.h"
#include "encodings/conversions.h"

namespace prambus {

RecodePlan::RecodePlan(const CodeTable& source, const CodeTable& target)
    : source_(source), target_(target), inverseTarget_(InverseTable(target)) {
  sourceMarker_ = IsMarker(source_);
  targetMarker_ = IsMarker(target_);
  if (targetMarker_ && target_[2] == kConvDosForOutput) {
    // Code page 866 has Latin i and I where Windows-1251 has і and І.
    inverseTarget_[target_[184]] = 105;
    inverseTarget_[target_[179]] = 73;
    inverseTarget_[0] = 0;
    inverseTarget_[1] = 1;
    inverseTarget_[2] = 2;
    target_[1] = 1;
    targetMarker_ = false;
  }
}

CodeTable RecodePlan::Composed() const {
  CodeTable t;
  for (int b = 0; b < 256; ++b) t[b] = inverseTarget_[source_[b]];
  return t;
}

std::string RecodePlan::Decode(std::string_view bytes, bool first) const {
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
      return utf16ToAnsi(bytes, first);
    case kConvUtf8:
      return utf8ToAnsi(bytes);
    default:
      return std::string(bytes);
  }
}

std::string RecodePlan::Encode(std::string_view text, bool first) const {
  if (!targetMarker_) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(inverseTarget_[static_cast<uint8_t>(c)]);
    return out;
  }
  switch (target_[2]) {
    case kConvQuotedPrintable:
      return encodeQuotedPrintable(text, first);
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

}  // namespace prambus
