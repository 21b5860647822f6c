// "Перейти...": what the user typed (a line, a line and a position in it, a
// byte offset, or a step from the cursor) and where in the view it leads.
// Lines are hard lines: a line wrapped over several rows counts once, as
// other programs number the lines of a file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "views/view_base.h"

namespace prambus {

enum class GoToUnit { kLine, kOffset };

struct GoToRequest {
  bool relative = false;  // amount counts from the cursor's line or byte
  int64_t amount = 0;     // a line from 1 or an offset from 0; signed when relative
  int64_t column = 0;     // a position in the line from 1; 0 when none was typed
};

// Reads what was typed: lines in decimal ("120", "120:5", "+10", "-3"),
// offsets in `base` ("1F4A0", "0x1F4A0", "#128160", "+0x10"). A number too
// large for any document is kept as the largest value, so it goes to the end.
// False, with the message to show in `error` (UTF-8), when the text is none
// of these.
bool ParseGoTo(std::string_view text, GoToUnit unit, int base, GoToRequest& request,
               std::string& error);

// The hard line (from 0) that row lies in, and how many hard lines there are.
int64_t HardLineOfRow(const ViewBase& view, int row);
int64_t HardLineCount(const ViewBase& view);

// Puts the cursor where the request leads, within the document: a line or
// offset past the end goes to the end, one before the start to the start,
// a position past the end of its line to the line's end. With extend the
// anchor stays where it was (as with Shift), otherwise it goes with the
// cursor. The view scrolls the cursor into sight.
void ApplyGoTo(ViewBase& view, GoToUnit unit, const GoToRequest& request, bool extend);

}  // namespace prambus
