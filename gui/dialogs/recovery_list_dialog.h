// "Восстановление документов": every recovery copy left behind in one list
// (document, when the copy was made, size, why), instead of a question per
// copy. "Открыть" (result kOpen) hands the chosen copy back to be opened;
// "Удалить" discards the selected copies at once, once `confirmDiscard`
// agrees, through `discard`, and takes them off the list; "Позже" or Escape (result kLater) keeps
// the rest for the next start.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>
#include <vector>

#include "shell/recovery_list.h"

namespace prambus {

class RecoveryListDialog : public QDialog {
  Q_OBJECT
 public:
  enum Result { kLater = 0, kOpen = 1 };

  explicit RecoveryListDialog(QWidget* parent);
  // One row per copy, in order; the first row chosen.
  void Fill(const std::vector<RecoveryListRow>& rows);
  // Indexes (into what Fill got) of the rows still listed.
  std::vector<int> Listed() const;
  // The copy to open once the result is kOpen.
  int Chosen() const { return chosen_; }

  QTreeWidget* List() const { return list_; }
  QPushButton* OpenButton() const { return open_; }
  QPushButton* DiscardButton() const { return discard_; }
  QPushButton* LaterButton() const { return later_; }
  // Discards the copy of that index; false when it could not be.
  std::function<bool(int index)> discard;
  // Asked before `count` selected copies are discarded; false keeps them.
  std::function<bool(int count)> confirmDiscard;

 private:
  void OpenChosen();
  void DiscardSelected();
  void UpdateButtons();
  void SelectFirst();

  QTreeWidget* list_;
  QPushButton* open_;
  QPushButton* discard_;
  QPushButton* later_;
  int chosen_ = -1;
};

}  // namespace prambus
