// Where the caret and the mouse say the text is, and where its glyphs are
// actually drawn on the surface, agree to the pixel along a whole line: for
// the default view font and for a proportional one.
#include <QTemporaryDir>
#include <QtTest>
#include <optional>
#include <vector>

#include "gui_files.h"
#include "main_window.h"
#include "scripted_prompts.h"
#include "settings/settings.h"
#include "shown_window.h"

using namespace prambus;

namespace {
struct InkRun {
  int left, right;  // first and one past the last column with ink
};

// The runs of columns holding dark pixels in a band of the surface's rows.
std::vector<InkRun> InkRuns(const QImage& image, int top, int height) {
  std::vector<InkRun> runs;
  bool inRun = false;
  for (int x = 0; x < image.width(); ++x) {
    bool ink = false;
    for (int y = top; y < top + height && y < image.height() && !ink; ++y)
      ink = qGray(image.pixel(x, y)) < 140;
    if (ink && !inRun) runs.push_back({x, x + 1});
    if (ink) runs.back().right = x + 1;
    inRun = ink;
  }
  return runs;
}
}  // namespace

class TextDrawingTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;

  // Letters apart from each other, so each glyph is one run of ink.
  static QByteArray Line() {
    QByteArray line;
    for (int i = 0; i < 18; ++i) line += i % 2 ? "x W " : "H m ";
    return line;
  }

  void CheckLine(const std::optional<QFont>& font) {
    const QByteArray line = Line();
    WriteAll(dir_->filePath("line.txt"), line);
    ScriptedPrompts* prompts = nullptr;
    auto w = ShowWindow(dir_->path(), dir_->filePath("line.txt"), &prompts);
    QVERIFY(w);
    if (font) {
      prompts->font = font;
      w->Actions().font->trigger();
    }
    ViewBase* v = w->View();
    QCOMPARE(v->LastRow(), 0);  // the whole line on one row
    QWidget* surface = w->centralWidget();
    QTest::keyClick(surface, Qt::Key_Home);
    QTest::keyClick(surface, Qt::Key_End);
    QCOMPARE(v->CursorColumn(), line.size());
    const int endX = v->GetCaretPoint().x;
    if (w->CaretShown()) w->ToggleCaret();  // the surface without the caret
    const int top = Cfg().EffOtstupY, height = v->LineHeight();
    const std::vector<InkRun> runs = InkRuns(w->Surface(), top, height);

    // The columns of the glyphs, and the caret's x before each.
    std::vector<int> columns, caretX;
    for (int c = 0; c < line.size(); ++c) {
      if (line[c] == ' ') continue;
      columns.push_back(c);
      v->SetPosition(c, 0, true);
      caretX.push_back(v->GetCaretPoint().x);
    }
    QCOMPARE(runs.size(), columns.size());
    // Each glyph lies where the caret before it says, as the first glyph of
    // the same letter does: no drift along the line.
    for (size_t i = 0; i < columns.size(); ++i) {
      size_t first = 0;
      while (line[columns[first]] != line[columns[i]]) ++first;
      const int offset = runs[i].left - caretX[i];
      const int firstOffset = runs[first].left - caretX[first];
      QVERIFY2(
          std::abs(offset - firstOffset) <= 1,
          qPrintable(QString("glyph %1 is %2 px off").arg(columns[i]).arg(offset - firstOffset)));
    }
    // After End (past the closing "W ") the caret stands as far after the
    // last glyph as the column after the first "W " does after that W.
    QCOMPARE(line[columns[3]], 'W');
    v->SetPosition(columns[3] + 2, 0, true);
    const int gapAfterW = v->GetCaretPoint().x - runs[3].right;
    QVERIFY(std::abs(endX - runs.back().right - gapAfterW) <= 1);
    // A click just inside a glyph's left edge puts the cursor before it.
    for (size_t i : {columns.size() / 2, columns.size() - 2, columns.size() - 1}) {
      QTest::mouseClick(surface, Qt::LeftButton, Qt::NoModifier,
                        QPoint(runs[i].left + 1, top + height / 2));
      QCOMPARE(v->CursorColumn(), columns[i]);
      QCOMPARE(v->CursorRow(), 0);
    }
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void defaultFont() { CheckLine(std::nullopt); }

  void proportionalFont() {
    QFont f("DejaVu Sans");
    f.setPixelSize(17);
    CheckLine(f);
  }

  // Control codes (NUL above all) have no advance in the font; each still
  // takes a cell, so a file of them wraps into rows and the caret moves
  // along a row column by column (at zero width one row took the whole file
  // and every key re-measured all of it).
  void controlCodesTakeRoom() {
    QByteArray codes;
    for (int i = 0; i < 3000; ++i) {
      const char c = static_cast<char>(i % 32);
      if (c != '\t' && c != '\n' && c != '\r') codes += c;
    }
    WriteAll(dir_->filePath("codes.txt"), codes);
    auto w = ShowWindow(dir_->path(), dir_->filePath("codes.txt"));
    QVERIFY(w);
    ViewBase* v = w->View();
    QVERIFY(v->LastRow() > 10);
    for (int c = 0; c < 32; ++c) QVERIFY2(v->CharWidth(c) > 0, qPrintable(QString::number(c)));
    int x = -1;
    for (int col = 0; col < 20; ++col) {
      v->SetPosition(col, 0, true);
      QVERIFY(v->GetCaretPoint().x > x);
      x = v->GetCaretPoint().x;
    }
  }
};

QTEST_MAIN(TextDrawingTest)
#include "text_drawing_test.moc"
