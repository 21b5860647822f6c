// A fast 64-bit hash of a file's content, taken over 8-byte words (the tail
// padded with zeros and the length mixed in at the end). Bytes may be added
// in pieces of any size: the hash depends on the content alone, so a load
// that sees every byte of a file takes the same hash as a second read would.
// It tells content apart, nothing more; it is never a guard against someone
// forging a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace prambus {

class ContentHasher {
 public:
  void Add(const unsigned char* p, size_t n) {
    length_ += n;
    while (n > 0 && pendingBytes_ > 0) {
      Push(*p++);
      --n;
    }
    for (; n >= 8; p += 8, n -= 8) {
      uint64_t w;
      std::memcpy(&w, p, 8);
      Mix(w);
    }
    while (n-- > 0) Push(*p++);
  }
  uint64_t Finish() const {
    uint64_t state = state_;
    if (pendingBytes_ > 0) Mix(state, pending_);
    Mix(state, length_);
    uint64_t h = state;
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
  }

 private:
  void Push(unsigned char c) {
    pending_ |= uint64_t{c} << (8 * pendingBytes_);
    if (++pendingBytes_ == 8) {
      Mix(pending_);
      pending_ = 0;
      pendingBytes_ = 0;
    }
  }
  void Mix(uint64_t w) { Mix(state_, w); }
  static void Mix(uint64_t& state, uint64_t w) {
    state ^= w * 0x9e3779b97f4a7c15ULL;
    state = (state << 31 | state >> 33) * 0xc2b2ae3d27d4eb4fULL;
  }
  uint64_t state_ = 0x243f6a8885a308d3ULL;
  uint64_t length_ = 0;
  uint64_t pending_ = 0;
  int pendingBytes_ = 0;
};

}  // namespace prambus
