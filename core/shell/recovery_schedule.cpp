#include "shell/recovery_schedule.h"

#include <algorithm>

namespace prambus {

void RecoverySchedule::Changed(Time now) {
  if (!pending_) firstChange_ = now;
  pending_ = true;
  lastChange_ = now;
}

void RecoverySchedule::Forget() {
  pending_ = false;
  writingCovered_ = false;
  notBefore_ = {};
}

std::optional<RecoverySchedule::Time> RecoverySchedule::Due() const {
  if (!pending_ || writing_) return std::nullopt;
  const Time due = std::min(lastChange_ + kPause, firstChange_ + kLongest);
  return std::max(due, notBefore_);
}

void RecoverySchedule::Started(Time /*now*/) {
  writing_ = true;
  writingCovered_ = pending_;
  coveredFirst_ = firstChange_;
  pending_ = false;
}

void RecoverySchedule::Finished(Time now, bool ok) {
  writing_ = false;
  if (ok) {
    notBefore_ = {};
    return;
  }
  // The changes it was to cover wait again, from when they were first made.
  if (writingCovered_) {
    firstChange_ = pending_ ? std::min(firstChange_, coveredFirst_) : coveredFirst_;
    if (!pending_) lastChange_ = coveredFirst_;
    pending_ = true;
  }
  notBefore_ = now + kRetry;
}

void RecoverySchedule::Postpone(Time now) {
  notBefore_ = now + kPause;
}

}  // namespace prambus
