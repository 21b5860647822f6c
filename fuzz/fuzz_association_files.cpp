// Arbitrary text as another program's mimeapps.list and as a globs2 file of
// the MIME database: the files are read and written back unchanged, binding
// makes the program the first default, and unbinding gives the type its
// former first default, restoring the file byte for byte whenever the type
// had a non-empty default entry to keep. The text split at its first form
// feed (else in the middle) is a desktop's own list before the common one:
// the same holds for the default the two decide together, and a list the
// program did not come first in is never touched. The text is also a
// $XDG_CURRENT_DESKTOP value.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "associations/desktop_entry.h"
#include "associations/mime_types.h"
#include "associations/mimeapps_list.h"
#include "associations/xdg_dirs.h"
#include "fuzz_input.h"

namespace {

using namespace prambus;

// Whether unbinding must give the list back byte for byte: it does not
// name the program anywhere and every default entry of the type names a
// program to come back to.
bool Restorable(const std::string& text, const std::string& type, const std::string& id) {
  const KeyFileText list(text);
  const std::vector<size_t> entries = list.FindKey(kDefaultApplications, type);
  bool restorable = text.find(id) == std::string::npos && !entries.empty();
  for (size_t line : entries)
    restorable = restorable && list.Value(line).find_first_not_of(" \t;") != std::string::npos;
  return restorable;
}

void CheckDesktopNames(const std::string& value) {
  const std::vector<std::string> names = XdgDirs::DesktopNames(value);
  if (names.size() > static_cast<size_t>(std::count(value.begin(), value.end(), ':')) + 1)
    std::abort();
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& n = names[i];
    if (n.empty() || n.find('/') != std::string::npos) std::abort();
    if (std::any_of(n.begin(), n.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) std::abort();
    if (std::find(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(i), n) !=
        names.begin() + static_cast<std::ptrdiff_t>(i))
      std::abort();
  }
}

void CheckListsInLookupOrder(const std::string& text, const std::string& type,
                             const std::string& id) {
  const size_t feed = text.find('\f');
  const size_t cut = feed == std::string::npos ? text.size() / 2 : feed;
  const std::vector<std::string> texts = {text.substr(0, cut),
                                          text.substr(std::min(text.size(), cut + 1))};
  MimeAppsLists lists(texts.begin(), texts.end());
  std::vector<std::string> firsts;
  for (const KeyFileText& list : lists) firsts.push_back(FirstDefault(list, type));
  const std::string former = EffectiveDefault(lists, type);

  const std::vector<bool> changed = PrependEffectiveDefault(lists, type, id);
  if (EffectiveDefault(lists, type) != id) std::abort();
  for (size_t i = 0; i < lists.size(); ++i)
    if (!changed[i] && lists[i].Text() != texts[i]) std::abort();
  if (former == id) return;
  RemoveLeadingDefaults(lists, type, id);
  if (EffectiveDefault(lists, type) != former) std::abort();
  for (size_t i = 0; i < lists.size(); ++i) {
    const bool kept = firsts[i] != id && (!changed[i] || Restorable(texts[i], type, id));
    if (kept && lists[i].Text() != texts[i]) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const std::string type = in.Byte() % 2 ? "a" : "text/plain";
  const std::string text = in.Bytes(size);
  const std::string id = "prambus.desktop";

  KeyFileText list(text);
  if (list.Text() != text) std::abort();
  IsProgramEntry(list);
  TypeFromGlobs(text, ".a");
  TypeFromGlobs(text, ".txt");

  CheckDesktopNames(text);
  CheckListsInLookupOrder(text, type, id);

  const std::string former = FirstDefault(list, type);
  const bool restorable = Restorable(text, type, id);

  PrependDefault(list, type, id);
  if (FirstDefault(list, type) != id) std::abort();
  if (FirstDefault(KeyFileText(list.Text()), type) != id) std::abort();
  if (former != id) {
    RemoveLeadingDefault(list, type, id);
    if (FirstDefault(list, type) != former) std::abort();
    if (restorable && list.Text() != text) std::abort();
  }
  return 0;
}
