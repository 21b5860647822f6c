// When a recovery copy is written, on a clock the test moves by hand.
#include "shell/recovery_schedule.h"

#include <gtest/gtest.h>

namespace prambus {
namespace {

using namespace std::chrono_literals;
using Time = RecoverySchedule::Time;

const Time t0 = Time{} + 1000s;

TEST(RecoverySchedule, ACopyFollowsAPauseInTheTyping) {
  RecoverySchedule s;
  EXPECT_FALSE(s.Due());  // nothing changed: nothing to keep
  s.Changed(t0);
  s.Changed(t0 + 1s);
  s.Changed(t0 + 2500ms);
  EXPECT_EQ(s.Due(), t0 + 5500ms);  // three seconds after the last key
  EXPECT_FALSE(s.IsDue(t0 + 5s));
  EXPECT_TRUE(s.IsDue(t0 + 5500ms));
  s.Started(t0 + 5500ms);
  EXPECT_FALSE(s.Due());
  s.Finished(t0 + 6s, true);
  EXPECT_FALSE(s.Due());  // the copy holds every change
}

TEST(RecoverySchedule, TypingThatNeverPausesHasACopyEveryMinute) {
  RecoverySchedule s;
  Time now = t0;
  int copies = 0;
  Time last = t0;
  for (int key = 0; key < 3000; ++key, now += 200ms) {  // ten minutes, five keys a second
    s.Changed(now);
    if (s.IsDue(now)) {
      EXPECT_LE(now - last, 60s + 200ms);
      s.Started(now);
      s.Finished(now + 100ms, true);
      last = now;
      ++copies;
    }
  }
  EXPECT_EQ(copies, 9);
}

TEST(RecoverySchedule, EditsWhileACopyIsWrittenWaitForTheNextOne) {
  RecoverySchedule s;
  s.Changed(t0);
  s.Started(t0 + 3s);
  s.Changed(t0 + 4s);
  EXPECT_FALSE(s.Due());  // one copy at a time
  s.Finished(t0 + 5s, true);
  EXPECT_EQ(s.Due(), t0 + 7s);
}

TEST(RecoverySchedule, AFailedCopyIsTriedAgainLaterNotAtEveryKey) {
  RecoverySchedule s;
  s.Changed(t0);
  s.Started(t0 + 3s);
  s.Finished(t0 + 4s, false);
  EXPECT_EQ(s.Due(), t0 + 4s + RecoverySchedule::kRetry);
  s.Changed(t0 + 10s);
  EXPECT_EQ(s.Due(), t0 + 4s + RecoverySchedule::kRetry);
  s.Started(s.Due().value());
  s.Finished(t0 + 40s, true);
  EXPECT_FALSE(s.Due());
  // A failure after the document was given up brings nothing back.
  s.Changed(t0 + 50s);
  s.Started(t0 + 53s);
  s.Forget();
  s.Finished(t0 + 54s, false);
  EXPECT_FALSE(s.Due());
}

TEST(RecoverySchedule, SavingForgetsAndALoadPostpones) {
  RecoverySchedule s;
  s.Changed(t0);
  s.Forget();
  EXPECT_FALSE(s.Due());
  s.Changed(t0 + 1s);
  s.Postpone(t0 + 4s);  // still loading
  EXPECT_EQ(s.Due(), t0 + 7s);
}

}  // namespace
}  // namespace prambus
