/* Two copies of this plug-in (TWIN_NAME "first" and "second") share the hot
   key End; each types its own name. */
#include <prambus/extension.h>
#include <string.h>

PRAMBUS_EXPORT const char* prambus_string(int32_t id) {
  switch (id) {
    case PRAMBUS_STRING_MARKER:
      return PRAMBUS_PLUGIN_MARKER;
    case PRAMBUS_STRING_CAPTION:
      return "Близнец " TWIN_NAME;
    case PRAMBUS_STRING_SHORTCUT:
      return "End";
    default:
      return 0;
  }
}

PRAMBUS_EXPORT int32_t StartProc(uint8_t view_kind, prambus_get_function get) {
  prambus_function f = 0;
  (void)view_kind;
  return get(PRAMBUS_INSERT, &f) && ((prambus_insert_fn)f)((int32_t)strlen(TWIN_NAME), TWIN_NAME);
}
