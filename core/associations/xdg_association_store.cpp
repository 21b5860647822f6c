#include "associations/xdg_association_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <unordered_set>

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

using Failure = std::optional<AssociationFailure>;

void Note(Failure* failure, const std::string& path, bool reading, FileProblem problem, int error) {
  if (failure) *failure = AssociationFailure{path, reading, problem, error, {}};
}

// A missing file reads as empty; false only when a file is there and cannot
// be read, so that nobody's file is overwritten unseen. Never waits on a
// FIFO put in a list's place.
bool ReadWhole(const std::string& path, std::string& out, Failure* failure = nullptr) {
  out.clear();
  try {
    InputFile in(path);
    std::string text(static_cast<size_t>(in.Size()), '\0');
    size_t done = 0;
    while (done < text.size()) {
      const size_t n = in.Read(text.data() + done, text.size() - done);
      if (n == 0) break;
      done += n;
    }
    text.resize(done);
    out = std::move(text);
    return true;
  } catch (const IoError& e) {
    if (e.Problem() == FileProblem::kMissing && e.Errno() == ENOENT) return true;
    Note(failure, path, true, e.Problem(), e.Errno());
    return false;
  }
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
bool WriteWhole(const std::string& path, const std::string& text, Failure* failure = nullptr) {
  const std::string folder = path.substr(0, path.rfind('/'));
  if (!MakeFolders(folder)) {
    const int err = errno;
    Note(failure, folder, false, ProblemOfErrno(err), err);
    return false;
  }
  const SaveOutcome saved = SaveSafely(path, SaveOptions{}, [&text](int fd) {
    OutputFile::Borrowing(fd).Write(text.data(), text.size());
  });
  if (saved.Saved()) return true;
  const bool readOnly = saved.result == SaveResult::kReadOnly;
  // A file that is not there yet cannot be written for its folder's sake.
  const bool folderRefused = saved.problem == FileProblem::kNoPermission && !saved.targetExisted;
  Note(failure, folderRefused ? folder : path, false,
       readOnly ? FileProblem::kNoPermission : saved.problem, saved.error);
  return false;
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
  if (!WriteWhole(PackagePath(ext), OwnPackageXml(ext), &failure_)) return false;
  if (RunProgram({"update-mime-database", dirs_.dataHome + "/mime"}) == 0) return true;
  ::unlink(PackagePath(ext).c_str());
  failure_ = AssociationFailure{};
  failure_->program = "update-mime-database";
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
  if (!ReadWhole(path, old, &failure_)) return false;
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
  if (!WriteWhole(path, text, &failure_)) return false;
  // The desktop's cache of which programs open which types; optional.
  RunProgram({"update-desktop-database", dirs_.dataHome + "/applications"});
  return true;
}

std::vector<std::string> XdgAssociationStore::MimeAppsPaths() const {
  std::vector<std::string> paths;
  for (const std::string& desktop : dirs_.desktops)
    paths.push_back(dirs_.configHome + "/" + desktop + "-mimeapps.list");
  paths.push_back(MimeAppsPath());
  return paths;
}

bool XdgAssociationStore::ReadLists(std::vector<std::string>& texts) const {
  texts.clear();
  for (const std::string& path : MimeAppsPaths()) {
    if (!ReadWhole(path, texts.emplace_back(), &failure_)) return false;
  }
  return true;
}

bool XdgAssociationStore::WriteLists(const std::vector<std::string>& before,
                                     const MimeAppsLists& lists, const std::vector<bool>& changed) {
  const std::vector<std::string> paths = MimeAppsPaths();
  for (size_t i = 0; i < paths.size(); ++i) {
    if (!changed[i] || WriteWhole(paths[i], lists[i].Text(), &failure_)) continue;
    for (size_t j = 0; j < i; ++j)
      if (changed[j]) WriteWhole(paths[j], before[j]);
    return false;
  }
  return true;
}

namespace {

MimeAppsLists ParseLists(const std::vector<std::string>& texts) {
  return MimeAppsLists(texts.begin(), texts.end());
}

// The types any of the lists makes id the first default of, for the
// program's entry.
std::vector<std::string> TypesDefaultingTo(const MimeAppsLists& lists, std::string_view id) {
  std::vector<std::string> types;
  std::unordered_set<std::string> listed;
  for (const KeyFileText& list : lists)
    for (std::string& type : TypesDefaultingTo(list, id))
      if (listed.insert(type).second) types.push_back(std::move(type));
  return types;
}

bool MentionsType(const MimeAppsLists& lists, std::string_view type) {
  return std::any_of(lists.begin(), lists.end(),
                     [type](const KeyFileText& list) { return MentionsType(list, type); });
}

}  // namespace

bool XdgAssociationStore::RegisterApplication() {
  const std::string id = DesktopId();
  std::vector<std::string> texts;
  if (id.empty() || !ReadLists(texts)) return false;
  return WriteEntry(id, true, TypesDefaultingTo(ParseLists(texts), id));
}

bool XdgAssociationStore::IsBoundToProgram(const std::string& ext) {
  const std::string id = DesktopId();
  const std::string type = TypeOf(ext);
  std::vector<std::string> texts;
  if (id.empty() || type.empty() || !ReadLists(texts)) return false;
  return EffectiveDefault(ParseLists(texts), type) == id;
}

bool XdgAssociationStore::BindExtension(const std::string& ext, bool writeProgramEntry) {
  failure_.reset();
  const std::string id = DesktopId();
  std::vector<std::string> texts;
  if (id.empty() || !IsStorableExtension(ext) || !ReadLists(texts)) return false;
  std::string type = TypeOf(ext);
  const bool madeType = type.empty();
  if (madeType) {
    if (!CreateOwnType(ext)) return false;
    type = OwnMimeType(ext);
  }
  MimeAppsLists lists = ParseLists(texts);
  const std::vector<bool> changed = PrependEffectiveDefault(lists, type, id);
  const bool entryOk = WriteEntry(id, writeProgramEntry, TypesDefaultingTo(lists, id));
  if (entryOk && WriteLists(texts, lists, changed)) return true;
  if (madeType) RemoveOwnType(ext);
  return false;
}

void XdgAssociationStore::UnbindExtension(const std::string& ext) {
  const std::string id = DesktopId();
  const std::string type = TypeOf(ext);
  std::vector<std::string> texts;
  if (id.empty() || type.empty() || !ReadLists(texts)) return;
  MimeAppsLists lists = ParseLists(texts);
  // Only where the program still comes first: a list another program took
  // over meanwhile is left alone.
  const std::vector<bool> changed = RemoveLeadingDefaults(lists, type, id);
  if (std::find(changed.begin(), changed.end(), true) == changed.end()) return;
  if (!WriteLists(texts, lists, changed)) return;
  if (Exists(EntryPath(id))) WriteEntry(id, false, TypesDefaultingTo(lists, id));
  if (type == OwnMimeType(ext) && !MentionsType(lists, type)) RemoveOwnType(ext);
}

}  // namespace prambus
