// Windows-1251, the one 8-bit character set of documents: conversion to and
// from Unicode, and the upper-case folding used by case-insensitive search.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace prambus {

// Unicode code point of a Windows-1251 byte (0x98, unassigned, maps to U+0098).
char32_t Cp1251ToUnicode(uint8_t byte);
// The Windows-1251 byte of a code point, or '?' when the set has none.
uint8_t UnicodeToCp1251(char32_t cp);

std::string Cp1251ToUtf8(std::string_view bytes);
// Invalid UTF-8 sequences and unrepresentable characters become '?'.
std::string Utf8ToCp1251(std::string_view utf8);

// Upper case of a Windows-1251 character (Latin and every Cyrillic letter).
uint8_t UpperCp1251(uint8_t byte);
const uint8_t* UpperTable1251();
void UpperInPlace(std::string& s);

}  // namespace prambus
