// The modeless "Заменить" window: find, replace one, replace all, from the
// start, the cursor or within the selection.
#pragma once

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

#include "entry_field.h"
#include "search_window.h"
#include "shell/find_replace.h"

namespace prambus {

class ReplaceDialog : public SearchWindow {
  Q_OBJECT
 public:
  explicit ReplaceDialog(MainWindow* main);
  void ShowFor(bool byShortcut, bool hasSelection);
  void FindNextClicked();
  void ReplaceClicked();
  void ReplaceAllClicked();
  ReplaceSession& Session() { return session_; }

  EntryField* findEdit;
  EntryField* replaceEdit;
  QPushButton *findNextButton, *replaceButton, *replaceAllButton, *closeButton;
  QCheckBox *caseCheck, *codesCheck, *undoCheck;
  QRadioButton *fromStart, *fromCursor, *inSelection;

 protected:
  // Enter in the second field replaces; anywhere else it moves to that field.
  void EnterPressed(QWidget* focus) override;

 private:
  void ResetSearch();
  void TakeOptions();
  void ShowStartChoice();
  void RunReplace(const std::function<bool(ViewBase& view, std::string& message)>& step);
  void ShowEndMessage(const std::string& message);

  ReplaceSession session_;
  bool replacingAll_ = false;  // "Заменить всё" runs (its button stops it meanwhile)
};

}  // namespace prambus
