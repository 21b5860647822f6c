#include "key_table.h"

#include <QKeySequence>

#include "virtual_key_map.h"

namespace prambus {

namespace {

constexpr KeyBinding Exactly(int key, uint8_t state) {
  return {key, state, KeyMatch::kExact};
}
constexpr KeyBinding WithCtrl(int key) {
  return {key, kStateCtrl, KeyMatch::kCtrlHeld};
}
constexpr KeyBinding Otherwise(int key) {
  return {key, 0, KeyMatch::kOtherwise};
}

const TableKey kKeys[] = {
    {Exactly(Qt::Key_Backspace, kStateAlt), &MenuActions::undo, {}, {}, "Alt+Backspace: отменить"},
    {Exactly(Qt::Key_Backspace, kStateCtrl), {}, EditingKey::kDeleteWordBack, {}, "Ctrl+Backspace"},
    {Otherwise(Qt::Key_Escape), &MenuActions::exit, {}, &Settings::ExitOnEsc, "Esc: выход"},
    {Otherwise(Qt::Key_PageUp), {}, EditingKey::kPageUp, {}, "PageUp"},
    {Otherwise(Qt::Key_PageDown), {}, EditingKey::kPageDown, {}, "PageDown"},
    {Otherwise(Qt::Key_Home), {}, EditingKey::kHome, {}, "Home"},
    {Otherwise(Qt::Key_End), {}, EditingKey::kEnd, {}, "End"},
    {Otherwise(Qt::Key_Left), {}, EditingKey::kLeft, {}, "Left"},
    {Otherwise(Qt::Key_Right), {}, EditingKey::kRight, {}, "Right"},
    {Otherwise(Qt::Key_Up), {}, EditingKey::kUp, {}, "Up"},
    {Otherwise(Qt::Key_Down), {}, EditingKey::kDown, {}, "Down"},
    {Exactly(Qt::Key_Insert, kStateCtrl), &MenuActions::copy, {}, {}, "Ctrl+Insert: копировать"},
    {Exactly(Qt::Key_Insert, kStateShift), &MenuActions::paste, {}, {}, "Shift+Insert: вставить"},
    {Otherwise(Qt::Key_Insert), {}, EditingKey::kInsertMode, {}, "Insert"},
    {Exactly(Qt::Key_Delete, kStateShift), &MenuActions::cut, {}, {}, "Shift+Delete: вырезать"},
    // Otherwise Ctrl+Delete deletes the word after the cursor.
    {Exactly(Qt::Key_Delete, kStateCtrl),
     &MenuActions::cut,
     {},
     &Settings::CutOnCtrlDel,
     "Ctrl+Delete: вырезать"},
    {Otherwise(Qt::Key_Delete), {}, EditingKey::kDelete, {}, "Delete"},
    {WithCtrl(Qt::Key_Y), {}, EditingKey::kDeleteLine, {}, "Ctrl+Y"},
    // "Всё лишнее убрано" then moves to F12.
    {Otherwise(Qt::Key_F2), &MenuActions::save, {}, &Settings::SaveOnF2, "F2: сохранить"},
    {Otherwise(Qt::Key_F6), {}, EditingKey::kNextViewKind, {}, "F6: Просмотрщик"},
    {Otherwise(Qt::Key_F8), {}, EditingKey::kNextEncoding, {}, "F8: Кодировка"},
};

}  // namespace

std::span<const TableKey> KeysWithoutMenuItems() {
  return kKeys;
}

QString KeyTextOf(EditingKey editing) {
  for (const TableKey& k : kKeys)
    if (k.editing == editing) return QKeySequence(k.binding.key).toString();
  return {};
}

KeyBinding BindingOf(const QKeySequence& shortcut, KeyMatch match) {
  if (shortcut.isEmpty()) return {};
  const QKeyCombination combination = shortcut[0];
  return {static_cast<int>(combination.key()), ShiftStateOf(combination.keyboardModifiers()),
          match};
}

}  // namespace prambus
