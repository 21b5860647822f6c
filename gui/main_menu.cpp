// The main menu, the context menu and the status bar of the main window,
// with their exact captions and shortcuts.
#include <QMenuBar>
#include <QStatusBar>

#include "main_window.h"

namespace prambus {

QAction* MainWindow::AddAction(QMenu* menu, const QString& caption, const QString& shortcut) {
  QAction* a = menu->addAction(caption);
  if (!shortcut.isEmpty()) {
    a->setShortcut(QKeySequence(shortcut));
    // Keys reach the main window's own dispatch; the menu only shows them.
    a->setShortcutContext(Qt::WidgetShortcut);
  }
  return a;
}

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  fileMenu_ = bar->addMenu("Файл");
  AddAction(fileMenu_, "Новый", "Ctrl+N");
  AddAction(fileMenu_, "Открыть...", "Ctrl+O");
  AddAction(fileMenu_, "Сохранить", "Ctrl+S");
  AddAction(fileMenu_, "Сохранить как...");
  fileMenu_->addSeparator();
  printAction_ = AddAction(fileMenu_, "Печать...", "Ctrl+P");
  fileMenu_->addSeparator();
  fileMenu_->addSeparator();
  connect(AddAction(fileMenu_, "Выход"), &QAction::triggered, this, [this] { Exit(); });

  editMenu_ = bar->addMenu("Правка");
  undoAction_ = AddAction(editMenu_, "Отменить", "Ctrl+Z");
  redoAction_ = AddAction(editMenu_, "Повторить", "Ctrl+Shift+Z");
  undoAction_->setEnabled(false);
  redoAction_->setEnabled(false);
  editMenu_->addSeparator();
  cutAction_ = AddAction(editMenu_, "Вырезать", "Ctrl+X");
  copyAction_ = AddAction(editMenu_, "Копировать", "Ctrl+C");
  pasteAction_ = AddAction(editMenu_, "Вставить", "Ctrl+V");
  editMenu_->addSeparator();
  AddAction(editMenu_, "Найти...", "Ctrl+F");
  findNextAction_ = AddAction(editMenu_, "Найти следующий", "F3");
  findNextAction_->setEnabled(false);
  AddAction(editMenu_, "Заменить...", "Ctrl+R");
  editMenu_->addSeparator();
  AddAction(editMenu_, "Выделить всё", "Ctrl+A");

  formatMenu_ = bar->addMenu("Формат");
  formatMenu_->addSeparator();
  statusBarAction_ = AddAction(formatMenu_, "Строка состояния");
  statusBarAction_->setCheckable(true);
  statusBarAction_->setChecked(true);
  minimalAction_ = AddAction(formatMenu_, "Всё лишнее убрано", "F2");
  minimalAction_->setCheckable(true);
  stayOnTopAction_ = AddAction(formatMenu_, "Поверх других окон", "F4");
  stayOnTopAction_->setCheckable(true);
  viewSubmenu_ = formatMenu_->addMenu("Просмотрщик\tF6");
  AddAction(formatMenu_, "Шрифт...");
  encodingMenu_ = formatMenu_->addMenu("Кодировка\tF8");
  formatMenu_->addSeparator();
  skinsMenu_ = formatMenu_->addMenu("Шкурки");
  AddAction(formatMenu_, "Настройка шкурки...");

  extraMenu_ = bar->addMenu("Дополнительно");
  connect(AddAction(extraMenu_, "Закрепить за расширениями..."), &QAction::triggered, this,
          [this] { ExtensionsCommand(); });
  AddAction(extraMenu_, "Закрепить внешний вид за файлами...");
  AddAction(extraMenu_, "Перекодировка...");
  AddAction(extraMenu_, "Тонкая настройка...");
  extraMenu_->addSeparator();

  pluginsMenu_ = bar->addMenu("Плагины");
  AddAction(pluginsMenu_, "Скачать новый...");

  helpMenu_ = bar->addMenu("Помощь");
  AddAction(helpMenu_, "Справка программы Прамбус...", "F1");
  connect(AddAction(helpMenu_, "О программе..."), &QAction::triggered, this,
          [this] { AboutCommand(); });
  AddAction(helpMenu_, "Информация о документе...", "Ctrl+I");

  contextMenu_ = new QMenu(this);
  AddAction(contextMenu_, "Отменить", "Ctrl+Z");
  AddAction(contextMenu_, "Повторить", "Ctrl+Shift+Z");
  contextMenu_->addSeparator();
  AddAction(contextMenu_, "Вырезать", "Ctrl+X");
  AddAction(contextMenu_, "Копировать", "Ctrl+C");
  AddAction(contextMenu_, "Вставить", "Ctrl+V");
  AddAction(contextMenu_, "Выделить всё", "Ctrl+A");
  contextMenu_->addSeparator();
  contextViewSubmenu_ = contextMenu_->addMenu("Просмотрщик\tF6");
  AddAction(contextMenu_, "Шрифт...");
  contextMinimalAction_ = AddAction(contextMenu_, "Всё лишнее убрано", "F2");
  contextMinimalAction_->setCheckable(true);
  contextMenu_->addSeparator();
  connect(AddAction(contextMenu_, "Выход"), &QAction::triggered, this, [this] { Exit(); });

  // One item per view kind in each view submenu; clicking switches the view.
  static const char* const kViewCaptions[2] = {"Обычный текст", "hex-редактор"};
  for (int i = 0; i < 2; ++i) {
    for (QMenu* menu : {viewSubmenu_, contextViewSubmenu_}) {
      QAction* a = menu->addAction(kViewCaptions[i]);
      a->setCheckable(true);
      connect(a, &QAction::triggered, this, [this, i] { SwitchView(i); });
      (menu == viewSubmenu_ ? viewKindActions_ : contextViewKindActions_).push_back(a);
    }
  }

  for (const char* caption : {"Windows", "DOS"}) {
    QAction* a = encodingMenu_->addAction(caption);
    a->setCheckable(true);
    encodingActions_.push_back(a);
  }
  encodingActions_[0]->setChecked(true);
  encodingActions_.push_back(encodingMenu_->addAction("Загрузить из файла..."));

  QAction* noSkin = skinsMenu_->addAction("Без шкурок");
  noSkin->setCheckable(true);
  noSkin->setChecked(true);
}

void MainWindow::BuildStatusBar() {
  static const int kWidths[6] = {70, 70, 80, 60, 80, 50};
  QStatusBar* sb = statusBar();
  sb->setSizeGripEnabled(false);
  for (int i = 0; i < 6; ++i) {
    panels_[i] = new QLabel(sb);
    panels_[i]->setMinimumWidth(kWidths[i]);
    if (i < 5) {
      panels_[i]->setFixedWidth(kWidths[i]);
      panels_[i]->setAlignment(Qt::AlignCenter);
    }
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    sb->addWidget(panels_[i], i == 5 ? 1 : 0);
  }
}

}  // namespace prambus
