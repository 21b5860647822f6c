// What recoding a view's whole document, as its Recode would, cannot keep.
#pragma once

#include "encodings/recode_losses.h"
#include "views/view_base.h"

namespace prambus {

RecodeLosses RecodeLossesOf(ViewBase& view, const CodeTable& source, const CodeTable& target);

}  // namespace prambus
