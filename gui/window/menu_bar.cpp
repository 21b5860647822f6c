// The main menu and the context menu with their exact captions and shortcuts.
// Each command is connected where its action is created; the commands of the
// features that live in their own windows connect in ConnectFeatureCommands.
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTimer>

#include "main_window.h"
#include "plugin_host.h"
#include "shell/help_location.h"
#include "skin_host.h"

namespace prambus {

QAction* MainWindow::AddAction(QMenu* menu, const QString& caption, const QString& shortcut,
                               std::function<void()> command, KeyMatch match) {
  QAction* a = menu->addAction(caption);
  if (!shortcut.isEmpty()) {
    a->setShortcut(QKeySequence(shortcut));
    // Keys reach the main window's own dispatch, which finds the command by
    // this shortcut; the toolkit leaves them alone.
    a->setShortcutContext(Qt::WidgetShortcut);
    keyedActions_.emplace_back(a, match);
  }
  if (command) ConnectCommand(a, std::move(command));
  return a;
}

// A checked item whose command decides the new state itself: the click's own
// flip of the mark is undone before the command runs.
QAction* MainWindow::AddToggle(QMenu* menu, const QString& caption, const QString& shortcut,
                               std::function<void()> toggle, KeyMatch match) {
  QAction* a = AddAction(menu, caption, shortcut, {}, match);
  a->setCheckable(true);
  connect(a, &QAction::triggered, this, [this, a, toggle = std::move(toggle)] {
    a->setChecked(!a->isChecked());
    if (EnsureWholeDocument()) toggle();
  });
  return a;
}

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  MenuActions& a = actions_;
  MainMenus& m = menus_;

  m.file = bar->addMenu("Файл");
  a.newDocument = AddAction(m.file, "Новый", "Ctrl+N", [this] { NewDocument(); });
  a.open = AddAction(m.file, "Открыть...", "Ctrl+O", [this] { OpenWithDialog(); });
  a.save = AddAction(m.file, "Сохранить", "Ctrl+S", [this] { Save(); });
  a.saveAs = AddAction(m.file, "Сохранить как...", {}, [this] { SaveAs(); });
  m.file->addSeparator();
  a.print = AddAction(m.file, "Печать...", "Ctrl+P");
  m.file->addSeparator();
  m.file->addSeparator();
  // "Выход" does not wait for a load: it stops it.
  a.exit = AddAction(m.file, "Выход", {});
  connect(a.exit, &QAction::triggered, this, [this] { Exit(); });
  // The recent files at position 7, rebuilt each time "Файл" opens.
  connect(m.file, &QMenu::aboutToShow, this, [this] { RebuildRecentMenu(); });

  m.edit = bar->addMenu("Правка");
  a.undo = AddAction(m.edit, "Отменить", "Ctrl+Z", [this] { Undo(); });
  a.redo = AddAction(m.edit, "Повторить", "Ctrl+Shift+Z", [this] { Redo(); });
  a.undo->setEnabled(false);
  a.redo->setEnabled(false);
  m.edit->addSeparator();
  a.cut = AddAction(m.edit, "Вырезать", "Ctrl+X", [this] { Cut(); });
  a.copy = AddAction(m.edit, "Копировать", "Ctrl+C", [this] { Copy(); });
  a.paste = AddAction(m.edit, "Вставить", "Ctrl+V", [this] { Paste(); });
  m.edit->addSeparator();
  a.find = AddAction(m.edit, "Найти...", "Ctrl+F", [this] { FindCommand(byShortcut_); });
  // The function keys act whatever else is held (but F4: Alt+F4 closes windows).
  a.findNext = AddAction(
      m.edit, "Найти следующий", "F3", [this] { FindNextCommand(); }, KeyMatch::kOtherwise);
  a.findNext->setEnabled(false);
  a.replace = AddAction(m.edit, "Заменить...", "Ctrl+R", [this] { ReplaceCommand(byShortcut_); });
  a.goTo = AddAction(m.edit, "Перейти...", "Ctrl+G", [this] { GoToCommand(byShortcut_); });
  m.edit->addSeparator();
  a.selectAll = AddAction(m.edit, "Выделить всё", "Ctrl+A", [this] { SelectAll(); });

  m.format = bar->addMenu("Формат");
  m.format->addSeparator();
  a.statusBar = AddToggle(m.format, "Строка состояния", {}, [this] { ToggleStatusBar(); });
  a.statusBar->setChecked(true);
  a.minimalMode = AddToggle(
      m.format, "Всё лишнее убрано", "F2", [this] { ToggleMinimalMode(); }, KeyMatch::kOtherwise);
  a.stayOnTop = AddToggle(m.format, "Поверх других окон", "F4", [this] { ToggleStayOnTop(); });
  m.viewKinds = m.format->addMenu("Просмотрщик\t" + KeyTextOf(EditingKey::kNextViewKind));
  BuildViewKindMenu();
  a.font = AddAction(m.format, "Шрифт...", {}, [this] { ChooseFont(); });
  m.encodings = m.format->addMenu("Кодировка\t" + KeyTextOf(EditingKey::kNextEncoding));
  a.loadEncoding =
      AddAction(m.encodings, "Загрузить из файла...", {}, [this] { LoadEncodingCommand(); });
  RebuildEncodingMenu();
  m.format->addSeparator();
  m.skins = m.format->addMenu("Шкурки");  // filled by the skin host, "Без шкурок" first
  a.skinSettings = AddAction(m.format, "Настройка шкурки...", {}, [this] { skins_->Configure(); });

  m.extra = bar->addMenu("Дополнительно");
  a.extensions = AddAction(m.extra, "Закрепить за расширениями...");
  a.pinnedFiles = AddAction(m.extra, "Закрепить внешний вид за файлами...");
  a.recode = AddAction(m.extra, "Перекодировка...", {}, [this] { RecodeCommand(); });
  a.fineSettings = AddAction(m.extra, "Тонкая настройка...");
  m.extra->addSeparator();
  // The view's own items go in here, before the tools that follow.
  m.extra->addSeparator();
  a.checksums = AddAction(m.extra, "Контрольные суммы...", {}, [this] { ChecksumCommand(); });

  m.plugins = bar->addMenu("Плагины");
  a.downloadPlugin = AddAction(m.plugins, "Скачать новый...", {},
                               [this] { ShowHelpPage(kExtensionsGuideFileName); });

  m.help = bar->addMenu("Помощь");
  a.help = AddAction(
      m.help, "Справка программы Прамбус...", "F1", [this] { OpenHelp(); }, KeyMatch::kOtherwise);
  a.about = AddAction(m.help, "О программе...");
  a.documentInfo = AddAction(m.help, "Информация о документе...", "Ctrl+I");

  // The context menu shows the same actions: one state for each command.
  m.context = new QMenu(this);
  m.context->addActions({a.undo, a.redo});
  m.context->addSeparator();
  m.context->addActions({a.cut, a.copy, a.paste, a.selectAll});
  m.context->addSeparator();
  m.context->addMenu(m.viewKinds);
  m.context->addActions({a.font, a.minimalMode});
  m.context->addSeparator();
  m.context->addAction(a.exit);

  // A menu of the bar closed with Escape leaves the bar holding the keyboard
  // with nothing open: the keyboard goes back to the document instead.
  for (QAction* title : bar->actions())
    if (QMenu* menu = title->menu())
      connect(menu, &QMenu::aboutToHide, this,
              [this] { QTimer::singleShot(0, this, [this] { GiveKeyboardBackFromMenuBar(); }); });

  ConnectFeatureCommands();
}

void MainWindow::GiveKeyboardBackFromMenuBar() {
  QMenuBar* bar = menuBar();
  if (!bar->hasFocus() || QApplication::activePopupWidget()) return;
  // Escape on the bar itself leaves its keyboard mode and hands the focus
  // back to where it was.
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(bar, &escape);
  if (bar->hasFocus()) centralWidget()->setFocus();
}

// One item per view kind; clicking one switches the view.
void MainWindow::BuildViewKindMenu() {
  static const char* const kCaptions[2] = {"Обычный текст", "hex-редактор"};
  for (int i = 0; i < 2; ++i) {
    actions_.viewKinds[i] =
        AddAction(menus_.viewKinds, kCaptions[i], {}, [this, i] { SwitchView(i); });
    actions_.viewKinds[i]->setCheckable(true);
  }
}

// The commands of the features that have windows of their own, each
// connected to its action below its caption.
void MainWindow::ConnectFeatureCommands() {
  // "Печать..." and Ctrl+P.
  ConnectCommand(actions_.print, [this] { PrintCommand(); });

  // "Закрепить за расширениями...".
  ConnectCommand(actions_.extensions, [this] { ExtensionsCommand(); });

  // "Закрепить внешний вид за файлами...": actions_.pinnedFiles
  ConnectCommand(actions_.pinnedFiles, [this] { PinnedFilesCommand(); });

  // "Тонкая настройка...": actions_.fineSettings
  ConnectCommand(actions_.fineSettings, [this] { FineSettingsCommand(); });

  // "О программе...".
  ConnectCommand(actions_.about, [this] { AboutCommand(); });

  // "Информация о документе..." and Ctrl+I: actions_.documentInfo
  ConnectCommand(actions_.documentInfo, [this] { DocumentInfoCommand(byShortcut_); });
}

}  // namespace prambus
