// The recovery copies left behind are read safely and listed sanely: a FIFO
// or someone else's file in the folder is never waited on or offered, and a
// hostile description cannot blow the list up.
#include "shell/recovery_list.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/file_system.h"
#include "support/temp_dir.h"

namespace prambus {
namespace {

namespace fs = std::filesystem;

// Leaves a copy as a program that died would: a manifest and its document.
void LeaveCopy(const std::string& folder, const std::string& base, const RecoveryManifest& m,
               const std::string& content) {
  TempDir::Write(folder + "/" + base + ".recovery", FormatRecoveryManifest(m));
  TempDir::Write(folder + "/" + base + ".document", content);
}

TEST(RecoveryList, ACopyIsDescribedInTextsOfASaneLength) {
  OrphanCopy copy;
  copy.manifest = {"/home/u/письма/отчёт.txt", "Сортировка строк", 1, 0};
  copy.contentSize = 1234567;
  copy.savedAt = 0;
  const RecoveryListRow row = DescribeOrphanCopy(copy);
  EXPECT_EQ(row.document, "отчёт.txt");
  EXPECT_EQ(row.path, "/home/u/письма/отчёт.txt");
  EXPECT_EQ(row.size, "1\u00A0234\u00A0567\u00A0байт");
  EXPECT_EQ(row.reason, "перед запуском плагина «Сортировка строк»");
  copy.manifest.pluginCaption.clear();  // written while the user typed
  EXPECT_EQ(DescribeOrphanCopy(copy).reason, "несохранённые изменения");
  EXPECT_EQ(row.savedAt.size(), 16u);  // "01.01.1970 03:00" in the machine's zone
  EXPECT_EQ(ByteCountText(0), "0\u00A0байт");
  EXPECT_EQ(ByteCountText(999), "999\u00A0байт");
  EXPECT_EQ(ByteCountText(1000), "1\u00A0000\u00A0байт");

  // A 60 KB caption of Cyrillic letters, line breaks and a cut sequence.
  std::string hostile;
  for (int i = 0; i < 20000; ++i) hostile += "ж\n";
  copy.manifest.pluginCaption = hostile + "\xD0";
  copy.manifest.documentPath.clear();
  const RecoveryListRow cut = DescribeOrphanCopy(copy);
  EXPECT_EQ(cut.document, "Безымянный.txt");
  EXPECT_EQ(cut.reason, "перед запуском плагина «" + CutForDisplay(hostile, kMaxRowChars) + "»");
  EXPECT_LT(cut.reason.size(), 300u);
}

TEST(RecoveryList, TheQuestionBeforeDiscardingCountsTheCopies) {
  const std::string tail =
      "? Несохранённые изменения, может быть, есть только в них, и вернуть "
      "их после удаления я не смогу.";
  EXPECT_EQ(RecoveryDiscardQuestion(1),
            "Удалить копию документа? Несохранённые изменения, может быть, есть только в ней, и "
            "вернуть её после удаления я не смогу.");
  EXPECT_EQ(RecoveryDiscardQuestion(2), "Удалить 2\u00A0копии" + tail);
  EXPECT_EQ(RecoveryDiscardQuestion(5), "Удалить 5\u00A0копий" + tail);
  EXPECT_EQ(RecoveryDiscardQuestion(11), "Удалить 11\u00A0копий" + tail);
  EXPECT_EQ(RecoveryDiscardQuestion(21), "Удалить 21\u00A0копию" + tail);
  EXPECT_EQ(RecoveryDiscardQuestion(104), "Удалить 104\u00A0копии" + tail);
  EXPECT_EQ(RecoveryDiscardQuestion(112), "Удалить 112\u00A0копий" + tail);
}

TEST(RecoveryList, CuttingKeepsWholeCharactersAndShowsControlCodesAsSpaces) {
  EXPECT_EQ(CutForDisplay("short", 10), "short");
  EXPECT_EQ(CutForDisplay("exactly10!", 10), "exactly10!");
  EXPECT_EQ(CutForDisplay("eleven chars", 10), "eleven ch…");
  EXPECT_EQ(CutForDisplay("ёжикиёжики и", 10), "ёжикиёжик…");
  // Characters of three and four bytes count one each.
  EXPECT_EQ(CutForDisplay("€1€2𝄞3𝄞4", 6), "€1€2𝄞…");
  EXPECT_EQ(CutForDisplay("€𝄞", 2), "€𝄞");
  EXPECT_EQ(CutForDisplay("a\tb\r\nc\x7F", 10), "a b  c ");
  EXPECT_EQ(CutForDisplay("\x1F \x20", 10), "   ");  // the last control code and a blank
  // A byte that starts no character counts as one and stays.
  EXPECT_EQ(CutForDisplay("\xFF\xD0", 10), "\xFF\xD0");
  EXPECT_EQ(CutForDisplay("a\x80"
                          "bcd",
                          3),
            "a\x80…");  // a stray continuation byte is a character of its own
  EXPECT_EQ(CutForDisplay("ab", 0), "…");
}

TEST(RecoveryList, AFifoOrAnotherUsersFileIsNeitherWaitedOnNorOffered) {
  TempDir dir;
  const std::string folder = dir.File("recovery");
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  const RecoveryManifest m{"/tmp/doc.txt", "Плагин", 1, 0};
  ASSERT_EQ(::mkfifo((folder + "/fifo.recovery").c_str(), 0600), 0);
  LeaveCopy(folder, "mine", m, "unsaved");
  LeaveCopy(folder, "fifo-document", m, "");
  ::unlink((folder + "/fifo-document.document").c_str());
  ASSERT_EQ(::mkfifo((folder + "/fifo-document.document").c_str(), 0600), 0);
  const auto nobody = Nobody();
  if (nobody) {
    LeaveCopy(folder, "theirs", m, "planted");
    ::chown((folder + "/theirs.recovery").c_str(), nobody->uid, nobody->gid);
    LeaveCopy(folder, "their-document", m, "planted");
    ::chown((folder + "/their-document.document").c_str(), nobody->uid, nobody->gid);
  }
  // Looked for in a child, so that a wait on the FIFO fails the test
  // instead of hanging it.
  const pid_t child = ::fork();
  if (child == 0) {
    const std::vector<OrphanCopy> found = FindOrphanCopies(folder);
    ::_exit(found.size() == 1 && found[0].contentPath == folder + "/mine.document" ? 0 : 1);
  }
  int status = -1;
  for (int waited = 0; waited < 100 && ::waitpid(child, &status, WNOHANG) == 0; ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (status == -1) {
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    FAIL() << "the search for copies waited on a FIFO";
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const std::vector<OrphanCopy> found = FindOrphanCopies(folder);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].contentSize, 7);
}

TEST(RecoveryList, OnlyAFolderOfTheUsersOwnIsSearched) {
  TempDir dir;
  const std::string folder = dir.File("recovery");
  ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
  ::chmod(folder.c_str(), 0777);
  LeaveCopy(folder, "a", {"/tmp/doc.txt", "Плагин", 1, 0}, "unsaved");
  // An own folder open to others is closed, then searched.
  EXPECT_EQ(FindOrphanCopies(folder).size(), 1u);
  EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
  // Another user's folder is not, nor one reached through a link.
  ASSERT_EQ(::symlink(folder.c_str(), dir.File("link").c_str()), 0);
  EXPECT_TRUE(FindOrphanCopies(dir.File("link")).empty());
  const auto nobody = Nobody();
  if (!nobody) GTEST_SKIP() << "needs root and the user nobody to own the folder";
  ASSERT_EQ(::chown(folder.c_str(), nobody->uid, nobody->gid), 0);
  EXPECT_TRUE(FindOrphanCopies(folder).empty());
  // Nor is a copy written there.
  RecoveryCopy copy;
  EXPECT_FALSE(copy.Write(folder, {}, [](int) {}));
}

}  // namespace
}  // namespace prambus
