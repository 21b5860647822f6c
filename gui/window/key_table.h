// The keys that have no menu item of their own: the editing keys, the keys
// of the "Просмотрщик" and "Кодировка" submenus, and further keys of menu
// commands (Ctrl+Insert copies, F2 saves when the fine settings say so).
// Menu commands carry their own shortcuts on their actions; the window's key
// dispatch looks a press up there and in this table, and nowhere else.
#pragma once

#include <QAction>
#include <QString>
#include <span>
#include <vector>

#include "menu_actions.h"
#include "settings/settings.h"
#include "shell/key_binding.h"

namespace prambus {

// What a key of the table does when it runs no menu command.
enum class EditingKey : uint8_t {
  kNone,
  kDeleteWordBack,
  kPageUp,
  kPageDown,
  kHome,
  kEnd,
  kLeft,
  kRight,
  kUp,
  kDown,
  kInsertMode,
  kDelete,
  kDeleteLine,
  kNextViewKind,
  kNextEncoding,
};

struct TableKey {
  KeyBinding binding;
  QAction* MenuActions::*command = nullptr;  // a menu command's further key; else `editing`
  EditingKey editing = EditingKey::kNone;
  bool Settings::*onlyWhen = nullptr;  // the fine setting the key needs, if any
  const char* name = "";               // what the key does, for messages
};

std::span<const TableKey> KeysWithoutMenuItems();

// The text shown after a submenu's caption for its key: "F6", "F8".
QString KeyTextOf(EditingKey editing);

// The binding a menu action's shortcut stands for.
KeyBinding BindingOf(const QKeySequence& shortcut, KeyMatch match);

// What a key press runs: a menu command's action, or an editing key.
struct KeyCommand {
  QAction* action = nullptr;
  EditingKey editing = EditingKey::kNone;
  explicit operator bool() const { return action || editing != EditingKey::kNone; }
};

// A key binding in effect and what it runs, as the window lists them.
struct BoundKey {
  KeyBinding binding;
  QString meaning;
};

}  // namespace prambus
