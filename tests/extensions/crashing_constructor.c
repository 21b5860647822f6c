/* A plug-in whose constructor writes through a null pointer: loading it
   ends the program. */
#include <prambus/extension.h>

static void crash(void) __attribute__((constructor));

static void crash(void) {
  /* The pointer itself is volatile: the compiler cannot tell it is null. */
  volatile int* volatile nowhere = 0;
  *nowhere = 1;
}

PRAMBUS_EXPORT const char* prambus_string(int32_t id) {
  return id == PRAMBUS_STRING_MARKER ? PRAMBUS_PLUGIN_MARKER : "Падающий при загрузке";
}

PRAMBUS_EXPORT int32_t StartProc(uint8_t view_kind, prambus_get_function get) {
  (void)view_kind;
  (void)get;
  return 1;
}
