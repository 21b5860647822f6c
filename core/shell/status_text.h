// Texts of the six status-bar panels.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace prambus {

struct StatusInput {
  int cursorCol = 0, cursorRow = 0;
  bool hasSelection = false;
  int anchorCol = 0, anchorRow = 0;
  int rowCount = 1;
  bool rowCountPartial = false;  // the document is still loading: more rows may follow
  bool insertMode = true;
  int32_t openDurationMs = -1;  // -1 for a new document
  std::string encodingCaption;  // UTF-8 caption of the document's encoding
  std::string savedLineEnd;     // what saving turns line ends into; empty: kept as they are
};

// The line-end menu's name of a line end: "#10", "#13" or "#13#10".
std::string LineEndName(std::string_view lineEnd);

// UTF-8 texts of panels 0..5.
std::array<std::string, 6> StatusPanels(const StatusInput& in);
// "строк" with the ending for n lines: "а", "и" or none.
std::string LineCountText(int n);

}  // namespace prambus
