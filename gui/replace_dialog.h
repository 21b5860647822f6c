// The modeless "Заменить" window: find, replace one, replace all, from the
// start, the cursor or within the selection.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>

#include "entry_field.h"
#include "shell/find_replace.h"

namespace prambus {

class MainWindow;

class ReplaceDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ReplaceDialog(MainWindow* main);
  void ShowFor(bool byShortcut, bool hasSelection);
  void FindNextClicked();
  void ReplaceClicked();
  void ReplaceAllClicked();
  ReplaceSession& Session() { return session_; }

  EntryField* edit1;
  EntryField* edit2;
  QPushButton *Button4, *Button1, *Button2, *Button3;
  QCheckBox *CheckBox1, *CheckBox2, *CheckBox3;
  QRadioButton *fromStart, *fromCursor, *inSelection;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  void ResetSearch();
  void TakeOptions();
  void ShowEndMessage(const std::string& message);

  MainWindow* main_;
  ReplaceSession session_;
};

}  // namespace prambus
