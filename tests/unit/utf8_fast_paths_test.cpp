// The fast paths for UTF-8 text against the plain ones, on text that mixes
// scripts, letter cases and ill-formed bytes, cut at any place.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "shell/replace_pass.h"
#include "support/text_view_fixture.h"
#include "text/pattern_finder.h"
#include "text/utf8_chars.h"

namespace prambus {
namespace {

const uint8_t* Bytes(std::string_view s) {
  return reinterpret_cast<const uint8_t*>(s.data());
}

// Pieces random text is made of: letters of three scripts in both cases,
// spaces, wide characters, and bytes that make no character.
const std::vector<std::string> kPieces = {
    "a", "Z", "z",  " ", "П",    "п",    "р",    "Р",    "ё",        "Ё",        "б", "Σ", "σ", "ς",
    "É", "é", "中", "😀", "\x80", "\xBF", "\xD0", "\xD1", "\xC0\xAF", "\xF0\x9F", "ı", "İ", ",",
};

std::string RandomText(std::mt19937& rng, int pieces) {
  std::string s;
  for (int i = 0; i < pieces; ++i) s += kPieces[rng() % kPieces.size()];
  return s;
}

// Flips the case of Latin, Cyrillic and Greek letters here and there.
std::string ShuffleCase(std::mt19937& rng, std::string s) {
  static const std::vector<std::pair<std::string, std::string>> pairs = {
      {"z", "Z"}, {"п", "П"}, {"р", "Р"}, {"ё", "Ё"}, {"σ", "Σ"}, {"é", "É"}};
  for (const auto& [lower, upper] : pairs) {
    for (size_t at = 0; (at = s.find(lower, at)) != std::string::npos; at += upper.size())
      if (rng() % 2) s.replace(at, lower.size(), upper);
  }
  return s;
}

// The first place whose bytes, compared as the finder compares them (byte
// for byte, or folded as UTF-8), are the pattern's.
size_t PlainFind(std::string_view hay, const std::string& pattern, bool folded) {
  if (!folded) return hay.find(pattern);
  for (size_t p = 0; p + pattern.size() <= hay.size(); ++p)
    if (FoldedEquals(Bytes(hay) + p, Bytes(pattern), pattern.size())) return p;
  return std::string::npos;
}

TEST(Utf8PatternFinder, RareByteScanFindsWhatThePlainSearchFinds) {
  std::mt19937 rng(5);
  int found = 0;
  for (const bool wide : {true, false}) {
    PatternFinder::AllowWideVectors(wide);
    for (int round = 0; round < 1500; ++round) {
      const std::string text = RandomText(rng, 1 + static_cast<int>(rng() % 120));
      // A pattern cut from the text, at any byte, or made afresh.
      std::string pattern;
      if (rng() % 4) {
        const size_t from = rng() % text.size();
        pattern = text.substr(from, 1 + rng() % std::min<size_t>(12, text.size() - from));
      } else {
        pattern = RandomText(rng, 1 + static_cast<int>(rng() % 3));
      }
      // Searched from any byte to any byte: sequences cut at both edges.
      const size_t from = rng() % (text.size() + 1);
      const std::string_view hay = std::string_view(text).substr(from, rng() % 200);
      for (const bool folded : {false, true}) {
        std::string sought = folded ? ShuffleCase(rng, pattern) : pattern;
        if (folded) FoldUtf8InPlace(sought);
        const PatternFinder finder = folded ? PatternFinder(sought, PatternFinder::Utf8Folded{})
                                            : PatternFinder(sought, PatternFinder::Utf8Exact{});
        if (!finder.Usable()) continue;
        const size_t expected = PlainFind(hay, sought, folded);
        const size_t got = finder.Find(Bytes(hay), hay.size());
        ASSERT_EQ(got, expected == std::string::npos ? PatternFinder::npos : expected)
            << "round " << round << " folded " << folded << " wide " << wide;
        found += expected != std::string::npos;
      }
    }
  }
  PatternFinder::AllowWideVectors(true);
  EXPECT_GT(found, 1000);  // most rounds find something: the matches are tested too
}

// Against a long run of Cyrillic text with one match at every distance from
// its end, so that each place of both scans and of the bytes after them
// finds it.
TEST(Utf8PatternFinder, AMatchIsFoundAtEveryPlaceOfTheScan) {
  std::string base;
  for (int i = 0; i < 40; ++i) base += "да нет ";
  for (const bool wide : {true, false}) {
    PatternFinder::AllowWideVectors(wide);
    const PatternFinder exact("Ёжz", PatternFinder::Utf8Exact{});
    std::string folded = "ЁЖZ";
    FoldUtf8InPlace(folded);
    const PatternFinder loose(folded, PatternFinder::Utf8Folded{});
    ASSERT_TRUE(exact.Usable() && loose.Usable());
    for (size_t at = 0; at <= base.size(); at += 1) {
      std::string text = base;
      text.insert(at, "Ёжz");
      EXPECT_EQ(exact.Find(Bytes(text), text.size()), at) << at;
      EXPECT_EQ(loose.Find(Bytes(text), text.size()), at) << at;
      EXPECT_EQ(exact.Find(Bytes(text), at + 4), PatternFinder::npos) << at;
    }
  }
  PatternFinder::AllowWideVectors(true);
}

// "Заменить всё" without case, for a text of ASCII with no letters, searches
// the text as it is: the matches are those in the folded text.
TEST(Utf8ReplacePass, LetterlessTextIsFoundWithoutFoldingTheDocument) {
  std::mt19937 rng(23);
  for (int round = 0; round < 400; ++round) {
    const std::string text = RandomText(rng, static_cast<int>(rng() % 200));
    std::string pattern;
    for (int i = 1 + static_cast<int>(rng() % 3); i > 0; --i) pattern += ", \x80"[rng() % 3];
    std::string folded = text;
    FoldUtf8InPlace(folded);
    std::string foldedPattern = pattern;
    FoldUtf8InPlace(foldedPattern);
    std::vector<int> expected, got;
    ASSERT_TRUE(FindAllMatches(folded, {foldedPattern, true}, {}, {}, expected));
    ASSERT_TRUE(FindAllMatches(text, {pattern, false, true}, {}, {}, got));
    ASSERT_EQ(got, expected) << "round " << round;
  }
}

// Runs of letters, spaces and two-byte characters take sixteen bytes per
// step; the rows and their widths are the ones the character-by-character
// path gives, whatever the wrap width and wherever the blocks cut sequences.
class Utf8WideStepsTest : public TextViewTest {
 protected:
  void ExpectTheSingleCharacterLayout(unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::string> pieces = kPieces;
    for (const char* more : {"\r\n", "\n", "\t", "(", "-", "ab", "жжж ", "  ", "\xD0\xD0"})
      pieces.emplace_back(more);
    for (int round = 0; round < 300; ++round) {
      std::string text;
      const int n = static_cast<int>(rng() % 600);
      for (int i = 0; i < n; ++i) text += pieces[rng() % pieces.size()];
      const int wrap = round % 5 == 0 ? 100000 : 40 + static_cast<int>(rng() % 400);
      const size_t block = 1 + rng() % 300;
      std::vector<RowList> rows;
      std::vector<std::vector<int>> widths;
      for (const bool wide : {true, false}) {
        view->AllowWideSteps(wide);
        view->SetUtf8(true);
        Load(text, wrap, block);
        view->EndAppend();
        rows.push_back(Rows());
        widths.emplace_back();
        for (int r = 0; r <= view->LastRow(); ++r) widths.back().push_back(view->RowWidth(r));
      }
      view->AllowWideSteps(true);
      ASSERT_EQ(rows[0], rows[1]) << "round " << round;
      ASSERT_EQ(widths[0], widths[1]) << "round " << round;
      EXPECT_EQ(Text(), text);
    }
  }
};

TEST_F(Utf8WideStepsTest, LayOutLikeSingleCharacters) {
  ExpectTheSingleCharacterLayout(17);
}

// A blank narrower than the letters: the steps that count every byte of a
// run as one width must not be taken.
TEST_F(Utf8WideStepsTest, AFontWithANarrowerBlankLaysOutLikeSingleCharacters) {
  canvas.SetCharWidth(' ', 5);
  ExpectTheSingleCharacterLayout(23);
}

}  // namespace
}  // namespace prambus
