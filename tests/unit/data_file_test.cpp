// data.dat: the round trip of every field, older and truncated files, corrupt
// counts, pinned counts, LineEnd, and the window restore rules.
#include "settings/data_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "support/temp_dir.h"

namespace prambus {
namespace {

class DataFileTest : public ::testing::Test {
 protected:
  std::string Contents() const { return TempDir::Read(path_); }
  void Put(const std::string& bytes) const { TempDir::Write(path_, bytes); }

  static StoredState Sample() {
    StoredState st;
    st.defaults.left = 10, st.defaults.top = 20, st.defaults.width = 700, st.defaults.height = 400;
    st.defaults.windowState = 2;
    st.defaults.minimalMode = true;
    st.defaults.viewKind = 2;
    st.defaults.checks = {true, false, true};
    st.defaults.background = 0x123456;
    st.defaults.encodingIndex = 3;
    st.defaults.statusBar = false;
    st.surfaceFont.name = "DejaVu Sans Mono";
    st.surfaceFont.height = -18;
    st.surfaceFont.style = kStyleItalic;
    st.bindings = {{".txt", 0}, {".hex", 1}};
    WindowAppearance a;
    a.path = "/home/u/a.txt";
    a.windowState = 1;
    a.skin = "skins/blue.so";  // a skin: no colour follows
    a.checks = {false};
    a.encodingIndex = 1;
    WindowAppearance b;
    b.path = "/home/u/Файл б.bin";
    b.viewKind = 2;
    b.background = 0xABCDEF;  // no skin: the colour follows
    b.statusBar = false;
    st.pinned = {a, b};
    st.recent = {{"/x/one.txt", 3, 7, 1, "koi8-r"}, {"/x/two.bin", 0, 2, 2, {}}, {}, {}, {}};
    st.encodings = {{"/enc/koi8.enc", "KOI8"}};
    st.kindChecks = {std::vector<bool>{true, false, false, true, false, false, false},
                     std::vector<bool>{true}};
    return st;
  }
  static Settings SampleSettings() {
    Settings s;
    s.MaxUndoLen = 1234;
    s.OtstupX = -5;
    s.TextFont = "Arial";
    s.TextStyle = 1 | 8;
    s.ShagSaved = 777;
    s.LineEnd = "\r\n";
    s.HexColumns = 33;
    s.CodeInfo = {true, true, true, true, false, false, false, false};
    s.TextBaseSyst = 8;
    s.DataWindowLeft = 5;
    s.CutOnCtrlDel = true;
    s.ReloadChangedFiles = true;
    s.DetectEncoding = false;
    s.MinimalModeWarning = false;
    s.ChosenFonClr = 0x00FF00;
    s.LineWidth = 0.5;
    return s;
  }

  TempDir temp_;
  std::string dir_ = temp_.path(), path_ = temp_.File("data.dat");
};

TEST_F(DataFileTest, EveryFieldRoundTrips) {
  const StoredState st = Sample();
  const Settings s = SampleSettings();
  ASSERT_TRUE(WriteDataFile(path_, st, s));
  StoredState back;
  Settings sb;
  ASSERT_TRUE(ReadDataFile(path_, back, sb));
  EXPECT_EQ(back, st);
  EXPECT_EQ(sb.MaxUndoLen, 1234);
  EXPECT_EQ(sb.OtstupX, -5);
  EXPECT_EQ(sb.TextFont, "Arial");
  EXPECT_EQ(sb.TextStyle, 9);
  EXPECT_EQ(sb.Shag, 777);  // the saved copy becomes the copy in effect
  EXPECT_EQ(sb.ShagSaved, 777);
  EXPECT_EQ(sb.LineEnd, "\r\n");
  EXPECT_EQ(sb.HexColumns, 33);
  EXPECT_EQ(sb.CodeInfo, s.CodeInfo);
  EXPECT_EQ(sb.TextBaseSyst, 8);
  EXPECT_EQ(sb.DataWindowLeft, 5);
  EXPECT_TRUE(sb.CutOnCtrlDel);
  EXPECT_TRUE(sb.ReloadChangedFiles);
  EXPECT_FALSE(sb.DetectEncoding);
  EXPECT_FALSE(sb.MinimalModeWarning);
  EXPECT_EQ(sb.ChosenFonClr, 0x00FF00u);
  EXPECT_EQ(sb.LineWidth, 0.5);
  // Writing what was read gives the same bytes.
  const std::string first = Contents();
  ASSERT_TRUE(WriteDataFile(path_, back, sb));
  EXPECT_EQ(Contents(), first);
}

// Bold, italic, underline and strike-out are stored one by one: each comes
// back alone, without any other.
TEST_F(DataFileTest, EachTextStyleComesBackAlone) {
  for (int style : {0, 1, 2, 4, 8, 15}) {
    Settings s = SampleSettings();
    s.TextStyle = style;
    ASSERT_TRUE(WriteDataFile(path_, Sample(), s));
    StoredState back;
    Settings sb;
    ASSERT_TRUE(ReadDataFile(path_, back, sb));
    EXPECT_EQ(sb.TextStyle, style);
  }
}

// Names are stored as the bytes the system holds, whatever they are.
TEST_F(DataFileTest, RecentAndPinnedNamesKeepEveryByte) {
  StoredState st = Sample();
  const std::string names[] = {"/d/bad\xff\xfe.txt", "/d/caf\xe9.txt", "/d\x01/\xd0\n\x80"};
  st.recent[0].path = names[0];
  st.recent[1].path = names[1];
  st.pinned[0].path = names[2];
  st.pinned[1].path = names[0];
  ASSERT_TRUE(WriteDataFile(path_, st, SampleSettings()));
  StoredState back;
  Settings sb;
  ASSERT_TRUE(ReadDataFile(path_, back, sb));
  EXPECT_EQ(back.recent[0].path, names[0]);
  EXPECT_EQ(back.recent[1].path, names[1]);
  EXPECT_EQ(back.pinned[0].path, names[2]);
  EXPECT_EQ(back, st);
}

TEST_F(DataFileTest, FilesEndingAfterAnyGroupLoadWithDefaultsForTheRest) {
  ASSERT_TRUE(WriteDataFile(path_, Sample(), SampleSettings()));
  const std::string full = Contents();
  for (size_t cut = 0; cut < full.size(); ++cut) {
    Put(full.substr(0, cut));
    StoredState st;
    Settings s;
    ASSERT_TRUE(ReadDataFile(path_, st, s)) << cut;
    EXPECT_EQ(static_cast<int>(st.recent.size()), s.MaxRecentListLen) << cut;
    EXPECT_TRUE(s.LineEnd == "\r" || s.LineEnd == "\n" || s.LineEnd == "\r\n") << cut;
  }
  // A file that stops after the pinned records keeps every setting's default.
  StoredState st;
  Settings s;
  Put(full.substr(0, full.find("Arial") - 4 - 4 * 8 - 1 - 4 * 8 - 12));
  ASSERT_TRUE(ReadDataFile(path_, st, s));
  EXPECT_EQ(st.pinned.size(), 2u);
  EXPECT_EQ(s.MaxUndoLen, Settings{}.MaxUndoLen);
  EXPECT_EQ(s.TextFont, Settings{}.TextFont);
  EXPECT_EQ(st.recent.size(), 5u);
  EXPECT_EQ(st.recent[0].path, "");
}

TEST_F(DataFileTest, APinnedCountTheFileCannotHoldIgnoresTheRest) {
  StoredState st = Sample();
  st.pinned.clear();
  ASSERT_TRUE(WriteDataFile(path_, st, SampleSettings()));
  std::string bytes = Contents();
  // The pinned count follows the two bindings: patch it to 101.
  const size_t at = bytes.find(".hex") + 4 + 1;
  bytes.replace(at, 4, std::string("\0\0\0\x65", 4));
  Put(bytes);
  StoredState back;
  Settings s;
  ASSERT_TRUE(ReadDataFile(path_, back, s));
  EXPECT_TRUE(back.pinned.empty());
  EXPECT_EQ(back.bindings.size(), 2u);
  EXPECT_EQ(s.MaxUndoLen, Settings{}.MaxUndoLen);
  EXPECT_EQ(s.HexColumns, 16);
}

// A count over 100 is believed while the bytes after it could hold that
// many records of the smallest size (36 bytes): 90 records of 40 bytes and
// 36 more bytes hold 101, one byte less does not.
TEST_F(DataFileTest, ALongPinnedCountIsBelievedWhileTheFileCouldHoldIt) {
  StoredState st = Sample();
  st.pinned.assign(90, WindowAppearance{});
  ASSERT_TRUE(WriteDataFile(path_, st, SampleSettings()));
  const std::string written = Contents();
  const size_t at = written.find(".hex") + 4 + 1;
  ASSERT_EQ(written.substr(at, 4), std::string("\0\0\0\x5A", 4));
  for (const size_t rest : {size_t{36}, size_t{35}}) {
    Put(written.substr(0, at) + std::string("\0\0\0\x65", 4) + written.substr(at + 4, 90 * 40) +
        std::string(rest, '\0'));  // zeros: a record cut before its colour
    StoredState back;
    Settings s;
    ReadDataFile(path_, back, s);
    EXPECT_EQ(back.pinned.size(), rest == 36 ? 90u : 0u) << rest;
  }
}

// A negative count means an empty list: nothing of it follows, the bytes
// after it are in step, and everything later is read. Only bytes that
// cannot be read at all stop the reading, and the reader says so.
TEST_F(DataFileTest, ANegativeCountIsAnEmptyListAndTheRestIsRead) {
  const StoredState st = Sample();
  ASSERT_TRUE(WriteDataFile(path_, st, SampleSettings()));
  std::string bytes = Contents();
  // The first pinned record's check list: one item after its view kind.
  const size_t at = bytes.find("/home/u/a.txt") + 13 + 16 + 1 + 3 + 4;
  ASSERT_EQ(bytes.substr(at, 5), std::string("\0\0\0\1\0", 5));
  bytes.replace(at, 5, "\xFF\xFF\xFF\xFF");  // -1, and its one item gone
  Put(bytes);
  StoredState back;
  Settings s;
  bool damaged = true;
  ASSERT_TRUE(ReadDataFile(path_, back, s, &damaged));
  EXPECT_FALSE(damaged);
  ASSERT_EQ(back.pinned.size(), 2u);
  EXPECT_TRUE(back.pinned[0].checks.empty());
  EXPECT_EQ(back.pinned[1], st.pinned[1]);
  EXPECT_EQ(back.recent, st.recent);
  EXPECT_EQ(s.MaxUndoLen, 1234);
  EXPECT_TRUE(s.CutOnCtrlDel);
  // A negative pinned count, string length or binding count likewise.
  bytes = Contents();
  const size_t bindings = bytes.find(".txt") - 4 - 4;
  bytes.replace(bindings, 4 + 4 + 4 + 1 + 4 + 4 + 1, std::string("\x80\0\0\0", 4));
  Put(bytes);
  ASSERT_TRUE(ReadDataFile(path_, back, s, &damaged));
  EXPECT_FALSE(damaged);
  EXPECT_TRUE(back.bindings.empty());
  EXPECT_EQ(back.pinned.size(), 2u);
  EXPECT_EQ(back.recent, st.recent);

  // Cut inside a field: what could not be read is told.
  ASSERT_TRUE(WriteDataFile(path_, st, SampleSettings()));
  const std::string full = Contents();
  Put(full.substr(0, full.find("/x/one.txt") + 3));
  ASSERT_TRUE(ReadDataFile(path_, back, s, &damaged));
  EXPECT_TRUE(damaged);
  // A file that ends between groups, as an older program's, is whole.
  Put(full.substr(0, full.find("Arial") - 4 - 4 * 8 - 1 - 4 * 8 - 12));
  ASSERT_TRUE(ReadDataFile(path_, back, s, &damaged));
  EXPECT_FALSE(damaged);
  EXPECT_EQ(back.pinned.size(), 2u);
}

TEST_F(DataFileTest, OneHundredAndOnePinnedRecordsAreKeptWithEverythingAfterThem) {
  StoredState st = Sample();
  while (st.pinned.size() < 101) {
    WindowAppearance w = st.pinned[1];
    w.path = "/p/" + std::to_string(st.pinned.size());
    w.encodingIndex = static_cast<uint8_t>(st.pinned.size() % 7);
    st.pinned.push_back(w);
  }
  ASSERT_TRUE(WriteDataFile(path_, st, SampleSettings()));
  StoredState back;
  Settings s;
  ASSERT_TRUE(ReadDataFile(path_, back, s));
  EXPECT_EQ(back.pinned, st.pinned);
  EXPECT_EQ(back.recent[0].path, "/x/one.txt");
  EXPECT_EQ(s.MaxUndoLen, 1234);
  EXPECT_EQ(back.kindChecks, st.kindChecks);
}

// A recent list longer than any the program keeps is read to its end: the
// fields after it are where the file has them.
TEST_F(DataFileTest, ALongRecentListLeavesTheLaterFieldsInPlace) {
  StoredState st = Sample();
  Settings s = SampleSettings();
  s.MaxRecentListLen = 5000;
  st.recent.resize(5000);
  st.recent[4500] = {"/x/far.txt", 1, 2, 1, {}};
  ASSERT_TRUE(WriteDataFile(path_, st, s));
  StoredState back;
  Settings sb;
  ASSERT_TRUE(ReadDataFile(path_, back, sb));
  EXPECT_EQ(sb.MaxRecentListLen, Settings{}.MaxRecentListLen);  // out of range: the default
  EXPECT_EQ(back.recent[0], st.recent[0]);
  EXPECT_EQ(back.recent[1], st.recent[1]);
  EXPECT_EQ(back.encodings, st.encodings);
  EXPECT_EQ(back.pinned[0].encodingIndex, 1);
  EXPECT_EQ(sb.LineEnd, "\r\n");
  EXPECT_EQ(sb.HexColumns, 33);
  EXPECT_EQ(sb.TextBaseSyst, 8);
  EXPECT_EQ(back.kindChecks, st.kindChecks);
  EXPECT_TRUE(sb.CutOnCtrlDel);
}

TEST_F(DataFileTest, EveryLineEndStyleOfTheMenuLoadsBackOthersAsCr) {
  for (const std::string stored : {"\n", "\r", "\r\n", "\n\r", "", "x"}) {
    Settings s = SampleSettings();
    s.LineEnd = stored;
    ASSERT_TRUE(WriteDataFile(path_, Sample(), s));
    StoredState st;
    Settings back;
    ASSERT_TRUE(ReadDataFile(path_, st, back));
    const bool kept = stored == "\n" || stored == "\r" || stored == "\r\n";
    EXPECT_EQ(back.LineEnd, kept ? stored : "\r") << static_cast<int>(stored.size());
  }
}

TEST_F(DataFileTest, CorruptCountsAndValuesNeverAllocateOrBreakTheSettings) {
  // A check-list count of two billion in field 6.
  std::string bytes(1, '\0');
  bytes += '\0';
  bytes += std::string(16, '\0');
  bytes += std::string(2, '\0');
  bytes += std::string("\0\0\0\1", 4);
  bytes += std::string("\x7F\0\0\0", 4);
  bytes += std::string(100, '\1');
  Put(bytes);
  StoredState st;
  Settings s;
  ASSERT_TRUE(ReadDataFile(path_, st, s));
  EXPECT_TRUE(st.defaults.checks.empty());
  // Out-of-range settings fall back to their defaults.
  Settings bad = SampleSettings();
  bad.TextBaseSyst = 0;
  bad.HexColumns = 0;
  bad.MaxRecentListLen = 100000;
  ASSERT_TRUE(WriteDataFile(path_, Sample(), bad));
  ASSERT_TRUE(ReadDataFile(path_, st, s));
  EXPECT_EQ(s.TextBaseSyst, 16);
  EXPECT_EQ(s.HexColumns, 16);
  EXPECT_EQ(s.MaxRecentListLen, 5);
}

TEST_F(DataFileTest, WritingNeverDestroysThePreviousFile) {
  ASSERT_TRUE(WriteDataFile(path_, Sample(), SampleSettings()));
  const std::string before = Contents();
  EXPECT_FALSE(WriteDataFile(dir_ + "/missing/data.dat", Sample(), SampleSettings()));
  EXPECT_EQ(Contents(), before);
  struct stat st {};
  EXPECT_NE(stat((path_ + ".tmp").c_str(), &st), 0);  // no temporary file left behind
}

TEST(WindowRestore, SizeIsClampedAndFarPositionsPulledBack) {
  WindowAppearance w;
  w.left = 100, w.top = 100, w.width = 5000, w.height = 300;
  WindowBounds b = RestoreWindowBounds(w, {0, 0, 1280, 1024}, 50, 30);
  EXPECT_EQ(b.width, 1280);
  EXPECT_EQ(b.height, 300);
  w.left = 1275, w.width = 400;
  b = RestoreWindowBounds(w, {0, 0, 1280, 1024}, 50, 30);
  EXPECT_EQ(b.left, 1280 - 400);
  w.left = -500, w.top = -10, w.width = 400, w.height = 5;
  b = RestoreWindowBounds(w, {0, 0, 1280, 1024}, 50, 30);
  EXPECT_EQ(b.left, 0);
  EXPECT_EQ(b.height, 30);
  EXPECT_EQ(b.top, 0);  // its title bar within reach
  // A small window near the bottom edge (as a damaged file gave): all of it
  // on the screen.
  w.left = 0, w.top = 870, w.width = 123, w.height = 123;
  b = RestoreWindowBounds(w, {0, 0, 1280, 900}, 50, 30);
  EXPECT_EQ(b.top, 900 - 123);
  EXPECT_EQ(b.left, 0);
}

TEST(WindowRestore, AnyStoredValueGivesAWindowOnTheScreen) {
  const WindowBounds screen{1920, -200, 1280, 1024};  // a second screen, right of the first
  WindowAppearance w;
  for (int v : {INT32_MIN, -70000, -1, 0, 5, 70000, INT32_MAX}) {
    w.left = w.top = w.width = w.height = v;
    for (int minimum : {0, 50, INT32_MAX}) {
      const WindowBounds b = RestoreWindowBounds(w, screen, minimum, minimum);
      EXPECT_GE(b.width, 1);
      EXPECT_LE(b.width, screen.width);
      EXPECT_LE(b.height, screen.height);
      // All of the window lies on the screen.
      const int64_t right = int64_t{b.left} + b.width, bottom = int64_t{b.top} + b.height;
      EXPECT_GE(b.left, screen.left) << v << " " << minimum;
      EXPECT_GE(b.top, screen.top) << v << " " << minimum;
      EXPECT_LE(right, int64_t{screen.left} + screen.width) << v << " " << minimum;
      EXPECT_LE(bottom, int64_t{screen.top} + screen.height) << v << " " << minimum;
    }
  }
  w.left = 2000, w.top = -100, w.width = 300, w.height = 200;  // already on it: kept
  const WindowBounds b = RestoreWindowBounds(w, screen, 50, 30);
  EXPECT_EQ(b.left, 2000);
  EXPECT_EQ(b.top, -100);
}

TEST_F(DataFileTest, StoredValuesAreBoundedWhenRead) {
  StoredState st;
  Settings s;
  st.defaults.left = INT32_MAX, st.defaults.width = INT32_MAX, st.defaults.height = -5;
  WindowAppearance pinned;
  pinned.top = INT32_MIN;
  st.pinned = {pinned};
  st.surfaceFont.height = INT32_MIN + 1;
  s.MinRestoredWidth = INT32_MAX, s.MinRestoredHeight = -7;
  s.OtstupX = INT32_MAX, s.Distance = 1e6;  // keyed: outside the table's range
  s.DataWindowLeft = INT32_MIN;
  s.TextColor = 0xFFFFFF;      // white, the largest colour
  s.ChosenFonClr = 0x1000000;  // beyond 24 bits
  ASSERT_TRUE(WriteDataFile(path_, st, s));
  StoredState back;
  Settings r;
  ASSERT_TRUE(ReadDataFile(path_, back, r));
  EXPECT_EQ(back.defaults.left, 32767);
  EXPECT_EQ(back.defaults.width, 32767);
  EXPECT_EQ(back.defaults.height, 0);
  EXPECT_EQ(back.pinned[0].top, -32767);
  EXPECT_EQ(back.surfaceFont.height, -16);
  EXPECT_EQ(r.MinRestoredWidth, 32767);
  EXPECT_EQ(r.MinRestoredHeight, 0);
  EXPECT_EQ(r.OtstupX, Settings{}.OtstupX);
  EXPECT_EQ(r.Distance, Settings{}.Distance);
  EXPECT_EQ(r.DataWindowLeft, -32767);
  EXPECT_EQ(r.TextColor, 0xFFFFFFu);
  EXPECT_EQ(r.ChosenFonClr, Settings{}.ChosenFonClr);
  // Ordinary values pass unchanged.
  ASSERT_TRUE(WriteDataFile(path_, Sample(), SampleSettings()));
  ASSERT_TRUE(ReadDataFile(path_, back, r));
  EXPECT_EQ(back, Sample());
}

TEST(DataFileLocation, ReadFromWhereItIsWritten) {
  TempDir exe, config;
  const std::string beside = exe.path() + "/data.dat", inConfig = config.path() + "/data.dat";
  // Nothing anywhere: read where it will be written.
  EXPECT_EQ(DataFileForReading(exe.path(), config.path()), beside);
  // A copy left in the configuration folder seeds the first start...
  TempDir::Write(inConfig, "old");
  EXPECT_EQ(DataFileForReading(exe.path(), config.path()), inConfig);
  // ...and once written beside the program, that one is read.
  TempDir::Write(beside, "new");
  EXPECT_EQ(DataFileForWriting(exe.path(), config.path()), beside);
  EXPECT_EQ(DataFileForReading(exe.path(), config.path()), beside);
  if (geteuid() != 0) {
    // A folder the program cannot write to: the configuration folder takes
    // the file, and it is read from there although a stale copy is beside.
    chmod(exe.path().c_str(), 0555);
    EXPECT_EQ(DataFileForWriting(exe.path(), config.path()), inConfig);
    EXPECT_EQ(DataFileForReading(exe.path(), config.path()), inConfig);
    chmod(exe.path().c_str(), 0755);
  }
}

TEST(DataFileLocation, TheInstalledProgramKeepsItInTheConfigurationFolder) {
  TempDir root, config;
  const std::string bin = root.path() + "/usr/bin", inConfig = config.path() + "/data.dat";
  ASSERT_EQ(mkdir((root.path() + "/usr").c_str(), 0755), 0);
  ASSERT_EQ(mkdir(bin.c_str(), 0755), 0);
  ASSERT_EQ(symlink("usr/bin", (root.path() + "/bin").c_str()), 0);
  // Started from the folder it was installed into, by any of its names, it
  // never writes beside itself, even where it may (as root may in /usr/bin);
  // a stale data.dat there is not read either.
  for (const std::string& exeDir : {bin, root.path() + "/bin", root.path() + "/usr/../usr/bin"}) {
    const std::string folder = ProgramFolderForSettings(exeDir, bin);
    EXPECT_EQ(folder, "") << exeDir;
    EXPECT_EQ(DataFileForWriting(folder, config.path()), inConfig);
    TempDir::Write(bin + "/data.dat", "stale");
    EXPECT_EQ(DataFileForReading(folder, config.path()), inConfig);
  }
  // A copy anywhere else (a build folder, an unpacked archive) still may.
  EXPECT_EQ(ProgramFolderForSettings(root.path(), bin), root.path());
  EXPECT_EQ(ProgramFolderForSettings(bin, root.path() + "/usr/local/bin"), bin);
}

}  // namespace
}  // namespace prambus
