#include "settings/data_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "io/binary_stream.h"
#include "io/io_error.h"
#include "settings/settings_schema.h"
#include "settings/stored_bounds.h"
#include "shell/safe_save.h"

namespace prambus {
namespace {

// Reads fields while the file holds them. A value the file cannot hold, or a
// count or length larger than the rest of the file, ends the file: every
// later read fails and its target keeps its default. A negative count or
// length is an empty list: nothing of it follows, so the bytes after it are
// still in step and are read on.
class FieldReader {
 public:
  explicit FieldReader(BinaryStream& f) : f_(f) {}
  bool AtEnd() const { return ended_ || f_.AtEnd(); }
  bool Ended() const { return ended_; }
  // Ends the reading here. With bytes left unread, the file is damaged
  // rather than short (an older program's, which ends between fields).
  void End() {
    if (!ended_ && f_.Remaining() > 0) damaged_ = true;
    ended_ = true;
  }
  bool Damaged() const { return damaged_; }

  bool Bool(bool& v) {
    if (!Need(1)) return false;
    v = f_.ReadBool();
    return true;
  }
  bool Byte(uint8_t& v) {
    if (!Need(1)) return false;
    v = f_.ReadByte();
    return true;
  }
  bool Int(int32_t& v) {
    if (!Need(4)) return false;
    v = f_.ReadInt32();
    return true;
  }
  bool UInt(uint32_t& v) {
    int32_t i = 0;
    if (!Int(i)) return false;
    v = static_cast<uint32_t>(i);
    return true;
  }
  bool Double(double& v) {
    if (!Need(8)) return false;
    v = f_.ReadDouble();
    return true;
  }
  bool String(std::string& s) {
    int32_t n = 0;
    if (!Count(n, 1)) return false;
    std::string out(static_cast<size_t>(n), '\0');
    for (int32_t i = 0; i < n; ++i) out[i] = static_cast<char>(f_.ReadByte());
    s = std::move(out);
    return true;
  }
  // A count of items of at least bytesEach bytes each that the rest holds.
  bool Count(int32_t& n, int64_t bytesEach) {
    int32_t v = 0;
    if (!Int(v)) return false;
    if (static_cast<int64_t>(v) * bytesEach > f_.Remaining()) {
      End();
      return false;
    }
    n = std::max(v, 0);
    return true;
  }
  bool Bools(std::vector<bool>& out) {
    int32_t n = 0;
    if (!Count(n, 1)) return false;
    std::vector<bool> v(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) v[i] = f_.ReadBool();
    out = std::move(v);
    return true;
  }
  bool FontValue(Font& font) {
    Font f = font;
    if (!String(f.name)) return false;
    if (!Int(f.height)) return false;
    if (!UInt(f.color)) return false;
    uint8_t style = 0;
    if (!Byte(style)) return false;
    f.style = style & 0x0F;
    font = f;
    return true;
  }

 private:
  bool Need(int64_t n) {
    if (ended_) return false;
    if (f_.Remaining() < n) {
      End();
      return false;
    }
    return true;
  }

  BinaryStream& f_;
  bool ended_ = false;
  bool damaged_ = false;
};

bool ReadSkin(FieldReader& r, WindowAppearance& w) {
  std::string skin;
  if (!r.String(skin)) return false;
  w.skin = skin;
  if (skin.empty()) return r.UInt(w.background);
  return true;
}

// Recent entries kept of a longer list in the file (the program shows at
// most 99).
constexpr int32_t kRecentKept = 4096;

// A pinned record's smallest size: path length, bounds, state, three flags,
// view kind, check count and skin name length.
constexpr int64_t kMinPinnedBytes = 4 + 16 + 1 + 3 + 4 + 4 + 4;

bool ReadPinned(FieldReader& r, WindowAppearance& w) {
  uint8_t state = 0;
  int32_t kind = 1;
  if (!r.String(w.path) || !r.Int(w.left) || !r.Int(w.top) || !r.Int(w.width) || !r.Int(w.height) ||
      !r.Byte(state) || !r.Bool(w.visible) || !r.Bool(w.minimalMode) || !r.Bool(w.stayOnTop) ||
      !r.Int(kind) || !r.Bools(w.checks) || !ReadSkin(r, w))
    return false;
  w.windowState = state == 0 ? 0 : state == 1 ? 1 : 2;
  w.viewKind = static_cast<int16_t>(kind == 2 ? 2 : 1);
  return true;
}

}  // namespace

namespace {

// The parts of data.dat that are not settings. Each comes just before the
// stored setting named with it; the settings themselves come in the order
// of their places in the settings schema.
enum class StatePart : uint8_t {
  kWindowAndLists,      // the window, its checks, skin and font, bindings, pinned records
  kRecentAndEncodings,  // recent paths, encoding menu positions, loaded encodings, cursors
  kKindChecks,          // the check marks kept for each view kind
  kStatusBars,          // the status bar of the default and each pinned appearance
  kEncodingIds,         // the encodings' identifiers, after all older programs read
};

struct PartPlace {
  StatePart part;
  const char* beforeField;
};

constexpr PartPlace kStateParts[] = {
    {StatePart::kWindowAndLists, "MaxUndoLen"},
    {StatePart::kRecentAndEncodings, "RememberCurPos"},
    {StatePart::kKindChecks, "LineWidth"},
    {StatePart::kStatusBars, "TrySaveReadOnly"},
    {StatePart::kEncodingIds, "ReloadChangedFiles"},
};

// Goes through data.dat in order: each setting, each part before the setting
// it precedes. A part that answers false ends the walk.
template <typename OnPart, typename OnField>
void WalkFile(OnPart onPart, OnField onField) {
  size_t next = 0;
  for (const SettingField* field : StoredFieldsInFileOrder()) {
    for (; next < std::size(kStateParts) &&
           std::strcmp(kStateParts[next].beforeField, field->key) == 0;
         ++next)
      if (!onPart(kStateParts[next].part)) return;
    onField(*field);
  }
  for (; next < std::size(kStateParts); ++next)
    if (!onPart(kStateParts[next].part)) return;
}

void ReadField(FieldReader& r, const SettingField& field, Settings& s) {
  switch (field.kind) {
    case SettingKind::kSection:
      break;
    case SettingKind::kInt:
      if (int32_t v = 0; r.Int(v)) field.set(s, v);
      break;
    case SettingKind::kBool:
      if (bool v = false; r.Bool(v)) field.set(s, v);
      break;
    case SettingKind::kReal:
      if (double v = 0; r.Double(v)) field.set(s, v);
      break;
    case SettingKind::kColor:
      if (Color v = 0; r.UInt(v)) field.set(s, v);
      break;
    case SettingKind::kText:
      if (std::string v; r.String(v)) field.set(s, std::move(v));
      break;
    case SettingKind::kFlags8: {
      // Each flag read replaces its own default.
      Flags8 flags = std::get<Flags8>(field.get(s));
      for (bool& flag : flags)
        if (bool v = false; r.Bool(v)) flag = v;
      field.set(s, flags);
      break;
    }
  }
}

// 1-10. False when the rest of the file is not read.
bool ReadWindowAndLists(FieldReader& r, BinaryStream& f, StoredState& st) {
  WindowAppearance& d = st.defaults;
  bool reserved = false;
  r.Bool(reserved);  // 1: skipped
  uint8_t state = 0;
  if (r.Byte(state)) d.windowState = state == 2 ? 2 : state == 1 ? 1 : 0;  // 2
  r.Int(d.left), r.Int(d.top), r.Int(d.width), r.Int(d.height);            // 3
  r.Bool(d.minimalMode), r.Bool(d.stayOnTop);                              // 4
  int32_t kind = 1;
  if (r.Int(kind)) d.viewKind = static_cast<int16_t>(kind == 2 ? 2 : 1);  // 5
  r.Bools(d.checks);                                                      // 6
  ReadSkin(r, d);                                                         // 7
  r.FontValue(st.surfaceFont);                                            // 8
  int32_t count = 0;
  if (r.Count(count, 5)) {  // 9
    std::vector<ExtensionBinding> bindings;
    for (int32_t i = 0; i < count; ++i) {
      ExtensionBinding b;
      if (!r.String(b.ext) || !r.Byte(b.viewIndex)) break;
      bindings.push_back(b);
    }
    st.bindings = std::move(bindings);
  }
  // 10. The program makes at most 100 records, but a longer list the file
  // holds is read all the same (and written back): ignoring the rest of the
  // file would give every later setting its default on the next save. A
  // count the file cannot hold ends the reading; a negative one is none.
  int32_t pinned = 0;
  if (!r.Int(pinned)) return false;
  if (pinned > kMaxPinned && int64_t{pinned} * kMinPinnedBytes > f.Remaining()) {
    st.pinned.clear();
    r.End();
    return false;  // the rest of the file is not read
  }
  st.pinned.clear();
  for (int32_t i = 0; i < pinned; ++i) {
    WindowAppearance w;
    if (!ReadPinned(r, w)) break;
    st.pinned.push_back(std::move(w));
  }
  return true;
}

// 23-27, after MaxRecentListLen (which counts the recent entries).
void ReadRecentAndEncodings(FieldReader& r, BinaryStream& f, StoredState& st, const Settings& s) {
  // 23: exactly MaxRecentListLen paths, each at least its 4-byte length. A
  // count the rest cannot hold ends the reading; any other list is read
  // whole (here and in 27), so the later fields are found where they are,
  // while only the first kRecentKept entries are kept.
  const int32_t recentCount = std::max(0, s.MaxRecentListLen);
  st.recent.assign(static_cast<size_t>(std::min(recentCount, kRecentKept)), RecentEntry{});
  if (!r.Ended() && static_cast<int64_t>(recentCount) * 4 > f.Remaining() && !r.AtEnd()) r.End();
  const int32_t recentHeld = r.AtEnd() ? 0 : recentCount;
  auto recentAt = [&st](int32_t i, RecentEntry& scratch) -> RecentEntry& {
    return i < kRecentKept ? st.recent[static_cast<size_t>(i)] : scratch;
  };
  for (int32_t i = 0; i < recentHeld && !r.AtEnd(); ++i) {
    RecentEntry scratch;
    r.String(recentAt(i, scratch).path);
  }
  if (r.AtEnd()) {
    st.encodings.clear();
    return;
  }
  r.Byte(st.defaults.encodingIndex);                  // 24
  for (auto& w : st.pinned) r.Byte(w.encodingIndex);  // 25
  uint8_t m = 0;
  if (r.Byte(m)) {  // 26
    std::vector<LoadedEncoding> encodings;
    for (int i = 0; i < m; ++i) {
      LoadedEncoding e;
      if (!r.String(e.path) || !r.String(e.name)) break;
      encodings.push_back(std::move(e));
    }
    st.encodings = std::move(encodings);
  }
  for (int32_t i = 0; i < recentHeld && !r.AtEnd(); ++i) {  // 27
    RecentEntry scratch;
    RecentEntry& e = recentAt(i, scratch);
    r.Int(e.col), r.Int(e.row), r.Byte(e.viewKind);
  }
}

// True when the reading stopped with bytes of the file left unread.
bool ReadFields(BinaryStream& f, StoredState& st, Settings& s) {
  FieldReader r(f);
  auto readPart = [&](StatePart part) {
    switch (part) {
      case StatePart::kWindowAndLists:
        return ReadWindowAndLists(r, f, st);
      case StatePart::kRecentAndEncodings:
        ReadRecentAndEncodings(r, f, st, s);
        break;
      case StatePart::kKindChecks:  // 37
        r.Bools(st.kindChecks[0]), r.Bools(st.kindChecks[1]);
        break;
      case StatePart::kStatusBars:  // 39
        r.Bool(st.defaults.statusBar);
        for (auto& w : st.pinned) r.Bool(w.statusBar);
        break;
      case StatePart::kEncodingIds:  // 44: read before the menu positions of 24-25
        r.String(st.defaults.encodingId);
        for (auto& w : st.pinned) r.String(w.encodingId);
        for (auto& e : st.recent) r.String(e.encodingId);
        break;
    }
    return true;
  };
  WalkFile(readPart, [&](const SettingField& field) { ReadField(r, field, s); });
  return r.Damaged();
}

}  // namespace

bool ReadDataFile(const std::string& path, StoredState& st, Settings& s, bool* damaged) {
  BinaryStream f(path, true);
  if (!f.Opened() || !f.Ok()) return false;
  const bool stopped = ReadFields(f, st, s);
  if (damaged) *damaged = stopped;
  BoundStoredState(st, s);
  st.recent.resize(static_cast<size_t>(s.MaxRecentListLen));
  s.Shag = s.ShagSaved;  // the stored block size is the one in effect from this start
  return true;
}

namespace {

void WriteSkin(BinaryStream& f, const WindowAppearance& w) {
  f.WriteString(w.skin);
  if (w.skin.empty()) f.WriteInt32(static_cast<int32_t>(w.background));
}

void WriteField(BinaryStream& f, const SettingField& field, const Settings& s) {
  const SettingValue v = field.get(s);
  switch (field.kind) {
    case SettingKind::kSection:
      break;
    case SettingKind::kInt:
      f.WriteInt32(std::get<int32_t>(v));
      break;
    case SettingKind::kBool:
      f.WriteBool(std::get<bool>(v));
      break;
    case SettingKind::kReal:
      f.WriteDouble(std::get<double>(v));
      break;
    case SettingKind::kColor:
      f.WriteInt32(static_cast<int32_t>(std::get<Color>(v)));
      break;
    case SettingKind::kText:
      f.WriteString(std::get<std::string>(v));
      break;
    case SettingKind::kFlags8:
      for (bool b : std::get<Flags8>(v)) f.WriteBool(b);
      break;
  }
}

size_t PinnedWritten(const StoredState& st) {
  return std::min<size_t>(st.pinned.size(), INT32_MAX);
}

// Exactly MaxRecentListLen entries, unused ones empty.
size_t RecentWritten(const Settings& s) {
  return static_cast<size_t>(std::max(0, s.MaxRecentListLen));
}
RecentEntry RecentAt(const StoredState& st, size_t i) {
  return i < st.recent.size() ? st.recent[i] : RecentEntry{};
}

void WriteWindowAndLists(BinaryStream& f, const StoredState& st) {
  const WindowAppearance& d = st.defaults;
  f.WriteBool(false);          // 1
  f.WriteByte(d.windowState);  // 2
  f.WriteInt32(d.left), f.WriteInt32(d.top), f.WriteInt32(d.width), f.WriteInt32(d.height);
  f.WriteBool(d.minimalMode), f.WriteBool(d.stayOnTop);  // 4
  f.WriteInt32(d.viewKind);                              // 5
  f.WriteInt32(static_cast<int32_t>(d.checks.size()));   // 6
  for (bool b : d.checks) f.WriteBool(b);
  WriteSkin(f, d);                                         // 7
  f.WriteFont(st.surfaceFont);                             // 8
  f.WriteInt32(static_cast<int32_t>(st.bindings.size()));  // 9
  for (const auto& b : st.bindings) f.WriteString(b.ext), f.WriteByte(b.viewIndex);
  const size_t pinned = PinnedWritten(st);
  f.WriteInt32(static_cast<int32_t>(pinned));  // 10
  for (size_t i = 0; i < pinned; ++i) {
    const WindowAppearance& w = st.pinned[i];
    f.WriteString(w.path);
    f.WriteInt32(w.left), f.WriteInt32(w.top), f.WriteInt32(w.width), f.WriteInt32(w.height);
    f.WriteByte(w.windowState);
    f.WriteBool(w.visible), f.WriteBool(w.minimalMode), f.WriteBool(w.stayOnTop);
    f.WriteInt32(w.viewKind);
    f.WriteInt32(static_cast<int32_t>(w.checks.size()));
    for (bool b : w.checks) f.WriteBool(b);
    WriteSkin(f, w);
  }
}

void WriteRecentAndEncodings(BinaryStream& f, const StoredState& st, const Settings& s) {
  const size_t n = RecentWritten(s), pinned = PinnedWritten(st);
  for (size_t i = 0; i < n; ++i) f.WriteString(RecentAt(st, i).path);           // 23
  f.WriteByte(st.defaults.encodingIndex);                                       // 24
  for (size_t i = 0; i < pinned; ++i) f.WriteByte(st.pinned[i].encodingIndex);  // 25
  const size_t m = std::min<size_t>(st.encodings.size(), 255);
  f.WriteByte(static_cast<uint8_t>(m));  // 26
  for (size_t i = 0; i < m; ++i)
    f.WriteString(st.encodings[i].path), f.WriteString(st.encodings[i].name);
  for (size_t i = 0; i < n; ++i) {  // 27
    const RecentEntry e = RecentAt(st, i);
    f.WriteInt32(e.col), f.WriteInt32(e.row), f.WriteByte(e.viewKind);
  }
}

void WriteFields(BinaryStream& f, const StoredState& st, const Settings& s) {
  auto writePart = [&](StatePart part) {
    const size_t pinned = PinnedWritten(st);
    switch (part) {
      case StatePart::kWindowAndLists:
        WriteWindowAndLists(f, st);
        break;
      case StatePart::kRecentAndEncodings:
        WriteRecentAndEncodings(f, st, s);
        break;
      case StatePart::kKindChecks:  // 37
        for (const auto& list : st.kindChecks) {
          f.WriteInt32(static_cast<int32_t>(list.size()));
          for (bool b : list) f.WriteBool(b);
        }
        break;
      case StatePart::kStatusBars:  // 39
        f.WriteBool(st.defaults.statusBar);
        for (size_t i = 0; i < pinned; ++i) f.WriteBool(st.pinned[i].statusBar);
        break;
      case StatePart::kEncodingIds:  // 44
        f.WriteString(st.defaults.encodingId);
        for (size_t i = 0; i < pinned; ++i) f.WriteString(st.pinned[i].encodingId);
        for (size_t i = 0; i < RecentWritten(s); ++i) f.WriteString(RecentAt(st, i).encodingId);
        break;
    }
    return true;
  };
  WalkFile(writePart, [&](const SettingField& field) { WriteField(f, field, s); });
}

}  // namespace

bool WriteDataFile(const std::string& path, const StoredState& st, const Settings& s) {
  const SaveOutcome saved = SaveSafely(path, SaveOptions{}, [&](int fd) {
    BinaryStream f(fd);
    WriteFields(f, st, s);
    f.Close();
    if (!f.Ok()) throw IoError::FromErrno("cannot write " + path, f.Error());
  });
  return saved.Saved();
}

WindowBounds RestoreWindowBounds(const WindowAppearance& w, const WindowBounds& screen,
                                 int minWidth, int minHeight) {
  // Counted in 64 bits from the screen's corner: stored values may be any int.
  // The whole window on the screen (it is never larger): one left mostly
  // off it, by a screen removed since or by a damaged file, may have its
  // title bar out of reach.
  auto place = [](int64_t pos, int64_t size, int64_t screenPos, int64_t screenSize) {
    pos = std::clamp<int64_t>(pos, screenPos, screenPos + std::max<int64_t>(0, screenSize - size));
    return static_cast<int>(std::clamp<int64_t>(pos, INT32_MIN, INT32_MAX));
  };
  // Never larger than the screen, the minimum restored size included.
  const int width = std::max(
      1, std::min(std::max(std::min(w.width, screen.width), minWidth), std::max(1, screen.width)));
  const int height = std::max(1, std::min(std::max(std::min(w.height, screen.height), minHeight),
                                          std::max(1, screen.height)));
  return {place(w.left, width, screen.left, screen.width),
          place(w.top, height, screen.top, screen.height), width, height};
}

namespace {
bool FolderWritable(const std::string& dir) {
  return !dir.empty() && ::access(dir.c_str(), W_OK) == 0;
}
bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}
// The path with its links resolved; as given when it does not exist.
std::string Resolved(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string out = real;
  std::free(real);
  return out;
}
}  // namespace

std::string ProgramFolderForSettings(const std::string& exeDir, const std::string& installBinDir) {
  return Resolved(exeDir) == Resolved(installBinDir) ? std::string() : exeDir;
}

std::string DataFileForWriting(const std::string& exeDir, const std::string& configDir) {
  if (FolderWritable(exeDir)) return exeDir + "/data.dat";
  ::mkdir(configDir.c_str(), 0755);
  return configDir + "/data.dat";
}

std::string DataFileForReading(const std::string& exeDir, const std::string& configDir) {
  if (exeDir.empty()) return configDir + "/data.dat";
  const std::string beside = exeDir + "/data.dat", config = configDir + "/data.dat";
  const bool writtenBeside = FolderWritable(exeDir);
  const std::string& written = writtenBeside ? beside : config;
  const std::string& other = writtenBeside ? config : beside;
  return Exists(written) || !Exists(other) ? written : other;
}

}  // namespace prambus
