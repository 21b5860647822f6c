#include "encodings/encoding_detection.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "encodings/code_tables.h"
#include "encodings/cyrillic_model.h"
#include "encodings/cyrillic_tables.h"
#include "encodings/encoding_catalogue.h"

namespace prambus {
namespace {

namespace model = cyrillic_model;

// The decision's two thresholds, in eighths of a bit (tuned on the corpus,
// see scripts/encodings/measure_detection.sh). The best candidate must
// explain the text this much better than any candidate that reads it
// differently (one misread capital or dash in a sample costs about that
// much)...
constexpr int64_t kMinMargin = 5 * 8;
// ...and cost no more than this per scored pair: Russian or Ukrainian costs
// about 4 bits a pair (at most 6 in 200-byte samples of the corpus), bytes
// of another language or of no text far more.
constexpr int64_t kMaxMeanCost = 52;  // 6.5 bits
// Fewer Cyrillic letters than this are no Cyrillic text (an English text
// with a dash or a quote mark of some encoding, say).
constexpr int64_t kMinLetters = 4;
// More control codes than one in this many bytes makes a file binary.
constexpr size_t kControlShare = 50;

bool IsTextControl(uint8_t c) {
  // Tab, line ends, form feed, the DOS end-of-file mark and the escape of
  // terminal colours turn up in text files.
  return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == 0x1A || c == 0x1B;
}

bool LooksBinary(std::string_view s) {
  size_t controls = 0;
  for (const char ch : s) {
    const auto c = static_cast<uint8_t>(ch);
    if (c == 0) return true;
    if ((c < 0x20 && !IsTextControl(c)) || c == 0x7F) ++controls;
  }
  return controls * kControlShare > s.size();
}

// Whether a UTF-16 code unit lies where the world's running text does:
// alphabets, punctuation, kana, CJK ideographs, Hangul (surrogates too, for
// what lies beyond). Random bytes land there about half the time.
bool InTextRange(unsigned u) {
  return u < 0x0530 || (u >= 0x0590 && u < 0x0700) || (u >= 0x0900 && u < 0x0E80) ||
         (u >= 0x2000 && u < 0x2070) || (u >= 0x3000 && u < 0x3100) ||
         (u >= 0x4E00 && u < 0xA000) || (u >= 0xAC00 && u < 0xE000);
}

// The binary test on the UTF-16 code units after a byte-order mark, with
// surrogates in pairs and nine units in ten in the ranges of text: binary
// data may begin with FF FE or FE FF too.
bool LooksLikeUtf16(std::string_view s, bool bigEndian) {
  size_t controls = 0, outside = 0, units = s.size() / 2;
  bool wantLow = false;
  for (size_t i = 0; i < units; ++i) {
    const auto first = static_cast<uint8_t>(s[2 * i]), second = static_cast<uint8_t>(s[2 * i + 1]);
    const unsigned u = bigEndian ? (first << 8 | second) : (second << 8 | first);
    const bool low = u >= 0xDC00 && u <= 0xDFFF;
    if (u == 0 || low != wantLow) return false;
    wantLow = u >= 0xD800 && u <= 0xDBFF;
    if ((u < 0x20 && !IsTextControl(static_cast<uint8_t>(u))) || u == 0x7F) ++controls;
    if (!InTextRange(u)) ++outside;
  }
  return controls * kControlShare <= units && outside * 10 <= units;
}

// A text with a few stray bytes is still UTF-8 (a Latin-1 byte pasted into
// a log, a sequence cut by the end of a truncated file) when well-formed
// multi-byte sequences outnumber them: at least this many...
constexpr size_t kMinWellFormed = 4;
// ...and one ill-formed byte at most per this many of them. Cyrillic text in
// a single-byte encoding comes nowhere near: its letters form a valid
// sequence only here and there (a capital and an "ё" in Windows-1251, three
// lower-case letters in DOS 866), and most of its high bytes stand alone,
// ill-formed: over a corpus of such texts, one valid sequence per two stray
// bytes at best. A short UTF-8 line cut in its last letter ("Привет, ми"
// and one byte of "р") passes; read as letters it would be taken for KOI8-R.
constexpr size_t kWellFormedPerIllFormed = 4;

struct Utf8Count {
  size_t wellFormed = 0;  // complete multi-byte sequences
  size_t illFormed = 0;   // bytes no well-formed sequence holds
  bool cut = false;       // a sequence cut off by the sample's end
};

// The length of the well-formed sequence at s[i] in strict UTF-8 (no overlong
// forms, no surrogates, nothing past U+10FFFF); 0 when the byte there starts
// none. `have` is how much of it the sample holds when that is less.
size_t SequenceAt(std::string_view s, size_t i, size_t& have) {
  const auto c = static_cast<uint8_t>(s[i]);
  size_t len = 0;
  if (c >= 0xC2 && c <= 0xDF)
    len = 2;
  else if (c >= 0xE0 && c <= 0xEF)
    len = 3;
  else if (c >= 0xF0 && c <= 0xF4)
    len = 4;
  else
    return 0;
  have = std::min(len, s.size() - i);
  for (size_t j = 1; j < have; ++j)
    if ((static_cast<uint8_t>(s[i + j]) & 0xC0) != 0x80) return 0;
  if (have >= 2) {
    const auto c1 = static_cast<uint8_t>(s[i + 1]);
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) || (c == 0xF0 && c1 < 0x90) ||
        (c == 0xF4 && c1 >= 0x90))
      return 0;
  }
  return len;
}

// A sequence cut off by the sample's end counts neither way, unless the
// sample is the whole file: then its bytes are ill-formed.
Utf8Count CountUtf8(std::string_view s, bool wholeFile) {
  Utf8Count count;
  for (size_t i = 0; i < s.size();) {
    if (static_cast<uint8_t>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    size_t have = 0;
    const size_t len = SequenceAt(s, i, have);
    if (len == 0) {
      ++count.illFormed;
      ++i;
    } else if (have == len) {
      ++count.wellFormed;
      i += len;
    } else if (wholeFile) {
      count.illFormed += have;
      break;
    } else {
      count.cut = true;
      break;
    }
  }
  return count;
}

bool IsUtf8(const Utf8Count& c) {
  if (c.illFormed == 0) return c.wellFormed > 0;
  return c.wellFormed >= kMinWellFormed && c.illFormed * kWellFormedPerIllFormed <= c.wellFormed;
}

// The candidates' display tables, in the model's order: two candidates read
// a text alike when their tables agree on every byte it holds.
const std::array<const CodeTable*, model::kCandidates>& CandidateTables() {
  static const std::array<const CodeTable*, model::kCandidates> tables = {
      &WindowsTable(), &DosTable(),      &Koi8rTable(),
      &Koi8uTable(),   &Iso88595Table(), &MacCyrillicTable(),
  };
  return tables;
}

// When candidates read a text alike, the more common encoding is named.
constexpr std::array<int, model::kCandidates> kPreference = {0, 2, 1, 3, 4, 5};

bool IsLetter(uint8_t cls) {
  const int c = cls & ~model::kCapital;
  return c >= model::kFirstLetter && c <= model::kLastLetter;
}

EncodingGuess GuessByLetters(std::string_view s) {
  std::array<int64_t, model::kCandidates> cost{}, letters{};
  // Per candidate: whether the last character that was no space ended a
  // sentence (a capital is expected next).
  std::array<bool, model::kCandidates> afterEnd;
  afterEnd.fill(true);
  int64_t scored = 0;
  bool present[256] = {};
  uint8_t prev = ' ';
  for (const char ch : s) {
    const auto b = static_cast<uint8_t>(ch);
    present[b] = true;
    const bool score = ((prev | b) & 0x80) != 0;
    scored += score;
    for (int k = 0; k < model::kCandidates; ++k) {
      const uint8_t from = model::kByteClass[k][prev], to = model::kByteClass[k][b];
      const int toClass = to & ~model::kCapital;
      if (score) {
        cost[k] += model::kPairCost[from & ~model::kCapital][toClass];
        if (IsLetter(to)) {
          ++letters[k];
          const int context = IsLetter(from) ? ((from & model::kCapital) ? model::kAfterCapital
                                                                         : model::kAfterSmall)
                              : afterEnd[k]  ? model::kAfterSentenceEnd
                                             : model::kAfterOtherNonLetter;
          cost[k] += model::kCaseCost[context][(to & model::kCapital) ? 1 : 0];
        }
      }
      if (toClass != model::kSpace)
        afterEnd[k] = toClass == model::kSentenceEnd || toClass == model::kEllipsis;
    }
    prev = b;
  }
  if (scored == 0) return {{}, DetectionBasis::kPlainAscii};
  int best = kPreference[0];
  for (const int k : kPreference)
    if (cost[k] < cost[best]) best = k;
  const auto& tables = CandidateTables();
  int64_t runnerUp = INT64_MAX;
  for (int k = 0; k < model::kCandidates; ++k) {
    bool alike = true;
    for (int b = 0x80; b < 256 && alike; ++b)
      if (present[b] && (*tables[k])[b] != (*tables[best])[b]) alike = false;
    if (!alike) runnerUp = std::min(runnerUp, cost[k]);
  }
  if (letters[best] < kMinLetters || runnerUp - cost[best] < kMinMargin ||
      cost[best] > kMaxMeanCost * scored)
    return {{}, DetectionBasis::kUnclear};
  return {model::kCandidateIds[best], DetectionBasis::kLetterStatistics};
}

}  // namespace

EncodingGuess DetectEncoding(std::string_view s, bool wholeFile) {
  auto startsWith = [&](std::string_view mark) { return s.substr(0, mark.size()) == mark; };
  if (startsWith("\xEF\xBB\xBF")) {
    if (LooksBinary(s.substr(3))) return {{}, DetectionBasis::kBinary};
    return {encoding_id::kUtf8, DetectionBasis::kByteOrderMark, 3};
  }
  // FF FE 00 00 is UTF-32's mark, which no conversion here reads.
  if (startsWith(std::string_view("\xFF\xFE\0\0", 4))) return {{}, DetectionBasis::kBinary};
  for (const bool bigEndian : {false, true}) {
    if (!startsWith(bigEndian ? "\xFE\xFF" : "\xFF\xFE")) continue;
    if (!LooksLikeUtf16(s.substr(2), bigEndian)) return {{}, DetectionBasis::kBinary};
    return {bigEndian ? encoding_id::kUtf16Be : encoding_id::kUtf16, DetectionBasis::kByteOrderMark,
            2};
  }
  if (LooksBinary(s)) return {{}, DetectionBasis::kBinary};
  const Utf8Count utf8 = CountUtf8(s, wholeFile);
  if (IsUtf8(utf8))
    return {encoding_id::kUtf8,
            utf8.illFormed == 0 ? DetectionBasis::kValidUtf8 : DetectionBasis::kMostlyUtf8};
  // Nothing beyond ASCII: nothing to guess from.
  if (utf8.wellFormed == 0 && utf8.illFormed == 0 && !utf8.cut)
    return {{}, DetectionBasis::kPlainAscii};
  return GuessByLetters(s);
}

}  // namespace prambus
