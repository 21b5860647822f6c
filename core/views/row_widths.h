// Pixel widths of the text view's rows. Widths nearly always fit in 16 bits,
// so they are kept in two bytes each; the first width that does not fit (a
// very long row with word wrap off) widens the whole array to 32 bits until
// it is reset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace prambus {

class RowWidthArray {
 public:
  // What indexing a mutable array gives: reads as int, stores through Set.
  class Ref {
   public:
    operator int() const { return a_->Get(i_); }
    Ref& operator=(int v) {
      a_->Set(i_, v);
      return *this;
    }
    Ref& operator=(const Ref& o) { return *this = static_cast<int>(o); }

   private:
    friend class RowWidthArray;
    Ref(RowWidthArray* a, size_t i) : a_(a), i_(i) {}
    RowWidthArray* a_;
    size_t i_;
  };

  int operator[](size_t i) const { return Get(i); }
  Ref operator[](size_t i) { return Ref(this, i); }
  size_t size() const { return wide_ ? wideV_.size() : narrowV_.size(); }
  bool wide() const { return wide_; }

  void reserve(size_t n) {
    if (wide_)
      wideV_.reserve(n);
    else
      narrowV_.reserve(n);
  }
  void resize(size_t n, int fill = 0) {
    if (!Fits(fill)) Widen();
    if (wide_)
      wideV_.resize(n, fill);
    else
      narrowV_.resize(n, static_cast<uint16_t>(fill));
  }
  // n equal widths, back in two bytes each when they fit.
  void assign(size_t n, int fill) {
    std::vector<int32_t>().swap(wideV_);
    wide_ = false;
    narrowV_.clear();
    resize(n, fill);
  }
  // Moves the widths [first, last) to start at dest; the ranges may overlap.
  void Move(size_t first, size_t last, size_t dest) {
    if (last <= first) return;
    if (wide_)
      std::memmove(wideV_.data() + dest, wideV_.data() + first, (last - first) * sizeof(int32_t));
    else
      std::memmove(narrowV_.data() + dest, narrowV_.data() + first,
                   (last - first) * sizeof(uint16_t));
  }

 private:
  static bool Fits(int v) { return static_cast<uint32_t>(v) <= 0xFFFF; }
  int Get(size_t i) const { return wide_ ? wideV_[i] : narrowV_[i]; }
  void Set(size_t i, int v) {
    if (!wide_ && Fits(v)) {
      narrowV_[i] = static_cast<uint16_t>(v);
      return;
    }
    if (!wide_) Widen();
    wideV_[i] = v;
  }
  void Widen() {
    if (wide_) return;
    wideV_.reserve(narrowV_.capacity());
    wideV_.assign(narrowV_.begin(), narrowV_.end());
    std::vector<uint16_t>().swap(narrowV_);
    wide_ = true;
  }

  bool wide_ = false;
  std::vector<uint16_t> narrowV_;
  std::vector<int32_t> wideV_;
};

}  // namespace prambus
