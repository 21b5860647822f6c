/* A plug-in whose prambus_string never returns. */
#include <prambus/extension.h>

PRAMBUS_EXPORT const char* prambus_string(int32_t id) {
  volatile int forever = 1;
  (void)id;
  while (forever) {
  }
  return 0;
}

PRAMBUS_EXPORT int32_t StartProc(uint8_t view_kind, prambus_get_function get) {
  (void)view_kind;
  (void)get;
  return 1;
}
