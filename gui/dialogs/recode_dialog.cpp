#include "recode_dialog.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

namespace prambus {

RecodeDialog::RecodeDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Перекодировать");
  setFixedSize(420, 260);
  sourceList = new QListWidget(this);
  targetList = new QListWidget(this);
  sourceList->setGeometry(10, 10, 160, 200);
  targetList->setGeometry(250, 10, 160, 200);
  auto* ok = new QPushButton("Готово", this);
  auto* cancel = new QPushButton("Отмена", this);
  ok->setGeometry(120, 222, 85, 28);
  cancel->setGeometry(215, 222, 85, 28);
  connect(ok, &QPushButton::clicked, this, [this] { done(1); });
  connect(cancel, &QPushButton::clicked, this, [this] { done(2); });
}

void RecodeDialog::Fill(const QStringList& sources, const QStringList& targets, int source,
                        int target, const QColor& background, const QColor& text) {
  sourceList->clear();
  sourceList->addItems(sources);
  targetList->clear();
  targetList->addItems(targets);
  for (QListWidget* list : {sourceList, targetList}) {
    QPalette pal = list->palette();
    pal.setColor(QPalette::Base, background);
    pal.setColor(QPalette::Text, text);
    list->setPalette(pal);
  }
  sourceList->setCurrentRow(source);
  targetList->setCurrentRow(target);
}

void RecodeDialog::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QFont f = font();
  f.setPixelSize(28);
  p.setFont(f);
  const QRect a = sourceList->geometry(), b = targetList->geometry();
  const int gap = b.left() - (a.right() + 1);
  const int w = QFontMetrics(f).horizontalAdvance("==>");
  const int x = a.right() + 1 + (gap - w) / 2;
  const int y = a.top() + a.height() / 2 - 23;
  p.drawText(x, y + QFontMetrics(f).ascent(), "==>");
}

void RecodeDialog::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    done(2);
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace prambus
