// When the window writes a recovery copy of a modified document: a little
// while after the typing pauses, and during typing that never pauses at
// least once in a longer while. One copy is written at a time; edits made
// while it is written are covered by the next one. A copy that could not be
// written is tried again later, not at every key.
#pragma once

#include <chrono>
#include <optional>

namespace prambus {

class RecoverySchedule {
 public:
  using Clock = std::chrono::steady_clock;
  using Time = Clock::time_point;
  using Duration = Clock::duration;

  static constexpr Duration kPause = std::chrono::seconds(3);
  static constexpr Duration kLongest = std::chrono::seconds(60);
  static constexpr Duration kRetry = std::chrono::seconds(30);

  // The document changed at `now`.
  void Changed(Time now);
  // Nothing needs a copy any more: the document was saved, given up or
  // is as it was last loaded or saved.
  void Forget();
  // When the next copy is due; nothing while none is needed or one is
  // being written.
  std::optional<Time> Due() const;
  bool IsDue(Time now) const {
    const std::optional<Time> due = Due();
    return due && *due <= now;
  }
  // A copy of the document as it is at `now` is being written.
  void Started(Time now);
  // That copy is written (ok) or failed: a failed one is tried again no
  // sooner than kRetry later.
  void Finished(Time now, bool ok);
  // The copy due cannot be taken now (the document is still loading): it
  // is tried again after a pause.
  void Postpone(Time now);
  bool Writing() const { return writing_; }
  bool Pending() const { return pending_; }

 private:
  bool pending_ = false;  // changes no copy covers yet
  bool writing_ = false;
  Time firstChange_{};  // the first of those changes
  Time lastChange_{};
  Time notBefore_{};
  // What the copy being written covers, given back when it fails.
  bool writingCovered_ = false;
  Time coveredFirst_{};
};

}  // namespace prambus
