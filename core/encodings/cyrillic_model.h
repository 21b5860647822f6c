// Letter statistics of Russian and Ukrainian text, derived from a corpus by
// scripts/encodings/make_cyrillic_model.py: how costly (in eighths of a bit)
// each class of character is after each other class, how costly a capital or
// small Cyrillic letter is in each case context, and the class of every byte
// in each candidate encoding.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace prambus::cyrillic_model {

inline constexpr int kCandidates = 6;
inline constexpr int kClasses = 77;
// Classes kFirstLetter..kLastLetter are Cyrillic letters; a byte's class has
// kCapital set for a capital letter.
inline constexpr int kFirstLetter = 5;
inline constexpr int kLastLetter = 43;
inline constexpr uint8_t kCapital = 0x80;
// The classes that end a sentence: ". ! ?" and the ellipsis.
inline constexpr int kSentenceEnd = 4;
inline constexpr int kEllipsis = 46;
inline constexpr int kSpace = 0;

// The contexts of a Cyrillic letter's case.
enum CaseContext { kAfterSentenceEnd, kAfterOtherNonLetter, kAfterSmall, kAfterCapital };

// The catalogue identifiers of the candidates, in the order of kByteClass.
extern const std::array<std::string_view, kCandidates> kCandidateIds;
extern const uint8_t kPairCost[kClasses][kClasses];
extern const uint8_t kCaseCost[4][2];  // [context][capital]
extern const uint8_t kByteClass[kCandidates][256];

}  // namespace prambus::cyrillic_model
