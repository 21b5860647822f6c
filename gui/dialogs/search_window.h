// What the modeless "Найти" and "Заменить" windows share: a tool window kept
// above the main window, shown at the pointer (or centred on the main window
// when opened by its shortcut) inside the work area of that screen. The
// window sees every key before its controls: Enter runs the window's own
// step wherever the focus is, even on a button; Escape hides it. Hiding it
// gives the main window back its stay-on-top.
#pragma once

#include <QDialog>

namespace prambus {

class MainWindow;

class SearchWindow : public QDialog {
  Q_OBJECT
 public:
  SearchWindow(MainWindow* main, const QString& caption);
  // The fields show the document's background and text colours.
  void SetFieldColours(const QColor& background, const QColor& text);

 protected:
  // Places the window, shows it and gives `focus` the focus.
  void ShowPlaced(bool byShortcut, QWidget* focus);
  // Enter, with the focus on `focus` (a field, a button or a box).
  virtual void EnterPressed(QWidget* focus) = 0;
  // After the controls are laid out: the window keeps the size they need.
  void FixSize();
  bool eventFilter(QObject* watched, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void hideEvent(QHideEvent* e) override;

  MainWindow* main_;
};

}  // namespace prambus
