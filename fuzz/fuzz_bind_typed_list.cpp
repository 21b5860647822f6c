// Arbitrary text as a typed list of the welcome window, against a store that
// records its calls: only well-formed, allowed extensions reach the store,
// only the text's first extension asks for the program's entry, and the
// binding list never holds an extension twice.
#include <cstdlib>
#include <string_view>

#include "associations/extension_bindings.h"
#include "support/recording_store.h"

namespace {

bool WellFormed(std::string_view ext) {
  if (ext.size() < 2 || ext[0] != '.') return false;
  for (char c : ext.substr(1))
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace prambus;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  RecordingStore store;
  store.failing = {".bad"};
  std::vector<ExtensionBinding> bindings = {{".txt", 0}};
  size_t messages = 0, parseMessages = 0;
  BindTypedList(text, 1, store, bindings, [&](const std::string& m) {
    ++messages;
    if (m == kParseFailedMessage) ++parseMessages;
  });
  if (parseMessages > 1) std::abort();  // the parse message ends the list
  for (size_t i = 0; i < store.calls.size(); ++i) {
    std::string_view call = store.calls[i];
    if (call.substr(0, 5) != "bind ") std::abort();
    call.remove_prefix(5);
    const bool entry = call.size() > 6 && call.substr(call.size() - 6) == " entry";
    if (entry) call.remove_suffix(6);
    if (!WellFormed(call) || IsRefusedExtension(call)) std::abort();
    if (entry && i != 0) std::abort();
  }
  if (messages > store.calls.size() + 1 + text.size()) std::abort();
  if (bindings.front().ext != ".txt" || bindings.front().viewIndex != 0) std::abort();
  for (size_t i = 0; i < bindings.size(); ++i)
    for (size_t j = i + 1; j < bindings.size(); ++j)
      if (bindings[i].ext == bindings[j].ext) std::abort();
  return 0;
}
