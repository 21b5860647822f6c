#include "checksum_digests.h"

#include <dlfcn.h>
#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

namespace prambus {

const char* const kChecksumNames[4] = {"CRC-32", "MD5", "SHA-1", "SHA-256"};
const char* const kCryptoLibrary = "libcrypto.so.3";

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

// The few functions of libcrypto the digests use, found in the library once
// it is loaded. `failure` says why they are not there.
struct Crypto {
  decltype(&::EVP_MD_CTX_new) ctxNew = nullptr;
  decltype(&::EVP_MD_CTX_free) ctxFree = nullptr;
  decltype(&::EVP_DigestInit_ex) init = nullptr;
  decltype(&::EVP_DigestUpdate) update = nullptr;
  decltype(&::EVP_DigestFinal_ex) final = nullptr;
  decltype(&::EVP_md5) md5 = nullptr;
  decltype(&::EVP_sha1) sha1 = nullptr;
  decltype(&::EVP_sha256) sha256 = nullptr;
  std::string failure;
};

template <typename F>
bool Find(void* library, const char* name, F& function) {
  function = reinterpret_cast<F>(dlsym(library, name));
  return function != nullptr;
}

// The library stays loaded for the rest of the run: libcrypto keeps state
// that outlives its callers and is not meant to be unloaded.
Crypto Load(const char* name) {
  Crypto c;
  void* library = dlopen(name, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    c.failure = std::string("недоступна: нет библиотеки ") + name;
    return c;
  }
  if (!Find(library, "EVP_MD_CTX_new", c.ctxNew) || !Find(library, "EVP_MD_CTX_free", c.ctxFree) ||
      !Find(library, "EVP_DigestInit_ex", c.init) || !Find(library, "EVP_DigestUpdate", c.update) ||
      !Find(library, "EVP_DigestFinal_ex", c.final) || !Find(library, "EVP_md5", c.md5) ||
      !Find(library, "EVP_sha1", c.sha1) || !Find(library, "EVP_sha256", c.sha256)) {
    c = Crypto{};
    c.failure = std::string("недоступна: в ") + name + " нет нужных функций";
  }
  return c;
}

const std::shared_ptr<const Crypto>& DefaultCrypto() {
  static const std::shared_ptr<const Crypto> crypto =
      std::make_shared<const Crypto>(Load(kCryptoLibrary));
  return crypto;
}

// A digest that cannot be had: what it gives is the reason.
class Unavailable final : public Digest {
 public:
  explicit Unavailable(std::string reason) : reason_(std::move(reason)) {}
  void Add(std::span<const uint8_t>) override {}
  std::string Hex() override { return reason_; }

 private:
  std::string reason_;
};

constexpr const char* kFailed = "не удалось посчитать";

class EvpDigest final : public Digest {
 public:
  // Made only by Make, once the context is set up.
  EvpDigest(std::shared_ptr<const Crypto> crypto, EVP_MD_CTX* ctx)
      : crypto_(std::move(crypto)), ctx_(ctx) {}
  ~EvpDigest() override { crypto_->ctxFree(ctx_); }
  EvpDigest(const EvpDigest&) = delete;
  EvpDigest& operator=(const EvpDigest&) = delete;

  static std::unique_ptr<Digest> Make(const std::shared_ptr<const Crypto>& crypto,
                                      const EVP_MD* md) {
    if (!md) return std::make_unique<Unavailable>(kFailed);
    EVP_MD_CTX* ctx = crypto->ctxNew();
    if (!ctx || crypto->init(ctx, md, nullptr) != 1) {
      if (ctx) crypto->ctxFree(ctx);
      return std::make_unique<Unavailable>(kFailed);
    }
    return std::make_unique<EvpDigest>(crypto, ctx);
  }

  void Add(std::span<const uint8_t> bytes) override {
    if (!failed_ && crypto_->update(ctx_, bytes.data(), bytes.size()) != 1) failed_ = true;
  }
  std::string Hex() override {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int n = 0;
    if (failed_ || crypto_->final(ctx_, out, &n) != 1) return kFailed;
    return HexOf(out, n);
  }

 private:
  std::shared_ptr<const Crypto> crypto_;
  EVP_MD_CTX* ctx_;
  bool failed_ = false;
};

std::unique_ptr<Digest> Make(int index, const std::shared_ptr<const Crypto>& crypto) {
  if (index == 0) return std::make_unique<Crc32>();
  if (!crypto->failure.empty()) return std::make_unique<Unavailable>(crypto->failure);
  switch (index) {
    case 1:
      return EvpDigest::Make(crypto, crypto->md5());
    case 2:
      return EvpDigest::Make(crypto, crypto->sha1());
    default:
      return EvpDigest::Make(crypto, crypto->sha256());
  }
}

}  // namespace

std::unique_ptr<Digest> MakeChecksumDigest(int index) {
  if (index == 0) return std::make_unique<Crc32>();  // libcrypto is not needed for it
  return Make(index, DefaultCrypto());
}

std::unique_ptr<Digest> MakeChecksumDigest(int index, const char* cryptoLibrary) {
  if (index == 0) return std::make_unique<Crc32>();
  return Make(index, std::make_shared<const Crypto>(Load(cryptoLibrary)));
}

std::vector<std::unique_ptr<Digest>> MakeChecksumDigests() {
  std::vector<std::unique_ptr<Digest>> digests;
  for (int i = 0; i < 4; ++i) digests.push_back(MakeChecksumDigest(i));
  return digests;
}

}  // namespace prambus
