#include "views/view_factory.h"

#include "views/viewhex.h"
#include "views/viewtext.h"

namespace prambus {

std::unique_ptr<vwcommon> MakeView(int kind, Canvas* canvas) {
  switch (kind) {
    case kTextView:
      return std::make_unique<vwtext>(canvas);
    case kHexView:
      return std::make_unique<vwhex>(canvas);
    default:
      return nullptr;
  }
}

}  // namespace prambus
