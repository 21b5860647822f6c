// The Ctrl+Tab switcher: a borderless, white, stay-on-top list of the recent
// files (and of the current document when the list lacks it) shown over the
// main window while Ctrl is held. Tab moves the selection down, Shift+Tab up;
// releasing Ctrl opens the selected file.
//
// It also holds the application-wide Tab filter: while the main window or the
// switcher is active, Tab with Ctrl or Alt drives the switcher, plain Tab and
// Shift+Tab type a tab into the document.
//
// The switcher is shown without taking the activation, so the main window
// keeps the keyboard and its stay-on-top state: the switcher, owned by the
// main window and itself on top, always lies above it.
#pragma once

#include <QWidget>

#include "shell/recent_switcher.h"

namespace prambus {

class MainWindow;

class RecentSwitcher : public QWidget {
  Q_OBJECT
 public:
  explicit RecentSwitcher(MainWindow* owner);

  const SwitcherLayout& Layout() const { return layout_; }
  int Selected() const { return selected_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  // Ctrl+Tab (or Alt+Tab), Shift reversing: shows the switcher with row 0
  // selected, or moves the selection while it is shown.
  void Step(bool backwards);
  void ShowOverOwner();
  // A key released without Ctrl held: hide and open the selected row.
  void Finish();
  bool OwnerOrSelfActive() const;

  MainWindow* owner_;
  SwitcherLayout layout_;
  int selected_ = 0;
  int textHeight_ = 0;
};

}  // namespace prambus
