// The modeless "Найти" window, and the placement it shares with "Заменить".
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "entry_field.h"

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

}  // namespace prambus
