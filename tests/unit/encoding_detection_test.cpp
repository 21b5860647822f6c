// Detection of a file's encoding from its first bytes: marks, UTF-8, the
// single-byte Cyrillic encodings by letter statistics, and no guess for
// binary files, plain ASCII and text the statistics leave unclear.
#include "encodings/encoding_detection.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "encodings/encoding_catalogue.h"

namespace prambus {
namespace {

namespace id = encoding_id;

// UTF-8 text written out in an encoding by the system's converter.
std::string In(const char* encoding, const std::string& utf8) {
  iconv_t cd = iconv_open(encoding, "UTF-8");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << encoding;
  std::string out(utf8.size() * 2 + 8, '\0');
  char* in = const_cast<char*>(utf8.data());
  char* o = out.data();
  size_t inLeft = utf8.size(), outLeft = out.size();
  EXPECT_NE(iconv(cd, &in, &inLeft, &o, &outLeft), static_cast<size_t>(-1)) << encoding;
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

const std::string kRussian =
    "Когда экипаж въехал на двор, господин был встречен трактирным слугою, или половым, как "
    "их называют в русских трактирах, живым и вертлявым до такой степени, что даже нельзя "
    "было рассмотреть, какое у него было лицо. Он выбежал проворно, с салфеткой в руке.";
const std::string kRussianCapitals =
    "ВСЁ ЕЩЁ КОГДА ЭКИПАЖ ВЪЕХАЛ НА ДВОР, ГОСПОДИН БЫЛ ВСТРЕЧЕН ТРАКТИРНЫМ СЛУГОЮ, ИЛИ ПОЛОВЫМ, "
    "КАК ИХ НАЗЫВАЮТ В РУССКИХ ТРАКТИРАХ, ЖИВЫМ И ВЕРТЛЯВЫМ ДО ТАКОЙ СТЕПЕНИ, ЧТО ДАЖЕ НЕЛЬЗЯ "
    "БЫЛО РАССМОТРЕТЬ, КАКОЕ У НЕГО БЫЛО ЛИЦО. ОН ВЫБЕЖАЛ ПРОВОРНО, С САЛФЕТКОЙ В РУКЕ. ЁЖ.";
const std::string kUkrainian =
    "Ще сонечко не зараз мало сходити, а вже ловецьке товариство вирушило з табору. Глибока "
    "тиша стояла над горами; нічні сумерки дрімали під темно-зеленими коронами смерек, на "
    "густім листю папороті висіли краплі роси, а ґазда ще спав.";

TEST(EncodingDetection, RussianAndUkrainianInEachSingleByteEncoding) {
  struct Case {
    const char* iconvName;
    std::string_view russian, ukrainian;
  };
  // A Russian text is the same bytes in KOI8-R and KOI8-U: the more common
  // name is given. ISO-8859-5 has no ґ, so the Ukrainian text goes without.
  const Case cases[] = {
      {"CP1251", id::kWindows, id::kWindows},
      {"CP866", id::kDos, {}},  // code page 866 has no і
      {"KOI8-R", id::kKoi8r, {}},
      {"KOI8-U", id::kKoi8r, id::kKoi8u},
      {"ISO-8859-5", id::kIso88595, id::kIso88595},
      {"MAC-CYRILLIC", id::kMacCyrillic, id::kMacCyrillic},
  };
  std::string ukrainianWithoutG = kUkrainian;
  ukrainianWithoutG.replace(ukrainianWithoutG.find("ґ"), std::string("ґ").size(), "г");
  for (const Case& c : cases) {
    const EncodingGuess ru = DetectEncoding(In(c.iconvName, kRussian), true);
    EXPECT_EQ(ru.id, c.russian) << c.iconvName;
    EXPECT_EQ(ru.basis, DetectionBasis::kLetterStatistics) << c.iconvName;
    if (c.ukrainian.empty()) continue;  // KOI8-R has no і
    const bool hasG =
        std::string_view(c.iconvName) != "ISO-8859-5" && std::string_view(c.iconvName) != "CP866";
    const std::string uk = In(c.iconvName, hasG ? kUkrainian : ukrainianWithoutG);
    EXPECT_EQ(DetectEncoding(uk, true).id, c.ukrainian) << c.iconvName;
  }
}

TEST(EncodingDetection, ByteOrderMarksWinButNotOverBinaryBytes) {
  const std::string utf16 = In("UTF-16LE", "Привет, мир");
  EncodingGuess g = DetectEncoding("\xFF\xFE" + utf16, true);
  EXPECT_EQ(g.id, id::kUtf16);
  EXPECT_EQ(g.byteOrderMark, 2u);
  g = DetectEncoding("\xFE\xFF" + In("UTF-16BE", "Привет, мир"), true);
  EXPECT_EQ(g.id, id::kUtf16Be);
  g = DetectEncoding("\xEF\xBB\xBFplain", true);
  EXPECT_EQ(g.id, id::kUtf8);
  EXPECT_EQ(g.byteOrderMark, 3u);
  EXPECT_EQ(DetectEncoding("\xEF\xBB\xBF", true).id, id::kUtf8);
  // UTF-32's mark, and binary data that happens to begin like a mark.
  EXPECT_EQ(DetectEncoding(std::string("\xFF\xFE\0\0A\0\0\0", 8), true).id, "");
  EXPECT_EQ(DetectEncoding(std::string("\xFF\xFE\x01\x00\x02\x00\x00\x00", 8), true).id, "");
  EXPECT_EQ(DetectEncoding("\xFE\xFF\xFF\x48\x8B\x85\x20\xFC\xFF\xFF\x48\x39", true).id, "");
  EXPECT_EQ(DetectEncoding(std::string("\xFF\xFE\x00\xDC\x41\x00", 6), true).id,
            "");  // a lone low surrogate
  EXPECT_EQ(DetectEncoding(std::string("\xEF\xBB\xBF\0\x01", 5), true).basis,
            DetectionBasis::kBinary);
}

// After a UTF-16 mark, at most one code unit in ten may lie outside the
// ranges where running text lies. Ten units of which one is surely outside
// (U+0530) leave the decision to the probed unit: the first and last unit of
// every range are text, the units just beside them are not.
TEST(EncodingDetection, Utf16MarkNeedsNineUnitsInTenInTheRangesOfText) {
  auto withProbe = [](unsigned probe) {
    std::string s = "\xFF\xFE";
    for (int i = 0; i < 8; ++i) s += std::string("A\0", 2);
    for (unsigned u : {0x0530u, probe}) {
      s += static_cast<char>(u & 0xFF);
      s += static_cast<char>(u >> 8);
    }
    return DetectEncoding(s, true).id;
  };
  for (unsigned in : {0x0020u, 0x052Fu, 0x0590u, 0x06FFu, 0x0900u, 0x0E7Fu, 0x2000u, 0x206Fu,
                      0x3000u, 0x30FFu, 0x4E00u, 0x9FFFu, 0xAC00u, 0xD7FFu})
    EXPECT_EQ(withProbe(in), id::kUtf16) << std::hex << in;
  for (unsigned out : {0x0530u, 0x058Fu, 0x0700u, 0x08FFu, 0x0E80u, 0x1FFFu, 0x2070u, 0x2FFFu,
                       0x3100u, 0x4DFFu, 0xA000u, 0xABFFu, 0xE000u, 0xFFFDu})
    EXPECT_EQ(withProbe(out), "") << std::hex << out;
}

TEST(EncodingDetection, Utf8WhenEveryMultiByteSequenceIsValid) {
  EXPECT_EQ(DetectEncoding(kRussian, true).id, id::kUtf8);
  EXPECT_EQ(DetectEncoding("caf\xC3\xA9", true).basis, DetectionBasis::kValidUtf8);
  // A sequence cut off by the sample's end is no error; in a whole file it
  // is a stray byte (see below).
  const std::string cut = "caf\xC3\xA9 \xC3";
  EXPECT_EQ(DetectEncoding(cut, false).basis, DetectionBasis::kValidUtf8);
  EXPECT_NE(DetectEncoding(cut, true).id, id::kUtf8);
  // Overlong forms, surrogates and bytes past U+10FFFF are no UTF-8.
  for (const char* bad : {"a\xC0\xAF", "a\xE0\x80\xAF", "a\xED\xA0\x80", "a\xF4\x90\x80\x80",
                          "a\xF5\x80\x80\x80", "a\x80"})
    EXPECT_NE(DetectEncoding(bad, true).basis, DetectionBasis::kValidUtf8) << bad;
  // The first and last lead byte of each length: U+0080, U+07FF, U+0800,
  // U+FFFD, U+10000 and U+10FFFF.
  for (const char* edge : {"a\xC2\x80", "a\xDF\xBF", "a\xE0\xA0\x80", "a\xEF\xBF\xBD",
                           "a\xF0\x90\x80\x80", "a\xF4\x8F\xBF\xBF"})
    EXPECT_EQ(DetectEncoding(edge, true).basis, DetectionBasis::kValidUtf8) << edge;
}

// Well-formed sequences outweigh a few stray bytes: at least 4 of them, and
// 4 for each stray byte.
TEST(EncodingDetection, Utf8WithAFewStrayBytes) {
  auto letters = [](int n) {  // n two-byte letters, in words of seven
    std::string s;
    for (int i = 0; i < n; ++i) s += i % 7 == 6 ? "я " : "я";
    return s;
  };
  auto guess = [](const std::string& s) { return DetectEncoding(s, true); };
  EXPECT_EQ(guess(letters(4) + "\xFF").basis, DetectionBasis::kMostlyUtf8);
  EXPECT_NE(guess(letters(3) + "\xFF").id, id::kUtf8);
  EXPECT_EQ(guess(letters(8) + "\xFF\xE9").id, id::kUtf8);
  EXPECT_NE(guess(letters(7) + "\xFF\xE9").id, id::kUtf8);
  // Each byte of a sequence cut by the file's end is a stray one.
  EXPECT_NE(guess(letters(7) + "\xE2\x80").id, id::kUtf8);
  EXPECT_EQ(guess(letters(8) + "\xE2\x80").id, id::kUtf8);
  // A short line cut in its last letter, or with one Latin-1 letter.
  EXPECT_EQ(guess("Привет, ми\xD1").id, id::kUtf8);
  EXPECT_EQ(guess("Привет, мир! Caf\xE9").id, id::kUtf8);
  // A Latin-1 byte pasted into a log; a lone continuation byte.
  std::string pasted = kRussian;
  pasted.insert(pasted.find("двор"), "caf\xE9 ");
  EXPECT_EQ(guess(pasted).basis, DetectionBasis::kMostlyUtf8);
  EXPECT_EQ(guess("\x80" + kRussian).id, id::kUtf8);
  // A file cut short in the middle of a character.
  const std::string truncated = kRussian.substr(0, kRussian.find("двор") + 1);
  EXPECT_EQ(guess(truncated).basis, DetectionBasis::kMostlyUtf8);
  // The other candidates, even all in capitals where Windows-1251 and
  // ISO-8859-5 pair letters into sequences, stay far from it.
  for (const char* encoding : {"CP1251", "CP866", "KOI8-R", "ISO-8859-5", "MAC-CYRILLIC"}) {
    EXPECT_NE(guess(In(encoding, kRussian)).id, id::kUtf8) << encoding;
    EXPECT_NE(guess(In(encoding, kRussianCapitals)).id, id::kUtf8) << encoding;
  }
}

TEST(EncodingDetection, NoGuessForAsciiBinaryOrTooLittleText) {
  EXPECT_EQ(DetectEncoding("", true).basis, DetectionBasis::kPlainAscii);
  EXPECT_EQ(DetectEncoding("int main() { return 0; }\r\n\f\t\x1A", true).basis,
            DetectionBasis::kPlainAscii);
  std::string binary = In("CP1251", kRussian);
  binary[40] = '\0';
  EXPECT_EQ(DetectEncoding(binary, true).basis, DetectionBasis::kBinary);
  std::string controls = In("CP1251", kRussian);
  for (size_t i = 0; i < controls.size(); i += 40) controls[i] = '\x03';
  EXPECT_EQ(DetectEncoding(controls, true).basis, DetectionBasis::kBinary);
  controls = In("CP1251", kRussian);
  controls[10] = '\x03';  // one stray control code in a text is still text
  EXPECT_EQ(DetectEncoding(controls, true).id, id::kWindows);
  // English with one dash of some encoding; a Cyrillic word too short to tell.
  EXPECT_EQ(DetectEncoding("auditing checkpoints\xD1"
                           "for example",
                           true)
                .basis,
            DetectionBasis::kUnclear);
  EXPECT_EQ(DetectEncoding(In("CP1251", "да"), true).id, "");
  // German in Latin-1 is no Cyrillic text.
  EXPECT_EQ(DetectEncoding(In("ISO-8859-1",
                              "Größere Änderungen über die Straße führen für "
                              "schöne Übungen zu großen Überraschungen."),
                           true)
                .id,
            "");
}

// A capital is expected after a sentence's end: sentences of one capital
// letter each read as small letters in the tables that swap the cases, and
// only that expectation tells the right table from them.
TEST(EncodingDetection, ACapitalAfterASentenceEndIsExpected) {
  const std::string oneLetterSentences = "Я! А? И. О... У. Я! А? И. О... У.";
  for (const auto& [encoding, expected] :
       {std::pair{"CP1251", id::kWindows}, {"KOI8-R", id::kKoi8r}, {"CP866", id::kDos}}) {
    const EncodingGuess g = DetectEncoding(In(encoding, oneLetterSentences), true);
    EXPECT_EQ(g.id, expected) << encoding;
    EXPECT_EQ(g.basis, DetectionBasis::kLetterStatistics) << encoding;
  }
}

TEST(EncodingDetection, EveryIdentifierIsInTheCatalogue) {
  const EncodingCatalogue catalogue;
  for (const char* enc : {"CP1251", "CP866", "KOI8-R", "KOI8-U", "ISO-8859-5", "MAC-CYRILLIC"}) {
    const EncodingGuess g = DetectEncoding(In(enc, kRussian), true);
    ASSERT_NE(catalogue.Find(g.id), nullptr) << enc;
    EXPECT_TRUE(catalogue.Find(g.id)->showsDocument) << enc;
  }
}

}  // namespace
}  // namespace prambus
