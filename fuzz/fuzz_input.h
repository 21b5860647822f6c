// Reads fuzzer input as a stream of small decisions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace prambus::fuzz {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
  bool Empty() const { return p_ >= end_; }
  uint8_t Byte() { return p_ < end_ ? *p_++ : 0; }
  int Int(int limit) { return limit <= 0 ? 0 : static_cast<int>((Byte() << 8 | Byte()) % limit); }
  std::string Bytes(size_t n) {
    std::string s;
    while (n-- && p_ < end_) s += static_cast<char>(*p_++);
    return s;
  }

 private:
  const uint8_t* p_;
  const uint8_t* end_;
};

}  // namespace prambus::fuzz
