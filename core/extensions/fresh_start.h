// Starting the program afresh in place of a start stuck in a library. The
// watchdog that notices the stuck start cannot show anything (the main thread
// is inside the library, and may hold the allocator's lock), but it can
// replace the process with a new start of the same command line: that start
// leaves the library out and says so on screen. Everything the replacement
// needs is prepared before the libraries are listed, so nothing is allocated
// when it runs. A start that cannot be made afresh (no command line to
// repeat, the library could not be noted as too slow, or several fresh
// starts in a row already) ends as before, with the message on the standard
// error only.
#pragma once

#include <string>
#include <vector>

namespace prambus {

// Fresh starts in a row at most: each leaves one more library out, so more
// would mean the libraries cannot be told apart from one start to the next.
inline constexpr int kMaxFreshStarts = 3;
// How a fresh start knows how many came before it.
inline constexpr char kFreshStartsVariable[] = "PRAMBUS_FRESH_STARTS";

class FreshStart {
 public:
  // `commandLine` is the program's own command line as the kernel keeps it
  // (arguments ended by NUL bytes), `environment` its environment. The
  // program is started again from `executable`.
  FreshStart(std::string executable, const std::string& commandLine, char** environment);
  // The running program's own, from /proc/self.
  static FreshStart OfThisProgram(char** environment);

  bool Possible() const { return possible_; }

  // Called by the watchdog: tells on the standard error which library was
  // too slow and starts the program again, or ends it when that cannot be
  // done (`noted` false: the next start would not know to leave it out).
  [[noreturn]] void Replace(const std::string& library, bool noted) const;
  // Called from the fault handler while `library` was being loaded: tells on
  // the standard error that it failed and starts the program again. Returns
  // only when that cannot be done. Async-signal-safe.
  void ReplaceAfterFault(const char* library) const noexcept;

  // For tests: what would be run.
  const std::vector<std::string>& Arguments() const { return arguments_; }
  const std::vector<std::string>& Environment() const { return environment_; }

 private:
  bool possible_ = false;
  std::string executable_;
  std::vector<std::string> arguments_, environment_;
  std::vector<char*> argv_, envp_;
};

}  // namespace prambus
