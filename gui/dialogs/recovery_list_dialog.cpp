#include "recovery_list_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace prambus {

namespace {
constexpr int kIndexRole = Qt::UserRole;
QString Text(const std::string& s) {
  return QString::fromStdString(s);
}
}  // namespace

RecoveryListDialog::RecoveryListDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Восстановление документов");
  auto* intro = new QLabel(
      "От прошлых запусков остались копии документов с несохранёнными изменениями. Откройте "
      "нужную (она станет несохранённым документом), удалите лишние или оставьте их на потом.",
      this);
  intro->setWordWrap(true);
  list_ = new QTreeWidget(this);
  list_->setColumnCount(4);
  list_->setHeaderLabels({"Документ", "Сохранена", "Размер", "Причина"});
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setTextElideMode(Qt::ElideMiddle);
  list_->header()->setStretchLastSection(true);
  open_ = new QPushButton("Открыть", this);
  discard_ = new QPushButton("Удалить", this);
  later_ = new QPushButton("Позже", this);
  open_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* b : {open_, discard_, later_}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addWidget(list_);
  layout->addLayout(buttons);
  connect(open_, &QPushButton::clicked, this, &RecoveryListDialog::OpenChosen);
  connect(discard_, &QPushButton::clicked, this, &RecoveryListDialog::DiscardSelected);
  connect(later_, &QPushButton::clicked, this, [this] { done(kLater); });
  connect(list_, &QTreeWidget::itemSelectionChanged, this, &RecoveryListDialog::UpdateButtons);
  connect(list_, &QTreeWidget::itemActivated, this, [this] { OpenChosen(); });
  resize(640, 320);
}

void RecoveryListDialog::Fill(const std::vector<RecoveryListRow>& rows) {
  list_->clear();
  for (size_t i = 0; i < rows.size(); ++i) {
    const RecoveryListRow& r = rows[i];
    auto* item = new QTreeWidgetItem(
        list_, {Text(r.document), Text(r.savedAt), Text(r.size), Text(r.reason)});
    item->setData(0, kIndexRole, static_cast<int>(i));
    item->setToolTip(0, Text(r.path));
    item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  }
  for (int c = 0; c < 3; ++c) list_->resizeColumnToContents(c);
  // Long names are elided, never widen the window past a reasonable size.
  list_->setColumnWidth(0, std::min(list_->columnWidth(0), 260));
  SelectFirst();
  UpdateButtons();
}

// Whatever keys are held (a Ctrl still down would make it a toggle).
void RecoveryListDialog::SelectFirst() {
  if (list_->topLevelItemCount() == 0) return;
  list_->selectionModel()->setCurrentIndex(
      list_->model()->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

std::vector<int> RecoveryListDialog::Listed() const {
  std::vector<int> out;
  for (int i = 0; i < list_->topLevelItemCount(); ++i)
    out.push_back(list_->topLevelItem(i)->data(0, kIndexRole).toInt());
  return out;
}

void RecoveryListDialog::OpenChosen() {
  const QList<QTreeWidgetItem*> selected = list_->selectedItems();
  if (selected.size() != 1) return;
  chosen_ = selected.front()->data(0, kIndexRole).toInt();
  done(kOpen);
}

void RecoveryListDialog::DiscardSelected() {
  const QList<QTreeWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) return;
  if (confirmDiscard && !confirmDiscard(static_cast<int>(selected.size()))) return;
  for (QTreeWidgetItem* item : selected) {
    if (discard && !discard(item->data(0, kIndexRole).toInt())) continue;
    delete item;
  }
  if (list_->topLevelItemCount() == 0) {
    done(kLater);
    return;
  }
  if (list_->selectedItems().isEmpty()) SelectFirst();
  UpdateButtons();
}

void RecoveryListDialog::UpdateButtons() {
  const qsizetype selected = list_->selectedItems().size();
  open_->setEnabled(selected == 1);
  discard_->setEnabled(selected > 0);
}

}  // namespace prambus
