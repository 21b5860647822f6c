#include "extensions/fresh_start.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string_view>

#include "extensions/listing_guard.h"

namespace prambus {

namespace {

// The fresh starts that came before this one, from the environment.
int FreshStartsSoFar(char** environment) {
  const std::string_view key(kFreshStartsVariable);
  for (char** e = environment; e && *e; ++e) {
    const std::string_view entry(*e);
    if (entry.size() <= key.size() || entry.substr(0, key.size()) != key ||
        entry[key.size()] != '=')
      continue;
    const std::string_view value = entry.substr(key.size() + 1);
    if (value.size() != 1 || value[0] < '0' || value[0] > '9') return kMaxFreshStarts;
    return value[0] - '0';
  }
  return 0;
}

void Tell(const char* format, const char* library) {
  char text[4096];
  const int n =
      std::snprintf(text, sizeof text, format, library, static_cast<int>(kListingBound.count()));
  if (n > 0) {
    [[maybe_unused]] const ssize_t written =
        ::write(STDERR_FILENO, text, std::min(static_cast<size_t>(n), sizeof text - 1));
  }
}

}  // namespace

FreshStart::FreshStart(std::string executable, const std::string& commandLine, char** environment)
    : executable_(std::move(executable)) {
  for (size_t at = 0; at < commandLine.size();) {
    const size_t end = std::min(commandLine.find('\0', at), commandLine.size());
    arguments_.emplace_back(commandLine.substr(at, end - at));
    at = end + 1;
  }
  const int before = FreshStartsSoFar(environment);
  const std::string key = std::string(kFreshStartsVariable) + "=";
  for (char** e = environment; e && *e; ++e)
    if (!std::string_view(*e).starts_with(key)) environment_.emplace_back(*e);
  environment_.push_back(key + std::to_string(std::min(before + 1, 9)));
  possible_ = !executable_.empty() && !arguments_.empty() && before < kMaxFreshStarts;
  for (std::string& a : arguments_) argv_.push_back(a.data());
  argv_.push_back(nullptr);
  for (std::string& e : environment_) envp_.push_back(e.data());
  envp_.push_back(nullptr);
}

FreshStart FreshStart::OfThisProgram(char** environment) {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string commandLine((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  return FreshStart(in || in.eof() ? "/proc/self/exe" : "", commandLine, environment);
}

void FreshStart::Replace(const std::string& library, bool noted) const {
  if (possible_ && noted) {
    Tell(
        "Прамбус: библиотека «%s» не ответила за %d секунд. Запускаю программу заново, уже "
        "без неё.\n",
        library.c_str());
    // This run's note is closed on exec (close-on-exec), which unlocks it:
    // the new start takes it for the note of a run that ended, and leaves
    // the library out as too slow.
    ::execve(executable_.c_str(), argv_.data(), envp_.data());
  }
  EndSlowStart(library);
}

void FreshStart::ReplaceAfterFault(const char* library) const noexcept {
  if (!possible_) return;
  Tell(
      "Прамбус: библиотека «%s» вызвала сбой при загрузке. Запускаю программу заново, уже без "
      "неё.\n",
      library);
  // The handler's signal is blocked while it runs, and a blocked mask
  // outlives exec: the new start must get its own faults.
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  // The note naming the library is left as Begin wrote it: the new start
  // takes it for a run the library ended.
  ::execve(executable_.c_str(), argv_.data(), envp_.data());
}

}  // namespace prambus
