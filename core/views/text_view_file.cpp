// Loading and saving the text view: the file is read in blocks straight into
// the rows through the display table, and written back through its inverse.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "io/huge_pages.h"
#include "io/io_error.h"
#include "io/posix_file.h"
#include "settings/settings.h"
#include "views/text_view.h"

namespace prambus {

void TextView::LoadFromFile(const std::string& name) {
  InputFile in(name);
  if (in.Size() > kMaxDocumentSize)
    throw IoError("file too large: " + name, FileProblem::kTooLarge, EFBIG);
  bool identity = true;
  for (int i = 0; i < 256; ++i) identity = identity && CharTable[i] == i;
  ExpectLength(in.Size());
  // Each block is read straight into the row arena, where the rows keep it.
  constexpr size_t kBlock = 8192;
  int64_t total = 0;
  for (;;) {
    uint8_t* block = arena_->Reserve(kBlock);
    const size_t n = in.Read(block, kBlock);
    if (n == 0) break;
    total += static_cast<int64_t>(n);
    if (total > kMaxDocumentSize)
      throw IoError("file too large: " + name, FileProblem::kTooLarge, EFBIG);
    if (!identity)
      for (size_t i = 0; i < n; ++i) block[i] = CharTable[block[i]];
    AppendBytes(block, static_cast<int>(n));
  }
  // A file cut short while it was read would show as a whole document that
  // is not the file: the load fails instead.
  if (total < in.Size())
    throw IoError("the file shrank while it was read: " + name, FileProblem::kShortRead);
}

// Room for the rows of a typical text, so the row arrays need not move while
// they grow (untouched capacity costs no memory).
void TextView::ExpectLength(int64_t bytes) {
  const size_t expectedRows =
      static_cast<size_t>(LastRow) + static_cast<size_t>(std::max<int64_t>(0, bytes) / 24) + 16;
  if (expectedRows <= Rows.capacity()) return;
  Rows.reserve(expectedRows);
  RowWidths.reserve(expectedRows);
  AdviseHugePages(Rows.data(), Rows.capacity() * sizeof(RowText));
}

void TextView::WriteContent(int fd) {
  OutputFile out = OutputFile::Borrowing(fd);
  const CodeTable inverse = InverseTable(CharTable);
  const bool identity = inverse == IdentityTable();
  // Rows are gathered into large writes: a 100 MB document costs about a
  // hundred system calls.
  constexpr size_t kBuffer = size_t(1) << 20;
  std::vector<uint8_t> buf(kBuffer);
  size_t used = 0;
  auto put = [&](const uint8_t* p, size_t n) {
    while (n > 0) {
      if (used == kBuffer) {
        out.Write(buf.data(), used);
        used = 0;
      }
      const size_t take = std::min(n, kBuffer - used);
      if (identity) {
        std::memcpy(buf.data() + used, p, take);
      } else {
        for (size_t i = 0; i < take; ++i) buf[used + i] = inverse[p[i]];
      }
      used += take;
      p += take;
      n -= take;
    }
  };
  const std::string& lineEnd = Cfg().LineEnd;
  for (int r = 0; r <= LastRow; ++r) {
    const RowText& row = Rows[r];
    if (ConvertLineEnds && EndsWithLineEnd(r)) {
      put(row.data(), static_cast<size_t>(LineEndStart(r)));
      put(reinterpret_cast<const uint8_t*>(lineEnd.data()), lineEnd.size());
    } else {
      put(row.data(), static_cast<size_t>(row.size()));
    }
  }
  if (used) out.Write(buf.data(), used);
}

}  // namespace prambus
