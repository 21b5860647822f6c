// Pixel widths of the text view's rows, in as few bytes as they allow. In a
// font whose characters share one width, every row is a whole number of
// cells wide, and a wrapped row is at most a window's width: such widths are
// kept in one byte each, as a count of a common unit (the greatest common
// divisor of the widths seen, found as they come). The first width that does
// not fit widens the whole array to two bytes, and the first that does not
// fit in two to four, until it is reset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <numeric>
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
  size_t size() const {
    return kind_ == Kind::kUnits    ? units_.size()
           : kind_ == Kind::kNarrow ? narrow_.size()
                                    : wide_.size();
  }
  size_t capacity() const {
    return kind_ == Kind::kUnits    ? units_.capacity()
           : kind_ == Kind::kNarrow ? narrow_.capacity()
                                    : wide_.capacity();
  }
  size_t BytesPerWidth() const {
    return kind_ == Kind::kUnits ? 1 : kind_ == Kind::kNarrow ? sizeof(uint16_t) : sizeof(int32_t);
  }
  // Whether the widths take four bytes each.
  bool wide() const { return kind_ == Kind::kWide; }

  void reserve(size_t n) {
    switch (kind_) {
      case Kind::kUnits:
        units_.reserve(n);
        break;
      case Kind::kNarrow:
        narrow_.reserve(n);
        break;
      case Kind::kWide:
        wide_.reserve(n);
        break;
    }
  }
  void resize(size_t n, int fill = 0) {
    const size_t old = size();
    switch (kind_) {
      case Kind::kUnits:
        units_.resize(n, 0);
        break;
      case Kind::kNarrow:
        narrow_.resize(n, 0);
        break;
      case Kind::kWide:
        wide_.resize(n, 0);
        break;
    }
    if (fill != 0)
      for (size_t i = old; i < n; ++i) Set(i, fill);
  }
  // n equal widths, back in one byte each when they fit.
  void assign(size_t n, int fill) {
    std::vector<uint16_t>().swap(narrow_);
    std::vector<int32_t>().swap(wide_);
    kind_ = Kind::kUnits;
    units_.clear();
    SetUnit(0);
    maxUnits_ = 0;
    resize(n, fill);
  }
  // Moves the widths [first, last) to start at dest; the ranges may overlap.
  void Move(size_t first, size_t last, size_t dest) {
    if (last <= first) return;
    const size_t bytes = BytesPerWidth();
    uint8_t* base = kind_ == Kind::kUnits    ? units_.data()
                    : kind_ == Kind::kNarrow ? reinterpret_cast<uint8_t*>(narrow_.data())
                                             : reinterpret_cast<uint8_t*>(wide_.data());
    std::memmove(base + dest * bytes, base + first * bytes, (last - first) * bytes);
  }

 private:
  enum class Kind : uint8_t { kUnits, kNarrow, kWide };
  static bool FitsNarrow(int v) { return static_cast<uint32_t>(v) <= 0xFFFF; }

  int Get(size_t i) const {
    switch (kind_) {
      case Kind::kUnits:
        return static_cast<int>(units_[i] * unit_);
      case Kind::kNarrow:
        return narrow_[i];
      case Kind::kWide:
        break;
    }
    return wide_[i];
  }
  void Set(size_t i, int v) {
    if (kind_ == Kind::kUnits) {
      if (SetUnits(i, v)) return;
      Widen(FitsNarrow(v) ? Kind::kNarrow : Kind::kWide);
    }
    if (kind_ == Kind::kNarrow) {
      if (FitsNarrow(v)) {
        narrow_[i] = static_cast<uint16_t>(v);
        return;
      }
      Widen(Kind::kWide);
    }
    wide_[i] = v;
  }

  // Stores v as a count of units, making the unit finer (and every count
  // larger) when v is not a multiple of it; false when that does not fit.
  bool SetUnits(size_t i, int v) {
    if (v == 0) {
      units_[i] = 0;
      return true;
    }
    if (!FitsNarrow(v)) return false;
    const uint32_t w = static_cast<uint32_t>(v);
    if (unit_ == 0) SetUnit(w);  // every width so far is 0
    uint32_t q = Quotient(w);
    if (q * unit_ != w) {
      const uint32_t finer = std::gcd(unit_, w);
      const uint32_t factor = unit_ / finer;
      if (maxUnits_ * factor > 0xFF) return false;
      for (uint8_t& u : units_) u = static_cast<uint8_t>(u * factor);
      maxUnits_ *= factor;
      SetUnit(finer);
      q = Quotient(w);
    }
    if (q > 0xFF) return false;
    units_[i] = static_cast<uint8_t>(q);
    if (q > maxUnits_) maxUnits_ = q;
    return true;
  }
  void SetUnit(uint32_t unit) {
    unit_ = unit;
    reciprocal_ = unit ? ((uint64_t(1) << 32) + unit - 1) / unit : 0;
  }
  // w / unit_ by a multiplication: exact for w and unit_ below 2^16, which
  // SetUnits ensures (every row adds one, so a division would show on a load).
  uint32_t Quotient(uint32_t w) const { return static_cast<uint32_t>((w * reciprocal_) >> 32); }

  void Widen(Kind to) {
    const size_t n = size(), room = capacity();
    if (kind_ == Kind::kUnits && to == Kind::kNarrow) {
      narrow_.reserve(room);
      narrow_.resize(n);
      for (size_t i = 0; i < n; ++i) narrow_[i] = static_cast<uint16_t>(units_[i] * unit_);
    } else {
      wide_.reserve(room);
      wide_.resize(n);
      for (size_t i = 0; i < n; ++i) wide_[i] = Get(i);
    }
    std::vector<uint8_t>().swap(units_);
    if (to == Kind::kWide) std::vector<uint16_t>().swap(narrow_);
    kind_ = to;
  }

  Kind kind_ = Kind::kUnits;
  uint32_t unit_ = 0;        // what a count in units_ stands for; 0: no width yet
  uint64_t reciprocal_ = 0;  // 2^32 / unit_, rounded up
  uint32_t maxUnits_ = 0;    // no count in units_ is larger
  std::vector<uint8_t> units_;
  std::vector<uint16_t> narrow_;
  std::vector<int32_t> wide_;
};

}  // namespace prambus
