// Every unit test process keeps the user's cache and state folders (backups,
// the journal of saves in progress) in a temporary place of its own, so no
// test writes into the home of whoever runs it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

class TestHome : public ::testing::Environment {
 public:
  void SetUp() override {
    char tmpl[] = "/tmp/prambus-homeXXXXXX";
    if (!::mkdtemp(tmpl)) return;
    path_ = tmpl;
    ::setenv("XDG_CACHE_HOME", (path_ + "/cache").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (path_ + "/state").c_str(), 1);
  }
  void TearDown() override {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }

 private:
  std::string path_;
};

const auto* const kHome = ::testing::AddGlobalTestEnvironment(new TestHome);

}  // namespace
