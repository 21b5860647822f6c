// The modeless "Найти" and "Заменить" windows.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "entry_field.h"
#include "shell/find_replace.h"

namespace prambus {

class MainWindow;

// Places a dialog at the pointer (or centred on the main window when opened
// by its shortcut) and keeps it inside the work area.
void PlaceFindDialog(QWidget* dialog, const QWidget* mainWindow, bool byShortcut);

class FindDialog : public QDialog {
  Q_OBJECT
 public:
  explicit FindDialog(MainWindow* main);
  void ShowFor(bool byShortcut);
  void FindNextClicked();

  QLabel* Label1;
  EntryField* edit1;
  QPushButton* Button2;
  QCheckBox* CheckBox1;
  QPushButton* Button3;
  std::string lastText;  // the text of this dialog's last search (Windows-1251)

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  MainWindow* main_;
};

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
  void ShowStartChoice();
  void ShowEndMessage(const std::string& message);

  MainWindow* main_;
  ReplaceSession session_;
};

}  // namespace prambus
