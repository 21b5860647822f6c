// The freedesktop association store on a temporary desktop: binding makes
// the program the default that xdg-mime reports, unbinding gives the type
// back to its former program, and everything another program wrote in
// mimeapps.list survives byte for byte.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "associations/desktop_entry.h"
#include "associations/mime_types.h"
#include "associations/mimeapps_list.h"
#include "associations/xdg_association_store.h"
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

TEST(XdgDirs, FollowTheEnvironmentAndIgnoreRelativeFolders) {
  XdgHome home;
  home.Export();
  setenv("XDG_DATA_DIRS", "relative:/one/:/two", 1);
  const XdgDirs d = XdgDirs::FromEnvironment();
  EXPECT_EQ(d.configHome, home.Dirs().configHome);
  EXPECT_EQ(d.dataHome, home.Dirs().dataHome);
  EXPECT_EQ(d.dataDirs, (std::vector<std::string>{"/one", "/two"}));
  setenv("XDG_CONFIG_HOME", "relative", 1);
  if (const char* h = getenv("HOME"); h && h[0] == '/') {
    EXPECT_EQ(XdgDirs::FromEnvironment().configHome, std::string(h) + "/.config");
  }
  for (const char* v : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS"})
    unsetenv(v);
}

}  // namespace
}  // namespace prambus
