#include "views/view_factory.h"

#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus {

bool HasViewKind(int kind) {
  return kind == kTextView || kind == kHexView;
}

std::unique_ptr<ViewBase> MakeView(int kind, Canvas* canvas) {
  switch (kind) {
    case kTextView:
      return std::make_unique<TextView>(canvas);
    case kHexView:
      return std::make_unique<HexView>(canvas);
    default:
      return nullptr;
  }
}

}  // namespace prambus
