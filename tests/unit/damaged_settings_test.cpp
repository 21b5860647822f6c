// A damaged data.dat gives a usable window and can be set aside, never
// lost.
#include "settings/damaged_settings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "support/temp_dir.h"

namespace prambus {
namespace {

TEST(DamagedSettings, WhatCouldHideTheWindowOrItsTextGivesWayToDefaults) {
  StoredState st;
  Settings s;
  WindowAppearance garbage;
  garbage.path = "/home/u/doc.txt";
  garbage.left = 0, garbage.top = 870, garbage.width = 123, garbage.height = 123;
  garbage.windowState = 1;
  garbage.visible = false;
  garbage.minimalMode = garbage.stayOnTop = true;
  garbage.statusBar = false;
  garbage.viewKind = 2;
  garbage.checks = {true, false};
  garbage.skin = "skins/\x01\x02";
  garbage.background = 0x00FF00;
  garbage.encodingId = "koi8-r";
  st.defaults = garbage;
  st.pinned = {garbage, garbage};
  st.surfaceFont = {"\x7f", -2000000, 0x00FF00, 15};
  st.recent = {{"/home/u/a.txt", 1, 2, 1, "koi8-r"}};
  s.TextColor = s.ChosenTextClr = s.ChosenFonClr = 0x00FF00;
  s.TextSize = 1;
  s.MaxUndoLen = 4321;
  const StoredState read = st;

  DistrustDamagedAppearance(st, s);
  WindowAppearance usable;
  usable.viewKind = 2;
  usable.checks = {true, false};
  usable.encodingId = "koi8-r";
  EXPECT_EQ(st.defaults, [&] {
    WindowAppearance w = usable;
    w.path = garbage.path;  // the default record names no file in practice
    return w;
  }());
  ASSERT_EQ(st.pinned.size(), 2u);
  EXPECT_EQ(st.pinned[1].path, "/home/u/doc.txt");
  EXPECT_FALSE(st.pinned[1].minimalMode);
  EXPECT_TRUE(st.pinned[1].statusBar);
  EXPECT_EQ(st.surfaceFont, Font{});
  EXPECT_EQ(st.recent, read.recent);
  EXPECT_EQ(s.TextColor, Settings{}.TextColor);
  EXPECT_EQ(s.TextSize, Settings{}.TextSize);
  EXPECT_EQ(s.ChosenFonClr, Settings{}.ChosenFonClr);
  EXPECT_EQ(s.MaxUndoLen, 4321);  // bounded when read, harmless
}

TEST(DamagedSettings, TheFileIsSetAsideUnderANameThatSaysSoNeverOverAnother) {
  TempDir dir;
  const std::string data = dir.File("data.dat");
  const std::string aside = DamagedSettingsName(data, 0);
  EXPECT_EQ(aside.substr(0, data.size() + 9), data + ".damaged-");
  EXPECT_EQ(aside.size(), data.size() + 9 + 15);  // YYYYMMDD-HHMMSS
  TempDir::Write(data, "damaged bytes");
  TempDir::Write(aside, "set aside before");
  EXPECT_EQ(SetDamagedSettingsAside(data, aside), EEXIST);
  EXPECT_EQ(TempDir::Read(data), "damaged bytes");
  EXPECT_EQ(TempDir::Read(aside), "set aside before");
  const std::string later = DamagedSettingsName(data, 86400);
  EXPECT_EQ(SetDamagedSettingsAside(data, later), 0);
  EXPECT_FALSE(std::filesystem::exists(data));
  EXPECT_EQ(TempDir::Read(later), "damaged bytes");
}

}  // namespace
}  // namespace prambus
