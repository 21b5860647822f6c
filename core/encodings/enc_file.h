// Code tables loaded from .enc files: 256 whole numbers, one per line; entry
// k is the low 8 bits of the k-th number. A short file fills the rest with 0.
#pragma once

#include <string>
#include <string_view>

#include "views/view_base.h"

namespace prambus {

// Parses the text of an .enc file; false when it is not in that format.
bool parseEncodingText(std::string_view text, CodeTable& table);
// Reads and parses the file (opened read-only, never written).
bool loadEncodingFile(const std::string& path, CodeTable& table);

}  // namespace prambus
