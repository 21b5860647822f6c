// The items of "Кодировка": one for each encoding of the catalogue that can
// show a document, in the catalogue's order (the built-in tables, then the
// loaded ones), before "Загрузить из файла...". Each item carries its
// encoding's identifier; none carries a position.
#include "main_window.h"

namespace prambus {

void MainWindow::RebuildEncodingMenu() {
  // An item may be the one whose click runs this: it goes once the click is over.
  for (QAction* item : encodingActions_) {
    menus_.encodings->removeAction(item);
    item->deleteLater();
  }
  encodingActions_.clear();
  for (const EncodingEntry* entry : encodings_.MenuEntries()) {
    auto* item = new QAction(QString::fromStdString(entry->caption), menus_.encodings);
    item->setCheckable(true);
    item->setData(QString::fromStdString(entry->id));
    menus_.encodings->insertAction(actions_.loadEncoding, item);
    ConnectCommand(item, [this, id = entry->id] { SelectEncoding(id); });
    encodingActions_.push_back(item);
  }
  ShowEncodingChecks();
}

QAction* MainWindow::EncodingAction(std::string_view id) const {
  const QString wanted = QString::fromUtf8(id.data(), static_cast<qsizetype>(id.size()));
  for (QAction* item : encodingActions_)
    if (item->data().toString() == wanted) return item;
  return nullptr;
}

// Exactly one item carries the mark: the document's encoding. An encoding
// the menu does not list (UTF-8, shown through "Windows") marks none. A
// click flips its item's mark before the command runs, so every command
// ends here.
void MainWindow::ShowEncodingChecks() {
  const QAction* shown = EncodingAction(doc_.encoding);
  for (QAction* item : encodingActions_) item->setChecked(item == shown);
}

}  // namespace prambus
