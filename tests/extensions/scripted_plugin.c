/* A plug-in whose commands run whatever the test that loaded it hands over
   through test_set_script: the test drives the callbacks as a plug-in would. */
#include <prambus/extension.h>

typedef int32_t (*script_fn)(uint8_t view_kind, int32_t command, prambus_get_function get);
static script_fn script;

PRAMBUS_EXPORT void test_set_script(script_fn s) {
  script = s;
}

PRAMBUS_EXPORT const char* prambus_string(int32_t id) {
  switch (id) {
    case PRAMBUS_STRING_MARKER:
      return PRAMBUS_PLUGIN_MARKER;
    case PRAMBUS_STRING_CAPTION:
      return "Плагин по сценарию";
    case PRAMBUS_STRING_SHORTCUT:
      return "Ctrl+F11";
    case PRAMBUS_STRING_SHORTCUT + 1:
      return "ctrl + shift + F11";
    case PRAMBUS_STRING_SHORTCUT + 2:
      return "Hyper+Q"; /* unreadable: no hot key, but the list goes on */
    case PRAMBUS_STRING_SHORTCUT + 3:
      return "Alt+Num 7";
    default:
      return 0;
  }
}

PRAMBUS_EXPORT int32_t StartProc(uint8_t view_kind, prambus_get_function get) {
  return script ? script(view_kind, 0, get) : 0;
}

PRAMBUS_EXPORT int32_t StartDopProc(uint8_t view_kind, int32_t command, prambus_get_function get) {
  return script ? script(view_kind, command, get) : 0;
}
