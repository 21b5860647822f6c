// Line ends of text exchanged with other programs: every line end of a text
// (CR LF, LF CR, a lone CR or a lone LF, as the text view reads them) put in
// one chosen style.
#pragma once

#include <string>
#include <string_view>

namespace prambus {

std::string WithLineEnds(std::string_view text, std::string_view lineEnd);

}  // namespace prambus
