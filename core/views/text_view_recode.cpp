// Recoding the text view's document line by line from one encoding into
// another. Each stored character stands for the byte that the current display
// table maps to it; the result bytes are shown through the same table again.
#include "encodings/recode.h"
#include "views/text_view.h"

namespace prambus {

void TextView::Recode(const CodeTable& source, const CodeTable& target) {
  const RecodePlan plan(source, target);
  const CodeTable inverseV = InverseTable(CharTable);
  if (plan.Composable()) {
    // Plain tables: each stored character through one composed table, in place.
    const CodeTable step = plan.Composed();
    CodeTable map;
    for (int c = 0; c < 256; ++c) map[c] = CharTable[step[inverseV[c]]];
    for (int r = 0; r <= LastRow; ++r) Rows[r].MapThrough(map.data());
  }
  std::string bytes;
  for (int r = 0; r <= LastRow && !plan.Composable(); ++r) {
    bytes.assign(Rows[r].view());
    for (char& c : bytes) c = static_cast<char>(inverseV[static_cast<uint8_t>(c)]);
    std::string result = plan.Encode(plan.Decode(bytes, r == 0), r == 0);
    for (char& c : result) c = static_cast<char>(CharTable[static_cast<uint8_t>(c)]);
    Rows[r].Assign(result);
  }
  UndoStack.clear();
  RedoStack.clear();
  UndoBytes = 0;
  if (plan.UsesConversion()) CursorCol = CursorRow = AnchorCol = AnchorRow = 0;
  Relayout();
}

}  // namespace prambus
