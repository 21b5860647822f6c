/* A library that leaves a mark as soon as it is loaded: its constructor
   creates a file named after the library in $PRAMBUS_PLANTED_MARKS, so a
   test sees which of its copies the program loaded, whatever they export. */
#include <dlfcn.h>
#include <fcntl.h>
#include <prambus/extension.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static void leave_mark(void) __attribute__((constructor));

static void leave_mark(void) {
  const char* folder = getenv("PRAMBUS_PLANTED_MARKS");
  Dl_info info;
  char path[4096];
  const char* name;
  int fd;
  if (!folder || !dladdr((void*)leave_mark, &info) || !info.dli_fname) return;
  name = strrchr(info.dli_fname, '/');
  name = name ? name + 1 : info.dli_fname;
  if (strlen(folder) + strlen(name) + 2 > sizeof path) return;
  strcpy(path, folder);
  strcat(path, "/");
  strcat(path, name);
  fd = open(path, O_WRONLY | O_CREAT, 0600);
  if (fd >= 0) close(fd);
}

PRAMBUS_EXPORT const char* prambus_string(int32_t id) {
  return id == PRAMBUS_STRING_MARKER    ? PRAMBUS_PLUGIN_MARKER
         : id == PRAMBUS_STRING_CAPTION ? "Подложенный плагин"
                                        : 0;
}

PRAMBUS_EXPORT int32_t StartProc(uint8_t view_kind, prambus_get_function get) {
  (void)view_kind;
  (void)get;
  return 0;
}
