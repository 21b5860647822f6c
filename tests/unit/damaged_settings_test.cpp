// A damaged data.dat gives a usable window and can be set aside, never
// lost.
#include "settings/damaged_settings.h"

#include <gtest/gtest.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <functional>

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

#if defined(__x86_64__)
constexpr uint32_t kAuditArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr uint32_t kAuditArch = AUDIT_ARCH_AARCH64;
#else
constexpr uint32_t kAuditArch = 0;
#endif

// Runs `body` in a child process whose renameat2 fails with EINVAL, as on a
// file system that knows no rename flags; returns what it returns, or -1.
int WithoutRenameFlags(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kAuditArch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (EINVAL & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
      ::_exit(100);
    ::_exit(body());
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Without the no-replace flag a link takes the new name: a taken name is
// still refused, and a free one is reported done once the file is there.
TEST(DamagedSettings, WithoutRenameFlagsTheFileIsStillNeverSetAsideOverAnother) {
  if (kAuditArch == 0) GTEST_SKIP() << "no system call filter for this architecture";
  TempDir dir;
  const std::string data = dir.File("data.dat");
  const std::string aside = DamagedSettingsName(data, 0), later = DamagedSettingsName(data, 86400);
  TempDir::Write(data, "damaged bytes");
  TempDir::Write(aside, "set aside before");
  const int outcome = WithoutRenameFlags([&] {
    if (SetDamagedSettingsAside(data, aside) != EEXIST) return 1;
    if (SetDamagedSettingsAside(data, later) != 0) return 2;
    return 0;
  });
  ASSERT_NE(outcome, 100) << "no system call filter here";
  EXPECT_EQ(outcome, 0);
  EXPECT_FALSE(std::filesystem::exists(data));
  EXPECT_EQ(TempDir::Read(aside), "set aside before");
  EXPECT_EQ(TempDir::Read(later), "damaged bytes");
}

}  // namespace
}  // namespace prambus
