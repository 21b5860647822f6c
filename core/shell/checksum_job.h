// Checksums of the bytes a document (or its selection) is saved as,
// computed a step at a time so that the window stays responsive and the
// user can stop a long one. The algorithms come from libraries outside the
// core, behind Digest.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "views/saved_bytes.h"

namespace prambus {

class Digest {
 public:
  virtual ~Digest() = default;
  virtual void Add(std::span<const uint8_t> bytes) = 0;
  // The checksum of everything added, in lower-case hexadecimal (or a short
  // text saying why there is none, from a digest that cannot be had).
  virtual std::string Hex() = 0;
};

class ChecksumJob {
 public:
  // Pieces are this large: the digests each read a piece while it is still
  // in the processor's cache.
  static constexpr size_t kPieceBytes = size_t(256) << 10;

  ChecksumJob(std::unique_ptr<SavedBytes> bytes, std::vector<std::unique_ptr<Digest>> digests);

  // Feeds about `budget` more bytes to every digest; true once all are in
  // (each digest's Hex is then taken once).
  bool Step(size_t budget);
  bool Done() const { return done_; }
  // How far it has come, 0..1000.
  int Permille() const;
  // The bytes read so far (all of them once done).
  int64_t BytesRead() const { return bytesRead_; }
  // Each digest's result, in the order given; only once done.
  const std::vector<std::string>& Results() const { return results_; }

 private:
  std::unique_ptr<SavedBytes> bytes_;
  std::vector<std::unique_ptr<Digest>> digests_;
  int64_t bytesRead_ = 0;
  bool done_ = false;
  std::vector<std::string> results_;
};

}  // namespace prambus
