// The binding list against a store: typed lists of the welcome window, the
// extensions dialog's walk, the new-extension field, the start-up check,
// and where the small dialogs are placed.
#include "associations/extension_bindings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "associations/xdg_association_store.h"
#include "shell/dialog_placement.h"
#include "shell/flood_fill.h"
#include "shell/help_location.h"
#include "support/recording_store.h"
#include "support/xdg_home.h"

namespace prambus {
namespace {

struct TypedList {
  RecordingStore store;
  std::vector<ExtensionBinding> bindings;
  std::vector<std::string> messages;

  void Bind(std::string_view text, uint8_t viewIndex = 0) {
    BindTypedList(text, viewIndex, store, bindings,
                  [this](const std::string& m) { messages.push_back(m); });
  }
};

const std::string kRefusedTail = kRefusedTypedExtensionTail;

TEST(BindTypedList, ParsesTheWelcomeWindowsLists) {
  TypedList a;
  a.Bind("*.txt, *.dat");
  EXPECT_EQ(a.store.calls, (std::vector<std::string>{"bind .txt entry", "bind .dat"}));
  EXPECT_EQ(a.bindings, (std::vector<ExtensionBinding>{{".txt", 0}, {".dat", 0}}));
  EXPECT_TRUE(a.messages.empty());
  a.Bind("*.hex;.txt", 1);  // .txt is listed already and keeps its view
  EXPECT_EQ(a.bindings, (std::vector<ExtensionBinding>{{".txt", 0}, {".dat", 0}, {".hex", 1}}));
  EXPECT_EQ(a.store.calls.back(), "bind .txt");

  TypedList noDot;
  noDot.Bind("txt");
  EXPECT_TRUE(noDot.store.calls.empty());
  EXPECT_EQ(noDot.messages, std::vector<std::string>{kParseFailedMessage});

  TypedList hash;
  hash.Bind("*.c#");
  EXPECT_EQ(hash.store.calls, std::vector<std::string>{"bind .c entry"});
  EXPECT_EQ(hash.messages, std::vector<std::string>{kParseFailedMessage});

  TypedList trailing;
  trailing.Bind("*.txt, ");
  EXPECT_EQ(trailing.store.calls, std::vector<std::string>{"bind .txt entry"});
  EXPECT_EQ(trailing.messages, std::vector<std::string>{kParseFailedMessage});

  TypedList empty;  // an emptied field binds nothing and says nothing
  empty.Bind("");
  EXPECT_TRUE(empty.store.calls.empty() && empty.messages.empty());

  TypedList loneDot;
  loneDot.Bind("*., *.txt");
  EXPECT_TRUE(loneDot.store.calls.empty());
  EXPECT_EQ(loneDot.messages, std::vector<std::string>{kParseFailedMessage});
}

TEST(BindTypedList, RefusesSystemExtensionsInAnyCaseAndGoesOn) {
  TypedList t;
  t.Bind("*.EXE, *.txt;*.Desktop,.sys");
  EXPECT_EQ(t.store.calls, std::vector<std::string>{"bind .txt"});
  EXPECT_EQ(t.messages, (std::vector<std::string>{"Расширение .EXE" + kRefusedTail,
                                                  "Расширение .Desktop" + kRefusedTail,
                                                  "Расширение .sys" + kRefusedTail}));
  EXPECT_EQ(t.bindings, (std::vector<ExtensionBinding>{{".txt", 0}}));

  TypedList failing;  // a write failure is reported, the binding still listed
  failing.store.failing = {".txt"};
  failing.Bind("*.txt");
  EXPECT_EQ(failing.messages, std::vector<std::string>{BindFailedMessage(std::nullopt)});
  EXPECT_EQ(failing.bindings, (std::vector<ExtensionBinding>{{".txt", 0}}));
}

TEST(ExtensionFromField, TakesOffOneStarAndOneDot) {
  EXPECT_EQ(ExtensionFromField("*.log"), ".log");
  EXPECT_EQ(ExtensionFromField(".txt   "), ".txt");
  EXPECT_EQ(ExtensionFromField("dat"), ".dat");
  EXPECT_EQ(ExtensionFromField("**.a"), ".*.a");
  EXPECT_EQ(ExtensionFromField("*."), std::nullopt);
  EXPECT_EQ(ExtensionFromField("   "), std::nullopt);
  EXPECT_TRUE(IsRefusedExtension(*ExtensionFromField(".exe")));
  EXPECT_TRUE(IsRefusedExtension(".CoM"));
  EXPECT_FALSE(IsRefusedExtension(".exe2"));
}

TEST(ApplyBindingChoices, BindsTickedLinesAndReleasesTheOthers) {
  RecordingStore store;
  store.bound = {".old", ".log"};
  store.failing = {".bad"};
  std::vector<std::string> messages;
  const auto kept =
      ApplyBindingChoices({{{".txt", 0}, true},
                           {{".old", 0}, false},
                           {{".bad", 1}, true},
                           {{".hex", 1}, true},
                           {{".log", 0}, false}},
                          store, [&](const std::string& m) { messages.push_back(m); });
  EXPECT_EQ(store.calls, (std::vector<std::string>{"unbind .old", "unbind .log", "bind .txt entry",
                                                   "bind .bad", "bind .hex"}));
  EXPECT_EQ(kept, (std::vector<ExtensionBinding>{{".txt", 0}, {".bad", 1}, {".hex", 1}}));
  EXPECT_EQ(messages, std::vector<std::string>{BindFailedMessage(std::nullopt)});
  EXPECT_EQ(KeepBoundBindings(kept, store),
            (std::vector<ExtensionBinding>{{".txt", 0}, {".hex", 1}}));
}

TEST(ApplyBindingChoices, ATickedExtensionStaysBoundWhenAnUntickedOneSharesItsType) {
  XdgHome home;
  XdgAssociationStore store(home.Dirs(), {home.Executable(), {}});
  ASSERT_TRUE(store.BindExtension(".text", true));
  const auto kept = ApplyBindingChoices({{{".txt", 0}, true}, {{".text", 0}, false}}, store,
                                        [](const std::string&) { FAIL(); });
  EXPECT_EQ(kept, (std::vector<ExtensionBinding>{{".txt", 0}}));
  EXPECT_TRUE(store.IsBoundToProgram(".txt"));
  EXPECT_EQ(home.QueryDefault("text/plain"), "prambus.desktop");
}

// A list of defaults that cannot be written (write-protected) or read (a
// FIFO in its place) fails every binding of a batch the same way: one note
// for the batch, saying which file and why, in this system's terms.
TEST(BindTypedList, AListThatCannotBeWrittenOrReadIsOneNoteNamingIt) {
  XdgHome home;
  XdgAssociationStore store(home.Dirs(), {home.Executable(), {}});
  XdgHome::WriteFile(home.MimeApps(), "[Default Applications]\n");
  ::chmod(home.MimeApps().c_str(), 0444);
  std::vector<std::string> notes;
  std::vector<ExtensionBinding> bindings;
  BindTypedList("*.txt, *.log, *.text", 0, store, bindings, CollectingOnce(notes));
  BindTypedList("*.c", 1, store, bindings, CollectingOnce(notes));
  EXPECT_EQ(notes, std::vector<std::string>{"Не могу закрепить расширения за этой программой: мне "
                                            "нельзя записывать в «" +
                                            home.MimeApps() + "»."});
  EXPECT_EQ(TempDir::Read(home.MimeApps()), "[Default Applications]\n");

  ::unlink(home.MimeApps().c_str());
  ASSERT_EQ(::mkfifo(home.MimeApps().c_str(), 0600), 0);
  notes.clear();
  BindTypedList("*.txt, *.log, *.text", 0, store, bindings, CollectingOnce(notes));
  BindTypedList("*.c", 1, store, bindings, CollectingOnce(notes));
  EXPECT_EQ(notes, std::vector<std::string>{
                       "Не могу закрепить расширения за этой программой: не могу прочитать «" +
                       home.MimeApps() + "»: это не обычный файл, а канал, устройство или сокет."});
}

TEST(DialogPlacement, FollowsThePointerAndStaysOnTheScreen) {
  EXPECT_EQ(PlaceAtPointer({500, 300}, 200, 100, 1280, 1024), (Point{400, 301}));
  EXPECT_EQ(PlaceAtPointer({50, 300}, 200, 100, 1280, 1024), (Point{0, 301}));
  EXPECT_EQ(PlaceAtPointer({1270, 300}, 200, 100, 1280, 1024), (Point{1080, 301}));
  EXPECT_EQ(PlaceAtPointer({500, 922}, 200, 100, 1280, 1024), (Point{400, 923}));
  EXPECT_EQ(PlaceAtPointer({500, 923}, 200, 100, 1280, 1024), (Point{400, 822}));
  EXPECT_EQ(PlaceAtPointer({500, 50}, 200, 100, 1280, 120), (Point{400, 0}));
  EXPECT_EQ(CentreOver({100, 50, 901, 650}, 300, 200), (Point{350, 250}));

  const WelcomeRows rows = LayOutWelcomeRows(13, 24, 25);
  EXPECT_EQ(rows.labelTop[0], 96);
  EXPECT_EQ(rows.fieldTop[0], 113);
  EXPECT_EQ(rows.labelTop[1], 141);
  EXPECT_EQ(rows.fieldTop[1], 158);
  EXPECT_EQ(rows.buttonsTop, 186);
  EXPECT_EQ(rows.clientHeight, 219);
}

TEST(FloodFill, FillsTheJoinedAreaOfTheSeedsColourOnly) {
  // 0 black, 1 a figure; the black inside the ring and the black touching
  // the ring only at a corner stay black.
  const std::vector<std::string> picture = {
      "0000000",  //
      "0111100",  //
      "0100100",  //
      "0111100",  //
      "0000010",  //
      "1111101",  //
      "0000010",  //
  };
  std::vector<uint32_t> pixels;
  for (const std::string& row : picture)
    for (char c : row) pixels.push_back(c == '1' ? 0x111111 : 0);
  FloodFill(pixels.data(), 7, 7, 7, 5, 1, 0xC0C0C0);
  std::vector<std::string> after;
  for (int y = 0; y < 7; ++y) {
    std::string row;
    for (int x = 0; x < 7; ++x) {
      const uint32_t p = pixels[y * 7 + x];
      row += p == 0xC0C0C0 ? 'F' : p == 0 ? '0' : '1';
    }
    after.push_back(row);
  }
  EXPECT_EQ(after, (std::vector<std::string>{"FFFFFFF", "F1111FF", "F1001FF", "F1111FF", "FFFFF1F",
                                             "1111101", "0000010"}));
  FloodFill(pixels.data(), 7, 7, 7, 7, 0, 0);  // outside: nothing
  FloodFill(pixels.data(), 7, 7, 7, -1, 3, 0);
  EXPECT_EQ(pixels[0], 0xC0C0C0u);
}

TEST(HelpLocation, PrefersTheFileBesideTheExecutable) {
  XdgHome home;
  const std::string bin = home.Root() + "/bin";
  EXPECT_EQ(HelpDocumentPath(bin), bin + "/prambus.html");
  XdgHome::WriteFile(home.Root() + "/share/doc/prambus/prambus.html", "x");
  EXPECT_EQ(HelpDocumentPath(bin), bin + "/../share/doc/prambus/prambus.html");
  XdgHome::WriteFile(bin + "/prambus.html", "x");
  EXPECT_EQ(HelpDocumentPath(bin), bin + "/prambus.html");
}

}  // namespace
}  // namespace prambus
