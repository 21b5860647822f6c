#include "support/xdg_home.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

namespace prambus {
namespace {

std::string Run(const std::string& command, int* status) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[512];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int rc = pclose(p);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

}  // namespace

void XdgHome::WriteFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  TempDir::Write(path, text);
}

XdgHome::XdgHome() {
  for (const char* d : {"config", "sysconfig", "data", "sys/applications"})
    std::filesystem::create_directories(dir_.File(d));
  WriteFile(dir_.File("sys/mime/globs2"),
            "# generated\n"
            "50:text/plain:*.txt\n"
            "50:text/plain:*.text\n"
            "50:text/x-log:*.log\n"
            "50:text/x-c++src:*.C:cs\n"
            "50:text/x-c++src:*.C\n"
            "50:text/x-csrc:*.c:cs\n"
            "50:text/x-csrc:*.c\n"
            "50:application/x-ms-dos-executable:*.exe\n");
  for (const char* name : {"former", "other"})
    WriteFile(dir_.File(std::string("sys/applications/") + name + ".desktop"),
              std::string("[Desktop Entry]\nType=Application\nName=") + name +
                  "\nExec=/bin/cat %f\nMimeType=text/plain;text/x-log;\n");
  WriteFile(Executable(), "#!/bin/sh\nexit 0\n");
  chmod(Executable().c_str(), 0755);
}

XdgDirs XdgHome::Dirs() const {
  XdgDirs d;
  d.configHome = dir_.File("config");
  d.dataHome = dir_.File("data");
  d.dataDirs = {dir_.File("sys")};
  return d;
}

void XdgHome::Export() const {
  setenv("XDG_CONFIG_HOME", dir_.File("config").c_str(), 1);
  setenv("XDG_CONFIG_DIRS", dir_.File("sysconfig").c_str(), 1);
  setenv("XDG_DATA_HOME", dir_.File("data").c_str(), 1);
  setenv("XDG_DATA_DIRS", dir_.File("sys").c_str(), 1);
}

std::string XdgHome::QueryDefault(const std::string& type) const {
  // A clean environment: no desktop session that would send xdg-mime to a
  // desktop's own tool.
  const std::string command =
      "env -i PATH=\"$PATH\" HOME=" + dir_.path() + " XDG_CONFIG_HOME=" + dir_.File("config") +
      " XDG_CONFIG_DIRS=" + dir_.File("sysconfig") + " XDG_DATA_HOME=" + dir_.File("data") +
      " XDG_DATA_DIRS=" + dir_.File("sys") + " xdg-mime query default " + type + " 2>/dev/null";
  return Run(command, nullptr);
}

int XdgHome::Validate(const std::string& file, std::string* output) {
  int status = -1;
  const std::string out = Run("desktop-file-validate '" + file + "' 2>&1", &status);
  if (output) *output = out;
  return status;
}

}  // namespace prambus
