#include "help_window.h"

#include <QKeyEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace prambus {

HelpWindow::HelpWindow() : browser_(new QTextBrowser(this)) {
  // A window of its own, not above the main window, and never what keeps
  // the program running once the main window has closed.
  setAttribute(Qt::WA_QuitOnClose, false);
  setWindowTitle("Справка программы Прамбус");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  browser_->setOpenExternalLinks(true);
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QString("Справка программы Прамбус") : title);
  });
  resize(760, 640);
}

void HelpWindow::ShowPage(const QString& path) {
  const QUrl page = QUrl::fromLocalFile(path);
  if (browser_->source() == page)
    browser_->reload();
  else
    browser_->setSource(page);
  show();
  raise();
  activateWindow();
}

void HelpWindow::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(e);
}

}  // namespace prambus
