// Creates the view object of a view kind (1 text view, 2 hex view).
#pragma once

#include <memory>

#include "views/view_base.h"

namespace prambus {

enum ViewKind : int { kNoView = 0, kTextView = 1, kHexView = 2 };

// Whether this build has a view of the kind (MakeView gives one).
bool HasViewKind(int kind);
// nullptr for kind 0 and for kinds this build has no view for.
std::unique_ptr<ViewBase> MakeView(int kind, Canvas* canvas);

}  // namespace prambus
