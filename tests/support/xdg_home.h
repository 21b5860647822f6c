// A temporary desktop for association tests: the user's configuration and
// data folders, a "system" data folder with a small MIME database and two
// other programs' desktop entries, and an executable standing in for the
// program. Queries go to xdg-mime under exactly these folders.
#pragma once

#include <string>

#include "associations/xdg_dirs.h"
#include "support/temp_dir.h"

namespace prambus {

class XdgHome {
 public:
  XdgHome();
  XdgDirs Dirs() const;
  std::string Executable() const { return dir_.File("bin/prambus"); }
  std::string MimeApps() const { return dir_.File("config/mimeapps.list"); }
  std::string UserFile(const std::string& relative) const { return dir_.File("data/" + relative); }
  const std::string& Root() const { return dir_.path(); }
  // Points this process's XDG variables at the folders (for code that reads
  // the environment itself).
  void Export() const;

  // What `xdg-mime query default TYPE` answers on this desktop.
  std::string QueryDefault(const std::string& type) const;
  // The output and status of a desktop-file-validate run on a file.
  static int Validate(const std::string& file, std::string* output = nullptr);

  static void WriteFile(const std::string& path, const std::string& text);

 private:
  TempDir dir_;
};

}  // namespace prambus
