// Loading and saving the hex view: the whole file through the binary stream,
// byte for byte.
#include <cerrno>

#include "io/binary_stream.h"
#include "io/io_error.h"
#include "io/posix_file.h"
#include "views/hex_view.h"

namespace prambus {

void HexView::LoadFromFile(const std::string& name) {
  BinaryStream f(name, true);
  if (!f.Ok()) throw IoError::FromErrno("cannot read " + name, f.Error());
  if (f.FileSize() > kMaxDocumentSize)
    throw IoError("file too large: " + name, FileProblem::kTooLarge, EFBIG);
  const size_t size = static_cast<size_t>(f.Size());
  Bytes.clear();
  Bytes.shrink_to_fit();
  Bytes.resize(size);
  // Only bytes the file really gave are shown: a file cut short while it is
  // read fails to load instead of ending in invented bytes.
  const size_t got = f.ReadAvailable(Bytes.data(), size);
  f.Close();
  if (!f.Ok() || got != size) {
    Bytes.clear();
    Bytes.shrink_to_fit();
    LastRow = 0;
    if (!f.Ok()) throw IoError::FromErrno("cannot read " + name, f.Error());
    throw IoError("the file shrank while it was read: " + name, FileProblem::kShortRead);
  }
  LastRow = Length() / Columns();
  // The data window opened with the view, before its bytes were here.
  if (DataWindowShown && paintDataWindow) paintDataWindow();
}

void HexView::WriteContent(int fd) {
  BinaryStream f(fd);
  f.WriteBytes(Bytes.data(), Bytes.size());
  f.Close();
  if (!f.Ok()) throw IoError::FromErrno("cannot write the document", f.Error());
}

}  // namespace prambus
