// The About window "О программе": name and version, what the program is, a
// link to its help, and two pictures. It is shown without waiting, over the
// main window, and hides as soon as it loses activation.
#pragma once

#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <functional>

namespace prambus {

// A label that looks and acts like a link: underlined while the mouse is
// over it, and clicking it opens the help.
class LinkLabel : public QLabel {
  Q_OBJECT
 public:
  LinkLabel(const QString& text, QWidget* parent);
  bool Hovered() const { return font().underline(); }

 signals:
  void clicked();

 protected:
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void SetUnderline(bool on);
};

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent);
  const QImage& LeftPicture() const { return left_; }
  const QImage& RightPicture() const { return right_; }
  LinkLabel* Link() const { return link_; }
  std::function<void()> openHelp;  // the link's click
  QPushButton* OkButton() const { return ok_; }

 signals:
  // Hidden, by "ОК", Escape or another window taking the activation.
  void hidden();

 protected:
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void changeEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QImage left_, right_;
  QLabel* leftLabel_;
  QLabel* rightLabel_;
  LinkLabel* link_;
  QPushButton* ok_;
};

}  // namespace prambus
