#include "views/saved_bytes.h"

#include <algorithm>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus {

namespace {

bool IsLineEndByte(char c) {
  return c == '\r' || c == '\n';
}

// From (row, col) up to (endRow, endCol) of the text view's rows.
class TextSavedBytes final : public SavedBytes {
 public:
  TextSavedBytes(const TextView& view, int row, int col, int endRow, int endCol, int64_t total)
      : view_(view),
        inverse_(InverseTable(view.CharTable())),
        identity_(inverse_ == IdentityTable()),
        convert_(view.ConvertLineEnds),
        lineEnd_(Cfg().LineEnd),
        row_(row),
        col_(static_cast<size_t>(col)),
        endRow_(endRow),
        endCol_(static_cast<size_t>(endCol)) {
    total_ = total;
  }

  std::span<const uint8_t> Next(size_t size) override {
    buf_.clear();
    buf_.reserve(size + lineEnd_.size());
    while (buf_.size() < size && !AtEnd()) {
      const std::string_view text = view_.GetRow(row_);
      const size_t stop = row_ == endRow_ ? std::min(endCol_, text.size()) : text.size();
      size_t keep = stop;  // where the characters kept as they are end
      const bool convertsEnd =
          convert_ && stop == text.size() && !text.empty() && IsLineEndByte(text.back());
      if (convertsEnd) {
        keep = text.size();
        while (keep > 0 && IsLineEndByte(text[keep - 1])) --keep;
      }
      if (col_ < keep) {
        const size_t take = std::min(keep - col_, size - buf_.size());
        Put(text.substr(col_, take));
        col_ += take;
        done_ += static_cast<int64_t>(take);
        if (col_ < keep) break;  // the piece is full
      }
      if (convertsEnd && col_ <= keep) {
        Put(lineEnd_);
      } else if (col_ < stop) {
        Put(text.substr(col_, stop - col_));  // a part of a line end, as it is
      }
      done_ += static_cast<int64_t>(stop - std::min(col_, stop));
      ++row_;
      col_ = 0;
    }
    return {buf_.data(), buf_.size()};
  }

 private:
  bool AtEnd() const { return row_ > endRow_ || (row_ == endRow_ && col_ >= endCol_); }
  void Put(std::string_view s) {
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    if (identity_) {
      buf_.insert(buf_.end(), p, p + s.size());
    } else {
      const size_t at = buf_.size();
      buf_.resize(at + s.size());
      for (size_t i = 0; i < s.size(); ++i) buf_[at + i] = inverse_[p[i]];
    }
  }

  const TextView& view_;
  const CodeTable inverse_;
  const bool identity_;
  const bool convert_;
  const std::string lineEnd_;
  int row_;
  size_t col_;
  const int endRow_;
  const size_t endCol_;
  std::vector<uint8_t> buf_;
};

// Bytes [at, end) of the hex view.
class HexSavedBytes final : public SavedBytes {
 public:
  HexSavedBytes(const HexView& view, size_t at, size_t end)
      : bytes_(view.Data()), at_(at), end_(end) {
    total_ = static_cast<int64_t>(end - at);
  }
  std::span<const uint8_t> Next(size_t size) override {
    const size_t n = std::min(size, end_ - at_);
    const std::string_view piece = bytes_.View(at_, n, scratch_);
    at_ += n;
    done_ += static_cast<int64_t>(n);
    return {reinterpret_cast<const uint8_t*>(piece.data()), piece.size()};
  }

 private:
  const GapBytes& bytes_;
  size_t at_, end_;
  std::string scratch_;
};

}  // namespace

std::unique_ptr<SavedBytes> ReadSavedBytes(ViewBase& view, bool selectionOnly) {
  if (auto* hex = dynamic_cast<HexView*>(&view)) {
    int lo = 0, hi = static_cast<int>(hex->Data().size());
    if (selectionOnly) hex->SelectedRange(lo, hi);
    return std::make_unique<HexSavedBytes>(*hex, static_cast<size_t>(lo), static_cast<size_t>(hi));
  }
  auto& text = dynamic_cast<TextView&>(view);
  if (!selectionOnly) {
    const int last = text.LastRow();
    return std::make_unique<TextSavedBytes>(
        text, 0, 0, last, static_cast<int>(text.GetRow(last).size()), text.GetTextLength());
  }
  int r1 = text.AnchorRow(), c1 = text.AnchorColumn(), r2 = text.CursorRow(),
      c2 = text.CursorColumn();
  if (r1 > r2 || (r1 == r2 && c1 > c2)) {
    std::swap(r1, r2);
    std::swap(c1, c2);
  }
  const int64_t total = int64_t{text.PosToOffset(c2, r2)} - text.PosToOffset(c1, r1);
  return std::make_unique<TextSavedBytes>(text, r1, c1, r2, c2, total);
}

}  // namespace prambus
