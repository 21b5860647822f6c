#include "shell/go_to.h"

#include <algorithm>
#include <limits>

#include "shell/typed_number.h"
#include "views/hex_codes.h"

namespace prambus {

namespace {

constexpr int64_t kFar = std::numeric_limits<int64_t>::max();

bool EndsHardLine(std::string_view row) {
  return !row.empty() && (row.back() == '\r' || row.back() == '\n');
}

int64_t Saturated(const TypedNumber& n) {
  const int64_t v =
      n.magnitude > static_cast<uint64_t>(kFar) ? kFar : static_cast<int64_t>(n.magnitude);
  return n.negative ? -v : v;
}

std::string LineHelp() {
  return "Напишите номер строки (120), строку и позицию в ней через двоеточие (120:5) или "
         "сдвиг от строки курсора (+10, -10).";
}

std::string OffsetHelp(int base) {
  return "Напишите смещение в байтах в " + BaseNotationName(base) + " (" + DigitsOf(128160, base) +
         "), с приставкой 0x — в шестнадцатеричной, с # — в десятичной, или сдвиг от курсора "
         "(+10, -10).";
}

// The first row of hard line `line` (from 0); false, with the last row,
// when the document has fewer lines.
bool FirstRowOfLine(const ViewBase& view, int64_t line, int& row) {
  int64_t l = 0;
  for (row = 0; l < line && row < view.LastRow(); ++row)
    if (EndsHardLine(view.GetRow(row))) ++l;
  return l == line;
}

// Steps from the first row of a line over its wrapped rows to the one that
// holds position column (from 0), as the cursor stands there: the end of a
// wrapped row is the start of the next.
void PlaceInLine(const ViewBase& view, int& row, int64_t& column) {
  for (;;) {
    const std::string_view text = view.GetRow(row);
    if (EndsHardLine(text) || row >= view.LastRow() || column < static_cast<int64_t>(text.size()))
      return;
    column -= static_cast<int64_t>(text.size());
    ++row;
  }
}

void Place(ViewBase& view, int col, int row, bool extend) {
  view.SetPosition(col, row, true);
  if (!extend) view.SetPosition(view.CursorColumn(), view.CursorRow(), false);
}

}  // namespace

bool ParseGoTo(std::string_view text, GoToUnit unit, int base, GoToRequest& request,
               std::string& error) {
  request = GoToRequest{};
  const std::string_view typed = TrimTyped(text);
  const std::string help = unit == GoToUnit::kLine ? LineHelp() : OffsetHelp(base);
  if (typed.empty()) {
    error = help;
    return false;
  }
  std::string_view number = typed, column;
  if (unit == GoToUnit::kLine) {
    const size_t parted = typed.find_first_of(":,");
    if (parted != std::string_view::npos) {
      number = typed.substr(0, parted);
      column = typed.substr(parted + 1);
    }
  }
  const bool withColumn = number.size() != typed.size();
  TypedNumber n, c;
  const bool numberRead = ReadTypedNumber(number, unit == GoToUnit::kLine ? 10 : base, n);
  const bool columnRead = !withColumn || (ReadTypedNumber(column, 10, c) && !c.signed_);
  if (!numberRead || !columnRead) {
    error = "Я не понимаю «" + std::string(typed) + "». " + help;
    return false;
  }
  request.relative = n.signed_;
  request.amount = Saturated(n);
  if (withColumn) request.column = std::max<int64_t>(1, Saturated(c));
  return true;
}

int64_t HardLineOfRow(const ViewBase& view, int row) {
  int64_t line = 0;
  row = std::clamp(row, 0, view.LastRow());
  for (int r = 0; r < row; ++r)
    if (EndsHardLine(view.GetRow(r))) ++line;
  return line;
}

int64_t HardLineCount(const ViewBase& view) {
  return HardLineOfRow(view, view.LastRow()) + 1;
}

void ApplyGoTo(ViewBase& view, GoToUnit unit, const GoToRequest& request, bool extend) {
  if (unit == GoToUnit::kOffset) {
    const int64_t length = view.GetTextLength();
    const int64_t from =
        request.relative ? view.PosToOffset(view.CursorColumn(), view.CursorRow()) : 0;
    // from + amount within 0..length, without overflowing on a huge amount.
    const int64_t offset = request.amount >= 0
                               ? (request.amount >= length - from ? length : from + request.amount)
                               : (request.amount <= -from ? 0 : from + request.amount);
    int col = static_cast<int>(offset), row = 0;
    view.OffsetToPos(col, row);
    Place(view, col, row, extend);
    return;
  }
  int64_t line = 0;
  if (request.relative) {
    const int64_t here = HardLineOfRow(view, view.CursorRow());
    line = request.amount >= 0 ? (request.amount >= kFar - here ? kFar : here + request.amount)
                               : std::max<int64_t>(0, here + request.amount);
  } else {
    line = std::max<int64_t>(0, request.amount - 1);
  }
  int row = 0;
  // A line past the end goes to the end of the document.
  const bool found = FirstRowOfLine(view, line, row);
  int64_t column = !found ? kFar : request.column > 0 ? request.column - 1 : 0;
  PlaceInLine(view, row, column);
  Place(view, static_cast<int>(std::min<int64_t>(column, view.GetRow(row).size())), row, extend);
}

}  // namespace prambus
