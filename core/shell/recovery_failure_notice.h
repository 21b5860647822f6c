// When the window tells the user that recovery copies are failing. A copy
// that cannot be written is tried again on its schedule, quietly: the user
// hears of it once, and again only when copies worked for a while and then
// failed anew, so a folder that stays unwritable never floods the window
// with the same message.
#pragma once

#include <optional>
#include <string>

namespace prambus {

class RecoveryFailureNotice {
 public:
  // A copy could not be written into `folder`; `err` is the system's reason.
  void Failed(const std::string& folder, int err);
  // A copy was written: a later failure is news again, and one not yet
  // told is no longer true.
  void Succeeded();
  // The document needs no copy any more (saved or given up) before the
  // failure was told: it is not told.
  void Withdraw();
  // The message to show now, once per run of failures; nothing when there
  // is nothing new to tell.
  std::optional<std::string> Take();

 private:
  enum class State { kQuiet, kToTell, kTold };
  State state_ = State::kQuiet;
  std::string message_;
};

}  // namespace prambus
