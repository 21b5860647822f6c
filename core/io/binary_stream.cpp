#include "io/binary_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "io/io_error.h"
#include "io/posix_file.h"

namespace prambus {

BinaryStream::BinaryStream(const std::string& name, bool forReading) : forReading_(forReading) {
  if (forReading) {
    try {
      fd_ = OpenRegularForReading(name, fileSize_);
    } catch (const IoError& e) {
      // Folders, FIFOs and devices are no stream's business: EINVAL stands
      // for them, as they have no error number of their own.
      Record(e.Errno() ? e.Errno() : EINVAL);
      return;
    }
    KnownSize = static_cast<int32_t>(std::min<int64_t>(fileSize_, INT32_MAX));
    const size_t n = ReadBlockAt(0);
    BlockFill = static_cast<int32_t>(n);
    osPos_ = static_cast<int64_t>(n);
  } else {
    fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd_ < 0) Record(errno);
  }
}

BinaryStream::BinaryStream(int fd) : fd_(fd), borrowed_(true) {
  const off_t at = ::lseek(fd, 0, SEEK_CUR);
  if (at < 0) Record(errno);
  base_ = at < 0 ? 0 : static_cast<int64_t>(at);
}

BinaryStream::~BinaryStream() {
  Close();
}

namespace {
constexpr size_t kTransfer = size_t(256) << 10;
}  // namespace

// Copies the block at offset from the read-ahead, refilling it when needed.
size_t BinaryStream::ReadBlockAt(int64_t offset) {
  ++PlatformReads;
  if (offset < aheadStart_ || offset >= aheadStart_ + static_cast<int64_t>(ahead_.size())) {
    ahead_.resize(kTransfer);
    size_t got = 0;
    while (got < kTransfer) {
      const ssize_t n = ::pread(fd_, ahead_.data() + got, kTransfer - got, offset + got);
      if (n < 0) {
        if (errno == EINTR) continue;
        Record(errno);
        break;
      }
      if (n == 0) break;
      got += static_cast<size_t>(n);
    }
    ahead_.resize(got);
    aheadStart_ = offset;
  }
  const int64_t from = offset - aheadStart_;
  const size_t n =
      std::min<size_t>(BlockSize, ahead_.size() - std::min<size_t>(from, ahead_.size()));
  if (n) std::memcpy(block_, ahead_.data() + from, n);
  return n;
}

// Writes the gathered blocks: up to five attempts, each continuing after what
// the previous one wrote.
bool BinaryStream::FlushPending() {
  if (pending_.empty()) return true;
  size_t done = 0;
  for (int attempt = 0; attempt < 5 && done < pending_.size(); ++attempt) {
    while (done < pending_.size()) {
      const ssize_t w = ::pwrite(fd_, pending_.data() + done, pending_.size() - done,
                                 base_ + pendingStart_ + static_cast<int64_t>(done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        Record(w < 0 ? errno : ENOSPC);
        break;
      }
      done += static_cast<size_t>(w);
    }
  }
  const bool ok = done == pending_.size();
  fileSize_ = std::max<int64_t>(fileSize_, pendingStart_ + static_cast<int64_t>(done));
  pending_.clear();
  return ok;
}

bool BinaryStream::WriteBlock() {
  ++PlatformWrites;
  if (fd_ < 0) {
    Record(EBADF);
    return false;
  }
  const int64_t start = blockStart_;
  osPos_ = start + BlockFill;
  if (!forReading_) {
    // A writer produces blocks in sequence: gather them.
    if (!pending_.empty() && (start != pendingStart_ + static_cast<int64_t>(pending_.size()) ||
                              pending_.size() + BlockFill > kTransfer)) {
      if (!FlushPending()) return false;
    }
    if (pending_.empty()) pendingStart_ = start;
    const auto* bytes = reinterpret_cast<const uint8_t*>(block_);
    pending_.insert(pending_.end(), bytes, bytes + BlockFill);
    fileSize_ = std::max<int64_t>(fileSize_, osPos_);
    return true;
  }
  for (int attempt = 0; attempt < 5; ++attempt) {
    const ssize_t w = ::pwrite(fd_, block_, BlockFill, start);
    if (w == BlockFill) {
      fileSize_ = std::max<int64_t>(fileSize_, osPos_);
      ahead_.clear();  // the read-ahead no longer matches the file
      return true;
    }
    Record(w < 0 ? errno : ENOSPC);
  }
  return false;
}

void BinaryStream::Refill() {
  if (Dirty) WriteBlock();
  blockStart_ += BlockFill;
  if (KnownSize < blockStart_) KnownSize = blockStart_;
  size_t n = 0;
  // A stream created for writing has nothing to read back.
  if (fd_ >= 0 && forReading_) n = ReadBlockAt(blockStart_);
  osPos_ = blockStart_ + static_cast<int64_t>(n);
  BlockFill = static_cast<int32_t>(n);
  BlockPos = 0;
  Dirty = false;
}

void BinaryStream::Sync() {
  if (fd_ < 0) return;
  if (Dirty && WriteBlock()) Dirty = false;
  FlushPending();
  if (::fsync(fd_) != 0) Record(errno);
}

void BinaryStream::Close() {
  if (fd_ < 0) return;
  if (Dirty) WriteBlock();
  FlushPending();
  Dirty = false;
  if (borrowed_) {
    // The owner carries on after what was written.
    if (::lseek(fd_, base_ + fileSize_, SEEK_SET) < 0) Record(errno);
  } else if (::close(fd_) != 0) {
    Record(errno);
  }
  fd_ = -1;
}

size_t BinaryStream::ReadAvailable(uint8_t* dst, size_t n) {
  size_t got = 0;
  while (got < n) {
    if (BlockPos >= BlockFill) {
      // A block that was not filled was the last one the file had.
      if (BlockFill < BlockSize) break;
      Refill();
      if (BlockFill == 0) break;
    }
    const size_t take = std::min<size_t>(n - got, static_cast<size_t>(BlockFill - BlockPos));
    std::memcpy(dst + got, block_ + BlockPos, take);
    BlockPos += static_cast<int32_t>(take);
    got += take;
  }
  return got;
}

void BinaryStream::ReadBytes(uint8_t* dst, size_t n) {
  while (n > 0) {
    if (BlockPos >= BlockSize) Refill();
    const size_t take = std::min<size_t>(n, static_cast<size_t>(BlockSize - BlockPos));
    std::memcpy(dst, block_ + BlockPos, take);
    BlockPos += static_cast<int32_t>(take);
    dst += take;
    n -= take;
  }
}

void BinaryStream::WriteBytes(const uint8_t* src, size_t n) {
  while (n > 0) {
    if (BlockPos >= BlockSize) Refill();
    const size_t take = std::min<size_t>(n, static_cast<size_t>(BlockSize - BlockPos));
    if (!Dirty && (BlockFill < BlockPos + static_cast<int32_t>(take) ||
                   std::memcmp(block_ + BlockPos, src, take) != 0))
      Dirty = true;
    std::memcpy(block_ + BlockPos, src, take);
    BlockPos += static_cast<int32_t>(take);
    if (BlockPos > BlockFill) BlockFill = BlockPos;
    src += take;
    n -= take;
  }
}

void BinaryStream::WriteInt32(int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  WriteByte(static_cast<uint8_t>(u >> 24));
  WriteByte(static_cast<uint8_t>(u >> 16));
  WriteByte(static_cast<uint8_t>(u >> 8));
  WriteByte(static_cast<uint8_t>(u));
}

int32_t BinaryStream::ReadInt32() {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u = (u << 8) | ReadByte();
  return static_cast<int32_t>(u);
}

void BinaryStream::WriteString(const std::string& s) {
  WriteInt32(static_cast<int32_t>(s.size()));
  for (unsigned char c : s) WriteByte(c);
}

std::string BinaryStream::ReadString() {
  const int32_t n = ReadInt32();
  std::string s;
  if (n <= 0 || n > Remaining()) return s;
  s.resize(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) s[i] = static_cast<char>(ReadByte());
  return s;
}

void BinaryStream::WriteFont(const Font& f) {
  WriteString(f.name);
  WriteInt32(f.height);
  WriteInt32(static_cast<int32_t>(f.color));
  WriteByte(f.style & 0x0F);
}

void BinaryStream::ReadFont(Font& f) {
  f.name = ReadString();
  f.height = ReadInt32();
  f.color = static_cast<Color>(ReadInt32());
  f.style = ReadByte() & 0x0F;
}

void BinaryStream::WriteDouble(double d) {
  uint64_t u;
  std::memcpy(&u, &d, sizeof u);
  for (int i = 0; i < 8; ++i) WriteByte(static_cast<uint8_t>(u >> (8 * i)));
}

double BinaryStream::ReadDouble() {
  uint64_t u = 0;
  for (int i = 0; i < 8; ++i) u |= static_cast<uint64_t>(ReadByte()) << (8 * i);
  double d;
  std::memcpy(&d, &u, sizeof d);
  return d;
}

bool BinaryStream::AtEnd() const {
  return BlockPos >= BlockFill && osPos_ >= fileSize_;
}

int32_t BinaryStream::Size() {
  if (KnownSize < FilePosition()) KnownSize = FilePosition();
  return KnownSize;
}

int64_t BinaryStream::Remaining() const {
  return std::max<int64_t>(0, fileSize_ - FilePosition());
}

}  // namespace prambus
