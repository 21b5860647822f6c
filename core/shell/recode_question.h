// The question asked before a recode that cannot keep every character, with
// the count of what would be replaced and by what.
#pragma once

#include <cstdint>
#include <string>

#include "encodings/recode_losses.h"

namespace prambus {

inline constexpr const char* kRecodeLossCaption = "Перекодировка";

// `n` with the noun in the Russian form its number takes: 1 знак, 2 знака,
// 5 знаков, 11 знаков, 21 знак.
std::string CountWithNoun(uint64_t n, const char* one, const char* few, const char* many);

// Empty when nothing is lost.
std::string RecodeLossQuestion(const RecodeLosses& losses);

}  // namespace prambus
