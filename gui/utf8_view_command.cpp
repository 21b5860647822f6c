// Showing the document as UTF-8: the text view's characters and the hex
// view's character column read the bytes as UTF-8, which stay as they are.
// The encoding menu and F8 reach it through ShowAsUtf8; choosing a table
// there shows the document through that table again (SelectEncoding).
#include "encodings/code_tables.h"
#include "main_window.h"
#include "qt_canvas.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus {

void MainWindow::ShowAsUtf8(bool on) {
  if (!view_ || on == doc_.utf8) return;
  if (!EnsureWholeDocument()) return;
  HideCaret();
  doc_.utf8 = on;
  if (on) {
    ShowEncodingChecks();
    ShowViewAsUtf8();
  } else {
    if (auto* text = dynamic_cast<TextView*>(view_.get())) text->SetUtf8(false);
    if (auto* hex = dynamic_cast<HexView*>(view_.get())) hex->ShowUtf8 = false;
    if (!SelectEncoding(doc_.encoding)) SelectEncoding(0);
  }
  RecomputeScrollRanges();
  SyncScrollBars();
  RefreshStatusBar();
  Redraw();
  ToggleCaret();
}

std::string MainWindow::ToDocumentText(const QString& text) const {
  return ShowsUtf8() ? text.toStdString() : ToCp1251(text);
}

void MainWindow::ShowViewAsUtf8() {
  if (auto* text = dynamic_cast<TextView*>(view_.get())) text->SetUtf8(true);
  if (auto* hex = dynamic_cast<HexView*>(view_.get())) {
    hex->SetCharTable(IdentityTable());
    hex->ShowUtf8 = true;
  }
}

}  // namespace prambus
