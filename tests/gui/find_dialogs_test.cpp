// The "Найти" and "Заменить" windows on the real main window.
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "find_dialog.h"
#include "main_window.h"
#include "replace_dialog.h"
#include "scripted_prompts.h"
#include "settings/settings.h"
#include "shown_window.h"

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
  ScriptedPrompts* prompts_ = nullptr;  // the open window's

  std::unique_ptr<MainWindow> Open(const QByteArray& text) {
    QFile f(dir_->filePath("f.txt"));
    f.open(QIODevice::WriteOnly);
    f.write(text);
    f.close();
    return ShowWindow(dir_->path(), dir_->filePath("f.txt"), &prompts_);
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void findRepeatsAndF3FindsTheNext() {
    auto w = Open("one two one two one");
    QVERIFY(w);
    QVERIFY(!w->Actions().findNext->isEnabled());
    QTest::keyClick(w->centralWidget(), Qt::Key_F, Qt::ControlModifier);
    FindDialog* f = w->GetFindDialog();
    QVERIFY(f->isVisible());
    QTest::keyClicks(f->phraseEdit, "one");
    QTest::keyClick(f->phraseEdit, Qt::Key_Return);
    QCOMPARE(CursorOffset(w->View()), 0);
    QTest::keyClick(f->phraseEdit, Qt::Key_Return);  // the same text: the next one
    QCOMPARE(CursorOffset(w->View()), 8);
    QVERIFY(w->Actions().findNext->isEnabled());
    w->KeyDown(Qt::Key_F3, Qt::NoModifier);
    QCOMPARE(CursorOffset(w->View()), 16);
    QVERIFY(prompts_->notes.isEmpty());
    w->KeyDown(Qt::Key_F3, Qt::NoModifier);  // nothing more: the cursor stays
    QCOMPARE(CursorOffset(w->View()), 16);
    QCOMPARE(prompts_->notes, QStringList{"Я завершил поиск текста \"one\". Ничего не найдено."});
    f->phraseEdit->setText("two");  // another text: from the top again
    f->FindNextClicked();
    QCOMPARE(CursorOffset(w->View()), 4);
    QTest::keyClick(f->phraseEdit, Qt::Key_Escape);
    QVERIFY(!f->isVisible());
  }

  void replaceAllAndUndo() {
    auto w = Open("aaa");
    QVERIFY(w);
    w->ReplaceCommand();
    ReplaceDialog* r = w->GetReplaceDialog();
    QVERIFY(r->isVisible());
    QVERIFY(!r->codesCheck->isEnabled());  // codes only in the hex view
    r->findEdit->setText("a");
    r->replaceEdit->setText("aa");
    r->ReplaceAllClicked();
    QCOMPARE(Text(w->View()), std::string("aaaaaa"));
    QVERIFY(w->Modified());
    QVERIFY(w->Actions().undo->isEnabled());
  }

  void replaceInTheSelectionOnly() {
    auto w = Open("x x x x");
    QVERIFY(w);
    w->View()->SetPosition(0, 0, false);
    w->View()->SetPosition(3, 0, true);
    w->ReplaceCommand();
    ReplaceDialog* r = w->GetReplaceDialog();
    QVERIFY(r->inSelection->isChecked());
    r->findEdit->setText("x");
    r->replaceEdit->setText("y");
    r->ReplaceAllClicked();
    QCOMPARE(Text(w->View()), std::string("y y x x"));
    // Without a selection the choice is disabled and falls back to the start.
    w->ReplaceCommand();
    QVERIFY(!r->inSelection->isEnabled());
    QVERIFY(r->fromStart->isChecked());
    QTest::keyClicks(r->findEdit, "x");
    QTest::keyClick(r->findEdit, Qt::Key_Return);  // Enter in the first field moves to the second
    QVERIFY(r->replaceEdit->hasFocus() || !r->isActiveWindow());
    QTest::keyClicks(r->replaceEdit, "z");
    r->replaceEdit->onKey(13);  // "Заменить": first finds
    QCOMPARE(Text(w->View()), std::string("y y x x"));
    r->replaceEdit->onKey(13);  // then replaces the selected match
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
    r->findEdit->setText("foo");
    r->replaceEdit->setText("x");
    r->ReplaceAllClicked();
    QCOMPARE(Text(w->View()), std::string("x foo foo"));  // only what lies inside
    QVERIFY(!r->inSelection->isEnabled());
    QTest::keyClicks(r->replaceEdit, "y");  // an edit: the next search starts at the top
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
    r->findEdit->setText("xy");
    r->replaceEdit->setText("z");
    r->ReplaceClicked();
    QVERIFY(!r->inSelection->isEnabled());
  }
};

QTEST_MAIN(FindDialogsTest)
#include "find_dialogs_test.moc"
