// The window modes (status bar, minimal mode, stay-on-top), the encoding
// items, and the wiring of the menus to the commands.
#include <QMenuBar>
#include <QStatusBar>

#include "encodings/code_tables.h"
#include "encodings/enc_file.h"
#include "main_window.h"
#include "message_box.h"
#include "print_command.h"
#include "settings/settings.h"

namespace prambus {

void MainWindow::ToggleStatusBar() {
  const bool on = !statusBarAction_->isChecked();
  statusBarAction_->setChecked(on);
  statusBar()->setVisible(on && !minimalAction_->isChecked());
  FormResize();
}

void MainWindow::ToggleMinimalMode(bool withWarning) {
  const bool on = !minimalAction_->isChecked();
  if (on && withWarning && Cfg().MinimalModeWarning && !promptAnswerForTest) {
    MessageBox::CentreOnMainWindow(this);
    BeforeModalDialog();
    const QString key = minimalAction_->shortcut().toString();
    MessageBox box(this, "ПРЕДУПРЕЖДЕНИЕ",
                   "Выйти из режима \"всё лишнее убрано\" можно:\n\r  1) С помощью клавиши " + key +
                       ";\n\r  2) Нажав правую кнопку мыши и выбрав соответствующий пункт меню.",
                   {"Продолжить", "Не показывать в будущем"});
    box.Button(1)->action = [] { Cfg().MinimalModeWarning = false; };
    box.ShowModal();
    AfterModalDialog();
  }
  minimalAction_->setChecked(on);
  contextMinimalAction_->setChecked(on);
  // The nearest equivalent of a frame without caption: a frameless window.
  const bool visible = isVisible();
  setWindowFlag(Qt::FramelessWindowHint, on);
  if (visible) show();
  menuBar()->setVisible(!on);
  statusBar()->setVisible(!on && statusBarAction_->isChecked());
  FormResize();
  activateWindow();
}

void MainWindow::ToggleStayOnTop() {
  const bool on = !stayOnTopAction_->isChecked();
  stayOnTopAction_->setChecked(on);
  const QRect g = geometry();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  setGeometry(g);
  show();
}

// Installs the display table of the encoding item at a menu position: the two
// built-in tables, or a table loaded again from its .enc file.
void MainWindow::SelectEncoding(int position) {
  const int items = static_cast<int>(encodingActions_.size()) - 1;
  if (position < 0 || position >= items) position = 0;
  CodeTable table = WindowsTable();
  if (position == 1) {
    table = DosTable();
  } else if (position >= 2) {
    const size_t k = static_cast<size_t>(position - 2);
    if (k >= state_.encodings.size() || !loadEncodingFile(state_.encodings[k].path, table)) {
      RemoveLoadedEncoding(position);  // its file is gone or no longer parses
      return;
    }
  }
  for (int i = 0; i < items; ++i) encodingActions_[i]->setChecked(i == position);
  if (!view_) return;
  view_->SetCharTable(table);
  HideCaret();
  RecomputeScrollRanges();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

void MainWindow::WireMenuCommands() {
  auto on = [this](QMenu* menu, const QString& caption, auto slot) {
    for (QAction* a : menu->actions())
      if (a->text() == caption) connect(a, &QAction::triggered, this, slot);
  };
  for (QMenu* m : {fileMenu_}) {
    on(m, "Новый", [this] { NewDocument(); });
    on(m, "Открыть...", [this] { OpenWithDialog(); });
    on(m, "Сохранить", [this] { Save(); });
    on(m, "Сохранить как...", [this] { SaveAs(); });
  }
  for (QMenu* m : {editMenu_, contextMenu_}) {
    on(m, "Отменить", [this] { Undo(); });
    on(m, "Повторить", [this] { Redo(); });
    on(m, "Вырезать", [this] { Cut(); });
    on(m, "Копировать", [this] { Copy(); });
    on(m, "Вставить", [this] { Paste(); });
    on(m, "Выделить всё", [this] { SelectAll(); });
  }
  for (QMenu* m : {formatMenu_, contextMenu_}) on(m, "Шрифт...", [this] { ChooseFont(); });
  connect(statusBarAction_, &QAction::triggered, this, [this] {
    statusBarAction_->setChecked(!statusBarAction_->isChecked());  // the command flips it
    ToggleStatusBar();
  });
  for (QAction* a : {minimalAction_, contextMinimalAction_}) {
    connect(a, &QAction::triggered, this, [this, a] {
      a->setChecked(!a->isChecked());
      ToggleMinimalMode();
    });
  }
  connect(stayOnTopAction_, &QAction::triggered, this, [this] {
    stayOnTopAction_->setChecked(!stayOnTopAction_->isChecked());
    ToggleStayOnTop();
  });
  for (size_t i = 0; i + 1 < encodingActions_.size(); ++i) {
    QAction* a = encodingActions_[i];
    connect(a, &QAction::triggered, this, [this, i] { SelectEncoding(static_cast<int>(i)); });
  }
  on(helpMenu_, "Справка программы Прамбус...", [this] { OpenHelp(); });
  on(editMenu_, "Найти...", [this] {
    openedByShortcut_ = false;
    FindCommand();
  });
  on(editMenu_, "Заменить...", [this] {
    openedByShortcut_ = false;
    ReplaceCommand();
  });
  connect(findNextAction_, &QAction::triggered, this, [this] { FindNextCommand(); });
  connect(encodingActions_.back(), &QAction::triggered, this, [this] { LoadEncodingCommand(); });
  on(extraMenu_, "Перекодировка...", [this] { RecodeCommand(); });
  new PrintCommand(this, printAction_);
  // Before the context menu opens it takes the states of its twins.
  connect(contextMenu_, &QMenu::aboutToShow, this, [this] {
    const QList<QAction*> c = contextMenu_->actions();
    c[0]->setEnabled(undoAction_->isEnabled());
    c[1]->setEnabled(redoAction_->isEnabled());
    c[3]->setEnabled(cutAction_->isEnabled());
    c[4]->setEnabled(copyAction_->isEnabled());
    c[5]->setEnabled(pasteAction_->isEnabled());
    contextMinimalAction_->setChecked(minimalAction_->isChecked());
  });
}

}  // namespace prambus
