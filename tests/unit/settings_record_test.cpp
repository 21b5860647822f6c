// The settings record as data.dat keeps it: files written by earlier builds
// read to the records they were written from and are written back byte for
// byte, and a record with every stored field changed survives a round trip
// whole.
#include <gtest/gtest.h>

#include <string>

#include "settings/data_file.h"
#include "support/temp_dir.h"

namespace prambus {
namespace {

// Counts the members of an aggregate: the most initialisers it accepts.
struct AnyValue {
  template <typename T>
  operator T() const;
};
template <typename T, typename... Values>
constexpr size_t MemberCount() {
  if constexpr (requires { T{Values{}..., AnyValue{}}; })
    return MemberCount<T, Values..., AnyValue>();
  else
    return sizeof...(Values);
}

// Every member of the record changed from its default, to a value the
// reading keeps. Shag and ShagSaved agree: after a start the copy in effect
// is the stored one. Only what data.dat does not hold keeps its default.
Settings EveryStoredFieldChanged() {
  Settings s;
  s.MaxUndoLen = 4321;
  s.OtstupX = -7;
  s.OtstupY = 9;
  s.MaxRecentListLen = 7;
  s.RecListinSubMenu = true;
  s.RememberCurPos = false;
  s.ExitOnEsc = true;
  s.SaveOnF2 = true;
  s.CutOnCtrlDel = true;
  s.TrySaveReadOnly = true;
  s.ReloadChangedFiles = true;
  s.DetectEncoding = false;
  s.LeftMargin = 1.5;
  s.RightMargin = 2.25;
  s.TopMargin = 0.5;
  s.BottomMargin = 3;
  s.NumPages = false;
  s.HButtonMargin = 21;
  s.VButtonMargin = 6;
  s.MaxButtonsinRow = 3;
  s.HSpaceBetween = 31;
  s.MarginforButton = 41;
  s.VSpaceBetween = 11;
  s.MarginforText = 12;
  s.TextColor = 0x0000FF;
  s.TextFont = "DejaVu Sans";
  s.TextSize = -13;
  s.TextStyle = kStyleBold | kStyleUnderline;
  s.Shag = 777;
  s.ShagSaved = 777;
  s.HScrollStep = 5;
  s.VScrollStep = 2;
  s.Distance = 0.25;
  s.ChosenTextClr = 0x00FFFF;
  s.ChosenFonClr = 0x008000;
  s.PageFracture = 0.5;
  s.MaxTextWidth = 5000;
  s.HDistance = 1.25;
  s.TextBaseSyst = 8;
  s.CoordBaseSyst = 10;
  s.CoordColor = 0x008080;
  s.FirstZeroes = false;
  s.LineColor = 0x123456;
  s.LineWidth = 0.5;
  s.MarginColor = 0x654321;
  s.MarginWidth = 0.75;
  s.CodeInfo = {true, false, false, true, true, false, true, false};
  s.HexColumns = 33;
  s.MinRestoredWidth = 60;
  s.MinRestoredHeight = 40;
  s.DataWindowLeft = 5;
  s.DataWindowTop = -6;
  s.LineEnd = "\r\n";
  s.MinimalModeWarning = false;
  return s;
}

// A new member of the record is either stored (then the function above
// changes it, and the schema declares it) or said here not to be.
constexpr size_t kMembersNotStored = 4;  // FirstPaintPending, ViewKindTable, EffOtstupX/Y
constexpr size_t kMembersStored = 54;

TEST(SettingsRecord, EveryMemberIsEitherChangedAboveOrNotStored) {
  EXPECT_EQ(MemberCount<Settings>(), kMembersStored + kMembersNotStored);
}

StoredState WindowsAndLists(int recentLength) {
  StoredState st;
  st.defaults.left = 10, st.defaults.top = 20, st.defaults.width = 700, st.defaults.height = 400;
  st.defaults.windowState = 2;
  st.defaults.minimalMode = true;
  st.defaults.stayOnTop = true;
  st.defaults.viewKind = 2;
  st.defaults.checks = {true, false, true};
  st.defaults.background = 0x123456;
  st.defaults.encodingIndex = 3;
  st.defaults.encodingId = "cp866";
  st.defaults.statusBar = false;
  st.surfaceFont.name = "DejaVu Sans Mono";
  st.surfaceFont.height = -18;
  st.surfaceFont.color = 0x0000FF;
  st.surfaceFont.style = kStyleItalic;
  st.bindings = {{".txt", 0}, {".hex", 1}};
  WindowAppearance a;
  a.path = "/home/u/a.txt";
  a.left = -5, a.top = 7, a.width = 300, a.height = 200;
  a.windowState = 1;
  a.visible = false;
  a.skin = "skins/blue.so";  // a skin: no colour follows
  a.checks = {false};
  a.encodingIndex = 1;
  a.encodingId = "koi8-r";
  WindowAppearance b;
  b.path = "/home/u/Файл б.bin";
  b.viewKind = 2;
  b.minimalMode = true;
  b.background = 0xABCDEF;  // no skin: the colour follows
  b.statusBar = false;
  WindowAppearance c;
  c.path = "/d/bad\xff.txt";
  c.stayOnTop = true;
  st.pinned = {a, b, c};
  st.recent.resize(static_cast<size_t>(recentLength));
  st.recent[0] = {"/x/one.txt", 3, 7, 1, "koi8-r"};
  st.recent[1] = {"/x/two.bin", 0, 2, 2, {}};
  st.recent[2] = {"/x/three.txt", 12, 0, 0, "cp1251"};
  st.kindChecks = {std::vector<bool>{true, false, false, true, false, false, false},
                   std::vector<bool>{true}};
  return st;
}

struct Sample {
  const char* file;
  StoredState state;
  Settings settings;
};

std::vector<Sample> Samples() {
  std::vector<Sample> samples;
  Sample defaults{"settings_defaults.dat", {}, {}};
  defaults.state.recent.resize(5);
  samples.push_back(defaults);

  Sample changed{"settings_every_field_changed.dat", {}, EveryStoredFieldChanged()};
  changed.state.recent.resize(7);
  samples.push_back(changed);

  Sample lists{"settings_pinned_and_recent.dat", WindowsAndLists(5), {}};
  samples.push_back(lists);

  Sample encodings{"settings_loaded_encodings.dat", WindowsAndLists(7), EveryStoredFieldChanged()};
  encodings.state.encodings = {{"/enc/koi8.enc", "KOI8"}, {"/home/u/мой.enc", "Моя"}};
  encodings.state.defaults.encodingIndex = 5;
  samples.push_back(encodings);
  return samples;
}

TEST(SettingsRecord, FilesOfEarlierBuildsReadToTheirRecordsAndWriteBackTheSameBytes) {
  for (const Sample& sample : Samples()) {
    const std::string path = std::string(PRAMBUS_TEST_DATA "/") + sample.file;
    StoredState st;
    Settings s;
    bool damaged = true;
    ASSERT_TRUE(ReadDataFile(path, st, s, &damaged)) << sample.file;
    EXPECT_FALSE(damaged) << sample.file;
    EXPECT_TRUE(st == sample.state) << sample.file;
    EXPECT_TRUE(s == sample.settings) << sample.file;
    TempDir dir;
    ASSERT_TRUE(WriteDataFile(dir.File("data.dat"), st, s));
    EXPECT_EQ(TempDir::Read(dir.File("data.dat")), TempDir::Read(path)) << sample.file;
  }
}

TEST(SettingsRecord, EveryStoredFieldRoundTrips) {
  const Settings changed = EveryStoredFieldChanged();
  const Settings defaults;
  EXPECT_FALSE(changed == defaults);
  TempDir dir;
  StoredState st;
  st.recent.resize(static_cast<size_t>(changed.MaxRecentListLen));
  ASSERT_TRUE(WriteDataFile(dir.File("data.dat"), st, changed));
  Settings back;
  StoredState stBack;
  ASSERT_TRUE(ReadDataFile(dir.File("data.dat"), stBack, back));
  EXPECT_TRUE(back == changed);
  EXPECT_TRUE(stBack == st);
}

}  // namespace
}  // namespace prambus
