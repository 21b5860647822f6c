// Loading never blocks and never invents bytes: only regular files are
// opened, each refusal says why, and a file that ends before its size fails
// to load instead of showing stale bytes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <future>
#include <memory>

#include "encodings/enc_file.h"
#include "io/binary_stream.h"
#include "io/io_error.h"
#include "io/posix_file.h"
#include "settings/settings.h"
#include "shell/file_messages.h"
#include "support/file_system.h"
#include "support/temp_dir.h"
#include "support/test_canvas.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus {
namespace {

// The problem opening path for reading reports (kOther with "none" when it opens).
FileProblem ProblemOpening(const std::string& path) {
  try {
    InputFile in(path);
    return FileProblem::kOther;
  } catch (const IoError& e) {
    return e.Problem();
  }
}

class FileLoadingTest : public ::testing::Test {
 protected:
  void SetUp() override { Cfg() = Settings{}; }
  std::string Path(const std::string& name) const { return dir_.File(name); }
  // Every way a file gets read, each expected to refuse path at once.
  void ExpectEveryReaderRefuses(const std::string& path) {
    TextView text(&canvas_);
    EXPECT_THROW(text.LoadFromFile(path), IoError) << path;
    HexView hex(&canvas_);
    EXPECT_THROW(hex.LoadFromFile(path), IoError) << path;
    CodeTable table;
    EXPECT_FALSE(loadEncodingFile(path, table)) << path;
    EXPECT_FALSE(BinaryStream(path, true).Ok()) << path;
  }
  TestCanvas canvas_;
  TempDir dir_;
};

TEST_F(FileLoadingTest, OnlyRegularFilesAreOpenedAndNoneBlocks) {
  const std::string fifo = Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  // Opening a FIFO for reading waits for a writer: if any reader did, the
  // test lets it go (by opening the other end) and fails instead of hanging.
  auto readers = std::async(std::launch::async, [&] { ExpectEveryReaderRefuses(fifo); });
  if (readers.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
    ADD_FAILURE() << "a reader blocked on the FIFO";
    for (int i = 0; i < 4; ++i) ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
  }
  readers.get();
  EXPECT_EQ(ProblemOpening(fifo), FileProblem::kNotRegularFile);
  // /dev/zero would never end; a device is not even opened.
  ExpectEveryReaderRefuses("/dev/zero");
  EXPECT_EQ(ProblemOpening("/dev/zero"), FileProblem::kNotRegularFile);
  ExpectEveryReaderRefuses(dir_.path());
  EXPECT_EQ(ProblemOpening(dir_.path()), FileProblem::kFolder);
  EXPECT_EQ(ProblemOpening(Path("missing")), FileProblem::kMissing);
  EXPECT_EQ(ProblemOpening(Path("missing/deeper")), FileProblem::kMissing);

  EXPECT_EQ(CannotOpenMessage(fifo, FileProblem::kNotRegularFile, 0),
            "Не могу открыть «" + fifo +
                "»: это не обычный файл, а канал, устройство или сокет. Я открываю только "
                "обычные файлы.");
  EXPECT_EQ(CannotOpenMessage("/d", FileProblem::kFolder, EISDIR),
            "Не могу открыть «/d»: это папка, а не файл.");
  EXPECT_EQ(CannotOpenMessage("/x", FileProblem::kMissing, ENOENT),
            "Не могу открыть «/x»: такого файла нет.");
  EXPECT_EQ(CannotOpenMessage("/x", FileProblem::kOther, EIO),
            "Не могу открыть «/x»: система сообщила об ошибке с кодом 5.");
}

TEST_F(FileLoadingTest, AnUnreadableFileIsRefusedAsSuch) {
  const auto nobody = Nobody();
  if (!nobody) GTEST_SKIP() << "needs root and the user nobody (root reads every file)";
  ::chmod(dir_.path().c_str(), 0755);
  const std::string secret = Path("secret");
  TempDir::Write(secret, "root only");
  ::chmod(secret.c_str(), 0600);
  EXPECT_EQ(
      RunAs(*nobody, [&] { return CannotOpenMessage(secret, ProblemOpening(secret), EACCES); }),
      "Не могу открыть «" + secret + "»: у вас нет прав на чтение этого файла.");
}

TEST_F(FileLoadingTest, EmptyFilesLoadAndSaveInBothViews) {
  const std::string empty = Path("empty"), out = Path("out");
  TempDir::Write(empty, "");
  TextView text(&canvas_);
  text.LoadFromFile(empty);
  EXPECT_EQ(text.GetTextLength(), 0);
  TempDir::Write(out, "old");
  text.SaveToFile(out);
  EXPECT_EQ(TempDir::Read(out), "");
  HexView hex(&canvas_);
  hex.LoadFromFile(empty);
  EXPECT_TRUE(hex.Data().empty());
  TempDir::Write(out, "old");
  hex.SaveToFile(out);
  EXPECT_EQ(TempDir::Read(out), "");
}

TEST_F(FileLoadingTest, FilesLongerThanTheViewsCanAddressAreRefusedUnread) {
  const std::string huge = Path("huge");
  TempDir::Write(huge, "");
  ASSERT_EQ(::truncate(huge.c_str(), kMaxDocumentSize + 1), 0);  // sparse: nothing to read
  auto problemLoading = [&](ViewBase& view) {
    // A view that read it after all would need gigabytes: it runs apart.
    return RunWithLittleMemory([&] {
      try {
        view.LoadFromFile(huge);
        return std::string("loaded");
      } catch (const IoError& e) {
        return std::string(e.Problem() == FileProblem::kTooLarge ? "too large" : "other");
      }
    });
  };
  TextView text(&canvas_);
  EXPECT_EQ(problemLoading(text), "too large");
  HexView hex(&canvas_);
  EXPECT_EQ(problemLoading(hex), "too large");
}

TEST_F(FileLoadingTest, AFileCutShortWhileReadGivesOnlyItsRealBytes) {
  const std::string path = Path("shrinking");
  std::string original;
  for (int i = 0; i < (1 << 20); ++i) original += static_cast<char>(i * 31 + i / 256);
  TempDir::Write(path, original);
  BinaryStream stream(path, true);
  ASSERT_EQ(stream.Size(), 1 << 20);
  ASSERT_EQ(::truncate(path.c_str(), 1000), 0);  // another program cuts it
  std::string got(original.size(), '\0');
  const size_t n = stream.ReadAvailable(reinterpret_cast<uint8_t*>(got.data()), got.size());
  EXPECT_LT(n, original.size());
  got.resize(n);
  EXPECT_EQ(got, original.substr(0, n));  // what came is what the file held
}

TEST_F(FileLoadingTest, AFileThatEndsBeforeItsSizeFailsToLoad) {
  // sysfs files state a size of a whole page and hold a few bytes: the
  // reading ends early, as with a file cut while it is read.
  const std::string path = "/sys/kernel/mm/transparent_hugepage/enabled";
  std::ifstream probe(path, std::ios::binary);
  const std::string content((std::istreambuf_iterator<char>(probe)), {});
  struct stat st {};
  if (!probe.good() && content.empty()) GTEST_SKIP() << path << " cannot be read here";
  if (::stat(path.c_str(), &st) != 0 || st.st_size <= static_cast<off_t>(content.size()))
    GTEST_SKIP() << path << " does not end before its stated size here";
  HexView hex(&canvas_);
  try {
    hex.LoadFromFile(path);
    ADD_FAILURE() << "the hex view showed " << hex.Data().size() << " bytes of a file of "
                  << content.size();
  } catch (const IoError& e) {
    EXPECT_EQ(e.Problem(), FileProblem::kShortRead);
  }
  TextView text(&canvas_);
  try {
    text.LoadFromFile(path);
    ADD_FAILURE() << "the text view loaded a file that ended early";
  } catch (const IoError& e) {
    EXPECT_EQ(e.Problem(), FileProblem::kShortRead);
  }
}

}  // namespace
}  // namespace prambus
