// The freedesktop association store on a temporary desktop: binding makes
// the program the default that xdg-mime reports, unbinding gives the type
// back to its former program, and everything another program wrote in
// mimeapps.list survives byte for byte.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "associations/desktop_entry.h"
#include "associations/mime_types.h"
#include "associations/mimeapps_list.h"
#include "associations/xdg_association_store.h"
#include "platform/run_program.h"
#include "support/temp_dir.h"
#include "support/xdg_home.h"

namespace prambus {
namespace {

// Another program's mimeapps.list with everything a parser may stumble on:
// comments, an unknown group, a duplicate key, a second Default Applications
// group, CR LF line ends and no line end at the very end.
const std::string kOddList =
    "# kept by hand\r\n"
    "[Default Applications]\r\n"
    "text/plain=former.desktop;other.desktop;\r\n"
    "image/png=viewer.desktop\r\n"
    "\r\n"
    "[X-Odd Section]\r\n"
    "text/plain=not-a-default.desktop\r\n"
    "odd line without equals\r\n"
    "[Default Applications]\r\n"
    "text/plain = late.desktop\r\n"
    "[Added Associations]\r\n"
    "text/x-log=other.desktop;";

TEST(KeyFileText, ReadsAndWritesAnyFileUnchanged) {
  for (const std::string& text :
       {kOddList, std::string(), std::string("\n\n"), std::string("[a]"), std::string("x=1\r")})
    EXPECT_EQ(KeyFileText(text).Text(), text);
}

TEST(MimeAppsList, PrependingAndRemovingRestoresTheFileByteForByte) {
  KeyFileText list(kOddList);
  EXPECT_EQ(FirstDefault(list, "text/plain"), "former.desktop");
  PrependDefault(list, "text/plain", "prambus.desktop");
  EXPECT_EQ(FirstDefault(list, "text/plain"), "prambus.desktop");
  const std::string bound = list.Text();
  // Both default entries of the type carry the program first, the odd
  // section's look-alike is not a default and stays.
  EXPECT_NE(bound.find("text/plain=prambus.desktop;former.desktop;other.desktop;\r\n"),
            std::string::npos);
  EXPECT_NE(bound.find("text/plain = prambus.desktop;late.desktop\r\n"), std::string::npos);
  EXPECT_NE(bound.find("text/plain=not-a-default.desktop\r\n"), std::string::npos);
  EXPECT_EQ(TypesDefaultingTo(list, "prambus.desktop"), std::vector<std::string>{"text/plain"});
  RemoveLeadingDefault(list, "text/plain", "prambus.desktop");
  EXPECT_EQ(list.Text(), kOddList);
}

// The types the program is the default of are found in one pass over the
// list; as for FirstDefault, only a type's first entry counts, across every
// group of defaults, and each type is named once.
TEST(MimeAppsList, TypesDefaultingToTheProgramCountFirstEntriesOnly) {
  const KeyFileText list(
      "[Default Applications]\n"
      "a=prambus.desktop;\n"
      "b=other.desktop;prambus.desktop;\n"
      "c = ; prambus.desktop\n"
      "[Added Associations]\n"
      "d=prambus.desktop;\n"
      "[Default Applications]\n"
      "b=prambus.desktop;\n"
      "a=other.desktop;\n"
      "e= prambus.desktop ;x;\n");
  EXPECT_EQ(TypesDefaultingTo(list, "prambus.desktop"), (std::vector<std::string>{"a", "c", "e"}));
  for (const char* type : {"a", "c", "e"}) EXPECT_EQ(FirstDefault(list, type), "prambus.desktop");
  for (const char* type : {"b", "d"}) EXPECT_NE(FirstDefault(list, type), "prambus.desktop");
}

TEST(MimeAppsList, NewEntriesGoIntoTheFirstGroupWithTheFilesLineEnds) {
  KeyFileText list(kOddList);
  PrependDefault(list, "text/x-log", "prambus.desktop");
  EXPECT_NE(list.Text().find("image/png=viewer.desktop\r\ntext/x-log=prambus.desktop;\r\n\r\n"),
            std::string::npos);
  EXPECT_TRUE(MentionsType(list, "text/x-log"));
  RemoveLeadingDefault(list, "text/x-log", "prambus.desktop");
  EXPECT_EQ(list.Text(), kOddList);

  KeyFileText empty("# only a comment");
  PrependDefault(empty, "text/plain", "prambus.desktop");
  EXPECT_EQ(empty.Text(),
            "# only a comment\n\n[Default Applications]\ntext/plain=prambus.desktop;\n");
  RemoveLeadingDefault(empty, "text/plain", "prambus.desktop");
  EXPECT_EQ(empty.Text(), "# only a comment\n\n[Default Applications]\n");

  // A lone CR at the very end is no line end: the added entry must not run
  // into that line.
  KeyFileText cr("[Default Applications]\r\nodd\r");
  PrependDefault(cr, "a", "prambus.desktop");
  EXPECT_EQ(FirstDefault(KeyFileText(cr.Text()), "a"), "prambus.desktop");

  // A removed association of the program would hide the new default.
  KeyFileText removed("[Removed Associations]\ntext/plain=prambus.desktop;x.desktop;\n");
  PrependDefault(removed, "text/plain", "prambus.desktop");
  EXPECT_EQ(removed.Text(),
            "[Removed Associations]\ntext/plain=x.desktop;\n\n[Default Applications]\n"
            "text/plain=prambus.desktop;\n");
}

TEST(MimeTypes, GlobsPickTheHeaviestAndRespectCase) {
  const std::string globs =
      "# comment\n"
      "50:text/x-c++src:*.C:cs\n"
      "50:text/x-c++src:*.C\n"
      "50:text/x-csrc:*.c:cs\n"
      "50:text/x-csrc:*.c\n"
      "40:text/x-low:*.txt\n"
      "60:text/plain:*.TXT\n"
      "bad line\n"
      "x:text/x-bad:*.bad\n"
      "50:not a type:*.odd\n";
  EXPECT_EQ(TypeFromGlobs(globs, ".c"), "text/x-csrc");
  EXPECT_EQ(TypeFromGlobs(globs, ".C"), "text/x-c++src");
  EXPECT_EQ(TypeFromGlobs(globs, ".txt"), "text/plain");
  EXPECT_EQ(TypeFromGlobs(globs, ".bad"), "");
  EXPECT_EQ(TypeFromGlobs(globs, ".odd"), "");
  EXPECT_EQ(TypeFromGlobs(globs, ".dat"), "");
  EXPECT_EQ(OwnMimeType(".DAT"), "application/x-prambus-dat");
  EXPECT_EQ(OwnMimeType(".tar.gz"), "application/x-prambus-tar_2egz");
  EXPECT_NE(OwnMimeType(".a b"), OwnMimeType(".a_b"));
  EXPECT_FALSE(IsStorableExtension("."));
  EXPECT_FALSE(IsStorableExtension(".a*"));
  EXPECT_FALSE(IsStorableExtension(".a/b"));
  EXPECT_TRUE(IsStorableExtension(".текст"));
}

TEST(DesktopEntry, ExecQuotesOnlyWhatNeedsIt) {
  EXPECT_EQ(ExecValue("/usr/bin/prambus"), "/usr/bin/prambus %f");
  EXPECT_EQ(ExecValue("/opt/50%/prambus"), "/opt/50%%/prambus %f");
  EXPECT_EQ(ExecValue("/home/a b/prambus"), "\"/home/a b/prambus\" %f");
  // " and $ take a backslash inside the quotes, which the value then doubles.
  EXPECT_EQ(ExecValue("/x\"$/p"), "\"/x\\\\\"\\\\$/p\" %f");
}

// The entry offers "Открыть Прамбусом" as its action on a file, running the
// same command as the entry itself, and stays a valid desktop entry.
TEST(DesktopEntry, TheOpenActionCarriesTheVerb) {
  const std::string exec = ExecValue("/home/a b/prambus");
  const std::string text = DesktopEntryText(exec, {"text/plain"});
  const KeyFileText entry(text);
  EXPECT_EQ(entry.Get(kDesktopEntryGroup, "Actions"), "open;");
  EXPECT_EQ(entry.Get(kOpenActionGroup, "Name"), "Открыть Прамбусом");
  EXPECT_EQ(entry.Get(kOpenActionGroup, "Exec"), exec);
  EXPECT_TRUE(IsProgramEntry(entry));
  TempDir dir;
  const std::string path = dir.File("prambus.desktop");
  TempDir::Write(path, text);
  if (RunProgram({"desktop-file-validate", "--help"}) == 0) {
    EXPECT_EQ(RunProgram({"desktop-file-validate", path}), 0);
  }
}

class AssociationStoreTest : public ::testing::Test {
 protected:
  XdgHome home;
  XdgAssociationStore store{home.Dirs(), {home.Executable(), "<svg/>"}};

  std::string MimeApps() const { return TempDir::Read(home.MimeApps()); }
};

TEST_F(AssociationStoreTest, BindsAndUnbindsATypeThatHadNoDefault) {
  // With no default named anywhere the desktop picks a program that opens
  // the type; that choice comes back after unbinding.
  const std::string before = home.QueryDefault("text/plain");
  EXPECT_EQ(before, "former.desktop");
  EXPECT_FALSE(store.IsBoundToProgram(".txt"));
  ASSERT_TRUE(store.BindExtension(".txt", true));
  EXPECT_TRUE(store.IsBoundToProgram(".txt"));
  EXPECT_TRUE(store.IsBoundToProgram(".TEXT"));  // the same type
  EXPECT_EQ(home.QueryDefault("text/plain"), "prambus.desktop");
  const std::string entry = TempDir::Read(home.UserFile("applications/prambus.desktop"));
  EXPECT_NE(entry.find("Exec=" + home.Executable() + " %f\n"), std::string::npos);
  EXPECT_NE(entry.find("MimeType=text/plain;\n"), std::string::npos);
  EXPECT_EQ(TempDir::Read(home.UserFile("icons/hicolor/scalable/apps/prambus.svg")), "<svg/>");
  std::string report;
  EXPECT_EQ(XdgHome::Validate(home.UserFile("applications/prambus.desktop"), &report), 0) << report;

  store.UnbindExtension(".txt");
  EXPECT_FALSE(store.IsBoundToProgram(".txt"));
  EXPECT_EQ(MimeApps(), "[Default Applications]\n");
  EXPECT_EQ(home.QueryDefault("text/plain"), before);
  EXPECT_EQ(TempDir::Read(home.UserFile("applications/prambus.desktop")).find("MimeType"),
            std::string::npos);
}

TEST_F(AssociationStoreTest, KeepsTheFormerDefaultAndGivesItBack) {
  XdgHome::WriteFile(home.MimeApps(), kOddList);
  EXPECT_EQ(home.QueryDefault("text/plain"), "former.desktop");
  ASSERT_TRUE(store.BindExtension(".txt", true));
  EXPECT_EQ(home.QueryDefault("text/plain"), "prambus.desktop");
  // Binding again changes nothing: the former default stays where it is.
  const std::string once = MimeApps();
  ASSERT_TRUE(store.BindExtension(".txt", false));
  EXPECT_EQ(MimeApps(), once);
  store.UnbindExtension(".txt");
  EXPECT_EQ(home.QueryDefault("text/plain"), "former.desktop");
  EXPECT_EQ(MimeApps(), kOddList);
}

TEST_F(AssociationStoreTest, AListLinkedFromElsewhereStaysALink) {
  // Settings kept in a folder of their own and linked into place.
  const std::string kept = home.Root() + "/dotfiles/mimeapps.list";
  XdgHome::WriteFile(kept, kOddList);
  std::filesystem::create_directories(std::filesystem::path(home.MimeApps()).parent_path());
  std::filesystem::create_symlink(kept, home.MimeApps());
  ASSERT_TRUE(store.BindExtension(".txt", true));
  EXPECT_TRUE(std::filesystem::is_symlink(home.MimeApps()));
  EXPECT_EQ(home.QueryDefault("text/plain"), "prambus.desktop");
  store.UnbindExtension(".txt");
  EXPECT_TRUE(std::filesystem::is_symlink(home.MimeApps()));
  EXPECT_EQ(TempDir::Read(kept), kOddList);
}

TEST_F(AssociationStoreTest, LeavesATypeAloneThatAnotherProgramTookOver) {
  ASSERT_TRUE(store.BindExtension(".log", true));
  const std::string takenOver = "[Default Applications]\ntext/x-log=other.desktop;\n";
  XdgHome::WriteFile(home.MimeApps(), takenOver);
  EXPECT_FALSE(store.IsBoundToProgram(".log"));  // read back, not remembered
  store.UnbindExtension(".log");
  EXPECT_EQ(MimeApps(), takenOver);
  EXPECT_EQ(home.QueryDefault("text/x-log"), "other.desktop");
}

TEST_F(AssociationStoreTest, GivesAnUnknownExtensionATypeOfItsOwnAndTakesItBack) {
  EXPECT_EQ(store.TypeOf(".dat"), "");
  ASSERT_TRUE(store.BindExtension(".dat", true));
  EXPECT_EQ(store.TypeOf(".dat"), "application/x-prambus-dat");
  EXPECT_NE(TempDir::Read(home.UserFile("mime/globs2")).find("application/x-prambus-dat:*.dat"),
            std::string::npos);
  EXPECT_EQ(home.QueryDefault("application/x-prambus-dat"), "prambus.desktop");
  store.UnbindExtension(".dat");
  EXPECT_FALSE(std::filesystem::exists(home.UserFile("mime/packages/prambus-dat.xml")));
  EXPECT_EQ(TempDir::Read(home.UserFile("mime/globs2")).find("prambus"), std::string::npos);
  EXPECT_EQ(store.TypeOf(".dat"), "");
}

TEST_F(AssociationStoreTest, ChoosesAnotherNameWhenAnotherProgramOwnsTheEntryName) {
  const std::string foreign = "[Desktop Entry]\nType=Application\nName=Other\nExec=/bin/cat\n";
  XdgHome::WriteFile(home.UserFile("applications/prambus.desktop"), foreign);
  EXPECT_EQ(store.DesktopId(), "prambus-2.desktop");
  ASSERT_TRUE(store.BindExtension(".txt", true));
  EXPECT_EQ(home.QueryDefault("text/plain"), "prambus-2.desktop");
  EXPECT_EQ(TempDir::Read(home.UserFile("applications/prambus.desktop")), foreign);
  ASSERT_TRUE(store.RegisterApplication());
  EXPECT_EQ(store.DesktopId(), "prambus-2.desktop");
}

TEST_F(AssociationStoreTest, ReportsWhatCannotBeWrittenAndChangesNothing) {
  // A configuration folder that is a file: no folder can be made there,
  // with or without root's rights.
  const std::string blocked = home.Root() + "/blocked";
  XdgHome::WriteFile(blocked, "not a folder");
  XdgDirs dirs = home.Dirs();
  dirs.configHome = blocked;
  XdgAssociationStore unwritable(dirs, {home.Executable(), {}});
  EXPECT_FALSE(unwritable.BindExtension(".txt", true));
  EXPECT_FALSE(unwritable.IsBoundToProgram(".txt"));
  unwritable.UnbindExtension(".txt");
  EXPECT_EQ(TempDir::Read(blocked), "not a folder");

  // Without update-mime-database an unknown extension cannot get its type.
  const std::string path = getenv("PATH");
  setenv("PATH", "/nonexistent", 1);
  const bool bound = store.BindExtension(".dat", true);
  setenv("PATH", path.c_str(), 1);
  EXPECT_FALSE(bound);
  EXPECT_FALSE(std::filesystem::exists(home.UserFile("mime/packages/prambus-dat.xml")));
  EXPECT_FALSE(std::filesystem::exists(home.MimeApps()));

  // Extensions that no glob can hold are refused, not written.
  EXPECT_FALSE(store.BindExtension(".a*b", true));
  EXPECT_FALSE(store.BindExtension(".", true));
}

// A desktop's own list of defaults with another program first, CR LF line
// ends, an entry of another type and no line end at the very end.
const std::string kDesktopList =
    "# the desktop's own\r\n"
    "[Default Applications]\r\n"
    "text/plain=other.desktop;former.desktop\r\n"
    "text/x-log=other.desktop;\r\n"
    "[Added Associations]\r\n"
    "text/plain=other.desktop;";

class DesktopListsTest : public AssociationStoreTest {
 protected:
  const std::string commonList = "[Default Applications]\ntext/plain=former.desktop;\n";
  // Lists of two desktops, most specific first; only the second has one.
  XdgAssociationStore OnDesktop() {
    home.SetDesktop("X-Test:GNOME");
    XdgHome::WriteFile(home.MimeApps(), commonList);
    return XdgAssociationStore(home.Dirs(), {home.Executable(), {}});
  }
  std::string DesktopList() const { return TempDir::Read(home.ConfigFile("gnome-mimeapps.list")); }
};

TEST_F(DesktopListsTest, TakesOverADesktopsOwnDefaultAndGivesItBack) {
  XdgAssociationStore desktop = OnDesktop();
  XdgHome::WriteFile(home.ConfigFile("gnome-mimeapps.list"), kDesktopList);
  EXPECT_EQ(home.QueryDefault("text/plain"), "other.desktop");
  EXPECT_FALSE(desktop.IsBoundToProgram(".txt"));

  ASSERT_TRUE(desktop.BindExtension(".txt", true));
  EXPECT_TRUE(desktop.IsBoundToProgram(".txt"));
  EXPECT_EQ(home.QueryDefault("text/plain"), "prambus.desktop");
  EXPECT_NE(DesktopList().find("\r\ntext/plain=prambus.desktop;other.desktop;former.desktop\r\n"
                               "text/x-log=other.desktop;\r\n"),
            std::string::npos);
  // A list that named no default for the type is not made.
  EXPECT_FALSE(std::filesystem::exists(home.ConfigFile("x-test-mimeapps.list")));
  // Binding again changes nothing.
  const std::string once = DesktopList();
  ASSERT_TRUE(desktop.BindExtension(".txt", false));
  EXPECT_EQ(DesktopList(), once);
  // Without the desktop's list the entry names the type all the same.
  EXPECT_NE(TempDir::Read(home.UserFile("applications/prambus.desktop")).find("text/plain;"),
            std::string::npos);

  desktop.UnbindExtension(".txt");
  EXPECT_EQ(DesktopList(), kDesktopList);
  EXPECT_EQ(MimeApps(), commonList);
  EXPECT_EQ(home.QueryDefault("text/plain"), "other.desktop");
  EXPECT_FALSE(desktop.IsBoundToProgram(".txt"));
}

TEST_F(DesktopListsTest, ABindingADesktopsListHidesIsNotBound) {
  XdgAssociationStore desktop = OnDesktop();
  ASSERT_TRUE(desktop.BindExtension(".txt", true));
  // Nothing in the desktop's lists: mimeapps.list decides.
  EXPECT_FALSE(std::filesystem::exists(home.ConfigFile("gnome-mimeapps.list")));
  EXPECT_TRUE(desktop.IsBoundToProgram(".txt"));
  const std::string bound = MimeApps();

  // Another program sets the desktop's own default afterwards.
  const std::string takenOver = "[Default Applications]\ntext/plain=other.desktop;\n";
  XdgHome::WriteFile(home.ConfigFile("gnome-mimeapps.list"), takenOver);
  EXPECT_EQ(home.QueryDefault("text/plain"), "other.desktop");
  EXPECT_FALSE(desktop.IsBoundToProgram(".txt"));
  // The program's other bindings still count: the entry keeps the type.
  XdgAssociationStore plain(home.Dirs(), {home.Executable(), {}});
  ASSERT_TRUE(plain.RegisterApplication());
  EXPECT_NE(TempDir::Read(home.UserFile("applications/prambus.desktop")).find("text/plain;"),
            std::string::npos);

  // Unbinding gives back what the program changed and leaves the other
  // program's entry alone.
  desktop.UnbindExtension(".txt");
  EXPECT_EQ(DesktopList(), takenOver);
  EXPECT_EQ(MimeApps(), commonList);
  EXPECT_EQ(home.QueryDefault("text/plain"), "other.desktop");

  // Bound again it comes first in both, and a second unbinding gives each
  // list back.
  ASSERT_TRUE(desktop.BindExtension(".txt", false));
  EXPECT_EQ(MimeApps(), bound);
  EXPECT_EQ(home.QueryDefault("text/plain"), "prambus.desktop");
  desktop.UnbindExtension(".txt");
  EXPECT_EQ(DesktopList(), takenOver);
  EXPECT_EQ(MimeApps(), commonList);
}

TEST_F(DesktopListsTest, AFailedWriteLeavesEveryListAsItWas) {
  XdgAssociationStore desktop = OnDesktop();
  XdgHome::WriteFile(home.ConfigFile("gnome-mimeapps.list"), kDesktopList);
  // mimeapps.list, written last, links to a file that reads but whose
  // folder takes no new file, even from root.
  if (!std::ifstream("/proc/version")) GTEST_SKIP() << "no /proc";
  std::filesystem::remove(home.MimeApps());
  std::filesystem::create_symlink("/proc/version", home.MimeApps());
  EXPECT_FALSE(desktop.BindExtension(".txt", true));
  EXPECT_EQ(DesktopList(), kDesktopList);
  EXPECT_FALSE(desktop.IsBoundToProgram(".txt"));
}

TEST(XdgDirs, FollowTheEnvironmentAndIgnoreRelativeFolders) {
  XdgHome home;
  home.Export();
  setenv("XDG_DATA_DIRS", "relative:/one/:/two", 1);
  const XdgDirs d = XdgDirs::FromEnvironment();
  EXPECT_EQ(d.configHome, home.Dirs().configHome);
  EXPECT_EQ(d.dataHome, home.Dirs().dataHome);
  EXPECT_EQ(d.dataDirs, (std::vector<std::string>{"/one", "/two"}));
  // A desktop name becomes part of a file name: no folders, no repeats.
  setenv("XDG_CURRENT_DESKTOP", "GNOME-Classic::GNOME:gnome:../X:a/b:KDE", 1);
  EXPECT_EQ(XdgDirs::FromEnvironment().desktops,
            (std::vector<std::string>{"gnome-classic", "gnome", "kde"}));
  setenv("XDG_CONFIG_HOME", "relative", 1);
  if (const char* h = getenv("HOME"); h && h[0] == '/') {
    EXPECT_EQ(XdgDirs::FromEnvironment().configHome, std::string(h) + "/.config");
  }
  for (const char* v : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS",
                        "XDG_CURRENT_DESKTOP"})
    unsetenv(v);
}

}  // namespace
}  // namespace prambus
