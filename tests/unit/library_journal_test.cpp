// The journal of libraries being listed at start: a run that ends while it
// lists a library leaves a note, the next run leaves that library out (for
// as long as its file is the same) and says so once; the watchdog marks a
// library that takes too long and ends the run.
#include "extensions/library_journal.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "extensions/fresh_start.h"
#include "extensions/listing_fault.h"
#include "extensions/listing_guard.h"
#include "support/temp_dir.h"

namespace prambus {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class LibraryJournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TempDir::Write(crashing_, "library one");
    TempDir::Write(good_, "library two");
  }
  // A run that starts listing `path` and ends there, as a fault would end it.
  void RunEndingIn(const std::string& path, bool tooSlow = false) const {
    const pid_t child = fork();
    if (child == 0) {
      auto* journal = new LibraryJournal(folder_);  // never destroyed
      journal->Begin(good_);
      journal->End();
      journal->Begin(path);
      if (tooSlow) journal->MarkTooSlow();
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
  }

  TempDir dir_;
  const std::string folder_ = dir_.File("library-faults");
  const std::string crashing_ = dir_.File("crashing.so"), good_ = dir_.File("good.so");
};

TEST_F(LibraryJournalTest, ALibraryThatEndedARunIsLeftOutUntilItsFileChanges) {
  RunEndingIn(crashing_);
  {
    LibraryJournal next(folder_);
    const std::vector<LeftOutLibrary> told = next.TakeOverEndedRuns();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].file, IdentifyLibrary(crashing_));
    EXPECT_EQ(told[0].fault, LibraryFault::kEndedTheRun);
    EXPECT_TRUE(next.IsLeftOut(crashing_));
    EXPECT_FALSE(next.IsLeftOut(good_));
    // A run that lists normally leaves no note behind.
    next.Begin(good_);
    next.End();
  }
  {
    // Told once; left out still.
    LibraryJournal later(folder_);
    EXPECT_TRUE(later.TakeOverEndedRuns().empty());
    EXPECT_TRUE(later.IsLeftOut(crashing_));
  }
  // A new file in its place is another library: it gets its chance, and the
  // list forgets the old one.
  fs::remove(crashing_);
  TempDir::Write(crashing_, "library one, mended");
  LibraryJournal mended(folder_);
  EXPECT_TRUE(mended.TakeOverEndedRuns().empty());
  EXPECT_FALSE(mended.IsLeftOut(crashing_));
  EXPECT_EQ(TempDir::Read(folder_ + "/left-out"), "");
}

TEST_F(LibraryJournalTest, TheNoteOfARunStillListingIsLeftAlone) {
  LibraryJournal running(folder_);
  running.Begin(crashing_);  // another copy, starting at this moment
  LibraryJournal starting(folder_);
  EXPECT_TRUE(starting.TakeOverEndedRuns().empty());
  EXPECT_FALSE(starting.IsLeftOut(crashing_));
  running.End();
}

TEST_F(LibraryJournalTest, ALibraryTooSlowToListIsToldAsSuch) {
  RunEndingIn(crashing_, true);
  LibraryJournal next(folder_);
  const std::vector<LeftOutLibrary> told = next.TakeOverEndedRuns();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].fault, LibraryFault::kTooSlow);
  EXPECT_EQ(LeftOutLibrariesNote(told, 5),
            "Библиотека «" + crashing_ +
                "» не ответила за 5 секунд, пока я её загружал, и запуск пришлось "
                "прервать.\n\nТеперь я её не загружаю, пока её файл не изменится. "
                "Чтобы убрать её совсем, удалите этот файл.");
}

TEST(LeftOutList, ReadsBackWhatItWroteAndStopsAtAnythingElse) {
  const std::vector<LeftOutLibrary> list = {
      {{"/a/b c\nd.so", 1, 2, 3, 4}, LibraryFault::kEndedTheRun},
      {{"/x.so", 18446744073709551615u, 0, 0, 1700000000123456789u}, LibraryFault::kTooSlow}};
  const std::string text = FormatLeftOut(list);
  EXPECT_EQ(ParseLeftOut(text), list);
  EXPECT_EQ(ParseLeftOut(text + "junk"), list);
  for (const std::string bad :
       {"ended 1 2 3 4 5:/a.so", "ended 01 2 3 4 4:/a.so\n", "ended 1 2 3 4 9:/a.so\n",
        "late 1 2 3 4 4:/a.so\n", "ended 1 2 3 18446744073709551616 4:/a.so\n",
        "ended -1 2 3 4 4:/a.so\n"})
    EXPECT_TRUE(ParseLeftOut(bad).empty()) << bad;
}

TEST(ListingGuard, EndsARunStuckInALibraryAndNotOneThatFinishes) {
  TempDir dir;
  const std::string library = dir.File("slow.so");
  TempDir::Write(library, "library");
  LibraryJournal journal(dir.File("faults"));
  std::atomic<int> calls{0};
  std::string reported;
  {
    ListingGuard guard(journal, 20ms, [&](const std::string& path, bool noted) {
      EXPECT_TRUE(noted);
      reported = path;
      ++calls;
    });
    guard.Begin(library);
    for (int i = 0; i < 500 && calls == 0; ++i) std::this_thread::sleep_for(10ms);
    guard.End();
  }
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(reported, library);
  {
    ListingGuard patient(journal, 10min, [&](const std::string&, bool) { ++calls; });
    patient.Begin(library);
    patient.End();
  }
  EXPECT_EQ(calls, 1);
}

// The real ending: the message names the library, and the run ends at once
// with its note saying "too slow".
TEST(ListingGuard, TheRealEndingTellsAndEndsTheRun) {
  TempDir dir;
  const std::string library = dir.File("slow.so");
  TempDir::Write(library, "library");
  const pid_t child = fork();
  if (child == 0) {
    auto* journal = new LibraryJournal(dir.File("faults"));
    auto* guard =
        new ListingGuard(*journal, 10ms, [](const std::string& path, bool) { EndSlowStart(path); });
    guard->Begin(library);
    for (;;) std::this_thread::sleep_for(1s);  // stuck inside the library
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 70);
  LibraryJournal next(dir.File("faults"));
  const std::vector<LeftOutLibrary> told = next.TakeOverEndedRuns();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].fault, LibraryFault::kTooSlow);
}

// The fresh start repeats the command line byte for byte and counts itself
// in the environment; past the count, or without a command line, none.
TEST(FreshStart, RepeatsTheCommandLineAndCountsFreshStarts) {
  std::string home = "HOME=/h", count = "PRAMBUS_FRESH_STARTS=1", near = "PRAMBUS_FRESH=x";
  char* environment[] = {home.data(), count.data(), near.data(), nullptr};
  const std::string line("prambus\0--\0-a b\nc\0\0", 19);
  const FreshStart fresh("/bin/prambus", line, environment);
  EXPECT_TRUE(fresh.Possible());
  EXPECT_EQ(fresh.Arguments(), (std::vector<std::string>{"prambus", "--", "-a b\nc", ""}));
  EXPECT_EQ(fresh.Environment(),
            (std::vector<std::string>{"HOME=/h", "PRAMBUS_FRESH=x", "PRAMBUS_FRESH_STARTS=2"}));
  std::string last = "PRAMBUS_FRESH_STARTS=" + std::to_string(kMaxFreshStarts);
  std::string odd = "PRAMBUS_FRESH_STARTS=12";
  for (std::string* e : {&last, &odd}) {
    char* counted[] = {e->data(), nullptr};
    EXPECT_FALSE(FreshStart("/bin/prambus", line, counted).Possible()) << *e;
  }
  EXPECT_FALSE(FreshStart("/bin/prambus", "", environment).Possible());
  EXPECT_FALSE(FreshStart("", line, environment).Possible());
}

// Replacing the run: the command line runs anew in the same process when the
// library was noted; otherwise the run ends as before.
TEST(FreshStart, ReplacesTheRunOnlyWhenTheLibraryWasNoted) {
  const auto run = [](bool noted) {
    const pid_t child = fork();
    if (child == 0) {
      char* none[] = {nullptr};
      const FreshStart fresh("/bin/sh", std::string("sh\0-c\0exit 42\0", 14), none);
      fresh.Replace("/lib/slow.so", noted);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(run(true), 42);
  EXPECT_EQ(run(false), 70);
}

// A fault while a library is loaded (its constructor runs in the loader,
// out of any guard's reach) starts the program afresh; a fault on another thread, while disarmed,
// or once fresh starts are used up ends the run by the signal, as without the handler.
TEST(ListingFaultRestart, MakesAFaultWhileLoadingAFreshStartAndNothingElse) {
  enum class Fault { kHere, kAbort, kDisarmed, kOtherThread, kNoFreshStart };
  const auto run = [](Fault fault) {
    const pid_t child = fork();
    if (child == 0) {
      std::string used = "PRAMBUS_FRESH_STARTS=" + std::to_string(kMaxFreshStarts);
      char* none[] = {nullptr};
      char* usedUp[] = {used.data(), nullptr};
      const FreshStart fresh("/bin/sh", std::string("sh\0-c\0exit 43\0", 14),
                             fault == Fault::kNoFreshStart ? usedUp : none);
      ListingFaultRestart restart(fresh);
      restart.Arm("/lib/faulty.so");
      if (fault == Fault::kDisarmed) restart.Disarm();
      if (fault == Fault::kOtherThread) {
        std::thread([] { raise(SIGSEGV); }).join();
      }
      if (fault == Fault::kAbort) abort();
      raise(SIGSEGV);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  };
  EXPECT_EQ(run(Fault::kHere), 43);
  EXPECT_EQ(run(Fault::kAbort), 43);
  EXPECT_EQ(run(Fault::kDisarmed), -SIGSEGV);
  EXPECT_EQ(run(Fault::kOtherThread), -SIGSEGV);
  EXPECT_EQ(run(Fault::kNoFreshStart), -SIGSEGV);
}

}  // namespace
}  // namespace prambus
