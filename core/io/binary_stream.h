// The block-buffered binary stream of the settings file and the hex view. It
// reads and writes strictly sequentially through one 2048-byte block, so a
// byte costs no system call (one per block). Integers are big-endian and
// doubles little-endian. Failures never throw: the first error is kept and
// can be queried, also after the stream is closed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace prambus {

class BinaryStream {
 public:
  static constexpr int BlockSize = 2048;

  // Reading opens the file read-only and reads the first block (only a
  // regular file: anything else fails at once, without blocking); writing
  // creates or truncates it.
  BinaryStream(const std::string& name, bool forReading);
  // Writes to a descriptor owned by the caller, from its current position.
  // Close leaves the descriptor open, positioned after the written bytes.
  explicit BinaryStream(int fd);
  ~BinaryStream();
  BinaryStream(const BinaryStream&) = delete;
  BinaryStream& operator=(const BinaryStream&) = delete;

  // Writes a dirty block back and closes the file (the destroy step).
  void Close();
  // Writes a dirty block back and flushes the file to the disk.
  void Sync();

  void WriteByte(uint8_t b) {
    if (BlockPos >= BlockSize) Refill();
    ++BlockPos;
    if (!Dirty && (static_cast<uint8_t>(block_[BlockPos - 1]) != b || BlockFill < BlockPos))
      Dirty = true;
    block_[BlockPos - 1] = static_cast<char8_t>(b);
    if (BlockPos > BlockFill) BlockFill = BlockPos;
  }
  uint8_t ReadByte() {
    if (BlockPos >= BlockSize) Refill();
    return static_cast<uint8_t>(block_[BlockPos++]);
  }

  // The same as n single reads or writes, a block at a time.
  void ReadBytes(uint8_t* dst, size_t n);
  // Reads up to n bytes but never past the data the file gave: returns how
  // many were read, fewer when the file ended early (it may have shrunk since
  // it was opened).
  size_t ReadAvailable(uint8_t* dst, size_t n);
  void WriteBytes(const uint8_t* src, size_t n);

  void WriteBool(bool v) { WriteByte(v ? 1 : 0); }
  void WriteInt32(int32_t v);
  void WriteString(const std::string& s);
  void WriteFont(const Font& f);
  void WriteDouble(double d);
  bool ReadBool() { return ReadByte() != 0; }
  int32_t ReadInt32();
  std::string ReadString();  // a length that the file cannot hold reads as empty
  void ReadFont(Font& f);
  double ReadDouble();

  bool AtEnd() const;
  int32_t Size();
  // The file's size when it was opened for reading, also beyond 32 bits.
  int64_t FileSize() const { return fileSize_; }
  // Bytes left to read before the end of the file (reading).
  int64_t Remaining() const;

  bool Ok() const { return error_ == 0; }
  int Error() const { return error_; }  // errno of the first failure, 0 if none
  bool Opened() const { return fd_ >= 0; }

  // The absolute stream position: bytes consumed or produced since opening.
  // (Kept as the block's start plus BlockPos, so a byte costs one increment.)
  int32_t FilePosition() const { return blockStart_ + BlockPos; }

  // Fields, as the stream's observable state.
  bool Dirty = false;
  int32_t BlockFill = 0;
  int32_t BlockPos = 0;
  int32_t KnownSize = 0;
  int PlatformWrites = 0;  // block writes issued, for tests of the buffering
  int PlatformReads = 0;   // block reads issued

 private:
  void Refill();
  bool WriteBlock();
  size_t ReadBlockAt(int64_t offset);
  bool FlushPending();
  void Record(int err) {
    if (!error_) error_ = err;
  }

  int fd_ = -1;
  bool forReading_ = false;
  bool borrowed_ = false;   // the descriptor belongs to the caller
  int64_t base_ = 0;        // file offset of the stream's first byte
  int32_t blockStart_ = 0;  // file offset of the block
  int64_t fileSize_ = 0;    // the file's size as last known to the stream
  int64_t osPos_ = 0;       // where the next platform read or write happens
  int error_ = 0;
  // char8_t, not uint8_t: stores into the block then cannot alias the
  // position fields, which stay in registers in a byte loop.
  char8_t block_[BlockSize] = {};
  // Consecutive blocks are gathered into one larger transfer each way, so a
  // large file costs few system calls: blocks written in sequence wait in
  // pending_ (flushed when full, out of sequence, or at the end) and blocks
  // are read from the read-ahead in ahead_.
  std::vector<uint8_t> pending_;
  int64_t pendingStart_ = 0;
  std::vector<uint8_t> ahead_;
  int64_t aheadStart_ = 0;
};

}  // namespace prambus
