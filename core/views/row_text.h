// Storage for the text view's display rows. A loaded document is copied into
// large arena chunks and each row borrows its bytes from there (16 bytes of
// bookkeeping per row, no allocation per row). A row that is edited takes an
// owned copy of its bytes first.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace prambus {

class RowArena {
 public:
  RowArena() = default;
  RowArena(const RowArena&) = delete;
  RowArena& operator=(const RowArena&) = delete;
  ~RowArena();

  // Copies n bytes to the end of the arena and returns where they went.
  // Consecutive copies into the same chunk are contiguous. Bytes that already
  // lie at the end (see Reserve) are taken where they are.
  uint8_t* Push(const uint8_t* p, size_t n);
  // Room for n bytes at the end of the arena, to be filled by the caller and
  // then handed to Push in order (a file is read straight into the arena).
  uint8_t* Reserve(size_t n);
  // Whether p is the current end of the arena and n more bytes fit there.
  bool CanExtend(const uint8_t* p, size_t n) const { return p == top_ && n <= size_t(end_ - top_); }
  size_t BytesReserved() const { return reserved_; }

 private:
  void NewChunk(size_t n);

  struct Chunk {
    uint8_t* base;
    size_t size;
  };
  std::vector<Chunk> chunks_;
  uint8_t* top_ = nullptr;
  uint8_t* end_ = nullptr;
  size_t reserved_ = 0;
};

class RowText {
 public:
  RowText() = default;
  RowText(const RowText&) = delete;
  RowText& operator=(const RowText&) = delete;
  RowText(RowText&& o) noexcept : p_(o.p_), len_(o.len_), cap_(o.cap_) { o.Forget(); }
  RowText& operator=(RowText&& o) noexcept {
    if (this != &o) {
      Release();
      p_ = o.p_;
      len_ = o.len_;
      cap_ = o.cap_;
      o.Forget();
    }
    return *this;
  }
  ~RowText() { Release(); }

  int size() const { return static_cast<int>(len_); }
  bool empty() const { return len_ == 0; }
  const uint8_t* data() const { return p_; }
  uint8_t operator[](int i) const { return p_[i]; }
  uint8_t back() const { return p_[len_ - 1]; }
  std::string_view view() const { return {reinterpret_cast<const char*>(p_), len_}; }
  std::string str() const { return std::string(view()); }

  // Appends, extending in the arena when the row ends at the arena's top.
  void Append(const uint8_t* p, int n, RowArena* arena);
  void Append(std::string_view s) {
    Append(reinterpret_cast<const uint8_t*>(s.data()), int(s.size()), nullptr);
  }
  void Insert(int pos, const uint8_t* p, int n);
  void Insert(int pos, std::string_view s) {
    Insert(pos, reinterpret_cast<const uint8_t*>(s.data()), int(s.size()));
  }
  void Erase(int pos, int n);
  void Truncate(int n) {
    if (n < int(len_)) len_ = static_cast<uint32_t>(n < 0 ? 0 : n);
  }
  void Assign(std::string_view s);
  void Clear() {
    Release();
    Forget();
  }
  // Exchanges the characters through a 256-entry table in place.
  void MapThrough(const uint8_t* table);

 private:
  void Release() {
    if (cap_) std::free(p_);
  }
  void Forget() {
    p_ = nullptr;
    len_ = 0;
    cap_ = 0;
  }
  void Reserve(uint32_t n);  // makes the row owned with room for n bytes

  uint8_t* p_ = nullptr;
  uint32_t len_ = 0;
  uint32_t cap_ = 0;  // 0 with len_ > 0: the bytes are borrowed from an arena
};

}  // namespace prambus
