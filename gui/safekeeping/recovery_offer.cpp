#include "recovery_offer.h"

#include "encodings/stored_encoding.h"
#include "extensions/recovery_copy.h"
#include "io/posix_file.h"
#include "main_window.h"
#include "platform/services.h"
#include "plugin_callbacks.h"
#include "plugin_host.h"
#include "recovery_keeper.h"
#include "recovery_list_dialog.h"
#include "shell/recovery_list.h"

namespace prambus {

namespace {

// The copy becomes the document it was taken from: same view, encoding and
// file name, and unsaved; but only once the whole of it is in the window. A
// copy that cannot be loaded (too large, memory short) gives the window back
// the document it showed before.
MainWindow::WholeLoad Restore(MainWindow& window, const OrphanCopy& copy) {
  if (copy.contentSize > kMaxDocumentSize) return MainWindow::WholeLoad::kFailed;
  const MainWindow::WholeLoad loaded = window.LoadWhole(copy.contentPath);
  if (loaded != MainWindow::WholeLoad::kLoaded) return loaded;
  // Named and unsaved before a switch of view that may go in steps: a
  // switch stopped by Escape gives back the same document, named as well.
  window.NameRecoveredDocument(copy.manifest.documentPath);
  const EncodingCatalogue& encodings = window.Encodings();
  const int position = copy.manifest.encodingIndex;
  window.SelectEncoding(
      StoredEncodingId(encodings, copy.manifest.encodingId,
                       static_cast<uint8_t>(position >= 0 && position <= 255 ? position : 0),
                       encodings.LoadedList()));
  if (window.ViewKind() != copy.manifest.viewKind) {
    window.SwitchView(copy.manifest.viewKind == 2 ? 1 : 0);
    window.EnsureWholeDocument();
  }
  window.PlaceCursorAt(copy.manifest.cursor);
  return MainWindow::WholeLoad::kLoaded;
}

}  // namespace

void OfferRecoveryCopies(MainWindow& window) {
  const std::vector<OrphanCopy> copies = FindOrphanCopies(window.recovery_->Folder());
  if (copies.empty()) return;
  std::vector<RecoveryListRow> rows;
  for (const OrphanCopy& copy : copies) rows.push_back(DescribeOrphanCopy(copy));
  RecoveryListDialog dialog(&window);
  dialog.Fill(rows);
  dialog.discard = [&copies](int i) {
    DiscardOrphanCopy(copies[static_cast<size_t>(i)]);
    return true;
  };
  // The copies may be the only versions of that work: "Отмена" first, so
  // that Enter keeps them.
  dialog.confirmDiscard = [&window, &dialog](int count) {
    const QString question =
        QString::fromStdString(RecoveryDiscardQuestion(static_cast<size_t>(count)));
    return window.Ask(dialog.windowTitle(), question, {"Отмена", "Удалить"}) == 1001;
  };
  for (;;) {
    window.BeforeModalDialog();
    const int result = window.prompts_->RecoveryList(dialog);
    window.AfterModalDialog();
    if (result != RecoveryListDialog::kOpen || dialog.Chosen() < 0) return;
    const OrphanCopy& copy = copies[static_cast<size_t>(dialog.Chosen())];
    const MainWindow::WholeLoad restored = Restore(window, copy);
    if (restored == MainWindow::WholeLoad::kLoaded) {
      // The copy stays on disk, the document's own now, until the document
      // is saved or given up: a run that ends before that offers it again.
      if (!window.recovery_->AdoptRestored(copy)) window.recovery_->WriteNow({});
      return;
    }
    if (restored == MainWindow::WholeLoad::kFailed) {
      Beep();
      window.ShowNote(QString::fromStdString(RecoveryOpenFailedMessage(copy)));
    }
  }
}

}  // namespace prambus
