#include "settings/data_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "io/binary_stream.h"
#include "io/io_error.h"
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

// True when the reading stopped with bytes of the file left unread.
bool ReadFields(BinaryStream& f, StoredState& st, Settings& s) {
  FieldReader r(f);
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
  if (!r.Int(pinned)) return r.Damaged();
  pinned = std::max(pinned, 0);
  if (pinned > kMaxPinned && int64_t{pinned} * kMinPinnedBytes > f.Remaining()) {
    st.pinned.clear();
    r.End();
    return r.Damaged();  // the rest of the file is not read
  }
  st.pinned.clear();
  for (int32_t i = 0; i < pinned; ++i) {
    WindowAppearance w;
    if (!ReadPinned(r, w)) break;
    st.pinned.push_back(std::move(w));
  }

  if (!r.AtEnd()) {  // 11-22
    r.Int(s.MaxUndoLen), r.Int(s.OtstupX), r.Int(s.OtstupY);
    r.Double(s.LeftMargin), r.Double(s.RightMargin), r.Double(s.TopMargin),
        r.Double(s.BottomMargin);
    r.Bool(s.NumPages);
    r.Int(s.HButtonMargin), r.Int(s.VButtonMargin), r.Int(s.MaxButtonsinRow),
        r.Int(s.HSpaceBetween);
    r.Int(s.MarginforButton), r.Int(s.VSpaceBetween), r.Int(s.MarginforText), r.UInt(s.TextColor);
    r.String(s.TextFont), r.Int(s.TextSize);
    bool italic = false, bold = false, underline = false, strike = false;
    if (r.Bool(italic) && r.Bool(bold) && r.Bool(underline) && r.Bool(strike)) {
      s.TextStyle = (bold ? 1 : 0) | (italic ? 2 : 0) | (underline ? 4 : 0) | (strike ? 8 : 0);
    }
    r.Int(s.MinRestoredWidth), r.Int(s.MinRestoredHeight);
    r.Int(s.Shag), r.Int(s.HScrollStep), r.Int(s.VScrollStep);
    r.Double(s.Distance);
    r.Int(s.MaxRecentListLen);
    r.Double(s.PageFracture);
    r.Int(s.MaxTextWidth);
  }
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
  } else {
    r.Byte(d.encodingIndex);                            // 24
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
  }
  if (r.AtEnd()) {
    for (auto& e : st.recent) e.col = e.row = 0, e.viewKind = 0;
  } else {
    for (int32_t i = 0; i < recentHeld && !r.AtEnd(); ++i) {  // 27
      RecentEntry scratch;
      RecentEntry& e = recentAt(i, scratch);
      r.Int(e.col), r.Int(e.row), r.Byte(e.viewKind);
    }
    r.Bool(s.RememberCurPos);  // 28
  }
  if (!r.AtEnd()) {  // 29
    std::string lineEnd;
    // The three styles the line-end menu stores come back as they were.
    if (r.String(lineEnd))
      s.LineEnd = lineEnd == "\r\n" || lineEnd == "\n" ? lineEnd : std::string("\r");
  }
  r.Bool(s.ExitOnEsc), r.Bool(s.SaveOnF2);                                                   // 30
  r.Double(s.HDistance);                                                                     // 31
  r.Int(s.TextBaseSyst), r.Int(s.CoordBaseSyst), r.Int(s.HexColumns), r.UInt(s.CoordColor);  // 32
  r.Bool(s.FirstZeroes);                                                                     // 33
  r.UInt(s.LineColor), r.UInt(s.MarginColor);                                                // 34
  for (int i = 0; i < 8; ++i) {                                                              // 35
    bool b = false;
    if (r.Bool(b)) s.CodeInfo[i] = b;
  }
  r.Int(s.DataWindowLeft), r.Int(s.DataWindowTop);                 // 36
  r.Bools(st.kindChecks[0]), r.Bools(st.kindChecks[1]);            // 37
  if (!r.AtEnd()) r.Double(s.LineWidth), r.Double(s.MarginWidth);  // 38
  if (!r.AtEnd()) {                                                // 39
    r.Bool(d.statusBar);
    for (auto& w : st.pinned) r.Bool(w.statusBar);
  }
  if (!r.AtEnd()) {  // 40-41
    r.Bool(s.TrySaveReadOnly);
    r.UInt(s.ChosenTextClr), r.UInt(s.ChosenFonClr);
  }
  if (!r.AtEnd()) r.Bool(s.RecListinSubMenu), r.Bool(s.MinimalModeWarning);  // 42
  if (!r.AtEnd()) r.Bool(s.CutOnCtrlDel);                                    // 43
  if (!r.AtEnd()) {  // 44: encoding identifiers, read before the menu positions of 24-25
    r.String(d.encodingId);
    for (auto& w : st.pinned) r.String(w.encodingId);
    for (auto& e : st.recent) r.String(e.encodingId);
  }
  if (!r.AtEnd()) r.Bool(s.ReloadChangedFiles);  // 45
  if (!r.AtEnd()) r.Bool(s.DetectEncoding);      // 46
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
  s.ShagSaved = s.Shag;
  return true;
}

namespace {

void WriteSkin(BinaryStream& f, const WindowAppearance& w) {
  f.WriteString(w.skin);
  if (w.skin.empty()) f.WriteInt32(static_cast<int32_t>(w.background));
}

// Fields 1 to 46 in order.
void WriteFields(BinaryStream& f, const StoredState& st, const Settings& s) {
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
  const size_t pinned = std::min<size_t>(st.pinned.size(), INT32_MAX);
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
  f.WriteInt32(s.MaxUndoLen), f.WriteInt32(s.OtstupX), f.WriteInt32(s.OtstupY);  // 11
  f.WriteDouble(s.LeftMargin), f.WriteDouble(s.RightMargin);                     // 12
  f.WriteDouble(s.TopMargin), f.WriteDouble(s.BottomMargin);
  f.WriteBool(s.NumPages);  // 13
  for (int32_t v :
       {s.HButtonMargin, s.VButtonMargin, s.MaxButtonsinRow, s.HSpaceBetween, s.MarginforButton,
        s.VSpaceBetween, s.MarginforText, static_cast<int32_t>(s.TextColor)})
    f.WriteInt32(v);                                           // 14
  f.WriteString(s.TextFont), f.WriteInt32(s.TextSize);         // 15
  f.WriteBool(s.TextStyle & 2), f.WriteBool(s.TextStyle & 1);  // 16
  f.WriteBool(s.TextStyle & 4), f.WriteBool(s.TextStyle & 8);
  f.WriteInt32(s.MinRestoredWidth), f.WriteInt32(s.MinRestoredHeight);                  // 17
  f.WriteInt32(s.ShagSaved), f.WriteInt32(s.HScrollStep), f.WriteInt32(s.VScrollStep);  // 18
  f.WriteDouble(s.Distance);                                                            // 19
  f.WriteInt32(s.MaxRecentListLen);                                                     // 20
  f.WriteDouble(s.PageFracture);                                                        // 21
  f.WriteInt32(s.MaxTextWidth);                                                         // 22
  const size_t n = static_cast<size_t>(std::max(0, s.MaxRecentListLen));
  auto recent = [&](size_t i) { return i < st.recent.size() ? st.recent[i] : RecentEntry{}; };
  for (size_t i = 0; i < n; ++i) f.WriteString(recent(i).path);                 // 23
  f.WriteByte(d.encodingIndex);                                                 // 24
  for (size_t i = 0; i < pinned; ++i) f.WriteByte(st.pinned[i].encodingIndex);  // 25
  const size_t m = std::min<size_t>(st.encodings.size(), 255);
  f.WriteByte(static_cast<uint8_t>(m));  // 26
  for (size_t i = 0; i < m; ++i)
    f.WriteString(st.encodings[i].path), f.WriteString(st.encodings[i].name);
  for (size_t i = 0; i < n; ++i) {  // 27
    const RecentEntry e = recent(i);
    f.WriteInt32(e.col), f.WriteInt32(e.row), f.WriteByte(e.viewKind);
  }
  f.WriteBool(s.RememberCurPos);                                // 28
  f.WriteString(s.LineEnd);                                     // 29
  f.WriteBool(s.ExitOnEsc), f.WriteBool(s.SaveOnF2);            // 30
  f.WriteDouble(s.HDistance);                                   // 31
  f.WriteInt32(s.TextBaseSyst), f.WriteInt32(s.CoordBaseSyst);  // 32
  f.WriteInt32(s.HexColumns), f.WriteInt32(static_cast<int32_t>(s.CoordColor));
  f.WriteBool(s.FirstZeroes);  // 33
  f.WriteInt32(static_cast<int32_t>(s.LineColor)),
      f.WriteInt32(static_cast<int32_t>(s.MarginColor));
  for (bool b : s.CodeInfo) f.WriteBool(b);                       // 35
  f.WriteInt32(s.DataWindowLeft), f.WriteInt32(s.DataWindowTop);  // 36
  for (const auto& list : st.kindChecks) {                        // 37
    f.WriteInt32(static_cast<int32_t>(list.size()));
    for (bool b : list) f.WriteBool(b);
  }
  f.WriteDouble(s.LineWidth), f.WriteDouble(s.MarginWidth);  // 38
  f.WriteBool(d.statusBar);                                  // 39
  for (size_t i = 0; i < pinned; ++i) f.WriteBool(st.pinned[i].statusBar);
  f.WriteBool(s.TrySaveReadOnly);  // 40
  f.WriteInt32(static_cast<int32_t>(s.ChosenTextClr)),
      f.WriteInt32(static_cast<int32_t>(s.ChosenFonClr));
  f.WriteBool(s.RecListinSubMenu), f.WriteBool(s.MinimalModeWarning);  // 42
  f.WriteBool(s.CutOnCtrlDel);                                         // 43
  f.WriteString(d.encodingId);                                         // 44
  for (size_t i = 0; i < pinned; ++i) f.WriteString(st.pinned[i].encodingId);
  for (size_t i = 0; i < n; ++i) f.WriteString(recent(i).encodingId);
  f.WriteBool(s.ReloadChangedFiles);  // 45
  f.WriteBool(s.DetectEncoding);      // 46
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
