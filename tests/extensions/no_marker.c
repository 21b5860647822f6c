/* A library in the skins and plugins folders whose first string is not a
   marker: the program must not list it. */
#include <prambus/extension.h>

PRAMBUS_EXPORT const char* prambus_string(int32_t id) {
  return id == PRAMBUS_STRING_MARKER ? "skindl" : id == PRAMBUS_STRING_CAPTION ? "Без метки" : 0;
}

PRAMBUS_EXPORT int32_t StartProc(uint8_t view_kind, prambus_get_function get) {
  (void)view_kind;
  (void)get;
  return 1;
}
