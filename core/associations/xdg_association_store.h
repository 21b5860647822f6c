// The association store of freedesktop desktops, all of it in the user's own
// folders: the program's desktop entry in the user's applications folder,
// the default applications of MIME types in the user's mimeapps.list, and a
// user MIME type (a package in the user's MIME folder) for an extension the
// desktop has no type for. Whether an extension is bound is always read
// back from these files.
#pragma once

#include <string>
#include <vector>

#include "associations/association_store.h"
#include "associations/mimeapps_list.h"
#include "associations/xdg_dirs.h"

namespace prambus {

struct ProgramFiles {
  std::string executable;  // absolute path of the running executable
  std::string iconSvg;     // the program's icon; written beside the entry when set
};

class XdgAssociationStore : public AssociationStore {
 public:
  XdgAssociationStore(XdgDirs dirs, ProgramFiles program);

  bool RegisterApplication() override;
  bool IsBoundToProgram(const std::string& ext) override;
  bool BindExtension(const std::string& ext, bool writeProgramEntry) override;
  void UnbindExtension(const std::string& ext) override;
  std::optional<AssociationFailure> LastFailure() const override { return failure_; }

  // "prambus.desktop", or "prambus-2.desktop" and so on when another
  // program's entry already has the name; empty when none is free.
  std::string DesktopId() const;
  // The MIME type the desktop gives the extension: its own database's, or
  // this program's user type; empty when there is none.
  std::string TypeOf(const std::string& ext) const;
  std::string MimeAppsPath() const { return dirs_.configHome + "/mimeapps.list"; }
  // The user's lists of defaults in the order the desktop reads them: one
  // per current desktop ("gnome-mimeapps.list"), then mimeapps.list.
  std::vector<std::string> MimeAppsPaths() const;
  std::string EntryPath(const std::string& id) const {
    return dirs_.dataHome + "/applications/" + id;
  }

 private:
  // Writes the program's entry listing `types`: afresh when asked or when
  // there is none, otherwise keeping the Exec line it has.
  bool WriteEntry(const std::string& id, bool fresh, const std::vector<std::string>& types);
  // Reads every list of MimeAppsPaths(); false when one is there and
  // cannot be read.
  bool ReadLists(std::vector<std::string>& texts) const;
  // Writes the lists marked changed. When one fails, those already written
  // get their former text back, so the lists never disagree; false then.
  bool WriteLists(const std::vector<std::string>& before, const MimeAppsLists& lists,
                  const std::vector<bool>& changed);
  bool CreateOwnType(const std::string& ext);
  void RemoveOwnType(const std::string& ext);
  std::string PackagePath(const std::string& ext) const;

  XdgDirs dirs_;
  ProgramFiles program_;
  // What the last binding could not do (the lists are read in const steps).
  mutable std::optional<AssociationFailure> failure_;
};

}  // namespace prambus
