// The block-buffered binary stream: value encodings, block boundaries, the
// dirty rule and errors kept for after closing.
#include "io/binary_stream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "support/temp_dir.h"

namespace prambus {
namespace {

class BinaryStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/binary_streamXXXXXX";
    dir_ = mkdtemp(tmpl);
    path_ = dir_ + "/f.bin";
  }
  void TearDown() override {
    std::remove(path_.c_str());
    rmdir(dir_.c_str());
  }
  std::string Contents() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Put(const std::string& bytes) const { std::ofstream(path_, std::ios::binary) << bytes; }
  std::string dir_, path_;
};

TEST_F(BinaryStreamTest, ValuesHaveTheirByteLayout) {
  {
    BinaryStream f(path_, false);
    f.WriteInt32(258);
    f.WriteDouble(1.0);
    f.WriteBool(true);
    f.WriteString("ab");
    Font font;
    font.name = "X";
    font.height = -16;
    font.color = 0x0000FF;
    font.style = kStyleBold | kStyleUnderline;
    f.WriteFont(font);
  }
  const std::string expected = std::string("\0\0\1\2", 4) + std::string("\0\0\0\0\0\0\xF0\x3F", 8) +
                               "\1" + std::string("\0\0\0\2ab", 6) + std::string("\0\0\0\1X", 5) +
                               std::string("\xFF\xFF\xFF\xF0", 4) + std::string("\0\0\0\xFF", 4) +
                               "\5";
  EXPECT_EQ(Contents(), expected);
  BinaryStream r(path_, true);
  EXPECT_EQ(r.ReadInt32(), 258);
  EXPECT_EQ(r.ReadDouble(), 1.0);
  EXPECT_TRUE(r.ReadBool());
  EXPECT_EQ(r.ReadString(), "ab");
  Font font;
  r.ReadFont(font);
  EXPECT_EQ(font.name, "X");
  EXPECT_EQ(font.height, -16);
  EXPECT_EQ(font.color, 0x0000FFu);
  EXPECT_EQ(font.style, 5);
  EXPECT_TRUE(r.AtEnd());
}

TEST_F(BinaryStreamTest, AnyNonZeroByteReadsAsTrue) {
  Put("\2");
  BinaryStream r(path_, true);
  EXPECT_TRUE(r.ReadBool());
}

TEST_F(BinaryStreamTest, EmptyFileIsAtItsEnd) {
  Put("");
  BinaryStream r(path_, true);
  EXPECT_EQ(r.Size(), 0);
  EXPECT_TRUE(r.AtEnd());
}

TEST_F(BinaryStreamTest, BlocksAreReadAndWrittenWholeOncePerBlock) {
  Put(std::string(2048, 'x'));
  {
    BinaryStream r(path_, true);
    EXPECT_EQ(r.PlatformReads, 1);
    for (int i = 0; i < 2048; ++i) r.ReadByte();
    EXPECT_EQ(r.PlatformReads, 1);
    EXPECT_TRUE(r.AtEnd());
    r.ReadByte();  // byte 2049: a second read that returns nothing
    EXPECT_EQ(r.PlatformReads, 2);
    EXPECT_EQ(r.BlockFill, 0);
  }
  BinaryStream w(path_, false);
  for (int i = 0; i < 3000; ++i) w.WriteByte(static_cast<uint8_t>(i));
  EXPECT_EQ(w.PlatformWrites, 1);  // the first block, when it filled
  EXPECT_EQ(w.Size(), 3000);
  w.Close();
  EXPECT_EQ(w.PlatformWrites, 2);  // the rest, at the end
  const std::string c = Contents();
  ASSERT_EQ(c.size(), 3000u);
  EXPECT_EQ(static_cast<uint8_t>(c[2999]), static_cast<uint8_t>(2999));
}

TEST_F(BinaryStreamTest, BulkTransfersMatchSingleBytes) {
  std::string data;
  for (int i = 0; i < 5000; ++i) data += static_cast<char>(i * 7);
  {
    BinaryStream w(path_, false);
    w.WriteByte('x');
    w.WriteBytes(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  }
  EXPECT_EQ(Contents(), "x" + data);
  BinaryStream r(path_, true);
  EXPECT_EQ(r.ReadByte(), 'x');
  std::string back(data.size(), '\0');
  r.ReadBytes(reinterpret_cast<uint8_t*>(back.data()), back.size());
  EXPECT_EQ(back, data);
  EXPECT_TRUE(r.AtEnd());
}

TEST_F(BinaryStreamTest, RewritingTheSameBytesLeavesTheBlockClean) {
  Put("abc");
  BinaryStream f(path_, true);
  f.WriteByte('a');
  EXPECT_FALSE(f.Dirty);
  f.WriteByte('X');
  EXPECT_TRUE(f.Dirty);
}

TEST_F(BinaryStreamTest, ErrorsAreKeptForAfterClosing) {
  BinaryStream missing(dir_ + "/nope/x", true);
  EXPECT_FALSE(missing.Ok());
  BinaryStream unwritable(dir_ + "/nope/x", false);
  unwritable.WriteByte(1);
  unwritable.Close();
  EXPECT_FALSE(unwritable.Ok());
  if (access("/dev/full", W_OK) == 0) {
    BinaryStream full("/dev/full", false);
    for (int i = 0; i < 5000; ++i) full.WriteByte(1);
    full.Close();
    EXPECT_FALSE(full.Ok());  // disk full: reported, never a silent success
  }
}

TEST_F(BinaryStreamTest, LengthsTheFileCannotHoldReadAsEmpty) {
  Put(std::string("\x7F\xFF\xFF\xFF", 4) + "abc");
  BinaryStream r(path_, true);
  EXPECT_EQ(r.ReadString(), "");
}

TEST_F(BinaryStreamTest, ABorrowedDescriptorIsWrittenFromItsPositionAndLeftOpen) {
  Put("head:");
  const int fd = ::open(path_.c_str(), O_WRONLY);
  ASSERT_GE(::lseek(fd, 5, SEEK_SET), 0);
  std::string data(5000, 'z');
  {
    BinaryStream w(fd);
    w.WriteInt32(258);
    w.WriteBytes(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    w.Close();
    EXPECT_TRUE(w.Ok());
  }
  EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 5 + 4 + 5000);  // after the last byte
  EXPECT_EQ(::write(fd, "!", 1), 1);                  // still open
  ::close(fd);
  EXPECT_EQ(Contents(), std::string("head:\0\0\1\2", 9) + data + "!");
}

}  // namespace
}  // namespace prambus
