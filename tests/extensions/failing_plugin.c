/* A plug-in whose command types "f" and then reports failure. */
#include <prambus/extension.h>

PRAMBUS_EXPORT const char* prambus_string(int32_t id) {
  return id == PRAMBUS_STRING_MARKER    ? PRAMBUS_PLUGIN_MARKER
         : id == PRAMBUS_STRING_CAPTION ? "Неудачный плагин"
                                        : 0;
}

PRAMBUS_EXPORT int32_t StartProc(uint8_t view_kind, prambus_get_function get) {
  prambus_function f = 0;
  (void)view_kind;
  if (get(PRAMBUS_INSERT, &f)) ((prambus_insert_fn)f)(1, "f");
  return 0;
}
