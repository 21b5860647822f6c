#include "recovery_offer.h"

#include <QFile>
#include <QFileInfo>

#include "extensions/recovery_copy.h"
#include "main_window.h"
#include "platform/services.h"
#include "plugin_callbacks.h"
#include "plugin_host.h"

namespace prambus {

namespace {

enum Answer { kOpen = 1000, kDiscard = 1001 };

QString Question(const OrphanCopy& copy) {
  const QString path = QFile::decodeName(QByteArray::fromStdString(copy.manifest.documentPath));
  const QString name = path.isEmpty() ? "Безымянный.txt" : QFileInfo(path).fileName();
  return "В прошлый раз Прамбус закрылся, не дождавшись конца работы плагина «" +
         QString::fromStdString(copy.manifest.pluginCaption) +
         "». Перед его запуском я сохранил копию документа «" + name + "». Открыть её?";
}

// The copy becomes the document it was taken from: same view, encoding and
// file name (unsaved, once restored).
bool Restore(MainWindow& window, const OrphanCopy& copy) {
  try {
    window.OpenPath(QFile::decodeName(QByteArray::fromStdString(copy.contentPath)));
  } catch (const std::exception&) {
    Beep();
    return false;
  }
  // Whole before it takes the document's name: the copy is not its file.
  if (!window.EnsureWholeDocument()) return false;
  if (window.ViewKind() != copy.manifest.viewKind)
    window.SwitchView(copy.manifest.viewKind == 2 ? 1 : 0);
  window.SelectEncoding(copy.manifest.encodingIndex);
  NameDocument(window, QFile::decodeName(QByteArray::fromStdString(copy.manifest.documentPath)));
  return true;
}

}  // namespace

void OfferRecoveryCopies(MainWindow& window) {
  const std::string folder = window.plugins_->RecoveryFolder();
  for (const OrphanCopy& copy : FindOrphanCopies(folder)) {
    const int answer =
        window.Ask("Восстановление документа", Question(copy), {"Открыть", "Удалить", "Позже"});
    if (answer == kDiscard) {
      DiscardOrphanCopy(copy);
    } else if (answer == kOpen && Restore(window, copy)) {
      window.doc_.MarkUnsaved();  // its bytes are in no file yet: unsaved until saved
      window.RefreshTitle();
      DiscardOrphanCopy(copy);
      return;
    }
  }
}

}  // namespace prambus
