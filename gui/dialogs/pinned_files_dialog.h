// "Закреплённые файлы": the checked list of the files whose window appearance
// is pinned. Checking a new path pins it, unchecking a path unpins it; the
// walk over the lines is done by the caller when the dialog is confirmed.
#pragma once

#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <functional>
#include <string>
#include <vector>

#include "shell/pinned_files.h"

namespace prambus {

class PinnedFilesDialog : public QDialog {
  Q_OBJECT
 public:
  // chooseOther asks for another file ("Добавить другой") and gives its
  // absolute name's bytes; empty when cancelled.
  PinnedFilesDialog(QWidget* parent, std::function<std::string(QWidget*)> chooseOther);

  // The pinned paths, each checked; currentPath is the open file ("" for a
  // new document, which disables "Добавить текущий"); the list takes the
  // surface's colours.
  void Fill(const std::vector<std::string>& pinnedPaths, const std::string& currentPath,
            const QColor& background, const QColor& text);
  // Centred on the pointer, just below it (above near the screen's bottom).
  void PlaceAtPointer();
  // The lines in order with their check marks; paths keep their exact bytes.
  std::vector<PinnedLine> Lines() const;

  void AddCurrent();
  void AddOther();

  QListWidget* list;
  QPushButton *addCurrentButton, *addOtherButton, *okButton, *cancelButton;

 private:
  void AddLine(const std::string& path);
  void AddUnlessListed(const std::string& path);

  std::function<std::string(QWidget*)> chooseOther_;
  std::string currentPath_;
};

}  // namespace prambus
