// A file chosen in the toolkit's open and save dialogs comes back as text.
// The toolkit turns each name's bytes into text, and a byte outside
// well-formed UTF-8 becomes a replacement character that it cannot turn
// back; it does not even list such files. The text is therefore taken for
// the name's own UTF-8 bytes, except where it is the text of a name the
// program holds (the document's own name, which the save dialog offers):
// accepting that offer must write the document's file, never a new one
// whose name holds replacement characters. The same holds for another name
// in that name's folder.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace prambus {

struct ChosenNameContext {
  // A name the program holds (absolute), whose text the dialog may give back.
  std::string known;
  // How the toolkit turns a name's bytes into text (UTF-8).
  std::function<std::string(std::string_view bytes)> toText;
  // Whether a file of that name is there (of any kind).
  std::function<bool(const std::string& path)> exists;
};

// The bytes of the file the absolute `text` names; nothing when it names two
// files that are both there (the known one, and another whose name holds
// those very replacement characters): the user's choice cannot be told then.
std::optional<std::string> BytesOfChosenName(std::string_view text,
                                             const ChosenNameContext& context);

}  // namespace prambus
