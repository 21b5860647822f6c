// "Контрольные суммы...": the checksums of the selection, or of the whole
// document without one, in the bytes saving would write. Like every menu
// command it waits for a running load first; the window is modal, so the
// document stays as it is while it is summed.
#include "checksum_digests.h"
#include "checksum_window.h"
#include "main_window.h"
#include "pointer_placement.h"
#include "views/saved_bytes.h"

namespace prambus {

void MainWindow::ChecksumCommand() {
  if (!EnsureWholeDocument() || !view_) return;
  const bool selection = view_->HasSelection();
  ChecksumWindow window(
      this, std::make_unique<ChecksumJob>(ReadSavedBytes(*view_, selection), MakeChecksumDigests()),
      selection);
  PlaceAtMousePointer(&window);
  BeforeModalDialog();
  prompts_->Checksums(window);
  AfterModalDialog();
}

}  // namespace prambus
