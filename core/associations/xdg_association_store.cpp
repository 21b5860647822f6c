#include "associations/xdg_association_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>

#include "associations/desktop_entry.h"
#include "associations/mime_types.h"
#include "associations/mimeapps_list.h"
#include "io/posix_file.h"
#include "platform/run_program.h"
#include "shell/safe_save.h"

namespace prambus {
namespace {

constexpr int kMaxNumberedIds = 9;

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// A missing file reads as empty; false only when a file is there and cannot
// be read, so that nobody's file is overwritten unseen.
bool ReadWhole(const std::string& path, std::string& out) {
  out.clear();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISREG(st.st_mode)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool MakeFolders(const std::string& dir) {
  for (size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
    const std::string part = dir.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat st {};
  return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Through a safe save: a complete copy renamed over the old file, which thus
// either stays whole or is replaced whole, keeping its mode and links.
bool WriteWhole(const std::string& path, const std::string& text) {
  if (!MakeFolders(path.substr(0, path.rfind('/')))) return false;
  return SaveSafely(path, SaveOptions{},
                    [&text](int fd) { OutputFile::Borrowing(fd).Write(text.data(), text.size()); })
      .Saved();
}

}  // namespace

XdgAssociationStore::XdgAssociationStore(XdgDirs dirs, ProgramFiles program)
    : dirs_(std::move(dirs)), program_(std::move(program)) {}

std::string XdgAssociationStore::DesktopId() const {
  for (int n = 1; n <= kMaxNumberedIds; ++n) {
    const std::string id =
        n == 1 ? std::string("prambus.desktop") : "prambus-" + std::to_string(n) + ".desktop";
    bool free = true;
    std::vector<std::string> dirs = {dirs_.dataHome};
    dirs.insert(dirs.end(), dirs_.dataDirs.begin(), dirs_.dataDirs.end());
    for (const std::string& dir : dirs) {
      const std::string path = dir + "/applications/" + id;
      if (!Exists(path)) continue;
      std::string text;
      free = free && ReadWhole(path, text) && IsProgramEntry(KeyFileText(text));
    }
    if (free) return id;
  }
  return {};
}

std::string XdgAssociationStore::TypeOf(const std::string& ext) const {
  if (!IsStorableExtension(ext)) return {};
  std::vector<std::string> dirs = {dirs_.dataHome};
  dirs.insert(dirs.end(), dirs_.dataDirs.begin(), dirs_.dataDirs.end());
  for (const std::string& dir : dirs) {
    std::string globs;
    if (!ReadWhole(dir + "/mime/globs2", globs)) continue;
    std::string type = TypeFromGlobs(globs, ext);
    if (!type.empty()) return type;
  }
  // Made by this program but not yet in the database.
  return Exists(PackagePath(ext)) ? OwnMimeType(ext) : std::string();
}

std::string XdgAssociationStore::PackagePath(const std::string& ext) const {
  return dirs_.dataHome + "/mime/packages/" + OwnPackageFileName(ext);
}

bool XdgAssociationStore::CreateOwnType(const std::string& ext) {
  if (!WriteWhole(PackagePath(ext), OwnPackageXml(ext))) return false;
  if (RunProgram({"update-mime-database", dirs_.dataHome + "/mime"}) == 0) return true;
  ::unlink(PackagePath(ext).c_str());
  return false;
}

void XdgAssociationStore::RemoveOwnType(const std::string& ext) {
  if (::unlink(PackagePath(ext).c_str()) == 0)
    RunProgram({"update-mime-database", dirs_.dataHome + "/mime"});
}

bool XdgAssociationStore::WriteEntry(const std::string& id, bool fresh,
                                     const std::vector<std::string>& types) {
  const std::string path = EntryPath(id);
  std::string old;
  if (!ReadWhole(path, old)) return false;
  const KeyFileText oldEntry(old);
  std::string exec = ExecValue(program_.executable);
  if (!fresh && IsProgramEntry(oldEntry))
    exec = oldEntry.Get(kDesktopEntryGroup, "Exec").value_or(exec);
  const std::string text = DesktopEntryText(exec, types);
  if (fresh && !program_.iconSvg.empty()) {
    // The icon is cosmetic: a failure to write it binds all the same.
    const std::string icon = dirs_.dataHome + "/icons/hicolor/scalable/apps/" + kIconName + ".svg";
    std::string current;
    if (!ReadWhole(icon, current) || current != program_.iconSvg)
      WriteWhole(icon, program_.iconSvg);
  }
  if (text == old) return true;
  if (!WriteWhole(path, text)) return false;
  // The desktop's cache of which programs open which types; optional.
  RunProgram({"update-desktop-database", dirs_.dataHome + "/applications"});
  return true;
}

bool XdgAssociationStore::RegisterApplication() {
  const std::string id = DesktopId();
  std::string list;
  if (id.empty() || !ReadWhole(MimeAppsPath(), list)) return false;
  return WriteEntry(id, true, TypesDefaultingTo(KeyFileText(list), id));
}

bool XdgAssociationStore::IsBoundToProgram(const std::string& ext) {
  const std::string id = DesktopId();
  const std::string type = TypeOf(ext);
  std::string list;
  if (id.empty() || type.empty() || !ReadWhole(MimeAppsPath(), list)) return false;
  return FirstDefault(KeyFileText(list), type) == id;
}

bool XdgAssociationStore::BindExtension(const std::string& ext, bool writeProgramEntry) {
  const std::string id = DesktopId();
  std::string text;
  if (id.empty() || !IsStorableExtension(ext) || !ReadWhole(MimeAppsPath(), text)) return false;
  std::string type = TypeOf(ext);
  const bool madeType = type.empty();
  if (madeType) {
    if (!CreateOwnType(ext)) return false;
    type = OwnMimeType(ext);
  }
  KeyFileText list(text);
  const bool bound = FirstDefault(list, type) == id;
  if (!bound) PrependDefault(list, type, id);
  const bool entryOk = WriteEntry(id, writeProgramEntry, TypesDefaultingTo(list, id));
  if (entryOk && (bound || WriteWhole(MimeAppsPath(), list.Text()))) return true;
  if (madeType) RemoveOwnType(ext);
  return false;
}

void XdgAssociationStore::UnbindExtension(const std::string& ext) {
  const std::string id = DesktopId();
  const std::string type = TypeOf(ext);
  std::string text;
  if (id.empty() || type.empty() || !ReadWhole(MimeAppsPath(), text)) return;
  KeyFileText list(text);
  if (FirstDefault(list, type) != id) return;  // not bound, or taken over meanwhile
  RemoveLeadingDefault(list, type, id);
  if (!WriteWhole(MimeAppsPath(), list.Text())) return;
  if (Exists(EntryPath(id))) WriteEntry(id, false, TypesDefaultingTo(list, id));
  if (type == OwnMimeType(ext) && !MentionsType(list, type)) RemoveOwnType(ext);
}

}  // namespace prambus
