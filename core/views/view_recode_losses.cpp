#include "views/view_recode_losses.h"

#include <algorithm>
#include <string>

#include "encodings/recode.h"
#include "views/text_view.h"

namespace prambus {

RecodeLosses RecodeLossesOf(ViewBase& view, const CodeTable& source, const CodeTable& target) {
  // The text view keeps characters of its display table; recoding reads the
  // bytes they stand for. The hex view keeps the bytes themselves.
  const bool characters = dynamic_cast<TextView*>(&view) != nullptr;
  const CodeTable toBytes = InverseTable(view.CharTable());
  std::string bytes;
  bytes.reserve(static_cast<size_t>(std::max<int64_t>(0, view.GetTextLength())));
  view.ForEachRow([&](int length, const uint8_t* data, bool*) {
    const size_t from = bytes.size();
    bytes.append(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
    if (characters)
      for (size_t i = from; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(toBytes[static_cast<uint8_t>(bytes[i])]);
  });
  return RecodePlan(source, target).CountLosses(bytes);
}

}  // namespace prambus
