#include "shell/chosen_name.h"

#include "io/lexical_path.h"
#include "text/utf8_scan.h"

namespace prambus {

std::optional<std::string> BytesOfChosenName(std::string_view text,
                                             const ChosenNameContext& context) {
  const std::string literal(text);
  const std::string& known = context.known;
  // A name that is text is given back as it is.
  if (known.empty() || IsWellFormedUtf8(known)) return literal;
  std::optional<std::string> meant;
  if (context.toText(known) == text) {
    meant = known;
  } else {
    const std::string folder = FolderOf(known);
    const size_t slash = literal.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !IsWellFormedUtf8(folder) &&
        context.toText(folder) == text.substr(0, slash))
      meant = folder + literal.substr(slash);
  }
  if (!meant) return literal;
  if (context.exists(literal)) return std::nullopt;
  return meant;
}

}  // namespace prambus
