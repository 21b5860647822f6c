// The hex view on the real main window: switching views, typing codes, the
// data window and saving; keys and pastes over a selection.
#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "data_window.h"
#include "gui_files.h"
#include "main_window.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "views/hex_view.h"

using namespace prambus;

class HexGuiTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void switchingViewsKeepsEveryByteAndTheCursor() {
    QByteArray all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    const QString path = dir_->filePath("b.bin");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(all);
    f.close();
    MainWindow w({"prambus", path}, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.View()->SetPosition(5, 0, true);
    const int offset = w.View()->PosToOffset(w.View()->CursorColumn(), w.View()->CursorRow());
    for (int i = 0; i < 6; ++i) {
      w.KeyDown(Qt::Key_F6, Qt::NoModifier);
      QCOMPARE(w.ViewKind(), i % 2 == 0 ? 2 : 1);
      QCOMPARE(w.View()->PosToOffset(w.View()->CursorColumn(), w.View()->CursorRow()), offset);
    }
    w.KeyDown(Qt::Key_F6, Qt::NoModifier);
    QCOMPARE(w.ViewKind(), 2);
    auto* hex = dynamic_cast<HexView*>(w.View());
    QVERIFY(hex);
    QCOMPARE(QByteArray::fromStdString(hex->Data().ToString()), all);
    // The data window is open (its menu entry starts checked) and follows the cursor.
    QVERIFY(w.GetDataWindow());
    hex->MoveCursorToByte(1);
    QCOMPARE(w.GetDataWindow()->DataEdits()[0]->text(), QString("1"));
    // Typing codes, then saving byte for byte.
    hex->SetInsertMode(false);
    hex->MoveCursorToByte(0);
    w.KeyPress('F');
    w.KeyPress('F');
    QVERIFY(w.Modified());
    QVERIFY(w.Save());
    QByteArray expected = all;
    expected[0] = '\xFF';
    QCOMPARE(ReadAll(path), expected);
    // A value typed into the 16-bit row is written at the cursor.
    hex->MoveCursorToByte(2);
    w.GetDataWindow()->DataEdits()[2]->setText("513");  // row 3: 16 bits (+)
    w.GetDataWindow()->DataEditEnter(2);
    QCOMPARE(hex->Data()[2], uint8_t(1));
    QCOMPARE(hex->Data()[3], uint8_t(2));
    w.Undo();
    QCOMPARE(hex->Data()[2], uint8_t(2));
  }

  // A key or a paste over a selection replaces exactly the selected digits
  // or bytes, one undo step takes it back, and a refused key changes nothing.
  void keysAndPastesReplaceExactlyTheSelection() {
    const QString path = dir_->filePath("s.bin");
    WriteAll(path, QByteArray("\x01\xA5", 2));
    auto w = ShowWindow(dir_->path(), path);
    QVERIFY(w);
    w->KeyDown(Qt::Key_F6, Qt::NoModifier);
    auto* hex = dynamic_cast<HexView*>(w->View());
    QVERIFY(hex);
    QWidget* s = w->centralWidget();
    auto bytes = [hex] { return QByteArray::fromStdString(hex->Data().ToString()); };
    for (const bool firstZeroes : {true, false}) {
      Cfg().FirstZeroes = firstZeroes;
      hex->MoveCursorToByte(1);  // the digit A of A5 selected
      QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
      QTest::keyClick(s, Qt::Key_G);  // no digit of base 16: refused
      QVERIFY(hex->HasSelection());
      QTest::keyClicks(s, "7");
      QCOMPARE(bytes(), QByteArray("\x01\x75", 2));
      QTest::keyClick(s, Qt::Key_Z, Qt::ControlModifier);
      QCOMPARE(bytes(), QByteArray("\x01\xA5", 2));
      hex->MoveCursorToByte(1);  // the digit 5 of A5 selected
      QTest::keyClick(s, Qt::Key_Right);
      QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
      QTest::keyClicks(s, "7");
      QCOMPARE(bytes(), QByteArray("\x01\xA7", 2));
      QTest::keyClick(s, Qt::Key_Z, Qt::ControlModifier);
      hex->MoveCursorToByte(1);  // pasted bytes take the place of the byte
      QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
      QApplication::clipboard()->setText("xy");
      QTest::keyClick(s, Qt::Key_V, Qt::ControlModifier);
      QCOMPARE(bytes(), QByteArray("\x01xy", 3));
      QTest::keyClick(s, Qt::Key_Z, Qt::ControlModifier);
      QCOMPARE(bytes(), QByteArray("\x01\xA5", 2));
    }
    // The character area in overwrite mode: "BC" selected, x typed.
    hex->SetBytes("ABCDE");
    QTest::keyClick(s, Qt::Key_Tab);
    QVERIFY(!hex->InCodes);
    if (hex->InsertMode()) QTest::keyClick(s, Qt::Key_Insert);
    hex->MoveCursorToByte(1);
    QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClicks(s, "x");
    QCOMPARE(bytes(), QByteArray("AxDE"));
    QTest::keyClick(s, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(bytes(), QByteArray("ABCDE"));
  }
};

QTEST_MAIN(HexGuiTest)
#include "hex_gui_test.moc"
