#include "shell/disk_watch.h"

#include "shell/shown_name.h"

namespace prambus {

DiskChange CompareWithDisk(const std::string& path, DiskIdentity& remembered, DiskIdentity* now) {
  DiskIdentity seen;
  if (!now) now = &seen;
  *now = DiskIdentity{};
  if (path.empty() || !remembered.known) return DiskChange::kNone;
  *now = DiskIdentityOf(path);
  if (!now->known) return DiskChange::kGone;
  if (now->SameStatus(remembered)) return DiskChange::kNone;
  // Touched, or rewritten with content of the same length: only the content
  // can tell which.
  if (now->SameFileAndSize(remembered) && remembered.hashed) {
    const DiskIdentity hashed = WithContentHash(path, *now);
    if (hashed.hashed && hashed.contentHash == remembered.contentHash) {
      remembered = hashed;
      *now = hashed;
      return DiskChange::kNone;
    }
  }
  return DiskChange::kChanged;
}

DiskAction DiskWatch::OnActivation(DiskChange change, const DiskIdentity& now, bool modified,
                                   bool reloadQuietly) {
  switch (change) {
    case DiskChange::kNone:
      return DiskAction::kNothing;
    case DiskChange::kGone:
      if (goneTold_) return DiskAction::kNothing;
      goneTold_ = true;
      return DiskAction::kTellGone;
    case DiskChange::kChanged:
      break;
  }
  goneTold_ = false;  // the file is back: its going again is news
  if (askedAbout_ == now) return DiskAction::kNothing;
  // Asked once for this version of the file; a quiet reload needs no memory.
  if (!modified && reloadQuietly) return DiskAction::kReloadQuietly;
  askedAbout_ = now;
  return modified ? DiskAction::kAskAboutEdits : DiskAction::kAskToReload;
}

DiskAction DiskWatch::BeforeSave(DiskChange change) const {
  // A file gone is written anew; a changed one is never written over unasked.
  return change == DiskChange::kChanged ? DiskAction::kAskToOverwrite : DiskAction::kNothing;
}

void DiskWatch::Settled() {
  askedAbout_ = DiskIdentity{};
  goneTold_ = false;
}

std::string FileChangedQuestion(const std::string& path) {
  return "Файл " + QuotedPath(path) +
         " изменила другая программа. Загрузить его заново? Курсор останется на той же строке.";
}

std::string FileChangedUnderEditsQuestion(const std::string& path) {
  return "Файл " + QuotedPath(path) +
         " изменила другая программа, а в документе есть несохранённые изменения. Если "
         "загрузить файл заново, ваши изменения пропадут. Если оставить их, я спрошу ещё раз, "
         "прежде чем записать их поверх файла. Можно и сохранить документ под другим именем.";
}

std::string FileChangedBeforeSaveQuestion(const std::string& path) {
  return "Файл " + QuotedPath(path) +
         " изменила другая программа после того, как я его загрузил или сохранил. Если записать "
         "документ поверх файла, её изменения пропадут. Записать?";
}

std::string FileGoneNote(const std::string& path) {
  return "Файла " + QuotedPath(path) +
         " больше нет на диске: его удалили или переместили. Документ остаётся открытым; "
         "чтобы не потерять его, сохраните его.";
}

}  // namespace prambus
