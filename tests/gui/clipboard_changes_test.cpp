// Text exchanged with other programs through the clipboard, and what marks a
// document modified: only a key, paste or command that changed it.
#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "gui_files.h"
#include "main_window.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "views/hex_view.h"

using namespace prambus;

class ClipboardChangesTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QString Path(const QString& name) const { return dir_->filePath(name); }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  // Other programs on this desktop write and read LF line ends; the document
  // keeps its own style wherever a paste lands.
  void pastedLineEndsFollowTheDocumentAndCopiesGiveLf() {
    struct Case {
      QByteArray file;
      int presses;  // Right presses from the start before the paste
      QByteArray expected;
    };
    const Case cases[] = {
        {"ab\r\ncd", 1, "a1\r\n2\r\n3b\r\ncd"},
        {"ab\rcd", 4, "ab\rc1\r2\r3d"},
        {"abcd", 2, "ab1\n2\n3cd"},  // no line end yet: LF
    };
    for (const Case& c : cases) {
      WriteAll(Path("p.txt"), c.file);
      auto w = ShowWindow(dir_->path(), Path("p.txt"));
      QVERIFY(w);
      QWidget* s = w->centralWidget();
      for (int i = 0; i < c.presses; ++i) QTest::keyClick(s, Qt::Key_Right);
      QApplication::clipboard()->setText("1\n2\r\n3");
      QTest::keyClick(s, Qt::Key_V, Qt::ControlModifier);
      QVERIFY(w->Save());
      QCOMPARE(ReadAll(Path("p.txt")), c.expected);
    }
    WriteAll(Path("c.txt"), "ab\r\ncd\ref");
    auto w = ShowWindow(dir_->path(), Path("c.txt"));
    QVERIFY(w);
    QWidget* s = w->centralWidget();
    QTest::keyClick(s, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(s, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("ab\ncd\nef"));
    QTest::keyClick(s, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("ab\ncd\nef"));
    // The hex view hands its bytes over as they are.
    WriteAll(Path("h.bin"), "a\r\nb");
    auto h = ShowWindow(dir_->path(), Path("h.bin"));
    QVERIFY(h);
    h->KeyDown(Qt::Key_F6, Qt::NoModifier);
    QVERIFY(dynamic_cast<HexView*>(h->View()));
    QTest::keyClick(h->centralWidget(), Qt::Key_Tab);  // the character area copies characters
    QTest::keyClick(h->centralWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(h->centralWidget(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("a\r\nb"));
  }

  // Keys and commands that change nothing leave the document unmodified, so
  // closing asks nothing.
  void onlyAChangeMarksTheDocumentModified() {
    WriteAll(Path("m.txt"), "ab");
    auto w = ShowWindow(dir_->path(), Path("m.txt"));
    QVERIFY(w);
    QWidget* s = w->centralWidget();
    QTest::keyClick(s, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(s, Qt::Key_Delete);  // nothing after the cursor
    QTest::keyClick(s, Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(s, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(s, Qt::Key_Backspace, Qt::ControlModifier);  // nothing before it
    QTest::keyClick(s, Qt::Key_Backspace);
    QApplication::clipboard()->setText("");
    QTest::keyClick(s, Qt::Key_V, Qt::ControlModifier);  // an empty clipboard
    QVERIFY(!w->Modified());
    QCOMPARE(w->windowTitle(), QString("m.txt - Прамбус"));
    QTest::keyClick(s, Qt::Key_Delete);
    QVERIFY(w->Modified());

    // The hex view: a letter that is no digit of the base, Tab between the
    // areas and Delete at the end change nothing; a digit does.
    WriteAll(Path("m.bin"), "\x12");
    auto h = ShowWindow(dir_->path(), Path("m.bin"));
    QVERIFY(h);
    h->KeyDown(Qt::Key_F6, Qt::NoModifier);
    auto* hex = dynamic_cast<HexView*>(h->View());
    QVERIFY(hex);
    QWidget* hs = h->centralWidget();
    QTest::keyClicks(hs, "G");
    QTest::keyClick(hs, Qt::Key_Tab);
    QTest::keyClick(hs, Qt::Key_Tab);
    QTest::keyClick(hs, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(hs, Qt::Key_Delete);
    QVERIFY(!h->Modified());
    QCOMPARE(hex->Data().size(), size_t(1));
    QTest::keyClick(hs, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClicks(hs, "A");
    QVERIFY(h->Modified());
  }
};

QTEST_MAIN(ClipboardChangesTest)
#include "clipboard_changes_test.moc"
