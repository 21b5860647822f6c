// A byte array with a movable gap: the bytes before the gap sit at the start
// of the storage and the bytes after it at its end. Inserting or erasing
// where the gap is costs the edit's size; moving the gap costs the distance
// it moves, so edits near the last one stay cheap however large the array.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace prambus {

class GapBytes {
 public:
  GapBytes() = default;
  ~GapBytes();
  GapBytes(const GapBytes&) = delete;
  GapBytes& operator=(const GapBytes&) = delete;
  GapBytes(GapBytes&& other) noexcept { Swap(other); }
  GapBytes& operator=(GapBytes&& other) noexcept {
    if (this != &other) {
      Swap(other);
      other.Release();
    }
    return *this;
  }
  void Swap(GapBytes& other) noexcept;

  size_t size() const { return capacity_ - (gapEnd_ - gapStart_); }
  bool empty() const { return size() == 0; }
  size_t capacity() const { return capacity_; }

  uint8_t operator[](size_t i) const { return data_[i < gapStart_ ? i : i + GapLength()]; }
  uint8_t& operator[](size_t i) { return data_[i < gapStart_ ? i : i + GapLength()]; }

  // The bytes in order as two runs: those before the gap, then those after.
  std::span<const uint8_t> Front() const { return {data_, gapStart_}; }
  std::span<const uint8_t> Back() const { return {data_ + gapEnd_, capacity_ - gapEnd_}; }

  void Insert(size_t at, const uint8_t* bytes, size_t count);
  void Insert(size_t at, std::string_view bytes) {
    Insert(at, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  // Erases up to count bytes from at (fewer where the array ends sooner).
  void Erase(size_t at, size_t count);
  // Writes bytes over those from at on, lengthening the array where they run
  // past its end.
  void Overwrite(size_t at, std::string_view bytes);
  void Assign(std::string_view bytes);
  void Append(const uint8_t* bytes, size_t count) { Insert(size(), bytes, count); }
  // Empties the array; Release also gives its storage back.
  void Clear() { gapStart_ = 0, gapEnd_ = capacity_; }
  void Release();
  // Moves the gap to the end and gives the bytes as one run. Costs the bytes
  // after the gap: for whole rewrites, not for every edit.
  std::span<const uint8_t> Contiguous() {
    MoveGap(size());
    return Front();
  }
  // Storage for at least n bytes in all, taken without touching its pages.
  void Reserve(size_t n);
  // Room for count more bytes at the end, for a read to fill in place;
  // CommitAppend then takes the first n of them into the array.
  uint8_t* AppendRoom(size_t count);
  void CommitAppend(size_t n) { gapStart_ += n; }
  // Asks for huge pages for a large storage (a document about to be read in).
  void AdviseHugePages();

  // Copies up to count bytes from at into out; returns how many.
  size_t CopyOut(size_t at, size_t count, uint8_t* out) const;
  // A copy of up to count bytes from at.
  std::string Slice(size_t at, size_t count) const;
  std::string ToString() const { return Slice(0, size()); }
  // The bytes [at, at + count) in one piece: a view of the storage when they
  // lie on one side of the gap, else copied into scratch (whose storage is
  // reused when large enough, so earlier views of the same bytes stay valid).
  std::string_view View(size_t at, size_t count, std::string& scratch) const;
  // The first place at or after from, before from + count, where a match of
  // length patternLength begins, with matches across the gap found too.
  // find(hay) gives the first match inside hay or npos. npos for none.
  template <class Find>
  size_t FindFirst(size_t from, size_t count, size_t patternLength, Find find) const;

 private:
  size_t GapLength() const { return gapEnd_ - gapStart_; }
  void MoveGap(size_t at);
  void Grow(size_t extra);

  uint8_t* data_ = nullptr;
  size_t capacity_ = 0;
  bool mapped_ = false;  // data_ is an anonymous mapping of capacity_ bytes, not from malloc
  size_t gapStart_ = 0;
  size_t gapEnd_ = 0;
};

template <class Find>
size_t GapBytes::FindFirst(size_t from, size_t count, size_t patternLength, Find find) const {
  constexpr size_t npos = std::string_view::npos;
  if (from >= size() || count == 0 || patternLength == 0) return npos;
  const size_t end = from + std::min(count, size() - from);
  auto search = [&](size_t lo, size_t hi, std::string_view hay) -> size_t {
    if (hi <= lo || hi - lo < patternLength) return npos;
    const size_t at = find(hay);
    return at == npos ? npos : lo + at;
  };
  std::string scratch;
  if (end <= gapStart_ || from >= gapStart_)
    return search(from, end, View(from, end - from, scratch));
  // Before the gap, then the few bytes on both sides of it (where a match
  // across it lies), then after it.
  size_t at = search(from, gapStart_, View(from, gapStart_ - from, scratch));
  if (at != npos) return at;
  const size_t lo = std::max(from, gapStart_ - std::min(gapStart_, patternLength - 1));
  const size_t hi = std::min(end, gapStart_ + patternLength - 1);
  at = search(lo, hi, View(lo, hi - lo, scratch));
  if (at != npos) return at;
  return search(gapStart_, end, View(gapStart_, end - gapStart_, scratch));
}

}  // namespace prambus
