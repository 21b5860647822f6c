/* A plug-in whose command types "before" and then writes through a null
   pointer. */
#include <prambus/extension.h>

PRAMBUS_EXPORT const char* prambus_string(int32_t id) {
  return id == PRAMBUS_STRING_MARKER    ? PRAMBUS_PLUGIN_MARKER
         : id == PRAMBUS_STRING_CAPTION ? "Падающий плагин"
                                        : 0;
}

PRAMBUS_EXPORT int32_t StartProc(uint8_t view_kind, prambus_get_function get) {
  prambus_function f = 0;
  volatile int32_t* nowhere = 0;
  (void)view_kind;
  if (get(PRAMBUS_INSERT, &f)) ((prambus_insert_fn)f)(6, "before");
  *nowhere = 1;
  return 1;
}
