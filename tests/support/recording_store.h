// An association store that keeps its bindings in memory and records every
// call, for tests and fuzzers of the code that drives a store.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "associations/association_store.h"

namespace prambus {

class RecordingStore : public AssociationStore {
 public:
  std::vector<std::string> calls;  // "register", "bind .txt entry", "bind .dat", "unbind .txt"
  std::set<std::string> bound;
  std::set<std::string> failing;  // extensions whose binding fails

  bool RegisterApplication() override {
    calls.push_back("register");
    return true;
  }
  bool IsBoundToProgram(const std::string& ext) override { return bound.count(ext) > 0; }
  bool BindExtension(const std::string& ext, bool writeProgramEntry) override {
    calls.push_back("bind " + ext + (writeProgramEntry ? " entry" : ""));
    if (failing.count(ext)) return false;
    bound.insert(ext);
    return true;
  }
  void UnbindExtension(const std::string& ext) override {
    calls.push_back("unbind " + ext);
    bound.erase(ext);
  }
};

}  // namespace prambus
