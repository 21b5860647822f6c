// The "Найти" and "Заменить" windows on the real main window.
#include "find_dialogs.h"

#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "main_window.h"
#include "settings/settings.h"

using namespace prambus;

namespace {
std::string Text(ViewBase* v) {
  std::string s;
  for (int r = 0; r <= v->LastRow; ++r) s += v->GetRow(r);
  return s;
}
int CursorOffset(ViewBase* v) {
  return v->PosToOffset(v->CursorCol, v->CursorRow);
}
}  // namespace

class FindDialogsTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;

  std::unique_ptr<MainWindow> Open(const QByteArray& text) {
    QFile f(dir_->filePath("f.txt"));
    f.open(QIODevice::WriteOnly);
    f.write(text);
    f.close();
    auto w =
        std::make_unique<MainWindow>(QStringList{"prambus", dir_->filePath("f.txt")}, dir_->path());
    w->promptAnswerForTest = [] { return 1001; };  // no modal notes in tests
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
    return w;
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void findRepeatsAndF3FindsTheNext() {
    auto w = Open("one two one two one");
    QVERIFY(w);
    QVERIFY(!w->FindNextAction()->isEnabled());
    QTest::keyClick(w->centralWidget(), Qt::Key_F, Qt::ControlModifier);
    FindDialog* f = w->GetFindDialog();
    QVERIFY(f->isVisible());
    QTest::keyClicks(f->edit1, "one");
    QTest::keyClick(f->edit1, Qt::Key_Return);
    QCOMPARE(CursorOffset(w->View()), 0);
    QTest::keyClick(f->edit1, Qt::Key_Return);  // the same text: the next one
    QCOMPARE(CursorOffset(w->View()), 8);
    QVERIFY(w->FindNextAction()->isEnabled());
    w->KeyDown(Qt::Key_F3, Qt::NoModifier);
    QCOMPARE(CursorOffset(w->View()), 16);
    w->KeyDown(Qt::Key_F3, Qt::NoModifier);  // nothing more: the cursor stays
    QCOMPARE(CursorOffset(w->View()), 16);
    f->edit1->setText("two");  // another text: from the top again
    f->FindNextClicked();
    QCOMPARE(CursorOffset(w->View()), 4);
    QTest::keyClick(f->edit1, Qt::Key_Escape);
    QVERIFY(!f->isVisible());
  }

  void replaceAllAndUndo() {
    auto w = Open("aaa");
    QVERIFY(w);
    w->ReplaceCommand();
    ReplaceDialog* r = w->GetReplaceDialog();
    QVERIFY(r->isVisible());
    QVERIFY(!r->CheckBox2->isEnabled());  // codes only in the hex view
    r->edit1->setText("a");
    r->edit2->setText("aa");
    r->ReplaceAllClicked();
    QCOMPARE(Text(w->View()), std::string("aaaaaa"));
    QVERIFY(w->Modified());
    QVERIFY(w->UndoAction()->isEnabled());
  }

  void replaceInTheSelectionOnly() {
    auto w = Open("x x x x");
    QVERIFY(w);
    w->View()->SetPosition(0, 0, false);
    w->View()->SetPosition(3, 0, true);
    w->ReplaceCommand();
    ReplaceDialog* r = w->GetReplaceDialog();
    QVERIFY(r->inSelection->isChecked());
    r->edit1->setText("x");
    r->edit2->setText("y");
    r->ReplaceAllClicked();
    QCOMPARE(Text(w->View()), std::string("y y x x"));
    // Without a selection the choice is disabled and falls back to the start.
    w->ReplaceCommand();
    QVERIFY(!r->inSelection->isEnabled());
    QVERIFY(r->fromStart->isChecked());
    QTest::keyClicks(r->edit1, "x");
    QTest::keyClick(r->edit1, Qt::Key_Return);  // Enter in the first field moves to the second
    QVERIFY(r->edit2->hasFocus() || !r->isActiveWindow());
    QTest::keyClicks(r->edit2, "z");
    r->edit2->onKey(13);  // "Заменить": first finds
    QCOMPARE(Text(w->View()), std::string("y y x x"));
    r->edit2->onKey(13);  // then replaces the selected match
    QCOMPARE(Text(w->View()), std::string("y y z x"));
  }

  // A search begun by any command uses the selection up: its choice is
  // disabled, and an edit of a field falls back to the start. "Заменить
  // всё" after a finished search runs again.
  void theSelectionChoiceGoesStaleWithEveryCommand() {
    auto w = Open("foo foo foo");
    QVERIFY(w);
    w->View()->SetPosition(0, 0, false);
    w->View()->SetPosition(5, 0, true);  // "foo f"
    w->ReplaceCommand();
    ReplaceDialog* r = w->GetReplaceDialog();
    QVERIFY(r->inSelection->isEnabled() && r->inSelection->isChecked());
    r->edit1->setText("foo");
    r->edit2->setText("x");
    r->ReplaceAllClicked();
    QCOMPARE(Text(w->View()), std::string("x foo foo"));  // only what lies inside
    QVERIFY(!r->inSelection->isEnabled());
    QTest::keyClicks(r->edit2, "y");  // an edit: the next search starts at the top
    QVERIFY(r->fromStart->isChecked());
    r->ReplaceAllClicked();
    QCOMPARE(Text(w->View()), std::string("x xy xy"));
    w->View()->SetPosition(0, 0, true);
    w->View()->SetPosition(0, 0, false);
    QTest::keyClicks(w->centralWidget(), "foo ");
    r->ReplaceAllClicked();  // the finished search runs again over the document
    QCOMPARE(Text(w->View()), std::string("xy x xy xy"));
    // "Заменить" starting a search uses the selection up as well.
    w->View()->SetPosition(0, 0, false);
    w->View()->SetPosition(2, 0, true);
    w->ReplaceCommand();
    QVERIFY(r->inSelection->isChecked());
    r->edit1->setText("xy");
    r->edit2->setText("z");
    r->ReplaceClicked();
    QVERIFY(!r->inSelection->isEnabled());
  }
};

QTEST_MAIN(FindDialogsTest)
#include "find_dialogs_test.moc"
