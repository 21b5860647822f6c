#include "go_to_dialog.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>

namespace prambus {

namespace {

QString HintFor(GoToUnit unit) {
  if (unit == GoToUnit::kLine)
    return "120 — строка, 120:5 — строка и позиция в ней,\n"
           "+10 и -10 — на столько строк ниже или выше курсора.";
  return "0x… — шестнадцатеричное, #… — десятичное,\n"
         "+N и -N — на столько байт вперёд или назад от курсора.";
}

}  // namespace

GoToDialog::GoToDialog(QWidget* parent, GoToUnit unit, int base, const QString& heading,
                       const QString& current)
    : QDialog(parent), unit_(unit), base_(base) {
  setWindowTitle("Перейти");
  headingLabel = new QLabel(heading, this);
  field = new QLineEdit(current, this);
  field->selectAll();
  field->setMinimumWidth(260);
  hintLabel = new QLabel(HintFor(unit), this);
  QPalette quiet = hintLabel->palette();
  quiet.setColor(QPalette::WindowText, quiet.color(QPalette::PlaceholderText));
  hintLabel->setPalette(quiet);
  problemLabel = new QLabel(this);
  problemLabel->setWordWrap(true);
  QPalette alarm = problemLabel->palette();
  alarm.setColor(QPalette::WindowText, QColor(0xB0, 0, 0));
  problemLabel->setPalette(alarm);
  problemLabel->hide();
  extendCheck = new QCheckBox("Выделить до этого места (или Shift+Enter)", this);
  goButton = new QPushButton("Перейти", this);
  cancelButton = new QPushButton("Отмена", this);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(goButton);
  buttons->addWidget(cancelButton);
  auto* grid = new QGridLayout(this);
  grid->addWidget(headingLabel, 0, 0);
  grid->addWidget(field, 1, 0);
  grid->addWidget(hintLabel, 2, 0);
  grid->addWidget(problemLabel, 3, 0);
  grid->addWidget(extendCheck, 4, 0);
  grid->addLayout(buttons, 5, 0);
  grid->setSizeConstraint(QLayout::SetFixedSize);
  // A wrapped label's height is found for the width it will have: with only a
  // largest width, the fixed-size layout measured some texts at a width of
  // their own and cut their first and last lines off.
  problemLabel->setFixedWidth(field->minimumWidth() + 80);

  goButton->setAutoDefault(false);
  cancelButton->setAutoDefault(false);
  connect(goButton, &QPushButton::clicked, this,
          [this] { Submit(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier); });
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  field->installEventFilter(this);
  connect(field, &QLineEdit::textEdited, problemLabel, &QWidget::hide);
}

void GoToDialog::Submit(bool shift) {
  std::string error;
  if (!ParseGoTo(field->text().toStdString(), unit_, base_, request_, error)) {
    problemLabel->setText(QString::fromStdString(error));
    // The height its wrapped lines need at its width, asked of the label
    // itself: the layout measures a label it has not shown yet too short.
    problemLabel->setMinimumHeight(problemLabel->heightForWidth(problemLabel->width()));
    problemLabel->show();
    field->setFocus();
    field->selectAll();
    return;
  }
  extend_ = shift || extendCheck->isChecked();
  accept();
}

bool GoToDialog::eventFilter(QObject* watched, QEvent* e) {
  if (watched == field && e->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      Submit(key->modifiers() & Qt::ShiftModifier);
      return true;
    }
  }
  return QDialog::eventFilter(watched, e);
}

}  // namespace prambus
