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
  // "Файл"
  QAction* newDocument = nullptr;  // "Новый"
  QAction* open = nullptr;         // "Открыть..."
  QAction* save = nullptr;         // "Сохранить"
  QAction* saveAs = nullptr;       // "Сохранить как..."
  QAction* print = nullptr;        // "Печать..."
  QAction* exit = nullptr;         // "Выход", also in the context menu
  // "Правка" (all but the find commands also in the context menu)
  QAction* undo = nullptr;       // "Отменить"
  QAction* redo = nullptr;       // "Повторить"
  QAction* cut = nullptr;        // "Вырезать"
  QAction* copy = nullptr;       // "Копировать"
  QAction* paste = nullptr;      // "Вставить"
  QAction* find = nullptr;       // "Найти..."
  QAction* findNext = nullptr;   // "Найти следующий"
  QAction* replace = nullptr;    // "Заменить..."
  QAction* selectAll = nullptr;  // "Выделить всё"
  // "Формат"
  QAction* statusBar = nullptr;    // "Строка состояния"
  QAction* minimalMode = nullptr;  // "Всё лишнее убрано", also in the context menu
  QAction* stayOnTop = nullptr;    // "Поверх других окон"
  std::array<QAction*, 2> viewKinds{};  // "Просмотрщик": "Обычный текст", "hex-редактор"
  QAction* font = nullptr;          // "Шрифт...", also in the context menu
  QAction* loadEncoding = nullptr;  // "Кодировка": "Загрузить из файла..."
  QAction* noSkin = nullptr;        // "Шкурки": "Без шкурок"
  QAction* skinSettings = nullptr;  // "Настройка шкурки..."
  // "Дополнительно"
  QAction* extensions = nullptr;  // "Закрепить за расширениями..."
  QAction* pinnedFiles = nullptr;  // "Закрепить внешний вид за файлами..."
  QAction* recode = nullptr;       // "Перекодировка..."
  QAction* fineSettings = nullptr;  // "Тонкая настройка..."
  // "Плагины"
  QAction* downloadPlugin = nullptr;  // "Скачать новый..."
  // "Помощь"
  QAction* help = nullptr;          // "Справка программы Прамбус..."
  QAction* about = nullptr;         // "О программе..."
  QAction* documentInfo = nullptr;  // "Информация о документе..."
};

struct MainMenus {
  QMenu* file = nullptr;       // "Файл"
  QMenu* edit = nullptr;       // "Правка"
  QMenu* format = nullptr;     // "Формат"
  QMenu* extra = nullptr;      // "Дополнительно"
  QMenu* plugins = nullptr;    // "Плагины"
  QMenu* help = nullptr;       // "Помощь"
  QMenu* context = nullptr;    // the surface's right-click menu
  QMenu* viewKinds = nullptr;  // "Просмотрщик", in "Формат" and the context menu
  QMenu* encodings = nullptr;  // "Кодировка"
  QMenu* skins = nullptr;      // "Шкурки"
};

}  // namespace prambus
