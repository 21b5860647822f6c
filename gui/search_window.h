// What the modeless "Найти" and "Заменить" windows share: a tool window kept
// above the main window, shown at the pointer (or centred on the main window
// when opened by its shortcut) inside the work area; Escape hides it, Enter
// runs its own step, and hiding it gives the main window back its
// stay-on-top.
#pragma once

#include <QDialog>

namespace prambus {

class MainWindow;

class SearchWindow : public QDialog {
  Q_OBJECT
 public:
  SearchWindow(MainWindow* main, const QString& caption, int width, int height);

 protected:
  // Places the window, shows it and gives the field the focus.
  void ShowPlaced(bool byShortcut, QWidget* focus);
  virtual void EnterPressed() = 0;
  void keyPressEvent(QKeyEvent* e) override;
  void hideEvent(QHideEvent* e) override;

  MainWindow* main_;
};

}  // namespace prambus
