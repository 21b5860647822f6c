// Recoding the text view's document line by line from one encoding into
// another. Each stored character stands for the byte that the current display
// table maps to it; the result bytes are shown through the same table again.
#include "encodings/recode.h"
#include "views/viewtext.h"

namespace prambus {

void vwtext::Recode(const CodeTable& source, const CodeTable& target) {
  const RecodePlan plan(source, target);
  const CodeTable inverseV = InverseTable(CharTable);
  std::string bytes;
  for (int r = 0; r <= LastRow; ++r) {
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
