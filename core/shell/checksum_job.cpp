#include "shell/checksum_job.h"

namespace prambus {

ChecksumJob::ChecksumJob(std::unique_ptr<SavedBytes> bytes,
                         std::vector<std::unique_ptr<Digest>> digests)
    : bytes_(std::move(bytes)), digests_(std::move(digests)) {}

bool ChecksumJob::Step(size_t budget) {
  size_t fed = 0;
  while (!done_ && fed < budget) {
    const std::span<const uint8_t> piece = bytes_->Next(kPieceBytes);
    if (piece.empty()) {
      done_ = true;
      for (const auto& digest : digests_) results_.push_back(digest->Hex());
      break;
    }
    for (const auto& digest : digests_) digest->Add(piece);
    fed += piece.size();
    bytesRead_ += static_cast<int64_t>(piece.size());
  }
  return done_;
}

int ChecksumJob::Permille() const {
  if (done_) return 1000;
  const int64_t total = bytes_->Total();
  if (total <= 0) return 0;
  return static_cast<int>(bytes_->Done() * 1000 / total);
}

}  // namespace prambus
