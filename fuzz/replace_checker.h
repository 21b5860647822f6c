// The find and replace commands checked against a plain string: a model of
// the region a search runs over (by offsets), the match each search must
// select (the first occurrence that starts at or after the search's start
// and ends inside the region), and the text each replacement must give.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/find_replace.h"
#include "text/cp1251.h"
#include "views/text_view.h"

namespace prambus::fuzz {

[[noreturn]] inline void FailReplace(const char* what) {
  std::fprintf(stderr, "replace check failed: %s\n", what);
  std::abort();
}

inline std::string ViewText(const TextView& v) {
  std::string s;
  for (int r = 0; r <= v.LastRow(); ++r) s += v.GetRow(r);
  return s;
}

inline int Offset(TextView& v, int col, int row) {
  return v.PosToOffset(col, row);
}

// What the replace commands must have done so far.
struct ReplaceModel {
  bool searching = false;  // a search has begun since the last reset
  bool finished = false;
  int regionStart = 0;
  int64_t regionEnd = -1;  // -1: the end of the text
  int matchStart = -1, matchEnd = -1;
};

inline bool SameText(const std::string& a, const std::string& b, bool caseSensitive) {
  if (a.size() != b.size()) return false;
  const uint8_t* up = UpperTable1251();
  for (size_t i = 0; i < a.size(); ++i) {
    const uint8_t x = static_cast<uint8_t>(a[i]), y = static_cast<uint8_t>(b[i]);
    if (caseSensitive ? x != y : up[x] != up[y]) return false;
  }
  return true;
}

// The first occurrence starting at or after from that ends inside the region.
inline int FirstMatch(const std::string& text, const ReplaceOptions& o, int from,
                      int64_t regionEnd) {
  const int64_t end = regionEnd < 0 ? static_cast<int64_t>(text.size()) : regionEnd;
  const int len = static_cast<int>(o.find.size());
  for (int p = std::max(from, 0); p + len <= end && p + len <= static_cast<int>(text.size()); ++p)
    if (SameText(text.substr(p, len), o.find, o.caseSensitive)) return p;
  return -1;
}

// Where a search from the cursor begins: after the character at the cursor.
inline int AfterCursor(TextView& v) {
  const int skip = v.CursorColumn() < static_cast<int>(v.GetRow(v.CursorRow()).size()) ? 1 : 0;
  return Offset(v, v.CursorColumn(), v.CursorRow()) + skip;
}

class ReplaceChecker {
 public:
  ReplaceChecker(TextView& view, std::string& ref) : v_(view), ref_(ref) {}
  ReplaceSession session;
  ReplaceModel model;

  void FindNext() {
    std::string message;
    const int expected = ModelFindNext();
    session.FindNext(v_, message);
    ExpectMatch(expected);
  }
  void Replace() {
    std::string message;
    int expected;
    bool replaced = false;
    if (!model.searching || !OnMatch()) {
      expected = ModelFindNext();
    } else {
      expected = ReplaceAt(model.matchStart);
      replaced = true;
    }
    if (session.Replace(v_, message) != replaced)
      FailReplace("replace changed the document or not");
    ExpectMatch(expected);
  }
  void ReplaceAll() {
    std::string message;
    int expected;
    if (!model.searching) {
      expected = ModelFindNext();
    } else if (model.finished) {
      model.finished = false;
      expected = FirstMatch(ref_, session.options, model.regionStart, model.regionEnd);
    } else if (!OnMatch()) {
      expected = ModelFindNext();
    } else {
      expected = model.matchStart;
    }
    int count = 0;
    while (expected >= 0) {
      expected = ReplaceAt(expected);
      ++count;
    }
    model.finished = true;
    model.matchStart = model.matchEnd = -1;
    if (session.ReplaceAll(v_, message) != count) FailReplace("replace all counted otherwise");
    if (ViewText(v_) != ref_) FailReplace("replace all gave another text");
    if (v_.HasSelection() && !v_.GetSelectedText().empty())
      FailReplace("a selection after replace all");
  }

 private:
  bool OnMatch() {
    return model.matchStart >= 0 &&
           Offset(v_, v_.CursorColumn(), v_.CursorRow()) == model.matchStart &&
           Offset(v_, v_.AnchorColumn(), v_.AnchorRow()) == model.matchEnd;
  }
  int ModelFindNext() {
    model.finished = false;
    int from;
    if (!model.searching) {
      model.searching = true;
      const int c = Offset(v_, v_.CursorColumn(), v_.CursorRow());
      const int a = Offset(v_, v_.AnchorColumn(), v_.AnchorRow());
      model.regionEnd = -1;
      switch (session.options.start) {
        case StartFrom::kSelection:
          model.regionStart = std::min(c, a);
          model.regionEnd = model.regionStart + static_cast<int64_t>(v_.GetSelectedText().size());
          break;
        case StartFrom::kCursor:
          model.regionStart = c;
          break;
        case StartFrom::kBeginning:
          model.regionStart = 0;
          break;
      }
      from = model.regionStart;
    } else {
      from = AfterCursor(v_);
    }
    return FirstMatch(ref_, session.options, from, model.regionEnd);
  }
  // Replaces the match at p; the next search starts after the inserted text.
  int ReplaceAt(int p) {
    const ReplaceOptions& o = session.options;
    ref_.replace(static_cast<size_t>(p), o.find.size(), o.replace);
    if (model.regionEnd >= 0)
      model.regionEnd +=
          static_cast<int64_t>(o.replace.size()) - static_cast<int64_t>(o.find.size());
    return FirstMatch(ref_, o, p + static_cast<int>(o.replace.size()), model.regionEnd);
  }
  void ExpectMatch(int expected) {
    if (ViewText(v_) != ref_) FailReplace("find or replace gave another text");
    if (expected < 0) {
      model.finished = true;
      model.matchStart = model.matchEnd = -1;
      if (v_.HasSelection() && !v_.GetSelectedText().empty())
        FailReplace("a selection without a match");
      return;
    }
    model.matchStart = expected;
    model.matchEnd = expected + static_cast<int>(session.options.find.size());
    if (Offset(v_, v_.CursorColumn(), v_.CursorRow()) != model.matchStart ||
        Offset(v_, v_.AnchorColumn(), v_.AnchorRow()) != model.matchEnd)
      FailReplace("the search selected another match");
  }

  TextView& v_;
  std::string& ref_;
};

}  // namespace prambus::fuzz
