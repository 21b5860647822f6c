// Keys, the mouse and resizing on the real main window, as a user drives
// them: Tab and Shift+Tab type a tab; Insert, Delete and their modifiers; a
// double click; PgUp/PgDn; F2/F4/F12 switch the window modes; the wheel
// scrolls a line per notch however finely it turns; dragging the window's
// edge lays the document out once the size settles.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <climits>
#include <cmath>
#include <optional>

#include "gui_files.h"
#include "main_window.h"
#include "scripted_prompts.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "window_reading.h"

using namespace prambus;

namespace {

int CursorOffset(ViewBase* v) {
  return v->PosToOffset(v->CursorColumn(), v->CursorRow());
}

void Wheel(QWidget* w, int delta) {
  const QPoint at(w->width() / 2, w->height() / 2);
  QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(w, &e);
}
}  // namespace

class InputTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  ScriptedPrompts* prompts_ = nullptr;

  std::unique_ptr<MainWindow> Open(const QByteArray& text) {
    WriteAll(dir_->filePath("f.txt"), text);
    return ShowWindow(dir_->path(), dir_->filePath("f.txt"), &prompts_);
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void tabAndShiftTabTypeATab() {
    auto w = Open("");
    QVERIFY(w);
    QWidget* surface = w->centralWidget();
    QTest::keyClick(surface, Qt::Key_Tab);
    QTest::keyClick(surface, Qt::Key_Backtab, Qt::ShiftModifier);  // what X11 sends for Shift+Tab
    QTest::keyClick(surface, Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(surface, Qt::Key_Tab, Qt::ControlModifier);  // not a tab
    QTest::keyClick(surface, Qt::Key_Tab, Qt::AltModifier);
    QCOMPARE(DocumentText(w->View()), std::string("\t\t\t"));
    QVERIFY(surface->hasFocus() || !w->isActiveWindow());  // the focus stays on the text
    QVERIFY(w->Modified());
  }

  // Insert and Delete with their modifiers, and a double click selecting a
  // word, as a user combines them.
  void insertDeleteAndDoubleClick() {
    auto w = Open("one two three four");
    QVERIFY(w);
    QWidget* surface = w->centralWidget();
    ViewBase* v = w->View();
    QClipboard* clipboard = QApplication::clipboard();
    // The text view has no overwrite mode: after Insert it still inserts.
    QTest::keyClick(surface, Qt::Key_Insert);
    QVERIFY(v->InsertMode());
    QTest::keyClick(surface, Qt::Key_X);
    QCOMPARE(DocumentText(v), std::string("xone two three four"));
    // Ctrl+Delete deletes the next word while CutOnCtrl+Del is off.
    clipboard->setText("clip");
    QTest::keyClick(surface, Qt::Key_Home);
    QTest::keyClick(surface, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(DocumentText(v), std::string("two three four"));
    QCOMPARE(clipboard->text(), QString("clip"));
    // A double click selects the word under the pointer.
    auto wordAt = [&](int col) {
      v->SetPosition(col, 0, true);
      v->SetPosition(col, 0, false);
      const Point p = v->GetCaretPoint();
      return QPoint(p.x + 3, p.y + v->LineHeight() / 2);
    };
    QTest::mouseDClick(surface, Qt::LeftButton, Qt::NoModifier, wordAt(4));
    QCOMPARE(v->GetSelectedText().substr(0, 5), std::string("three"));
    // With CutOnCtrl+Del, Ctrl+Delete cuts it.
    Cfg().CutOnCtrlDel = true;
    QTest::keyClick(surface, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(clipboard->text().left(5), QString("three"));
    QVERIFY(DocumentText(v).find("three") == std::string::npos);
    // Shift+Delete cuts, Ctrl+Insert copies, Shift+Insert pastes.
    QTest::mouseDClick(surface, Qt::LeftButton, Qt::NoModifier, wordAt(0));
    QTest::keyClick(surface, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(clipboard->text().left(3), QString("two"));
    QTest::keyClick(surface, Qt::Key_Delete, Qt::ShiftModifier);
    QVERIFY(DocumentText(v).find("two") == std::string::npos);
    QTest::keyClick(surface, Qt::Key_End);
    QTest::keyClick(surface, Qt::Key_Insert, Qt::ShiftModifier);
    QVERIFY(DocumentText(v).size() > 4 && DocumentText(v).find("two") != std::string::npos);
    QVERIFY(v->InsertMode());  // none of these switched the mode
    QVERIFY(w->Modified());
  }

  void pageKeysMoveAndExtendByAPage() {
    QByteArray text;
    for (int i = 0; i < 200; ++i) text += "line\r\n";
    auto w = Open(text);
    QVERIFY(w);
    QWidget* surface = w->centralWidget();
    ViewBase* v = w->View();
    QTest::keyClick(surface, Qt::Key_PageDown);
    const int page = v->CursorRow();
    QVERIFY(page > 1);
    QVERIFY(!v->HasSelection());
    QTest::keyClick(surface, Qt::Key_PageDown, Qt::ShiftModifier);
    QCOMPARE(v->CursorRow(), 2 * page);
    QCOMPARE(v->AnchorRow(), page);
    QVERIFY(v->ScrollY() > 0);  // scrolled to keep the cursor row in view
    QCOMPARE(int64_t{w->VBar()->value()}, v->ScrollY());
    QTest::keyClick(surface, Qt::Key_PageUp);
    QCOMPARE(v->CursorRow(), page);
    QVERIFY(!v->HasSelection());
    QTest::keyClick(surface, Qt::Key_PageUp);
    QTest::keyClick(surface, Qt::Key_PageUp);
    QCOMPARE(v->CursorRow(), 0);
    QCOMPARE(w->VBar()->value(), 0);
  }

  void functionKeysSwitchTheWindowModes() {
    auto w = Open("text");
    QVERIFY(w);
    QWidget* surface = w->centralWidget();
    prompts_->answers = {1001};  // "Не показывать в будущем"
    QTest::keyClick(surface, Qt::Key_F2);
    QVERIFY(w->Actions().minimalMode->isChecked());
    QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!w->menuBar()->isVisible() && !w->statusBar()->isVisible());
    QCOMPARE(prompts_->questions.size(), 1);
    QVERIFY(prompts_->questions[0].contains("С помощью клавиши F2;"));
    QVERIFY(!Cfg().MinimalModeWarning);
    QTest::keyClick(surface, Qt::Key_F2);
    QVERIFY(!w->Actions().minimalMode->isChecked());
    QTRY_VERIFY(w->menuBar()->isVisible() && w->statusBar()->isVisible());
    QTest::keyClick(surface, Qt::Key_F12);  // does nothing while F2 switches
    QVERIFY(!w->Actions().minimalMode->isChecked());

    QTest::keyClick(surface, Qt::Key_F4);
    QVERIFY(w->Actions().stayOnTop->isChecked());
    QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
    QTest::keyClick(surface, Qt::Key_F4, Qt::ShiftModifier);  // F4 with a modifier: nothing
    QVERIFY(w->Actions().stayOnTop->isChecked());
    QTest::keyClick(surface, Qt::Key_F4);
    QVERIFY(!(w->windowFlags() & Qt::WindowStaysOnTopHint));

    // With SaveOnF2, F2 saves and F12 switches minimal mode.
    Cfg().SaveOnF2 = true;
    QTest::keyClick(surface, Qt::Key_X);
    QTest::keyClick(surface, Qt::Key_F2);
    QVERIFY(!w->Modified());
    QCOMPARE(ReadAll(dir_->filePath("f.txt")), QByteArray("xtext"));
    QVERIFY(!w->Actions().minimalMode->isChecked());
    QTest::keyClick(surface, Qt::Key_F12);
    QVERIFY(w->Actions().minimalMode->isChecked());
    QTest::keyClick(surface, Qt::Key_F12);
    QVERIFY(!w->Actions().minimalMode->isChecked());
  }

  void wheelScrollsALinePerNotchHoweverFinelyItTurns() {
    QByteArray text;
    for (int i = 0; i < 200; ++i) text += "line\r\n";
    auto w = Open(text);
    QVERIFY(w);
    QWidget* surface = w->centralWidget();
    QVERIFY(w->VBar()->isEnabled());
    const int line = w->View()->LineHeight();
    Wheel(surface, -120);  // towards the user: down one line
    QCOMPARE(w->View()->ScrollY(), int64_t{line});
    for (int i = 0; i < 2; ++i) Wheel(surface, -40);  // a touchpad: not a line yet
    QCOMPARE(w->View()->ScrollY(), int64_t{line});
    Wheel(surface, -40);
    QCOMPARE(w->View()->ScrollY(), int64_t{2 * line});
    Wheel(surface, -360);
    QCOMPARE(w->View()->ScrollY(), int64_t{5 * line});
    Wheel(surface, -60);
    Wheel(surface, 60);  // turning back drops the half step down
    QCOMPARE(w->View()->ScrollY(), int64_t{5 * line});
    Wheel(surface, 60);
    QCOMPARE(w->View()->ScrollY(), int64_t{4 * line});
    // With the middle button held, a notch moves half a page.
    QTest::mousePress(surface, Qt::MiddleButton, Qt::NoModifier, QPoint(50, 50));
    const int before = w->VBar()->value();
    Wheel(surface, -120);
    QVERIFY(w->VBar()->value() - before > 5 * line);
    QTest::mouseRelease(surface, Qt::MiddleButton, Qt::NoModifier, QPoint(50, 50));
  }

  // The arrows of the vertical bar and the wheel over it move one line and
  // a click on its trough 0.8 of the window's client height, in a short document and in one taller
  // than the bar's int range (lines spaced wide apart), where the bar counts
  // through a scale: each bar value is more than one pixel there.
  void scrollBarArrowsStepALineAndTheTroughALargeChange() {
    for (const bool tall : {false, true}) {
      auto w = Open(QByteArray(tall ? 300000 : 300, '\n'));
      QVERIFY(w);
      if (tall) {
        Cfg().Distance = 600;
        w->FormResize();
      }
      ViewBase* v = w->View();
      QScrollBar* bar = w->VBar();
      QVERIFY(bar->isEnabled());
      QCOMPARE(v->GetDocumentHeight() > INT_MAX, tall);
      const int64_t line = v->LineHeight();
      const int64_t large =
          std::lrint(0.8 * (w->centralWidget()->height() + w->statusBar()->height()));
      const int64_t top = v->ScrollY();
      bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
      QCOMPARE(v->ScrollY(), top + line);
      bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
      QCOMPARE(v->ScrollY(), top + line + large);
      bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
      bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
      QCOMPARE(v->ScrollY(), top + 3 * line + large);
      bar->triggerAction(QAbstractSlider::SliderPageStepSub);
      bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
      QCOMPARE(v->ScrollY(), top + 2 * line);
      QCOMPARE(bar->value(), BarValue(v->ScrollY(), ScrollRange{true, v->ScrollY(), v->ViewHeight(),
                                                                v->GetDocumentHeight()}));
      // The wheel over the bar scrolls a line per notch, as over the document.
      Wheel(bar, -120);
      QCOMPARE(v->ScrollY(), top + 3 * line);
      Wheel(bar, 120);
      QCOMPARE(v->ScrollY(), top + 2 * line);
      // Near the end a step stops at the last position.
      bar->triggerAction(QAbstractSlider::SliderToMaximum);
      const int64_t end = v->ScrollY();
      bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
      QCOMPARE(v->ScrollY(), end);
      bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
      QCOMPARE(v->ScrollY(), end - line);
    }
  }

  void resizingLaysOutOnceTheSizeSettles() {
    QByteArray text;
    for (int i = 0; i < 300; ++i) text += "word ";
    auto w = Open(text);
    QVERIFY(w);
    int col = 200, row = 0;
    w->View()->OffsetToPos(col, row);
    w->View()->SetPosition(col, row, true);
    w->View()->SetPosition(col, row, false);
    const int offset = CursorOffset(w->View());
    QCOMPARE(offset, 200);
    const int rows = w->View()->LastRow();
    // A drag of the edge: many sizes, the surface following each at once.
    // The view keeps its rows while the steps follow each other within the
    // settle time (a machine slow enough to pause that long between two
    // steps sees a layout then, as a user pausing would).
    QElapsedTimer clock;
    clock.start();
    qint64 previousStep = 0;
    bool paused = false;
    for (int width = 760; width >= 400; width -= 60) {
      const qint64 step = clock.elapsed();
      w->resize(width, w->height());
      QCoreApplication::processEvents();
      QCOMPARE(w->Surface().width(), w->centralWidget()->width() - 22);
      paused = paused || clock.elapsed() - previousStep >= MainWindow::kResizeSettleMs;
      if (!paused) QCOMPARE(w->View()->LastRow(), rows);  // not laid out yet
      previousStep = step;
    }
    // Once it settles, a layout for the last width, the cursor on the same text.
    QTRY_COMPARE(w->View()->ViewWidth(), w->Surface().width() - 2 * Cfg().EffOtstupX);
    QVERIFY(w->View()->LastRow() > rows);
    QCOMPARE(CursorOffset(w->View()), offset);
    const int caretY = w->View()->GetCaretPoint().y;
    QVERIFY(caretY >= 0 && caretY < w->Surface().height());  // scrolled into view
  }
};

QTEST_MAIN(InputTest)
#include "input_test.moc"
