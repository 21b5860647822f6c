// The editing keys of the real window that have several meanings by their
// modifiers (Insert, Delete), the page keys and the double click.
#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "gui_files.h"
#include "main_window.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "views/view_base.h"

using namespace prambus;

class EditingKeysTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QString Path(const QString& name) const { return dir_->filePath(name); }

  std::unique_ptr<MainWindow> Open(const QByteArray& bytes) {
    WriteAll(Path("k.txt"), bytes);
    return ShowWindow(dir_->path(), Path("k.txt"));
  }
  QByteArray Saved(MainWindow& w) {
    if (!w.Save()) return "(not saved)";
    return ReadAll(Path("k.txt"));
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  // Insert alone switches overwriting in the hex view (the text view always
  // inserts); Ctrl+Insert copies and Shift+Insert pastes, switching nothing.
  void insertSwitchesOverwriteCopiesAndPastes() {
    auto w = Open("abcd");
    QVERIFY(w);
    QWidget* s = w->centralWidget();
    QTest::keyClick(s, Qt::Key_F6);
    QCOMPARE(w->ViewKind(), 2);
    QTest::keyClick(s, Qt::Key_Tab);  // to the character column
    const bool inserting = w->View()->InsertMode();
    QTest::keyClick(s, Qt::Key_Insert);
    QCOMPARE(w->View()->InsertMode(), !inserting);
    if (!inserting) QTest::keyClick(s, Qt::Key_Insert);
    QTest::keyClicks(s, "X");
    QTest::keyClick(s, Qt::Key_Insert);
    QTest::keyClicks(s, "Y");
    QCOMPARE(Saved(*w), QByteArray("XYbcd"));

    QTest::keyClick(s, Qt::Key_F6);
    QCOMPARE(w->ViewKind(), 1);
    QTest::keyClick(s, Qt::Key_Home);
    QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(s, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("XY"));
    QTest::keyClick(s, Qt::Key_End);
    QTest::keyClick(s, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(Saved(*w), QByteArray("XYbcdXY"));
    QTest::keyClick(s, Qt::Key_Insert);
    QTest::keyClicks(s, "z");
    QVERIFY(w->View()->InsertMode());
    QCOMPARE(Saved(*w), QByteArray("XYbcdXYz"));
  }

  // Shift+Delete cuts; Ctrl+Delete deletes the next word, and cuts the
  // selection only when "CutOnCtrl+Del" says so.
  void shiftAndCtrlDeleteCutOrDeleteAWord() {
    auto w = Open("one two three");
    QVERIFY(w);
    QWidget* s = w->centralWidget();
    QApplication::clipboard()->setText("kept");
    QTest::keyClick(s, Qt::Key_Delete, Qt::ControlModifier);  // no selection: the word
    QCOMPARE(Saved(*w), QByteArray("two three"));
    QCOMPARE(QApplication::clipboard()->text(), QString("kept"));

    QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(s, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("tw"));
    QCOMPARE(Saved(*w), QByteArray("o three"));

    QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(s, Qt::Key_Delete, Qt::ControlModifier);  // the setting is off
    QCOMPARE(QApplication::clipboard()->text(), QString("tw"));
    QCOMPARE(Saved(*w), QByteArray(" three"));

    Cfg().CutOnCtrlDel = true;
    QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(s, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString(" t"));
    QCOMPARE(Saved(*w), QByteArray("hree"));
    QTest::keyClick(s, Qt::Key_Delete, Qt::ControlModifier);  // nothing selected: nothing cut
    QCOMPARE(Saved(*w), QByteArray("hree"));
    QCOMPARE(QApplication::clipboard()->text(), QString(" t"));
  }

  // A page key moves the cursor a page and scrolls with it; Shift selects
  // the lines passed; PgUp comes back to the same column.
  void pageKeysMoveByAPageAndSelectWithShift() {
    QByteArray text;
    for (int i = 0; i < 300; ++i) text += QByteArray::number(100 + i) + "\r\n";
    auto w = Open(text);
    QVERIFY(w);
    QWidget* s = w->centralWidget();
    ViewBase* v = w->View();
    QTest::keyClick(s, Qt::Key_Right);
    QTest::keyClick(s, Qt::Key_PageDown);
    const int page = v->CursorRow();
    QVERIFY(page > 3);
    QVERIFY(page < 299);
    QCOMPARE(v->CursorColumn(), 1);
    QVERIFY(!v->HasSelection());
    QTest::keyClick(s, Qt::Key_PageDown);
    QCOMPARE(v->CursorRow(), 2 * page);
    QVERIFY(v->ScrollY() > 0);  // the cursor's row is scrolled into view
    QTest::keyClick(s, Qt::Key_PageUp);
    QTest::keyClick(s, Qt::Key_PageUp);
    QCOMPARE(v->CursorRow(), 0);
    QCOMPARE(v->CursorColumn(), 1);
    QCOMPARE(v->ScrollY(), int64_t{0});

    QTest::keyClick(s, Qt::Key_PageDown, Qt::ShiftModifier);
    QCOMPARE(v->CursorRow(), page);
    const std::string selected = v->GetSelectedText();
    QCOMPARE(int(std::count(selected.begin(), selected.end(), '\n')), page);
    QVERIFY(selected.starts_with("00\r\n101"));
    QVERIFY(!w->windowTitle().startsWith("* "));
  }

  // A double click selects the word under the pointer; the second press of
  // the double click does not put the cursor back, and a later click does.
  void doubleClickSelectsTheWord() {
    auto w = Open("one twofold three");
    QVERIFY(w);
    QWidget* s = w->centralWidget();
    ViewBase* v = w->View();
    for (int i = 0; i < 6; ++i) QTest::keyClick(s, Qt::Key_Right);
    const QPoint inWord(v->GetCaretPoint().x + 1, v->GetCaretPoint().y + 4);
    QTest::keyClick(s, Qt::Key_Home);
    QTest::mouseClick(s, Qt::LeftButton, {}, inWord);  // the first press of a double click
    QTest::mouseDClick(s, Qt::LeftButton, {}, inWord);
    QCOMPARE(v->GetSelectedText(), std::string("twofold"));
    QTest::keyClick(s, Qt::Key_Delete);
    QCOMPARE(Saved(*w), QByteArray("one  three"));
    QTest::mouseClick(s, Qt::LeftButton, {}, inWord);
    QVERIFY(!v->HasSelection());
  }
};

QTEST_MAIN(EditingKeysTest)
#include "editing_keys_test.moc"
