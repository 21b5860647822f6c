// The "Перекодировать" dialog: the source encoding on the left, the target
// on the right, "==>" between them.
#pragma once

#include <QDialog>
#include <QListWidget>

namespace prambus {

class RecodeDialog : public QDialog {
  Q_OBJECT
 public:
  explicit RecodeDialog(QWidget* parent);
  // Fills both lists: the six built-in entries, then the loaded encodings.
  void Fill(const QStringList& loadedNames, int source, int target, const QColor& background,
            const QColor& text);
  int Source() const { return sourceList->currentRow(); }
  int Target() const { return targetList->currentRow(); }

  QListWidget* sourceList;
  QListWidget* targetList;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
};

}  // namespace prambus
