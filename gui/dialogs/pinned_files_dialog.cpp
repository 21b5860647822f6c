#include "pinned_files_dialog.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include "shell/shown_name.h"
#include "shell/window_layout.h"

namespace prambus {

namespace {
constexpr int kItemHeight = 20;
constexpr int kPathRole = Qt::UserRole;  // the path's bytes as stored

std::string PathOf(const QListWidgetItem* item) {
  return item->data(kPathRole).toByteArray().toStdString();
}
}  // namespace

PinnedFilesDialog::PinnedFilesDialog(QWidget* parent,
                                     std::function<std::string(QWidget*)> chooseOther)
    : QDialog(parent), chooseOther_(std::move(chooseOther)) {
  setWindowTitle("Закреплённые файлы");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(778, 191);
  list = new QListWidget(this);
  // The list and the buttons centred in the height, with equal margins.
  list->setGeometry(12, 21, 562, 149);
  list->setUniformItemSizes(true);
  addCurrentButton = new QPushButton("Добавить текущий", this);
  addOtherButton = new QPushButton("Добавить другой", this);
  okButton = new QPushButton("ОК", this);
  cancelButton = new QPushButton("Отмена", this);
  addCurrentButton->setGeometry(586, 21, 180, 28);
  addOtherButton->setGeometry(586, 57, 180, 28);
  okButton->setGeometry(586, 142, 86, 28);
  cancelButton->setGeometry(680, 142, 86, 28);
  okButton->setDefault(true);
  connect(addCurrentButton, &QPushButton::clicked, this, [this] { AddCurrent(); });
  connect(addOtherButton, &QPushButton::clicked, this, [this] { AddOther(); });
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);  // and Esc
}

void PinnedFilesDialog::Fill(const std::vector<std::string>& pinnedPaths,
                             const std::string& currentPath, const QColor& background,
                             const QColor& text) {
  list->clear();
  for (const std::string& path : pinnedPaths) AddLine(path);
  QPalette pal = list->palette();
  pal.setColor(QPalette::Base, background);
  pal.setColor(QPalette::Text, text);
  list->setPalette(pal);
  currentPath_ = currentPath;
  addCurrentButton->setEnabled(!currentPath.empty());
}

void PinnedFilesDialog::AddLine(const std::string& path) {
  auto* item = new QListWidgetItem(QString::fromStdString(ShownPathOf(path)), list);
  item->setData(kPathRole, QByteArray::fromStdString(path));
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(Qt::Checked);
  item->setSizeHint(QSize(0, kItemHeight));
}

// Centred on the pointer, one pixel below it, or above it near the bottom of
// the pointer's screen.
void PinnedFilesDialog::PlaceAtPointer() {
  const QPoint pointer = QCursor::pos();
  QScreen* screen = QGuiApplication::screenAt(pointer);
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect s = screen->geometry();
  const QSize size = frameGeometry().size().expandedTo(this->size());
  const Point at = prambus::PlaceAtPointer({pointer.x(), pointer.y()}, size.width(), size.height(),
                                           {s.left(), s.top(), s.right() + 1, s.bottom() + 1}, 1);
  move(at.x, at.y);
}

std::vector<PinnedLine> PinnedFilesDialog::Lines() const {
  std::vector<PinnedLine> lines;
  for (int i = 0; i < list->count(); ++i) {
    const QListWidgetItem* item = list->item(i);
    lines.push_back({PathOf(item), item->checkState() == Qt::Checked});
  }
  return lines;
}

void PinnedFilesDialog::AddUnlessListed(const std::string& path) {
  std::vector<PinnedLine> lines = Lines();
  if (AddPinnedLine(lines, path)) AddLine(path);
}

void PinnedFilesDialog::AddCurrent() {
  if (!currentPath_.empty()) AddUnlessListed(currentPath_);
}

void PinnedFilesDialog::AddOther() {
  const std::string path = chooseOther_ ? chooseOther_(this) : std::string();
  if (!path.empty()) AddUnlessListed(path);
}

}  // namespace prambus
