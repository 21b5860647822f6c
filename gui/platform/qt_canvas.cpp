#include "qt_canvas.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <algorithm>
#include <vector>

#include "text/cp1251.h"
#include "text/utf8_chars.h"

namespace prambus {

namespace {
// Glyphs of one font drawn in one call, each at its position from `origin`,
// underlined and struck out as the font says.
void DrawGlyphs(QPainter& painter, const QRawFont& font, const QFont& style, QPointF origin,
                const QList<quint32>& glyphs, const QList<QPointF>& positions) {
  if (glyphs.isEmpty()) return;
  QGlyphRun run;
  run.setRawFont(font);
  run.setGlyphIndexes(glyphs);
  run.setPositions(positions);
  run.setUnderline(style.underline());
  run.setStrikeOut(style.strikeOut());
  painter.drawGlyphRun(origin, run);
}
}  // namespace

QColor ToQColor(Color c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

Color FromQColor(const QColor& c) {
  return static_cast<Color>(c.red()) | (static_cast<Color>(c.green()) << 8) |
         (static_cast<Color>(c.blue()) << 16);
}

QString FromCp1251(std::string_view bytes) {
  static const std::array<QChar, 256> table = [] {
    std::array<QChar, 256> t{};
    for (int i = 0; i < 256; ++i)
      t[i] = QChar(static_cast<char16_t>(Cp1251ToUnicode(static_cast<uint8_t>(i))));
    return t;
  }();
  QString s;
  s.resize(static_cast<qsizetype>(bytes.size()));
  QChar* out = s.data();
  for (size_t i = 0; i < bytes.size(); ++i) out[i] = table[static_cast<uint8_t>(bytes[i])];
  return s;
}

std::string ToCp1251(const QString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      out += '?';
      ++i;
      continue;
    }
    out += static_cast<char>(UnicodeToCp1251(c.unicode()));
  }
  return out;
}

namespace {
QFont MakeFont(const Font& f, bool monospace) {
  QFont q(QString::fromStdString(f.name));
  if (!QFontInfo(q).exactMatch()) {
    q = monospace ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                  : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (monospace) q.setStyleHint(QFont::TypeWriter);
  }
  q.setPixelSize(std::max(1, f.height < 0 ? -f.height : f.height * 4 / 5));
  q.setBold(f.style & kStyleBold);
  q.setItalic(f.style & kStyleItalic);
  q.setUnderline(f.style & kStyleUnderline);
  q.setStrikeOut(f.style & kStyleStrikeOut);
  q.setKerning(false);
  // Whole-pixel advances where the font engine can give them, so glyphs keep
  // their own spacing when they are placed on whole pixels.
  q.setHintingPreference(QFont::PreferFullHinting);
  return q;
}
}  // namespace

QFont ToQFont(const Font& f) {
  return MakeFont(f, true);
}
QFont ToQFontUi(const Font& f) {
  return MakeFont(f, false);
}

QtCanvas::QtCanvas() {
  ApplyFont();
}
QtCanvas::~QtCanvas() {
  End();
}

void QtCanvas::Begin(QPaintDevice* device) {
  End();
  device_ = device;
  painter_ = std::make_unique<QPainter>(device);
  if (painter_->isActive()) painter_->setFont(qfont_);
  Measure();
}

bool QtCanvas::End() {
  const bool ok = !painter_ || !painter_->isActive() || painter_->end();
  painter_.reset();
  device_ = nullptr;
  Measure();
  return ok;
}

// The metrics of the device painted on (a printer has its own), the font's
// glyphs and a fresh width cache: every width is measured again.
void QtCanvas::Measure() {
  if (device_)
    metrics_.emplace(qfont_, device_);
  else
    metrics_.emplace(qfont_);
  rawFont_ = QRawFont::fromFont(qfont_);
  widths_.fill(-1);
}

void QtCanvas::ApplyFont() {
  qfont_ = ToQFont(font_);
  Measure();
  if (painter_) painter_->setFont(qfont_);
}

void QtCanvas::SetFont(const Font& font) {
  font_ = font;
  ApplyFont();
}

void QtCanvas::SetFontColor(Color c) {
  font_.color = c;
}

void QtCanvas::SetQFont(const QFont& font) {
  qfont_ = font;
  Measure();
  if (painter_) painter_->setFont(qfont_);
}

// A character the font gives no advance (NUL and most control codes) still
// takes a cell of the font's average width: at zero width a row of them
// would never wrap, one row could hold a whole file, and the caret could not
// stand between them.
int QtCanvas::CharWidth(uint8_t c) {
  int& w = widths_[c];
  if (w < 0) {
    w = metrics_->horizontalAdvance(QChar(static_cast<char16_t>(Cp1251ToUnicode(c))));
    if (w <= 0) w = std::max(1, metrics_->averageCharWidth());
  }
  return w;
}

int QtCanvas::TextWidth(std::string_view text) {
  int w = 0;
  for (char c : text) w += CharWidth(static_cast<uint8_t>(c));
  return w;
}

int QtCanvas::TextHeight(std::string_view) {
  return metrics_->height();
}

// Each glyph at the sum of the widths before it: the glyphs of the font in
// one run, the few characters it lacks one by one (Qt then takes them from
// another font).
void QtCanvas::TextOut(int x, int y, std::string_view text) {
  if (!painter_ || text.empty()) return;
  const QString s = FromCp1251(text);
  if (!transparent_)
    painter_->fillRect(QRect(x, y, TextWidth(text), metrics_->height()), ToQColor(brush_));
  painter_->setPen(ToQColor(font_.color));
  const int baseline = y + metrics_->ascent();
  const QList<quint32> glyphs =
      rawFont_.isValid() ? rawFont_.glyphIndexesForString(s) : QList<quint32>(s.size(), 0);
  QList<quint32> runGlyphs;
  QList<QPointF> runPositions;
  runGlyphs.reserve(s.size());
  runPositions.reserve(s.size());
  int at = 0;
  for (qsizetype i = 0; i < s.size(); ++i) {
    const uint8_t c = static_cast<uint8_t>(text[static_cast<size_t>(i)]);
    if (i < glyphs.size() && glyphs[i] != 0) {
      runGlyphs.push_back(glyphs[i]);
      runPositions.push_back(QPointF(at, 0));
    } else if (!s.at(i).isSpace() && s.at(i).isPrint()) {
      painter_->drawText(x + at, baseline, QString(s.at(i)));
    }
    at += CharWidth(c);
  }
  DrawGlyphs(*painter_, rawFont_, qfont_, QPointF(x, baseline), runGlyphs, runPositions);
}

// Each character in its cells: the font's glyphs in one run, the characters
// it lacks (and those beyond 16 bits) one by one from another font.
void QtCanvas::TextOutUtf8(int x, int y, std::string_view utf8) {
  if (!painter_ || utf8.empty()) return;
  const QString s = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  const int cell = CharWidth(static_cast<uint8_t>('a'));
  // The glyphs of the whole text in one look-up, one per character; where the
  // font gives another count, each character is looked up on its own.
  QList<quint32> indexes(s.size(), 0);
  int found = static_cast<int>(s.size());
  qsizetype characters = s.size();
  for (qsizetype i = 0; i + 1 < s.size(); ++i)
    if (s.at(i).isHighSurrogate() && s.at(i + 1).isLowSurrogate()) --characters, ++i;
  const bool together = rawFont_.isValid() &&
                        rawFont_.glyphIndexesForChars(s.constData(), static_cast<int>(s.size()),
                                                      indexes.data(), &found) &&
                        found == characters;
  QList<quint32> runGlyphs;
  QList<QPointF> runPositions;
  runGlyphs.reserve(s.size());
  runPositions.reserve(s.size());
  struct Alone {
    qsizetype at, length;
    int x;
  };
  std::vector<Alone> alone;
  std::vector<int> marks;  // cells of substitute marks, drawn by hand
  int at = 0;
  int character = 0;
  for (qsizetype i = 0; i < s.size(); ++character) {
    const bool pair = s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate();
    const char32_t c = pair ? QChar::surrogateToUcs4(s.at(i), s.at(i + 1)) : s.at(i).unicode();
    const qsizetype n = pair ? 2 : 1;
    quint32 glyph = 0;
    int glyphs = 1;
    if (c == 0xFFFD) {
      // The fonts' replacement glyph is wider than a cell and would cover
      // the next character: the mark is drawn to fit its one cell.
      marks.push_back(at);
      at += cell;
      i += n;
      continue;
    }
    if (pair) {
      glyph = 0;  // drawn on its own, from whichever font has it
    } else if (together) {
      glyph = indexes[character];
    } else if (rawFont_.isValid() &&
               !rawFont_.glyphIndexesForChars(s.constData() + i, 1, &glyph, &glyphs)) {
      glyph = 0;
    }
    if (glyph != 0) {
      runGlyphs.push_back(glyph);
      runPositions.push_back(QPointF(at, 0));
    } else if (!QChar::isSpace(c) && QChar::isPrint(c)) {
      alone.push_back({i, n, at});
    }
    at += cell * CharCells(c);
    i += n;
  }
  if (!transparent_) painter_->fillRect(QRect(x, y, at, metrics_->height()), ToQColor(brush_));
  painter_->setPen(ToQColor(font_.color));
  const int baseline = y + metrics_->ascent();
  for (const Alone& a : alone) painter_->drawText(x + a.x, baseline, s.mid(a.at, a.length));
  DrawGlyphs(*painter_, rawFont_, qfont_, QPointF(x, baseline), runGlyphs, runPositions);
  // A question mark in the background's colour on a block of the text's.
  for (const int m : marks) {
    const QRect box(x + m, y + 1, cell, std::max(1, metrics_->height() - 2));
    painter_->fillRect(box, ToQColor(font_.color));
    painter_->setPen(ToQColor(brush_));
    painter_->drawText(box, Qt::AlignCenter, QStringLiteral("?"));
    painter_->setPen(ToQColor(font_.color));
  }
}

void QtCanvas::SetPen(Color c, int width) {
  pen_ = c;
  penWidth_ = width;
}

void QtCanvas::FillRect(const Rect& r) {
  if (!painter_) return;
  painter_->fillRect(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)),
                     ToQColor(brush_));
}

void QtCanvas::Polyline(const std::vector<Point>& points) {
  if (!painter_ || points.size() < 2) return;
  QPen pen(ToQColor(pen_));
  pen.setWidth(penWidth_);
  painter_->setPen(pen);
  std::vector<QPoint> q;
  q.reserve(points.size());
  for (const Point& p : points) q.emplace_back(p.x, p.y);
  painter_->drawPolyline(q.data(), static_cast<int>(q.size()));
}

void QtCanvas::SetClip(const Rect& r) {
  if (painter_)
    painter_->setClipRect(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
}

void QtCanvas::RemoveClip() {
  if (painter_) painter_->setClipping(false);
}

int QtCanvas::DpiX() const {
  return device_ ? device_->logicalDpiX() : 96;
}
int QtCanvas::DpiY() const {
  return device_ ? device_->logicalDpiY() : 96;
}

}  // namespace prambus
