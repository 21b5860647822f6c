// The encoding catalogue, the old stored positions read as identifiers and
// written for older readers, and data.dat's field of identifiers.
#include "encodings/encoding_catalogue.h"

#include <gtest/gtest.h>

#include "encodings/code_tables.h"
#include "encodings/cyrillic_tables.h"
#include "encodings/stored_encoding.h"
#include "settings/data_file.h"
#include "support/temp_dir.h"

namespace prambus {
namespace {

namespace id = encoding_id;

std::vector<std::string> Ids(const std::vector<const EncodingEntry*>& entries) {
  std::vector<std::string> out;
  for (const EncodingEntry* e : entries) out.push_back(e->id);
  return out;
}

TEST(EncodingCatalogue, ListsBuiltInEncodingsFirstAndLoadedOnesInTheOrderAdded) {
  EncodingCatalogue c;
  c.AddLoaded("/enc/a.enc", "Первая");
  c.AddLoaded("/enc/b.enc", "Вторая");
  c.AddLoaded("/enc/a.enc", "Переименованная");  // the same path only renames
  const std::vector<std::string> menu = {"windows-1251", "cp866",           "koi8-r",
                                         "koi8-u",       "iso-8859-5",      "mac-cyrillic",
                                         "utf-8",        "file:/enc/a.enc", "file:/enc/b.enc"};
  EXPECT_EQ(Ids(c.MenuEntries()), menu);
  std::vector<std::string> recode = {
      "windows-1251",     "cp866",    "koi8-r", "koi8-u", "iso-8859-5",      "mac-cyrillic",
      "quoted-printable", "translit", "utf-16", "utf-8",  "file:/enc/a.enc", "file:/enc/b.enc"};
  EXPECT_EQ(Ids(c.RecodeEntries(false)), recode);
  EXPECT_EQ(Ids(c.RecodeEntries(true)), recode);
  EXPECT_EQ(c.Find("file:/enc/a.enc")->caption, "Переименованная");
  EXPECT_EQ(c.Find(id::kTranslit)->caption, "Транслит");
  EXPECT_EQ(c.Find(id::kUtf16)->caption, "Unicode (UTF-16)");
  const std::vector<LoadedEncoding> loaded = {{"/enc/a.enc", "Переименованная"},
                                              {"/enc/b.enc", "Вторая"}};
  EXPECT_EQ(c.LoadedList(), loaded);

  EXPECT_FALSE(c.RemoveLoaded(id::kDos));  // built-in encodings stay
  EXPECT_TRUE(c.RemoveLoaded("file:/enc/a.enc"));
  EXPECT_EQ(c.Find("file:/enc/a.enc"), nullptr);
  EXPECT_EQ(c.FindOrWindows("file:/enc/a.enc").id, id::kWindows);
  EXPECT_EQ(c.FindOrWindows("cp1125").id, id::kWindows);  // one a later version may add
}

TEST(EncodingCatalogue, F8WalksTheMenuAndWraps) {
  EncodingCatalogue c;
  c.AddLoaded("/enc/a.enc", "A");
  std::vector<std::string> walk;
  std::string at(id::kWindows);
  for (int i = 0; i < 9; ++i) walk.push_back(at = c.NextInMenu(at).id);
  const std::vector<std::string> expected = {"cp866",           "koi8-r",       "koi8-u",
                                             "iso-8859-5",      "mac-cyrillic", "utf-8",
                                             "file:/enc/a.enc", "windows-1251", "cp866"};
  EXPECT_EQ(walk, expected);
  // From an encoding outside the menu, the next one after it.
  EXPECT_EQ(c.NextInMenu(id::kUtf16).id, id::kUtf8);
  EXPECT_EQ(c.NextInMenu("unknown").id, id::kWindows);
}

TEST(EncodingCatalogue, TablesForEachUse) {
  EncodingCatalogue c;
  CodeTable t;
  ASSERT_TRUE(c.Table(*c.Find(id::kDos), TableUse::kDisplay, t));
  EXPECT_EQ(t, DosTable());
  ASSERT_TRUE(c.Table(*c.Find(id::kDos), TableUse::kRecodeTarget, t));
  EXPECT_EQ(t, DosForOutputTable());  // і and І become Latin letters
  ASSERT_TRUE(c.Table(*c.Find(id::kKoi8r), TableUse::kRecodeTarget, t));
  EXPECT_EQ(t, Koi8rTable());
  ASSERT_TRUE(c.Table(*c.Find(id::kUtf8), TableUse::kRecodeSource, t));
  EXPECT_EQ(t, MarkerTable(kConvUtf8));
  ASSERT_TRUE(c.Table(*c.Find(id::kUtf8), TableUse::kDisplay, t));
  EXPECT_EQ(t, IdentityTable());  // the view holds the file's bytes, read as characters
  EXPECT_FALSE(c.Table(*c.Find(id::kUtf16), TableUse::kDisplay, t));
  EXPECT_FALSE(c.Table(*c.Find(id::kUtf16Be), TableUse::kRecodeSource, t));

  TempDir dir;
  std::string numbers;
  for (int b = 0; b < 256; ++b) numbers += std::to_string(255 - b) + "\n";
  TempDir::Write(dir.File("rev.enc"), numbers);
  const EncodingEntry& loaded = c.AddLoaded(dir.File("rev.enc"), "Обратная");
  ASSERT_TRUE(c.Table(loaded, TableUse::kDisplay, t));
  EXPECT_EQ(t[0], 255);
  TempDir::Write(dir.File("rev.enc"), "x\n");  // read again each time: now it fails
  EXPECT_FALSE(c.Table(loaded, TableUse::kRecodeSource, t));
}

TEST(StoredEncoding, OldMenuPositionsAndRecodeEntriesReadAsIdentifiers) {
  const std::vector<LoadedEncoding> loaded = {{"/a.enc", "A"}, {"/b.enc", "B"}, {"/a.enc", "A2"}};
  EXPECT_EQ(EncodingIdFromMenuPosition(0, loaded), id::kWindows);
  EXPECT_EQ(EncodingIdFromMenuPosition(1, loaded), id::kDos);
  EXPECT_EQ(EncodingIdFromMenuPosition(2, loaded), "file:/a.enc");
  EXPECT_EQ(EncodingIdFromMenuPosition(3, loaded), "file:/b.enc");
  EXPECT_EQ(EncodingIdFromMenuPosition(4, loaded), "file:/a.enc");  // the same file
  EXPECT_EQ(EncodingIdFromMenuPosition(5, loaded), id::kWindows);   // past the list
  EXPECT_EQ(EncodingIdFromMenuPosition(255, {}), id::kWindows);

  const char* recode[] = {"windows-1251", "cp866", "quoted-printable", "translit",
                          "utf-16",       "utf-8", "file:/a.enc",      "file:/b.enc"};
  for (int entry = 0; entry < 8; ++entry) {
    EXPECT_EQ(EncodingIdFromRecodeEntry(entry, loaded), recode[entry]);
    EXPECT_EQ(OldRecodeEntry(recode[entry], loaded), entry);
  }
  EXPECT_EQ(OldRecodeEntry(id::kKoi8r, loaded), -1);

  // Written for older readers: what they know keeps its position, anything
  // else reads as "Windows" there.
  EXPECT_EQ(MenuPositionForOlderReaders(id::kDos, loaded), 1);
  EXPECT_EQ(MenuPositionForOlderReaders("file:/b.enc", loaded), 3);
  EXPECT_EQ(MenuPositionForOlderReaders("file:/a.enc", loaded), 2);
  for (std::string_view newer : {id::kKoi8r, id::kMacCyrillic, id::kUtf8, std::string_view("x")})
    EXPECT_EQ(MenuPositionForOlderReaders(newer, loaded), 0);
  std::vector<LoadedEncoding> many(300, {"/x.enc", "X"});
  many.push_back({"/last.enc", "L"});
  EXPECT_EQ(MenuPositionForOlderReaders("file:/last.enc", many), 0);  // no byte holds it
}

TEST(StoredEncoding, TheIdentifierWinsWhenTheCatalogueHasIt) {
  EncodingCatalogue c;
  c.AddLoaded("/b.enc", "B");
  const std::vector<LoadedEncoding> stored = {{"/a.enc", "A"}, {"/b.enc", "B"}};
  std::string storedId;
  uint8_t position = 9;
  StoreEncoding(id::kKoi8u, stored, storedId, position);
  EXPECT_EQ(storedId, id::kKoi8u);
  EXPECT_EQ(position, 0);
  EXPECT_EQ(StoredEncodingId(c, storedId, position, stored), id::kKoi8u);
  StoreEncoding("file:/b.enc", stored, storedId, position);
  EXPECT_EQ(position, 3);
  EXPECT_EQ(StoredEncodingId(c, storedId, position, stored), "file:/b.enc");
  // An identifier this version lacks falls back to the position...
  EXPECT_EQ(StoredEncodingId(c, "cp1125", 1, stored), id::kDos);
  // ...and a file written before identifiers has only the position.
  EXPECT_EQ(StoredEncodingId(c, "", 3, stored), "file:/b.enc");
}

// A data.dat written by the program before identifiers: three loaded
// encodings, the current one the second, four pinned files on positions 0,
// 1, 2 and 4.
TEST(StoredEncoding, ADataFileFromBeforeIdentifiersReadsBackToTheSameEncodings) {
  StoredState st;
  Settings s;
  ASSERT_TRUE(ReadDataFile(PRAMBUS_TEST_DATA "/data_before_encoding_ids.dat", st, s));
  ASSERT_EQ(st.encodings.size(), 3u);
  EXPECT_EQ(st.encodings[1].name, "Вторая");
  EncodingCatalogue c;
  for (const LoadedEncoding& e : st.encodings) c.AddLoaded(e.path, e.name);
  auto read = [&](const WindowAppearance& w) {
    return StoredEncodingId(c, w.encodingId, w.encodingIndex, st.encodings);
  };
  EXPECT_EQ(read(st.defaults), "file:/home/user/enc/second.enc");
  ASSERT_EQ(st.pinned.size(), 4u);
  EXPECT_EQ(read(st.pinned[0]), id::kWindows);
  EXPECT_EQ(read(st.pinned[1]), id::kDos);
  EXPECT_EQ(read(st.pinned[2]), "file:/home/user/enc/first.enc");
  EXPECT_EQ(read(st.pinned[3]), "file:/home/user/enc/third.enc");
  for (const RecentEntry& e : st.recent) EXPECT_EQ(e.encodingId, "");
}

TEST(StoredEncoding, IdentifiersFollowEverythingOlderProgramsRead) {
  TempDir dir;
  StoredState st;
  Settings s;
  s.CutOnCtrlDel = true;  // the last field older programs read
  st.encodings = {{"/a.enc", "A"}};
  StoreEncoding(id::kMacCyrillic, st.encodings, st.defaults.encodingId, st.defaults.encodingIndex);
  st.pinned.resize(2);
  st.pinned[0].path = "/p0";
  StoreEncoding("file:/a.enc", st.encodings, st.pinned[0].encodingId, st.pinned[0].encodingIndex);
  st.pinned[1].path = "/p1";
  st.recent.resize(static_cast<size_t>(s.MaxRecentListLen));
  st.recent[0] = {"/r0", 1, 2, 1, std::string(id::kKoi8r)};
  const std::string file = dir.File("data.dat");
  ASSERT_TRUE(WriteDataFile(file, st, s));
  StoredState back;
  Settings backSettings;
  ASSERT_TRUE(ReadDataFile(file, back, backSettings));
  EXPECT_EQ(back.defaults.encodingId, id::kMacCyrillic);
  EXPECT_EQ(back.pinned[0].encodingId, "file:/a.enc");
  EXPECT_EQ(back.pinned[1].encodingId, "");
  EXPECT_EQ(back.recent[0].encodingId, id::kKoi8r);

  // A reader that stops after field 43 gets the positions alone: cut the
  // identifiers off (each string a 4-byte length and its bytes).
  // Field 45, one byte, follows them.
  size_t idBytes = 1 + 4 + st.defaults.encodingId.size() + 4 + st.pinned[0].encodingId.size() + 4;
  for (const RecentEntry& e : st.recent) idBytes += 4 + e.encodingId.size();
  const std::string bytes = TempDir::Read(file);
  TempDir::Write(file, bytes.substr(0, bytes.size() - idBytes));
  StoredState older;
  ASSERT_TRUE(ReadDataFile(file, older, backSettings));
  EXPECT_EQ(older.defaults.encodingId, "");
  EXPECT_EQ(older.defaults.encodingIndex, 0);  // Mac Cyrillic: "Windows" for them
  EXPECT_EQ(older.pinned[0].encodingIndex, 2);
  EXPECT_EQ(older.recent[0].encodingId, "");
  EXPECT_TRUE(backSettings.CutOnCtrlDel);
}

}  // namespace
}  // namespace prambus
