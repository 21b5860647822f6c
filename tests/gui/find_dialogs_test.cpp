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
  for (int r = 0; r <= v->LastRow(); ++r) s += v->GetRow(r);
  return s;
}
int CursorOffset(ViewBase* v) {
  return v->PosToOffset(v->CursorColumn(), v->CursorRow());
}
// Letters (or bytes) in no order, so that a few of them in a row are found
// nowhere else.
QByteArray Scrambled(int size, bool lettersOnly) {
  QByteArray bytes(size, '\0');
  quint32 seed = 7;
  for (char& c : bytes) {
    seed = seed * 1103515245u + 12345u;
    c = lettersOnly ? static_cast<char>('a' + (seed >> 16) % 26) : static_cast<char>(seed >> 23);
  }
  return bytes;
}
// The last row the view shows whole from the top: Down moves the caret there
// without scrolling. The caret goes back to the top afterwards.
int LastRowShown(MainWindow& w) {
  QTest::keyClick(w.centralWidget(), Qt::Key_Home, Qt::ControlModifier);
  while (w.View()->ScrollY() == 0) QTest::keyClick(w.centralWidget(), Qt::Key_Down);
  const int row = w.View()->CursorRow() - 1;
  QTest::keyClick(w.centralWidget(), Qt::Key_Home, Qt::ControlModifier);
  return row;
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

  // 19 MB with a match in every 19 bytes: "Заменить всё" shows its progress
  // from its first report.
  static constexpr char kUnit[] = "lorem ipsum dolor, ";
  static constexpr int kUnits = 1 << 20;
  static QByteArray LongText() { return QByteArray(kUnit).repeated(kUnits); }
  std::unique_ptr<MainWindow> OpenForLongReplace() {
    auto w = Open(LongText());
    if (!w || !w->EnsureWholeDocument()) return nullptr;
    w->ReplaceCommand();
    w->GetReplaceDialog()->findEdit->setText("dolor");
    w->GetReplaceDialog()->replaceEdit->setText("x");
    return w;
  }
  // A key as the user presses it while the run goes on.
  static void PostKey(MainWindow& w, int key, const QString& typed = {}) {
    QCoreApplication::postEvent(w.centralWidget(),
                                new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, typed));
  }
  // What the window shows while the run goes on, seen by a timer that runs
  // only if the run serves events.
  static void WatchWhileReplacing(MainWindow& w, QString& progress, QString& button) {
    QTimer::singleShot(0, &w, [&w, &progress, &button] {
      for (QLabel* l : w.findChildren<QLabel*>())
        if (l->isVisible() && l->text().startsWith("Замена…")) progress = l->text();
      button = w.GetReplaceDialog()->replaceAllButton->text();
    });
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

  // A match from the end of the last row shown on to the next row scrolls
  // until its end shows too, its start staying in view: found by code in
  // the hex view and as letters across a wrapped row in the text view.
  void aMatchRunningOnToTheNextRowShowsWhole() {
    for (const bool hex : {true, false}) {
      auto w = Open(Scrambled(20000, !hex));
      QVERIFY(w);
      if (hex) w->Actions().viewKinds[1]->trigger();
      ViewBase* v = w->View();
      const int row = LastRowShown(*w);
      QVERIFY(row > 2 && row < v->LastRow());
      const QByteArray before(v->GetRow(row).data(), v->GetRow(row).size());
      const QByteArray after(v->GetRow(row + 1).data(), v->GetRow(row + 1).size());
      const QByteArray match = before.right(hex ? 2 : 3) + after.left(hex ? 2 : 3);
      const QString phrase = hex ? QString(match.toHex(' ')).toUpper() : QString::fromLatin1(match);
      QTest::keyClick(w->centralWidget(), Qt::Key_F, Qt::ControlModifier);
      FindDialog* f = w->GetFindDialog();
      f->phraseEdit->setText(phrase);
      QTest::keyClick(f->phraseEdit, Qt::Key_Return);
      QCOMPARE(v->CursorRow(), row);  // the caret at the match's start
      QCOMPARE(v->AnchorRow(), row + 1);
      const int64_t scrolled = v->ScrollY();
      QVERIFY2(scrolled > 0, hex ? "hex" : "text");
      QVERIFY(scrolled <= int64_t{v->LineHeight()} * row);  // the first row still shows
      QCOMPARE(w->VBar()->value(), static_cast<int>(scrolled));
      // The match's last row was in view: the caret moves there without scrolling.
      QTest::keyClick(f->phraseEdit, Qt::Key_Escape);
      QTest::keyClick(w->centralWidget(), Qt::Key_Down);
      QCOMPARE(v->CursorRow(), row + 1);
      QCOMPARE(v->ScrollY(), scrolled);
    }
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

  // A long "Заменить всё" shows its progress and serves events while it
  // searches: Escape stops it with the document as it was; run to its end it
  // replaces every match, and a key typed meanwhile lands after the last
  // replacement, never in the middle of the run.
  void aLongReplaceAllShowsProgressAndStopsOnEscape() {
    auto w = OpenForLongReplace();
    QVERIFY(w);
    ReplaceDialog* r = w->GetReplaceDialog();
    QString progress, button;
    WatchWhileReplacing(*w, progress, button);
    PostKey(*w, Qt::Key_Escape);
    r->ReplaceAllClicked();
    QCOMPARE(progress, QString("Замена… 5%  (Esc — остановить)"));
    QCOMPARE(button, QString("Стоп"));
    QVERIFY(Text(w->View()) == LongText().toStdString());
    QVERIFY(!w->Modified());
    QVERIFY(!w->windowTitle().contains('*'));
    QCOMPARE(r->replaceAllButton->text(), QString("Заменить всё"));
    QVERIFY(r->isVisible());  // the Escape stopped the run, not the window

    progress.clear();
    WatchWhileReplacing(*w, progress, button);
    PostKey(*w, Qt::Key_Q, "q");
    r->ReplaceAllClicked();
    QVERIFY(!progress.isEmpty());
    const QByteArray replaced = QByteArray(kUnit).replace("dolor", "x").repeated(kUnits);
    QVERIFY(Text(w->View()) == replaced.toStdString());
    QVERIFY(w->Modified());
    const int cursor = CursorOffset(w->View());  // by the last replacement
    QVERIFY(cursor > replaced.size() - 15);
    QCoreApplication::processEvents();  // the key held back lands now
    std::string after = Text(w->View());
    QCOMPARE(after.find('q'), size_t(cursor));
    after.erase(size_t(cursor), 1);
    QVERIFY(after == replaced.toStdString());
  }

  // A click on "Стоп" (the clicks elsewhere wait) and closing the main
  // window stop the run as Escape does; the close goes its way afterwards
  // (nothing to ask about: the document is unchanged).
  void theStopButtonAndClosingTheWindowStopALongReplaceAll() {
    auto w = OpenForLongReplace();
    QVERIFY(w);
    ReplaceDialog* r = w->GetReplaceDialog();
    QTimer::singleShot(0, w.get(), [r] { QTest::mouseClick(r->replaceAllButton, Qt::LeftButton); });
    r->ReplaceAllClicked();
    QVERIFY(Text(w->View()) == LongText().toStdString());
    QVERIFY(!w->Modified());
    QCOMPARE(r->replaceAllButton->text(), QString("Заменить всё"));

    QCoreApplication::postEvent(w.get(), new QCloseEvent);
    r->ReplaceAllClicked();
    QVERIFY(Text(w->View()) == LongText().toStdString());
    QVERIFY(!w->Modified());
    QVERIFY(w->isVisible());
    QCoreApplication::processEvents();
    QVERIFY(!w->isVisible());
    QVERIFY(prompts_->questions.isEmpty());
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
