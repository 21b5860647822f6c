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
  // Fills the lists with the captions of the encodings offered as sources
  // and as targets, and marks one row of each.
  void Fill(const QStringList& sources, const QStringList& targets, int source, int target,
            const QColor& background, const QColor& text);
  int Source() const { return sourceList->currentRow(); }
  int Target() const { return targetList->currentRow(); }

  QListWidget* sourceList;
  QListWidget* targetList;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
};

}  // namespace prambus
