#include "fine_settings_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QCursor>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>

#include "description_panel.h"
#include "qt_canvas.h"
#include "screen_area.h"
#include "shell/screen_placement.h"
#include "shell/window_layout.h"

namespace prambus {

namespace {

constexpr int kKeyColumn = 0;
constexpr int kValueColumn = 1;

const SettingRow& RowAt(int row) {
  return FineSettingRows()[static_cast<size_t>(row)];
}

double ScreenDpi() {
  const QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->logicalDotsPerInchY() : 96.0;
}

// A font as the table holds it: TextSize is the character height in pixels,
// negative, as the desktop's fonts give it.
FontCells CellsOfFont(const QFont& f) {
  int pixels = f.pixelSize() > 0 ? f.pixelSize()
                                 : static_cast<int>(std::lround(f.pointSizeF() * ScreenDpi() / 72));
  pixels = std::clamp(pixels, 1, 299);
  return {f.family().toStdString(), -pixels,       f.italic(),
          f.weight() > 500,         f.underline(), f.strikeOut()};
}

QFont FontOfCells(const FontCells& c) {
  QFont f(QString::fromStdString(c.name));
  const int pixels = std::max(1, c.height < 0 ? -c.height : c.height * 4 / 5);
  f.setPointSizeF(pixels * 72.0 / ScreenDpi());
  f.setItalic(c.italic);
  f.setBold(c.bold);
  f.setUnderline(c.underlined);
  f.setStrikeOut(c.strikeout);
  return f;
}

}  // namespace

FineSettingsDialog::FineSettingsDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Тонкая настройка");
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  separator_ = QLocale::system().decimalPoint().toStdString();

  BuildWarning();
  table_ = new QTableWidget(this);
  BuildTable();
  auto* group = new QGroupBox("Описание", this);
  description_ = new DescriptionPanel(group);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->setContentsMargins(5, 5, 5, 5);  // inside the frame, below the title
  groupLayout->addWidget(description_);
  group->setFixedWidth(300);

  done_ = new QPushButton("Готово", this);
  cancel_ = new QPushButton("Отмена", this);
  for (QPushButton* b : {done_, cancel_}) b->setAutoDefault(false);
  connect(done_, &QPushButton::clicked, this, &FineSettingsDialog::Done);
  connect(cancel_, &QPushButton::clicked, this, &FineSettingsDialog::Cancel);

  auto* middle = new QHBoxLayout;
  middle->addWidget(table_);
  middle->addWidget(group);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(done_);
  buttons->addWidget(cancel_);
  auto* all = new QVBoxLayout(this);
  all->addWidget(warningTitle_);
  all->addWidget(warningText_);
  all->addLayout(middle);
  all->addLayout(buttons);
  all->setSizeConstraint(QLayout::SetFixedSize);
}

void FineSettingsDialog::BuildWarning() {
  warningTitle_ = new QLabel("ВНИМАНИЕ!", this);
  QFont bold = warningTitle_->font();
  bold.setBold(true);
  warningTitle_->setFont(bold);
  QPalette red = warningTitle_->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  warningTitle_->setPalette(red);
  warningText_ = new QLabel(
      "Ответственность за все последствия, вызванные изменениями ниже-\nуказанных параметров "
      "ложится на Вас. При некоторых значениях пара-\nметров программа может начать работать "
      "нестабильно.",
      this);
}

void FineSettingsDialog::BuildTable() {
  const std::span<const SettingRow> rows = FineSettingRows();
  table_->setColumnCount(2);
  table_->setRowCount(static_cast<int>(rows.size()));
  table_->setHorizontalHeaderLabels({"Параметр.", "Значение."});
  table_->verticalHeader()->hide();
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                          QAbstractItemView::SelectedClicked);
  table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  table_->horizontalHeader()->setStretchLastSection(true);
  for (int r = 0; r < table_->rowCount(); ++r) {
    const SettingRow& row = RowAt(r);
    // Key cells take no clicks, so the current cell is always a value.
    auto* key = new QTableWidgetItem(QString::fromUtf8(row.key));
    key->setFlags(Qt::NoItemFlags);
    key->setForeground(palette().text());
    auto* value = new QTableWidgetItem;
    if (row.kind == SettingKind::kSection) {
      QFont f = key->font();
      f.setBold(true);
      key->setFont(f);
      value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    table_->setItem(r, kKeyColumn, key);
    table_->setItem(r, kValueColumn, value);
  }
  table_->setColumnWidth(kKeyColumn, 160);
  table_->setFixedSize(
      160 + 200 + table_->verticalScrollBar()->sizeHint().width() + 2 * table_->frameWidth(), 440);
  connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!filling_ && item->column() == kValueColumn) ValidateRow(item->row());
  });
  connect(table_, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
    if (previous >= 0 && previous != row) ValidateRow(previous);
    ShowDescription(row);
  });
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
    if (column == kValueColumn) DoubleClickRow(row);
  });
}

QString FineSettingsDialog::CellText(int row) const {
  const QTableWidgetItem* item = table_->item(row, kValueColumn);
  return item ? item->text() : QString();
}

void FineSettingsDialog::SetCellText(int row, const QString& text) {
  if (!table_->item(row, kValueColumn)) return;
  filling_ = true;
  table_->item(row, kValueColumn)->setText(text);
  filling_ = false;
}

void FineSettingsDialog::Refill() {
  for (int r = 0; r < table_->rowCount(); ++r)
    SetCellText(r, QString::fromStdString(RowValueText(RowAt(r), Cfg(), separator_)));
}

void FineSettingsDialog::ShowPlaced(bool atPointer) {
  Refill();
  table_->setColumnWidth(kKeyColumn, 160);
  table_->setCurrentCell(0, kValueColumn);
  table_->scrollToTop();
  ShowDescription(0);
  activeSinceShown_ = false;
  // Placed before it is shown, so that the desktop puts its frame, title bar
  // included, where it is told; a window moved once shown, before the
  // desktop has told its frame, is placed by its inside and its title bar
  // comes above the pointer.
  layout()->activate();
  const QSize outer = FrameSizeOf(this);
  if (atPointer) {
    const QPoint pointer = QCursor::pos();
    move(ToQPoint(PlaceAtPointer(ToPoint(pointer), outer.width(), outer.height(),
                                 AvailableAreaAt(pointer, parentWidget()))));
  } else {
    // Chosen with the keys the pointer may be anywhere, and the table is
    // tall: at the pointer it would often be pushed to the screen's edge.
    const QPoint centre = CentreOf(parentWidget());
    move(ToQPoint(CentredOn(ToPoint(centre), outer.width(), outer.height(),
                            AvailableAreaAt(centre, parentWidget()))));
  }
  show();
  raise();
  activateWindow();
  table_->setFocus();
}

void FineSettingsDialog::ShowDescription(int row) {
  if (row < 0 || row >= table_->rowCount()) return;
  description_->SetText(RowDescription(RowAt(row)));
}

void FineSettingsDialog::ValidateRow(int r) {
  if (r < 0 || r >= table_->rowCount()) return;
  const SettingRow& row = RowAt(r);
  const std::string text = CellText(r).toStdString();
  if (row.kind == SettingKind::kText && FineSettingRowOf("TextFont") == r &&
      AsksForSystemFont(text)) {
    FillFontCells(CellsOfFont(QApplication::font("QMessageBox")));
    return;
  }
  const std::optional<SettingValue> value = ParseRowText(row, text, separator_);
  const std::string shown =
      value ? ValueText(row, *value, separator_) : RowValueText(row, Cfg(), separator_);
  if (shown != text) SetCellText(r, QString::fromStdString(shown));
}

SettingValue FineSettingsDialog::ReadCellOrStored(int r) const {
  const SettingRow& row = RowAt(r);
  if (auto v = ParseRowText(row, CellText(r).toStdString(), separator_)) return *v;
  return row.get(Cfg());
}

void FineSettingsDialog::FillFontCells(const FontCells& font) {
  for (const auto& [row, text] : FontCellTexts(font))
    SetCellText(row, QString::fromStdString(text));
}

template <typename F>
auto FineSettingsDialog::WhileDisabled(F&& run) {
  setEnabled(false);
  auto result = run();
  setEnabled(true);
  activateWindow();
  return result;
}

void FineSettingsDialog::DoubleClickRow(int r) {
  if (r < 0 || r >= table_->rowCount()) return;
  const SettingRow& row = RowAt(r);
  const std::optional<SettingValue> value =
      ParseRowText(row, CellText(r).toStdString(), separator_);
  if (row.kind == SettingKind::kBool) {
    if (value) SetCellText(r, QString::fromStdString(YesNoText(!std::get<bool>(*value))));
  } else if (row.kind == SettingKind::kColor) {
    if (value) ChooseColorFor(r);
  } else if (r == FineSettingRowOf("TextFont")) {
    ChooseFontFor();
  } else if (row.kind != SettingKind::kSection) {
    table_->editItem(table_->item(r, kValueColumn));
  }
}

void FineSettingsDialog::ChooseColorFor(int r) {
  if (!chooseColor) return;
  const QColor initial = ToQColor(std::get<Color>(ReadCellOrStored(r)));
  QColorDialog::setCustomColor(0, initial);  // offered among the custom colours too
  const std::optional<QColor> chosen = WhileDisabled([&] { return chooseColor(initial); });
  if (chosen) SetCellText(r, QString::fromStdString(ColorText(FromQColor(*chosen))));
}

void FineSettingsDialog::ChooseFontFor() {
  if (!chooseFont) return;
  FontCells initial;
  initial.name = CellText(FineSettingRowOf("TextFont")).toStdString();
  initial.height = std::get<int32_t>(ReadCellOrStored(FineSettingRowOf("TextSize")));
  auto flag = [this](const char* key) {
    return std::get<bool>(ReadCellOrStored(FineSettingRowOf(key)));
  };
  initial.italic = flag("Italic");
  initial.bold = flag("Bold");
  initial.underlined = flag("Underlined");
  initial.strikeout = flag("Strikeout");
  const std::optional<QFont> chosen =
      WhileDisabled([&] { return chooseFont(FontOfCells(initial)); });
  if (chosen) FillFontCells(CellsOfFont(*chosen));
}

void FineSettingsDialog::Done() {
  // An editor still open hands its text over first.
  for (QLineEdit* editor : table_->viewport()->findChildren<QLineEdit*>())
    if (editor->isVisible())
      QMetaObject::invokeMethod(table_, "commitData", Q_ARG(QWidget*, editor));
  const Settings before = Cfg();
  for (int r = 0; r < table_->rowCount(); ++r) {
    const SettingRow& row = RowAt(r);
    if (row.kind == SettingKind::kSection) continue;
    if (auto v = ParseRowText(row, CellText(r).toStdString(), separator_)) row.set(Cfg(), *v);
  }
  HideWindow(false);
  if (onStored) onStored(before);
}

void FineSettingsDialog::Cancel() {
  HideWindow(true);
}

void FineSettingsDialog::HideWindow(bool giveFocusBack) {
  if (!isVisible()) return;
  hide();
  if (onHidden) onHidden(giveFocusBack);
}

void FineSettingsDialog::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Escape:
      Cancel();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      ValidateRow(table_->currentRow());
      return;
    default:
      QDialog::keyPressEvent(e);
  }
}

void FineSettingsDialog::changeEvent(QEvent* e) {
  QDialog::changeEvent(e);
  if (e->type() != QEvent::ActivationChange) return;
  if (isActiveWindow()) {
    activeSinceShown_ = true;
  } else if (activeSinceShown_ && isEnabled() && isVisible()) {
    HideWindow(false);
  }
}

void FineSettingsDialog::closeEvent(QCloseEvent* e) {
  e->ignore();
  Cancel();
}

}  // namespace prambus
