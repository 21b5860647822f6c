// The program's own window for its help pages (the help and the page on
// writing skins and plug-ins). The pages are local HTML files; handing them
// to the desktop could reach a program that shows HTML as plain text (this
// editor among them), so the program shows them itself. Links between the
// pages are followed here; links to the web go to the desktop's browser.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace prambus {

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  HelpWindow();
  // Shows the page at `path` and brings the window to the front.
  void ShowPage(const QString& path);
  QTextBrowser* Browser() const { return browser_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QTextBrowser* browser_;
};

}  // namespace prambus
