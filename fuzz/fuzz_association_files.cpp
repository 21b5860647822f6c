// Arbitrary text as another program's mimeapps.list and as a globs2 file of
// the MIME database: the files are read and written back unchanged, binding
// makes the program the first default, and unbinding gives the type its
// former first default, restoring the file byte for byte whenever the type
// had a non-empty default entry to keep.
#include <cstdlib>
#include <string>

#include "associations/desktop_entry.h"
#include "associations/mime_types.h"
#include "associations/mimeapps_list.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace prambus;
  fuzz::Input in(data, size);
  const std::string type = in.Byte() % 2 ? "a" : "text/plain";
  const std::string text = in.Bytes(size);
  const std::string id = "prambus.desktop";

  KeyFileText list(text);
  if (list.Text() != text) std::abort();
  IsProgramEntry(list);
  TypeFromGlobs(text, ".a");
  TypeFromGlobs(text, ".txt");

  const std::string former = FirstDefault(list, type);
  bool restorable = text.find(id) == std::string::npos;
  const std::vector<size_t> entries = list.FindKey(kDefaultApplications, type);
  restorable = restorable && !entries.empty();
  for (size_t line : entries)
    restorable = restorable && list.Value(line).find_first_not_of(" \t;") != std::string::npos;

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
