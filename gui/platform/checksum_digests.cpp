#include "checksum_digests.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <stdexcept>

namespace prambus {

const char* const kChecksumNames[4] = {"CRC-32", "MD5", "SHA-1", "SHA-256"};

namespace {

std::string HexOf(const unsigned char* bytes, size_t n) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 15];
  }
  return out;
}

class Crc32 final : public Digest {
 public:
  void Add(std::span<const uint8_t> bytes) override {
    // zlib counts lengths in uInt: a piece larger than that goes in parts.
    while (!bytes.empty()) {
      const size_t n = std::min<size_t>(bytes.size(), UINT_MAX);
      crc_ = crc32(crc_, bytes.data(), static_cast<uInt>(n));
      bytes = bytes.subspan(n);
    }
  }
  std::string Hex() override {
    char text[9];
    std::snprintf(text, sizeof text, "%08lx", crc_ & 0xFFFFFFFFul);
    return text;
  }

 private:
  uLong crc_ = crc32(0, Z_NULL, 0);
};

class EvpDigest final : public Digest {
 public:
  explicit EvpDigest(const EVP_MD* md) : ctx_(EVP_MD_CTX_new()) {
    if (!ctx_ || EVP_DigestInit_ex(ctx_, md, nullptr) != 1)
      throw std::runtime_error("the digest cannot be set up");
  }
  ~EvpDigest() override { EVP_MD_CTX_free(ctx_); }
  EvpDigest(const EvpDigest&) = delete;
  EvpDigest& operator=(const EvpDigest&) = delete;

  void Add(std::span<const uint8_t> bytes) override {
    EVP_DigestUpdate(ctx_, bytes.data(), bytes.size());
  }
  std::string Hex() override {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int n = 0;
    EVP_DigestFinal_ex(ctx_, out, &n);
    return HexOf(out, n);
  }

 private:
  EVP_MD_CTX* ctx_;
};

}  // namespace

std::unique_ptr<Digest> MakeChecksumDigest(int index) {
  switch (index) {
    case 0:
      return std::make_unique<Crc32>();
    case 1:
      return std::make_unique<EvpDigest>(EVP_md5());
    case 2:
      return std::make_unique<EvpDigest>(EVP_sha1());
    default:
      return std::make_unique<EvpDigest>(EVP_sha256());
  }
}

std::vector<std::unique_ptr<Digest>> MakeChecksumDigests() {
  std::vector<std::unique_ptr<Digest>> digests;
  for (int i = 0; i < 4; ++i) digests.push_back(MakeChecksumDigest(i));
  return digests;
}

}  // namespace prambus
