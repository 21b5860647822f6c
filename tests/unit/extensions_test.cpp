// The toolkit-free side of skins and plug-ins: hot-key texts, strings read
// from libraries, where libraries are looked for, the fault guard and the
// recovery copy written before a plug-in runs.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>

#include "extensions/extension_folders.h"
#include "extensions/extension_library.h"
#include "extensions/fault_guard.h"
#include "extensions/recovery_copy.h"
#include "extensions/virtual_keys.h"
#include "io/io_error.h"
#include "support/temp_dir.h"

namespace prambus {
namespace {

namespace fs = std::filesystem;

TEST(HotKeyText, ReadsModifiersInAnyOrderAndKeyNamesWithoutRegardToCase) {
  struct Case {
    const char* text;
    uint16_t vk;
    uint8_t state;
  };
  const Case cases[] = {
      {"Ctrl+F9", 0x78, kCtrlBit},
      {"shift+ctrl+a", 'A', kCtrlBit | kShiftBit},
      {"Alt + Shift + PgDn", 0x22, kAltBit | kShiftBit},
      {"Ctrl+Alt+Shift+Del", 0x2E, kCtrlBit | kAltBit | kShiftBit},
      {"F24", 0x87, 0},
      {"BkSp", 0x08, 0},
      {"Enter", 0x0D, 0},
      {"Return", 0x0D, 0},
      {"Escape", 0x1B, 0},
      {"Ctrl+7", '7', kCtrlBit},
      {"Num 5", 0x65, 0},
      {"Ctrl+Num +", 0x6B, kCtrlBit},
      {"Ctrl+-", 0xBD, kCtrlBit},
      {"Ctrl+\\", 0xDC, kCtrlBit},
      {"  End  ", 0x23, 0},
  };
  for (const Case& c : cases) {
    const std::optional<HotKey> key = ParseHotKey(c.text);
    ASSERT_TRUE(key) << c.text;
    EXPECT_EQ(key->virtualKey, c.vk) << c.text;
    EXPECT_EQ(key->shiftState, c.state) << c.text;
    EXPECT_EQ(ParseHotKey(HotKeyText(*key)), key) << c.text;  // the canonical text reads back
  }
  EXPECT_EQ(HotKeyText({0x78, kCtrlBit | kShiftBit}), "Ctrl+Shift+F9");
}

TEST(HotKeyText, RefusesWhatNamesNoSingleKey) {
  for (const char* text : {"", "Ctrl", "Ctrl+", "Ctrl+Ctrl+A", "Hyper+Q", "F0", "F25", "F01", "AB",
                           "Ctrl+F9+X", "Num 10", "+A", "Shift Alt+A"})
    EXPECT_FALSE(ParseHotKey(text)) << text;
}

TEST(HotKeyText, KeyFlagsOfTheKeyDownCallbackBecomeTheShiftState) {
  EXPECT_EQ(ShiftStateFromKeyFlags(0), 0);
  EXPECT_EQ(ShiftStateFromKeyFlags(1), kShiftBit);
  EXPECT_EQ(ShiftStateFromKeyFlags(2), kCtrlBit);
  EXPECT_EQ(ShiftStateFromKeyFlags(4), kAltBit);
  EXPECT_EQ(ShiftStateFromKeyFlags(7), kShiftBit | kCtrlBit | kAltBit);
  EXPECT_FALSE(ShiftStateFromKeyFlags(8));
  EXPECT_FALSE(ShiftStateFromKeyFlags(-1));
  EXPECT_TRUE(IsKnownVirtualKey(0x25));
  EXPECT_FALSE(IsKnownVirtualKey(0x07));
  EXPECT_FALSE(IsKnownVirtualKey(0x10000));
}

TEST(LibraryStrings, AreCutToTheirCharactersAndEndAtTheFirstNul) {
  EXPECT_EQ(CutUtf8("skindllX", 8), "skindll");  // 8 characters with the terminator
  EXPECT_EQ(CutUtf8("skin\0dll", 8), "skin");
  EXPECT_EQ(CutUtf8("Градиент", 4), "Гра");  // characters, not bytes
  EXPECT_EQ(CutUtf8("\xff\xfe"
                    "ab",
                    3),
            "\xff\xfe");                  // a malformed byte counts as one
  EXPECT_EQ(CutUtf8("\xd0", 5), "\xd0");  // a cut sequence too
  EXPECT_EQ(CutUtf8("", 1), "");
}

TEST(LibraryFolders, KeepAbsoluteFoldersOnceInSearchOrder) {
  TempDir a, b;
  const auto folders = ExtensionSearchFolders(a.path(), {"relative/lib"}, a.path() + "/.");
  EXPECT_EQ(folders, std::vector<std::string>{fs::canonical(a.path()).string()});
  EXPECT_EQ(ExtensionSearchFolders(a.path(), {b.path()}, "").size(), 2u);
}

// A library runs as whoever starts the program: it is listed only when no
// one but root and that user could have put it there or changed it.
TEST(LibraryFolders, ListOnlyLibrariesNoOtherUserCouldHavePlacedOrChanged) {
  TempDir root;
  const auto plant = [&](const std::string& folder, const std::string& name) {
    fs::create_directories(root.File(folder + "/plugins"));
    TempDir::Write(root.File(folder + "/plugins/" + name), "x");
    return root.File(folder);
  };
  const auto listed = [](const std::vector<std::string>& folders,
                         std::vector<RefusedLibrary>* refused = nullptr, uid_t user = geteuid()) {
    std::vector<std::string> where;
    for (const LibraryFile& f : ListLibraries(folders, "plugins", refused, user))
      where.push_back(f.absolutePath);
    return where;
  };
  const std::string own = plant("own", "a.so");
  EXPECT_EQ(listed({own}), std::vector<std::string>{own + "/plugins/a.so"});

  // The folder holding the libraries may not be writable by the group or by
  // everyone, sticky or not; the refused name does not hide a later one.
  const std::string group = plant("group", "a.so");
  fs::permissions(group + "/plugins", fs::perms::group_write, fs::perm_options::add);
  std::vector<RefusedLibrary> refused;
  EXPECT_EQ(listed({group, own}, &refused), std::vector<std::string>{own + "/plugins/a.so"});
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_EQ(refused[0].path, group + "/plugins/a.so");
  EXPECT_EQ(refused[0].why, "в «" + fs::canonical(group + "/plugins").string() +
                                "» могут писать другие пользователи");
  const std::string stickyHolder = plant("sticky", "s.so");
  fs::permissions(stickyHolder + "/plugins", fs::perms::all | fs::perms::sticky_bit);
  EXPECT_TRUE(listed({stickyHolder}).empty());

  // Nor may the file itself, nor a folder on the way unless it is sticky.
  const std::string file = plant("file", "f.so");
  fs::permissions(file + "/plugins/f.so", fs::perms::others_write, fs::perm_options::add);
  EXPECT_TRUE(listed({file}).empty());
  const std::string shared = root.File("shared");
  fs::create_directories(shared + "/inner/plugins");
  TempDir::Write(shared + "/inner/plugins/i.so", "x");
  fs::permissions(shared, fs::perms::all);
  EXPECT_TRUE(listed({shared + "/inner"}).empty());
  fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);  // as /tmp is
  EXPECT_EQ(listed({shared + "/inner"}), std::vector<std::string>{shared + "/inner/plugins/i.so"});

  // A link is judged by where it leads.
  const std::string links = plant("links", "plain.so");
  fs::permissions(shared + "/inner/plugins/i.so", fs::perms::others_write, fs::perm_options::add);
  fs::create_symlink(shared + "/inner/plugins/i.so", links + "/plugins/to_open.so");
  refused.clear();
  EXPECT_EQ(listed({links}, &refused), std::vector<std::string>{links + "/plugins/plain.so"});
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_EQ(refused[0].path, links + "/plugins/to_open.so");

  // Another owner: as root, the folder given away; as anyone else, the
  // files judged for another user.
  const std::string foreign = plant("foreign", "o.so");
  uid_t judgedFor = geteuid();
  if (geteuid() == 0)
    ASSERT_EQ(chown((foreign + "/plugins").c_str(), 4242, 4242), 0);
  else
    judgedFor = geteuid() + 1;
  refused.clear();
  EXPECT_TRUE(listed({foreign}, &refused, judgedFor).empty());
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_NE(refused[0].why.find("принадлежит другому пользователю"), std::string::npos);

  const std::string note = RefusedLibrariesNote(
      std::vector<RefusedLibrary>(12, RefusedLibrary{"/x/plugins/a.so", "w"}), 10);
  EXPECT_NE(note.find("/x/plugins/a.so: w."), std::string::npos);
  EXPECT_NE(note.find("…и ещё 2."), std::string::npos);
}

TEST(LibraryFolders, ListSharedLibrariesByNameAndTheFirstFolderWins) {
  TempDir first, second;
  fs::create_directories(first.File("plugins"));
  fs::create_directories(second.File("plugins/dir.so"));
  for (const char* name : {"b.so", "a.so", "notes.txt", "c.so.1"})
    TempDir::Write(first.File("plugins/") + name, "x");
  TempDir::Write(second.File("plugins/a.so"), "y");
  TempDir::Write(second.File("plugins/z.so"), "y");
  fs::create_symlink(second.File("plugins/z.so"), second.File("plugins/link.so"));
  fs::create_symlink(second.File("missing"), second.File("plugins/dangling.so"));
  const std::vector<LibraryFile> found =
      ListLibraries({first.path(), second.path(), first.File("nowhere")}, "plugins");
  std::vector<std::string> stored, where;
  for (const LibraryFile& f : found) {
    stored.push_back(f.storedPath);
    where.push_back(f.absolutePath);
  }
  EXPECT_EQ(stored, (std::vector<std::string>{"plugins/a.so", "plugins/b.so", "plugins/link.so",
                                              "plugins/z.so"}));
  EXPECT_EQ(where[0], first.File("plugins/a.so"));
  EXPECT_EQ(where[2], second.File("plugins/link.so"));
  EXPECT_TRUE(ListLibraries({first.path()}, "skins").empty());
}

TEST(ExtensionLibrary, RefusesRelativePathsAndFilesThatAreNoLibrary) {
  TempDir dir;
  TempDir::Write(dir.File("fake.so"), "not a library");
  EXPECT_FALSE(ExtensionLibrary::Load("fake.so"));
  EXPECT_FALSE(ExtensionLibrary::Load(dir.File("fake.so")));
  EXPECT_FALSE(ExtensionLibrary::Load(dir.File("missing.so")));
}

// A page that faults on any access; the sanitizers see nothing wrong in the
// pointer itself.
volatile int* FaultingAddress() {
  static void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return static_cast<volatile int*>(page);
}

// Recurses until the stack runs out (the limit is only there to keep the
// compiler from calling the recursion endless).
int Recurse(int depth, int limit) {
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  return depth >= limit ? 0 : Recurse(depth + 1, limit) + frame[0];
}

TEST(FaultGuard, ReturnsControlAfterAFaultAndNests) {
  int reached = 0;
  EXPECT_TRUE(RunGuarded([&] { reached = 1; }));
  EXPECT_EQ(reached, 1);
  EXPECT_FALSE(RunGuarded([&] {
    *FaultingAddress() = 1;
    reached = 2;
  }));
  EXPECT_EQ(reached, 1);
  EXPECT_EQ(LastGuardedFault(), SIGSEGV);
  EXPECT_FALSE(RunGuarded([] { raise(SIGFPE); }));
  EXPECT_EQ(LastGuardedFault(), SIGFPE);

  // An inner guard catches its own fault; the outer call goes on.
  bool inner = true;
  EXPECT_TRUE(RunGuarded([&] {
    inner = RunGuarded([] { *FaultingAddress() = 1; });
    reached = 3;
  }));
  EXPECT_FALSE(inner);
  EXPECT_EQ(reached, 3);

  // Outside a guard the handlers are the ones there were before.
  struct sigaction now {};
  sigaction(SIGSEGV, nullptr, &now);
  struct sigaction before {};
  RunGuarded([&] {});
  sigaction(SIGSEGV, nullptr, &before);
  EXPECT_EQ(now.sa_sigaction, before.sa_sigaction);
}

TEST(FaultGuard, SurvivesAStackOverflow) {
  EXPECT_FALSE(RunGuarded([] { Recurse(0, 1 << 30); }));
  EXPECT_TRUE(RunGuarded([] {}));
}

TEST(RecoveryManifest, ReadsBackWhatItWroteAndNothingElse) {
  RecoveryManifest m;
  m.documentPath = std::string("/home/u/odd\nname\xff.txt");
  m.pluginCaption = "Сортировать строки";
  m.viewKind = 2;
  m.encodingIndex = 3;
  m.cursor = 123456789012;
  const std::string text = FormatRecoveryManifest(m);
  EXPECT_EQ(ParseRecoveryManifest(text), m);
  EXPECT_EQ(ParseRecoveryManifest(FormatRecoveryManifest({})), RecoveryManifest{});
  // An earlier version wrote no cursor: its copies read with the cursor at the start.
  const size_t cursorAt = text.find("cursor ");
  RecoveryManifest earlier = m;
  earlier.cursor = 0;
  EXPECT_EQ(ParseRecoveryManifest(text.substr(0, cursorAt)), earlier);
  for (size_t cut = 0; cut < text.size(); ++cut) {
    if (cut == cursorAt) continue;
    EXPECT_FALSE(ParseRecoveryManifest(text.substr(0, cut))) << cut;
  }
  EXPECT_FALSE(ParseRecoveryManifest(text + "x"));
  EXPECT_FALSE(ParseRecoveryManifest(text + "cursor 1\n"));
  std::string badKind = text;
  badKind.replace(badKind.find("kind 2"), 6, "kind 3");
  EXPECT_FALSE(ParseRecoveryManifest(badKind));
  for (const char* odd : {"kind 02", "kind -2", "kind +2", "kind  2"}) {
    std::string spelled = text;
    spelled.replace(spelled.find("kind 2"), 6, odd);
    EXPECT_FALSE(ParseRecoveryManifest(spelled)) << odd;  // only what writing gives
  }
  std::string longer = text;
  longer.replace(longer.find("plugin 35"), 9, "plugin 99");
  EXPECT_FALSE(ParseRecoveryManifest(longer));
}

// The document's side of a recovery copy: writes `text` to the descriptor.
std::function<void(int)> Writing(std::string text) {
  return [text](int fd) { ASSERT_EQ(::write(fd, text.data(), text.size()), ssize_t(text.size())); };
}

TEST(RecoveryCopy, IsLockedWhileTheProgramRunsAndGoesWhenItEnds) {
  TempDir dir;
  const std::string folder = dir.File("recovery");
  RecoveryManifest m{"/tmp/doc.txt", "Плагин", 1, 0};
  {
    RecoveryCopy copy;
    ASSERT_TRUE(copy.Write(folder, m, Writing("text")));
    EXPECT_TRUE(copy.Present());
    EXPECT_EQ(TempDir::Read(copy.ContentPath()), "text");
    // The document may be private: only its user reads the copy.
    EXPECT_EQ(fs::status(copy.ContentPath()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
    EXPECT_TRUE(FindOrphanCopies(folder).empty());  // this program holds it
    ASSERT_TRUE(copy.Write(folder, m, Writing("newer")));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
  }
  EXPECT_TRUE(fs::is_empty(folder));

  RecoveryCopy failed;
  EXPECT_FALSE(failed.Write(folder, m, [](int fd) {
    Writing("half")(fd);
    throw std::runtime_error("disk full");
  }));
  EXPECT_FALSE(failed.Present());
  EXPECT_TRUE(fs::is_empty(folder));
}

// A copy that cannot be written says why, in the system's terms.
TEST(RecoveryCopy, AFailedCopyKeepsTheSystemsReason) {
  TempDir dir;
  const RecoveryManifest m{"/tmp/doc.txt", "", 1, 0};
  EXPECT_EQ(WriteCopyFiles(dir.File("recovery"), m, Writing("text")).error, 0);
  TempDir::Write(dir.File("plain"), "a file");
  EXPECT_EQ(WriteCopyFiles(dir.File("plain/recovery"), m, Writing("text")).error, ENOTDIR);
  EXPECT_EQ(WriteCopyFiles(dir.File("plain"), m, Writing("text")).error, ENOTDIR);
  const std::string folder = dir.File("full");
  auto failing = [](int err) {
    return [err](int) { throw IoError::FromErrno("cannot write", err); };
  };
  WrittenCopy full = WriteCopyFiles(folder, m, failing(ENOSPC));
  EXPECT_FALSE(full);
  EXPECT_EQ(full.error, ENOSPC);
  EXPECT_EQ(WriteCopyFiles(folder, m, failing(0)).error, EIO);  // a failure without a number
  EXPECT_EQ(WriteCopyFiles(folder, m, [](int) { throw std::bad_alloc(); }).error, ENOMEM);
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST(RecoveryCopy, ACopyLeftByAProgramThatDiedIsFoundAndCanBeDiscarded) {
  TempDir dir;
  const std::string folder = dir.File("recovery");
  const pid_t child = fork();
  if (child == 0) {
    auto* copy = new RecoveryCopy;  // never destroyed: the program "crashes"
    const bool ok = copy->Write(folder, {"/tmp/doc.txt", "Падающий", 2, 1}, Writing("unsaved"));
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  TempDir::Write(folder + "/junk.recovery", "not a manifest");
  const std::vector<OrphanCopy> found = FindOrphanCopies(folder);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].manifest, (RecoveryManifest{"/tmp/doc.txt", "Падающий", 2, 1}));
  EXPECT_EQ(TempDir::Read(found[0].contentPath), "unsaved");
  DiscardOrphanCopy(found[0]);
  EXPECT_TRUE(FindOrphanCopies(folder).empty());
  EXPECT_TRUE(fs::exists(folder + "/junk.recovery"));  // not ours to delete
}

// A program killed while it wrote a copy leaves a part, or a document
// without its manifest: nothing to offer, so the next start clears them once
// their writer is gone and they have lain long enough; anything else stays.
TEST(RecoveryCopy, WhatAKilledWriterLeftHalfDoneIsClearedWhenItIsOld) {
  TempDir dir;
  const std::string folder = dir.File("recovery");
  ASSERT_TRUE(fs::create_directory(folder));
  fs::permissions(folder, fs::perms::owner_all);
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const std::string deadBase = folder + "/prambus-" + std::to_string(gone) + "-0123456789abcdef";
  const std::string liveBase =
      folder + "/prambus-" + std::to_string(::getpid()) + "-fedcba9876543210";
  const std::vector<std::string> stray = {deadBase + ".document.part", deadBase + ".recovery.part"};
  const std::vector<std::string> kept = {
      liveBase + ".document.part",                           // its writer still runs
      folder + "/prambus-x-0123456789abcdef.document.part",  // not a name we make
      folder + "/notes.document.part", folder + "/junk.recovery"};
  for (const std::string& path : stray) TempDir::Write(path, "half");
  for (const std::string& path : kept) TempDir::Write(path, "half");
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (const auto& entry : fs::directory_iterator(folder)) fs::last_write_time(entry, old);

  // A fresh part may belong to a writer on another machine sharing the folder.
  const std::string fresh = deadBase.substr(0, deadBase.size() - 1) + "e.document.part";
  TempDir::Write(fresh, "half");
  FindOrphanCopies(folder);
  for (const std::string& path : stray) EXPECT_FALSE(fs::exists(path)) << path;
  for (const std::string& path : kept) EXPECT_TRUE(fs::exists(path)) << path;
  EXPECT_TRUE(fs::exists(fresh));

  // A document whose manifest never got its name goes; a whole copy stays.
  TempDir::Write(deadBase + ".document", "unnamed");
  const pid_t child = fork();
  if (child == 0) {
    auto* copy = new RecoveryCopy;  // never destroyed: the program "crashes"
    _exit(copy->Write(folder, {"/tmp/doc.txt", "", 1, 0}, Writing("whole")) ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  for (const auto& entry : fs::directory_iterator(folder)) fs::last_write_time(entry, old);
  const std::vector<OrphanCopy> found = FindOrphanCopies(folder);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(TempDir::Read(found[0].contentPath), "whole");
  EXPECT_FALSE(fs::exists(deadBase + ".document"));
}

// Two starts at once: each copy is offered by one of them only, so the
// second never tries to open a copy the first has taken.
TEST(RecoveryCopy, ACopyIsOfferedByOneStartAtATime) {
  TempDir dir;
  const std::string folder = dir.File("recovery");
  const pid_t child = fork();
  if (child == 0) {
    auto* copy = new RecoveryCopy;  // never destroyed: the program "crashes"
    _exit(copy->Write(folder, {"/tmp/doc.txt", "Падающий", 1, 0}, Writing("unsaved")) ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  auto foundByAnother = [&] {
    const pid_t other = fork();
    if (other == 0) _exit(static_cast<int>(FindOrphanCopies(folder).size()));
    int found = 0;
    waitpid(other, &found, 0);
    return WEXITSTATUS(found);
  };
  {
    const std::vector<OrphanCopy> offered = FindOrphanCopies(folder);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(foundByAnother(), 0);
    EXPECT_TRUE(FindOrphanCopies(folder).empty());
  }
  // Let go unanswered ("Позже"): the next start offers it again.
  EXPECT_EQ(foundByAnother(), 1);
  // Opened and removed by one start: another that had already opened its
  // description before the removal finds it gone once it may lock it.
  std::vector<OrphanCopy> offered = FindOrphanCopies(folder);
  ASSERT_EQ(offered.size(), 1u);
  DiscardOrphanCopy(offered[0]);
  EXPECT_TRUE(FindOrphanCopies(folder).empty());
}

// A copy restored into the window stays on disk, held by the program, until
// the document is saved or given up; a program that ends without a word on
// it (killed, the session's end) leaves it to be offered again.
TEST(RecoveryCopy, ARestoredCopyIsHeldUntilItGoesOrIsLeftForTheNextStart) {
  TempDir dir;
  const std::string folder = dir.File("recovery");
  const RecoveryManifest m{"/tmp/doc.txt", "", 1, 0, 4};
  {
    RecoveryCopy left;
    ASSERT_TRUE(left.Write(folder, m, Writing("unsaved")));
    left.Release();  // the program ends at its session's end
  }
  std::vector<OrphanCopy> found = FindOrphanCopies(folder);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].manifest, m);
  RecoveryCopy restored;
  ASSERT_TRUE(restored.Adopt(found[0]));
  found.clear();  // the offer is over: the window's hold goes on
  EXPECT_TRUE(FindOrphanCopies(folder).empty());
  // A newer copy of the document takes its place, and the old files go.
  const std::string adoptedPath = restored.ContentPath();
  ASSERT_TRUE(restored.Write(folder, m, Writing("newer")));
  EXPECT_FALSE(fs::exists(adoptedPath));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
  // A newer copy that cannot be written keeps the one there is.
  EXPECT_FALSE(restored.Write(folder, m, [](int) { throw std::runtime_error("disk full"); }));
  EXPECT_EQ(TempDir::Read(restored.ContentPath()), "newer");
  restored.Remove();  // saved
  EXPECT_TRUE(fs::is_empty(folder));
}

// A copy written on another thread is no one's until it is taken over:
// then it replaces the copy held; otherwise it is thrown away whole.
TEST(RecoveryCopy, AWrittenCopyIsTakenOverOrDiscarded) {
  TempDir dir;
  const std::string folder = dir.File("recovery");
  const RecoveryManifest m{"/tmp/doc.txt", "", 2, 0, 0};
  RecoveryCopy held;
  ASSERT_TRUE(held.Write(folder, m, Writing("old")));
  WrittenCopy fresh = WriteCopyFiles(folder, m, Writing("fresh"));
  ASSERT_TRUE(fresh);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 4);
  held.Replace(std::move(fresh));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
  EXPECT_EQ(TempDir::Read(held.ContentPath()), "fresh");
  WrittenCopy stale = WriteCopyFiles(folder, m, Writing("stale"));
  DiscardWrittenCopy(stale);
  EXPECT_FALSE(stale);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace prambus
