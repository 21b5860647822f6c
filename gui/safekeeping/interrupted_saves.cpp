#include "interrupted_saves.h"

#include "main_window.h"
#include "shell/file_messages.h"
#include "shell/save_journal.h"

namespace prambus {

namespace {
// Keeping both destroys nothing, so it comes first and Enter chooses it.
enum Answer { kKeepBoth = 1000, kPutBack = 1001 };

QString Text(const std::string& s) {
  return QString::fromStdString(s);
}
}  // namespace

void OfferInterruptedSaves(MainWindow& window) {
  for (LeftoverSave& save : ClearLeftoverSaves(SaveJournalFolder())) {
    const SaveRecord& r = save.Record();
    const std::string& target = r.target;
    const std::string& backup = r.leftover;
    if (!BackupPresent(r)) {
      window.ShowNote(Text(InterruptedSaveBackupMissing(target, backup)));
      save.Forget();
      continue;
    }
    const int answer = window.AskBeforeShown(kInterruptedSaveCaption,
                                             Text(InterruptedSaveQuestion(target, backup)),
                                             {"Оставить оба", "Вернуть"});
    if (answer == kKeepBoth) save.Forget();
    if (answer != kPutBack) continue;
    const PutBackOutcome o = PutBackBackup(save);
    if (o.result == PutBackResult::kBackupMissing) {
      window.ShowNote(Text(InterruptedSaveBackupMissing(target, backup)));
      save.Forget();
    } else if (o.result == PutBackResult::kTargetReplaced) {
      window.ShowNote(Text(InterruptedSaveTargetReplaced(target, backup)));
      save.Forget();
    } else if (o.result == PutBackResult::kFailed) {
      window.ShowNote(Text(InterruptedSavePutBackFailed(target, backup, o.error)));
    }
  }
}

}  // namespace prambus
