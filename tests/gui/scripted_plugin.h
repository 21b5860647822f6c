// The test plug-in whose command runs a script the test hands over, for GUI
// tests that drive the plug-in callbacks as a plug-in would. The library is
// copied alone into a folder of the test's own (the other test plug-ins have
// hot keys on plain keys) and loaded here once: the program's load of the
// same file gets this copy, so the script set here is the one it runs.
#pragma once

#include <dlfcn.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "prambus/extension.h"

namespace scripted {

// What the plug-in's command does with the callbacks.
inline std::function<void(prambus_get_function)> script;

inline int32_t RunScript(uint8_t, int32_t, prambus_get_function get) {
  if (script) script(get);
  return 1;
}

template <typename Fn>
Fn Callback(prambus_get_function get, int number) {
  prambus_function f = nullptr;
  get(number, &f);
  return reinterpret_cast<Fn>(f);
}

// A line rewriter (callback 13) that upper-cases the Latin letters.
inline void UpperCase(int32_t* length, const char** data, int32_t*) {
  static std::string line;
  line.assign(*data, static_cast<size_t>(*length));
  for (char& c : line)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  *data = line.data();
}

// Puts the plug-in into `folder`/plugins and hands it RunScript; false when
// the library cannot be copied or loaded.
inline bool Install(const QString& folder) {
  if (!QDir().mkpath(folder + "/plugins")) return false;
  const QString copy = folder + "/plugins/scripted.so";
  if (!QFile::copy(QByteArray(PRAMBUS_TEST_EXTENSIONS) + "/plugins/test_scripted_plugin.so", copy))
    return false;
  void* lib = dlopen(QFile::encodeName(copy).constData(), RTLD_NOW);
  if (!lib) return false;
  using SetScript = void (*)(int32_t(*)(uint8_t, int32_t, prambus_get_function));
  auto set = reinterpret_cast<SetScript>(dlsym(lib, "test_set_script"));
  if (!set) return false;
  set(&RunScript);
  return true;
}

}  // namespace scripted
