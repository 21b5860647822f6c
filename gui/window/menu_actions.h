// The main window's menus and every command in them, by name. A command has
// one action wherever it appears: the context menu shows the same actions as
// the main menu, so their states never differ. menu_bar.cpp creates them and
// connects each to its command where it is created.
#pragma once

#include <QAction>
#include <QMenu>
#include <array>

namespace prambus {

struct MenuActions {
  // "Файл": "Новый", "Открыть...", "Сохранить", "Сохранить как...", "Печать...", "Выход".
  QAction *newDocument{}, *open{}, *save{}, *saveAs{}, *print{}, *exit{};
  // "Правка": "Отменить", "Повторить", "Вырезать", "Копировать", "Вставить", "Найти...",
  // "Найти следующий", "Заменить...", "Перейти...", "Выделить всё".
  QAction *undo{}, *redo{}, *cut{}, *copy{}, *paste{}, *find{}, *findNext{}, *replace{}, *goTo{},
      *selectAll{};
  // "Формат": "Строка состояния", "Всё лишнее убрано", "Поверх других окон", "Шрифт...",
  // "Настройка шкурки...", and in its submenus "Обычный текст" and "hex-редактор"
  // ("Просмотрщик"), "Загрузить из файла..." ("Кодировка"), "Без шкурок" ("Шкурки",
  // made with the other skin items by the skin host).
  QAction *statusBar{}, *minimalMode{}, *stayOnTop{}, *font{}, *skinSettings{};
  std::array<QAction*, 2> viewKinds{};
  QAction *loadEncoding{}, *noSkin{};
  // "Дополнительно": "Закрепить за расширениями...", "Закрепить внешний вид за файлами...",
  // "Перекодировка...", "Тонкая настройка...", and after the view's own items
  // "Контрольные суммы...".
  QAction *extensions{}, *pinnedFiles{}, *recode{}, *fineSettings{}, *checksums{};
  // "Плагины": "Скачать новый...".
  QAction* downloadPlugin{};
  // "Помощь": "Справка программы Прамбус...", "О программе...", "Информация о документе...".
  QAction *help{}, *about{}, *documentInfo{};
  // The context menu: undo, redo, cut, copy, paste, selectAll, the "Просмотрщик"
  // submenu, font, minimalMode and exit.
};

struct MainMenus {
  // The menu bar: "Файл", "Правка", "Формат", "Дополнительно", "Плагины", "Помощь".
  QMenu *file{}, *edit{}, *format{}, *extra{}, *plugins{}, *help{};
  // The surface's right-click menu.
  QMenu* context{};
  // Submenus of "Формат": "Просмотрщик" (also in the context menu), "Кодировка", "Шкурки".
  QMenu *viewKinds{}, *encodings{}, *skins{};
};

}  // namespace prambus
