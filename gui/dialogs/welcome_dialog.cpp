#include "welcome_dialog.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include "shell/dialog_placement.h"
#include "shell/view_kind_table.h"

namespace prambus {

namespace {
constexpr int kFieldWidth = 361, kFieldHeight = 24;
constexpr int kButtonHeight = 28;
}  // namespace

WelcomeDialog::WelcomeDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Здравствуйте!");
  greeting_ = new QLabel(
      "   Вас приветствует программа Прамбус. Я загру-\n"
      "жаюсь в первый раз на вашем компьютере. Введите,\n"
      "пожалуйста через запятую те расширения, которые\n"
      "вы хотите, чтобы я открывал.",
      this);
  greeting_->move(8, 8);
  greeting_->adjustSize();

  const int labelHeight = QFontMetrics(greeting_->font()).height();
  const WelcomeRows rows = LayOutWelcomeRows(labelHeight, kFieldHeight, kButtonHeight);
  for (int i = 0; i < 2; ++i) {
    auto* label = new QLabel(QString::fromUtf8(kViewKindNames[i]), this);
    label->setGeometry(8, rows.labelTop[i], kFieldWidth, labelHeight);
    fields_[i] = new EntryField(QString::fromUtf8(kFirstRunExtensionLists[i]), this);
    fields_[i]->setGeometry(8, rows.fieldTop[i], kFieldWidth, kFieldHeight);
    fields_[i]->onKey = [this](int key) { done(key == 13 ? 1 : 2); };
  }
  const int clientWidth = std::max(8 + kFieldWidth + 8, greeting_->width() + 16);
  notNeeded_ = new QPushButton("Это мне не нужно", this);
  notNeeded_->adjustSize();
  const int notNeededWidth = std::max(notNeeded_->width(), 130);
  notNeeded_->setGeometry(clientWidth - 8 - notNeededWidth, rows.buttonsTop, notNeededWidth,
                          kButtonHeight);
  ok_ = new QPushButton("ОК", this);
  ok_->setGeometry(notNeeded_->x() - 8 - 85, rows.buttonsTop, 85, kButtonHeight);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, [this] { done(1); });
  connect(notNeeded_, &QPushButton::clicked, this, [this] { done(2); });
  setFixedSize(clientWidth, rows.clientHeight);
}

int WelcomeDialog::Run() {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const QSize size = frameGeometry().size();
  const Point p = CentreOver({screen.left(), screen.top(), screen.right() + 1, screen.bottom() + 1},
                             size.width(), size.height());
  move(p.x, p.y);
  return exec() == 1 ? 1 : 2;
}

void WelcomeDialog::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    done(2);
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace prambus
