#include "recent_switcher.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "main_window.h"

namespace prambus {

namespace {
// The switcher's colours (0x00BBGGRR in the settings' terms): silver frame
// and lines, navy band with yellow text for the selected row.
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kYellow(0xFF, 0xFF, 0x00);

QFont SwitcherFont() {
  QFont f("MS Sans Serif");
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(13);
  return f;
}
}  // namespace

RecentSwitcher::RecentSwitcher(MainWindow* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus),
      owner_(owner) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  setFont(SwitcherFont());
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  setAutoFillBackground(true);
  qApp->installEventFilter(this);
}

bool RecentSwitcher::OwnerOrSelfActive() const {
  // Not while a menu of the window is open: keys are the menu's then.
  const QWidget* active = QApplication::activeWindow();
  return active && (active == owner_ || active == this) && !QApplication::activePopupWidget();
}

bool RecentSwitcher::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* e = static_cast<QKeyEvent*>(event);
      if ((e->key() != Qt::Key_Tab && e->key() != Qt::Key_Backtab) || !OwnerOrSelfActive())
        return false;
      if (!(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        owner_->DispatchKeyEvent(e);  // a tab typed into the document
        return true;
      }
      if (!owner_->State().recent.empty() && !owner_->State().recent[0].path.empty())
        Step(e->key() == Qt::Key_Backtab || (e->modifiers() & Qt::ShiftModifier));
      return true;
    }
    case QEvent::KeyRelease: {
      auto* e = static_cast<QKeyEvent*>(event);
      const bool ctrlHeld = (e->modifiers() & Qt::ControlModifier) && e->key() != Qt::Key_Control;
      if (!ctrlHeld && isVisible() && OwnerOrSelfActive()) Finish();
      return false;
    }
    case QEvent::WindowDeactivate:
      // The main window lost the activation (the switcher never takes it), or
      // the application was left: the switcher goes.
      if (watched == owner_ && isVisible()) hide();
      return false;
    case QEvent::ApplicationDeactivate:
      if (isVisible()) hide();
      return false;
    default:
      return false;
  }
}

void RecentSwitcher::Step(bool backwards) {
  if (isVisible()) {
    selected_ = StepSwitcherRow(selected_, layout_.Rows(), backwards);
    update();
    return;
  }
  ShowOverOwner();
}

void RecentSwitcher::ShowOverOwner() {
  const QFontMetrics fm(font());
  textHeight_ = fm.height();
  QScreen* screen = owner_->screen();
  const QRect work = screen->availableGeometry();
  layout_ = LayOutSwitcher(
      owner_->State().recent, owner_->Doc().path, textHeight_,
      [&fm](const std::string& name) { return fm.horizontalAdvance(QString::fromStdString(name)); },
      work.width(), work.height());
  const QRect g = owner_->frameGeometry();
  const QRect s = screen->geometry();
  const QPoint pointer = QCursor::pos();
  const Point at = PlaceSwitcher({g.left(), g.top(), g.right() + 1, g.bottom() + 1}, layout_.width,
                                 layout_.height, {pointer.x(), pointer.y()},
                                 {s.left(), s.top(), s.right() + 1, s.bottom() + 1});
  selected_ = 0;
  setGeometry(at.x, at.y, layout_.width, layout_.height);
  show();
  raise();
  update();
}

void RecentSwitcher::Finish() {
  hide();
  const int row = selected_;
  const bool extra = layout_.IsExtraRow(row);
  owner_->RebuildRecentMenu();
  const std::vector<QAction*>& items = owner_->RecentItems();
  if (!extra && row < static_cast<int>(items.size())) items[static_cast<size_t>(row)]->trigger();
}

void RecentSwitcher::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  p.setPen(kSilver);
  p.drawRect(0, 0, width() - 1, height() - 1);
  for (int i = 0; i < layout_.Rows(); ++i) {
    const Rect b = SwitcherBand(i, layout_.rowHeight, textHeight_, width());
    const QRect band(b.left, b.top, b.right - b.left, b.bottom - b.top);
    const bool chosen = i == selected_;
    p.fillRect(band, chosen ? kNavy : Qt::white);
    p.setPen(chosen ? kYellow : Qt::black);
    p.drawText(QRect(band.left(), band.top() + 1, band.width(), textHeight_),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
               QString::fromStdString(layout_.names[static_cast<size_t>(i)]));
    p.setPen(kSilver);
    p.drawLine(1, b.bottom, width() - 2, b.bottom);
  }
}

void RecentSwitcher::keyPressEvent(QKeyEvent* e) {
  owner_->DispatchKeyEvent(e);
}

}  // namespace prambus
