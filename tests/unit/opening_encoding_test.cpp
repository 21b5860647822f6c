// Which encoding a file opens in, and the recovery record's encoding.
#include "shell/opening_encoding.h"

#include <gtest/gtest.h>

#include "encodings/encoding_detection.h"
#include "encodings/stored_encoding.h"
#include "extensions/recovery_copy.h"
#include "support/temp_dir.h"

namespace prambus {
namespace {

namespace id = encoding_id;

// "Привет, мир! Это проверка." in KOI8-R, long enough for the statistics.
std::string Koi8rText() {
  const std::string line =
      "\xf0\xd2\xc9\xd7\xc5\xd4, \xcd\xc9\xd2! \xfc\xd4\xcf \xd0\xd2\xcf\xd7\xc5\xd2\xcb\xc1 "
      "\xd4\xc5\xcb\xd3\xd4\xc1 \xce\xc1 \xd2\xd5\xd3\xd3\xcb\xcf\xcd \xd1\xda\xd9\xcb\xc5.\n";
  std::string text;
  for (int i = 0; i < 8; ++i) text += line;
  return text;
}

TEST(OpeningEncoding, TheUsersChoiceWinsThenDetectionThenTheDefault) {
  EncodingCatalogue c;
  c.AddLoaded("/enc/a.enc", "А");
  const std::string koi = Koi8rText();
  OpeningEncodingInput in;
  in.defaultId = id::kDos;
  in.sample = koi;
  in.wholeFile = true;
  EXPECT_EQ(OpeningEncoding(c, in), id::kKoi8r);  // nothing remembered: the bytes decide
  in.recentId = "file:/enc/a.enc";
  EXPECT_EQ(OpeningEncoding(c, in), "file:/enc/a.enc");
  in.recentId = "file:/enc/gone.enc";  // removed since: as if not remembered
  EXPECT_EQ(OpeningEncoding(c, in), id::kKoi8r);
  WindowAppearance pinned;
  pinned.encodingId = std::string(id::kWindows);
  in.pinned = &pinned;
  EXPECT_EQ(OpeningEncoding(c, in), id::kWindows);
  in.pinned = nullptr;
  in.sample.reset();  // detection off
  EXPECT_EQ(OpeningEncoding(c, in), id::kDos);
  // No guess: ASCII, binary and UTF-8 as the detection names them.
  for (const std::string& plain : {std::string("just ASCII\n"), std::string("\x01\x00\xff", 3)}) {
    in.sample = plain;
    EXPECT_EQ(OpeningEncoding(c, in), id::kDos) << plain;
  }
  in.sample = "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82\n";
  EXPECT_EQ(OpeningEncoding(c, in), id::kUtf8);
}

TEST(OpeningEncoding, TheDefaultRecordKeepsOnlyDisplayChoices) {
  EncodingCatalogue c;
  EXPECT_EQ(DefaultRecordEncoding(c, id::kKoi8u, id::kDos), id::kKoi8u);
  EXPECT_EQ(DefaultRecordEncoding(c, id::kUtf8, id::kDos), id::kDos);
  EXPECT_EQ(DefaultRecordEncoding(c, id::kUtf16Be, id::kDos), id::kDos);
  // A loaded encoding removed since is still the user's choice.
  EXPECT_EQ(DefaultRecordEncoding(c, "file:/gone.enc", id::kDos), "file:/gone.enc");
}

TEST(OpeningEncoding, TheSampleIsTheFilesBeginning) {
  TempDir dir;
  const std::string big(kDetectionSample + 10, 'x');
  TempDir::Write(dir.File("big"), big);
  TempDir::Write(dir.File("small"), "abc");
  bool whole = true;
  EXPECT_EQ(ReadDetectionSample(dir.File("big"), whole).size(), kDetectionSample);
  EXPECT_FALSE(whole);
  EXPECT_EQ(ReadDetectionSample(dir.File("small"), whole), "abc");
  EXPECT_TRUE(whole);
  EXPECT_EQ(ReadDetectionSample(dir.File("missing"), whole), "");
  EXPECT_EQ(ReadDetectionSample(dir.path(), whole), "");  // a folder is no file
}

// A recovery copy's description names the encoding by its old menu position,
// and by its identifier only when that position names another: older
// programs read every copy shown in Windows, DOS or a loaded table.
TEST(RecoveryManifest, NamesAnEncodingThePositionCannotNameByItsIdentifier) {
  const std::vector<LoadedEncoding> loaded = {{"/a.enc", "А"}};
  EXPECT_EQ(IdBeyondMenuPosition(id::kWindows, loaded), "");
  EXPECT_EQ(IdBeyondMenuPosition(id::kDos, loaded), "");
  EXPECT_EQ(IdBeyondMenuPosition("file:/a.enc", loaded), "");
  EXPECT_EQ(IdBeyondMenuPosition(id::kKoi8u, loaded), id::kKoi8u);
  EXPECT_EQ(IdBeyondMenuPosition(id::kUtf8, loaded), id::kUtf8);

  // A record's identifier stored again in place.
  WindowAppearance w;
  const std::vector<LoadedEncoding> far = {{"/a/folder/far/beyond/a/short/name.enc", "Б"}};
  w.encodingId = LoadedEncodingId(far[0].path);
  StoreEncoding(w.encodingId, far, w.encodingId, w.encodingIndex);
  EXPECT_EQ(w.encodingId, LoadedEncodingId(far[0].path));
  EXPECT_EQ(w.encodingIndex, 2);

  RecoveryManifest m{"/doc.txt", "Плагин", 1, 0, 7, std::string(id::kMacCyrillic)};
  const std::string text = FormatRecoveryManifest(m);
  EXPECT_EQ(ParseRecoveryManifest(text), m);
  EXPECT_FALSE(ParseRecoveryManifest(text + "x"));
  m.encodingId.clear();
  const std::string older = FormatRecoveryManifest(m);
  EXPECT_EQ(text.substr(0, older.size()), older);  // the same record with one field after it
  EXPECT_EQ(older.find("encoding-id"), std::string::npos);
  EXPECT_EQ(ParseRecoveryManifest(older), m);
}

}  // namespace
}  // namespace prambus
