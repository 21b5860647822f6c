// The built-in Cyrillic display tables checked byte by byte against the
// system's converter, and showing a document through any display table of
// the catalogue changes none of its bytes.
#include "encodings/cyrillic_tables.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <map>
#include <optional>

#include "encodings/code_tables.h"
#include "encodings/encoding_catalogue.h"
#include "support/temp_dir.h"
#include "support/text_view_fixture.h"

namespace prambus {
namespace {

// The character the system's converter reads for one byte, if any.
std::optional<char32_t> SystemChar(const char* encoding, uint8_t byte) {
  iconv_t cd = iconv_open("UTF-32LE", encoding);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* inp = in;
  char* outp = out;
  size_t inLeft = 1, outLeft = sizeof out;
  const bool ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1) &&
                  sizeof out - outLeft == 4;
  iconv_close(cd);
  if (!ok) return std::nullopt;
  return static_cast<char32_t>(static_cast<uint8_t>(out[0]) | static_cast<uint8_t>(out[1]) << 8 |
                               static_cast<uint8_t>(out[2]) << 16);
}

TEST(CyrillicTables, EveryByteAgreesWithTheSystemConverter) {
  std::map<char32_t, uint8_t> windows;  // character -> Windows-1251 byte
  for (int b = 0; b < 256; ++b)
    if (auto c = SystemChar("CP1251", static_cast<uint8_t>(b))) windows[*c] = b;
  ASSERT_GT(windows.size(), 250u) << "the system converter lacks CP1251";
  struct Case {
    const char* name;
    const CodeTable& table;
  };
  for (const Case& t :
       {Case{"CP866", DosTable()}, Case{"KOI8-R", Koi8rTable()}, Case{"KOI8-U", Koi8uTable()},
        Case{"ISO-8859-5", Iso88595Table()}, Case{"MAC-CYRILLIC", MacCyrillicTable()}}) {
    ASSERT_TRUE(CanShowDocument(t.table)) << t.name << " is no permutation";
    std::map<char32_t, int> has;  // the encoding's characters
    std::optional<char32_t> chars[256];
    for (int b = 0; b < 256; ++b) {
      chars[b] = SystemChar(t.name, static_cast<uint8_t>(b));
      ASSERT_TRUE(chars[b]) << t.name << " byte " << b;
      has[*chars[b]] = b;
    }
    int letters = 0;
    for (int b = 0; b < 256; ++b) {
      const uint8_t shown = t.table[b];
      const auto same = windows.find(*chars[b]);
      if (same != windows.end()) {
        // A character both sides have shows as itself.
        EXPECT_EQ(shown, same->second) << t.name << " byte " << b;
        letters += shown >= 0xC0;
      } else {
        // One Windows-1251 lacks takes the place of a character this
        // encoding lacks, never of one it has.
        const auto there = SystemChar("CP1251", shown);
        EXPECT_FALSE(there && has.count(*there)) << t.name << " byte " << b;
      }
    }
    EXPECT_EQ(letters, 64) << t.name << ": А..я all land on their Windows-1251 codes";
  }
}

TEST(CyrillicTables, LettersOfEachEncodingLandOnTheirWindowsLetters) {
  // "Ёжик і ґанок" in each encoding, shown as Windows-1251.
  const std::string expected = "\xA8\xE6\xE8\xEA \xB3 \xB4\xE0\xED\xEE\xEA";
  auto shown = [](const CodeTable& t, std::string bytes) {
    for (char& c : bytes) c = static_cast<char>(t[static_cast<uint8_t>(c)]);
    return bytes;
  };
  EXPECT_EQ(shown(Koi8uTable(), "\xB3\xD6\xC9\xCB \xA6 \xAD\xC1\xCE\xCF\xCB"), expected);
  EXPECT_EQ(shown(MacCyrillicTable(), "\xDD\xE6\xE8\xEA \xB4 \xB6\xE0\xED\xEE\xEA"), expected);
  // ISO-8859-5 has no ґ: the Russian part only.
  EXPECT_EQ(shown(Iso88595Table(), "\xA1\xD6\xD8\xDA \xF6"), "\xA8\xE6\xE8\xEA \xB3");
  EXPECT_EQ(shown(Koi8rTable(), "\xB3\xD6\xC9\xCB"), "\xA8\xE6\xE8\xEA");
}

// Every byte, line ends of all three kinds among them, shown through each
// display table in turn (and as UTF-8) and saved: the file is what it was.
TEST_F(TextViewTest, SwitchingDisplayEncodingsNeverChangesAByte) {
  std::string bytes;
  for (int rep = 0; rep < 3; ++rep)
    for (int b = 255; b >= 0; --b) bytes += static_cast<char>(b);
  bytes += "\r\nend\n\r";
  Load(bytes, 37);
  EncodingCatalogue catalogue;
  TempDir dir;
  int shown = 0;
  for (const EncodingEntry* e : catalogue.MenuEntries()) {
    CodeTable table;
    ASSERT_TRUE(catalogue.Table(*e, TableUse::kDisplay, table)) << e->id;
    view->SetDisplay(table, e->showsUtf8);
    ++shown;
    view->SaveToFile(dir.File("out"));
    ASSERT_EQ(TempDir::Read(dir.File("out")), bytes) << "shown as " << e->id;
  }
  EXPECT_EQ(shown, 7);
}

}  // namespace
}  // namespace prambus
