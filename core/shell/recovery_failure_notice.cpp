#include "shell/recovery_failure_notice.h"

#include "shell/file_messages.h"

namespace prambus {

void RecoveryFailureNotice::Failed(const std::string& folder, int err) {
  if (state_ == State::kTold) return;
  // The latest reason is the one told.
  message_ = RecoveryCopyFailedMessage(folder, err);
  state_ = State::kToTell;
}

void RecoveryFailureNotice::Succeeded() {
  state_ = State::kQuiet;
  message_.clear();
}

void RecoveryFailureNotice::Withdraw() {
  if (state_ == State::kToTell) Succeeded();
}

std::optional<std::string> RecoveryFailureNotice::Take() {
  if (state_ != State::kToTell) return std::nullopt;
  state_ = State::kTold;
  return std::move(message_);
}

}  // namespace prambus
