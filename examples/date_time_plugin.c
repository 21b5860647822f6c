/*
 * A plug-in for Прамбус: inserts the date and time at the cursor, replacing
 * the selection if there is one.
 *
 *   F5        date and time   24.05.2025 14:03
 *   Shift+F5  date only       24.05.2025
 *   Ctrl+F5   time only       14:03:27
 *
 * The insertion can be undone like typing.
 */
#define _POSIX_C_SOURCE 200809L
#include <prambus/extension.h>
#include <string.h>
#include <time.h>

PRAMBUS_EXPORT const char* prambus_string(int32_t id) {
  switch (id) {
    case PRAMBUS_STRING_MARKER:
      return PRAMBUS_PLUGIN_MARKER;
    case PRAMBUS_STRING_CAPTION:
      return "Вставить дату и время";
    case PRAMBUS_STRING_SHORTCUT:
      return "F5";
    case PRAMBUS_STRING_SHORTCUT + 1:
      return "Shift+F5";
    case PRAMBUS_STRING_SHORTCUT + 2:
      return "Ctrl+F5";
    default:
      return 0;
  }
}

static int32_t insert_now(const char* format, prambus_get_function get) {
  prambus_function f = 0;
  prambus_insert_fn insert;
  char text[64];
  struct tm parts;
  const time_t now = time(0);
  size_t length;
  if (!get || !get(PRAMBUS_INSERT, &f) || !f) return 0;
  insert = (prambus_insert_fn)f;
  if (!localtime_r(&now, &parts)) return 0;
  length = strftime(text, sizeof text, format, &parts);
  if (length == 0) return 0;
  return insert((int32_t)length, text);
}

PRAMBUS_EXPORT int32_t StartProc(uint8_t view_kind, prambus_get_function get) {
  (void)view_kind;
  return insert_now("%d.%m.%Y %H:%M", get);
}

PRAMBUS_EXPORT int32_t StartDopProc(uint8_t view_kind, int32_t command, prambus_get_function get) {
  (void)view_kind;
  switch (command) {
    case 1:
      return insert_now("%d.%m.%Y", get);
    case 2:
      return insert_now("%H:%M:%S", get);
    default:
      return 0;
  }
}
