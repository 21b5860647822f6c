// The "Найти" and "Заменить" windows as a user meets them: what Enter does
// wherever the focus is, the document's colours in their fields, the main
// window's stay-on-top while they are open, F3 with the case box as shown,
// "Заменять коды" after a view switch, and messages shown above them.
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>
#include <optional>

#include "find_dialog.h"
#include "gui_files.h"
#include "main_window.h"
#include "qt_canvas.h"
#include "replace_dialog.h"
#include "settings/data_file.h"
#include "settings/settings.h"
#include "shown_window.h"

using namespace prambus;

namespace {
int CursorOffset(ViewBase* v) {
  return v->PosToOffset(v->CursorColumn(), v->CursorRow());
}
bool OnTop(const QWidget* w) {
  return w->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}
}  // namespace

class SearchWindowsTest : public QObject {
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

  // Find: Enter runs "Найти далее" even on "Завершить". Replace: Enter on a
  // button or a box moves to the second field, and there it replaces.
  void enterDoesTheWindowsStepWhereverTheFocusIs() {
    auto w = Open("one two one");
    QVERIFY(w);
    w->Actions().find->trigger();
    FindDialog* f = w->GetFindDialog();
    QVERIFY(f->isVisible());
    QTest::keyClicks(f->phraseEdit, "one");
    f->closeButton->setFocus();
    QTest::keyClick(f->closeButton, Qt::Key_Return);
    QVERIFY(f->isVisible());
    QCOMPARE(CursorOffset(w->View()), 0);
    f->caseCheck->setFocus();
    QTest::keyClick(f->caseCheck, Qt::Key_Enter);
    QCOMPARE(CursorOffset(w->View()), 8);
    QVERIFY(!f->caseCheck->isChecked());
    QTest::keyClick(f->closeButton, Qt::Key_Escape);
    QVERIFY(!f->isVisible());

    QTest::keyClick(w->centralWidget(), Qt::Key_Home, Qt::ControlModifier);  // no selection
    w->Actions().replace->trigger();
    ReplaceDialog* r = w->GetReplaceDialog();
    QVERIFY(r->isVisible());
    r->findEdit->setText("one");
    r->replaceEdit->setText("1");
    for (QWidget* on : std::initializer_list<QWidget*>{r->replaceAllButton, r->closeButton,
                                                       r->undoCheck, r->fromCursor}) {
      r->findEdit->setFocus();
      on->setFocus();
      QTest::keyClick(on, Qt::Key_Return);
      QVERIFY(r->isVisible());
      QCOMPARE(r->focusWidget(), static_cast<QWidget*>(r->replaceEdit));
    }
    QVERIFY(!w->Modified());
    QTest::keyClick(r->replaceEdit, Qt::Key_Return);  // finds the first
    QTest::keyClick(r->replaceEdit, Qt::Key_Return);  // and replaces it
    QCOMPARE(std::string(w->View()->GetRow(0)), std::string("1 two one"));
  }

  // The fields show the document's background and text colours.
  void fieldsTakeTheDocumentsColours() {
    StoredState state;
    state.defaults.background = 0x00CCEEFF;  // 0x00BBGGRR
    state.surfaceFont.color = 0x00224466;
    QVERIFY(WriteDataFile(dir_->filePath("data.dat").toStdString(), state, Settings{}));
    auto w = Open("text");
    QVERIFY(w);
    w->Actions().find->trigger();
    w->Actions().replace->trigger();
    for (QLineEdit* field : {static_cast<QLineEdit*>(w->GetFindDialog()->phraseEdit),
                             static_cast<QLineEdit*>(w->GetReplaceDialog()->findEdit),
                             static_cast<QLineEdit*>(w->GetReplaceDialog()->replaceEdit)}) {
      QCOMPARE(field->palette().color(QPalette::Base), ToQColor(0x00CCEEFF));
      QCOMPARE(field->palette().color(QPalette::Text), ToQColor(0x00224466));
    }
  }

  // With "Поверх других окон" on, the main window leaves the topmost band
  // while a find or replace window is open, also across a message, and comes
  // back when the last of them closes.
  void stayOnTopWaitsUntilTheSearchWindowsClose() {
    auto w = Open("abc");
    QVERIFY(w);
    QTest::keyClick(w->centralWidget(), Qt::Key_F4);
    QVERIFY(w->Actions().stayOnTop->isChecked());
    QVERIFY(OnTop(w.get()));
    w->Actions().find->trigger();
    QVERIFY(!OnTop(w.get()));
    w->Actions().replace->trigger();
    FindDialog* f = w->GetFindDialog();
    ReplaceDialog* r = w->GetReplaceDialog();
    f->phraseEdit->setText("zzz");
    f->FindNextClicked();  // "Ничего не найдено": a message between the modal steps
    QCOMPARE(prompts_->notes.size(), 1);
    QVERIFY(!OnTop(w.get()));
    QTest::keyClick(f->phraseEdit, Qt::Key_Escape);
    QVERIFY(!OnTop(w.get()));  // the replace window is still open
    QTest::keyClick(r->findEdit, Qt::Key_Escape);
    QVERIFY(OnTop(w.get()));
    QVERIFY(w->isVisible());
  }

  // F3 searches with the case box as it is now, not as it was.
  void f3UsesTheCaseBoxAsShown() {
    auto w = Open("ABC ABC abc ABC");
    QVERIFY(w);
    w->Actions().find->trigger();
    FindDialog* f = w->GetFindDialog();
    QTest::keyClicks(f->phraseEdit, "abc");
    QTest::keyClick(f->phraseEdit, Qt::Key_Return);
    QCOMPARE(CursorOffset(w->View()), 0);
    f->caseCheck->setChecked(true);
    QTest::keyClick(w->centralWidget(), Qt::Key_F3);
    QCOMPARE(CursorOffset(w->View()), 8);
    f->caseCheck->setChecked(false);
    QTest::keyClick(w->centralWidget(), Qt::Key_F3);
    QCOMPARE(CursorOffset(w->View()), 12);
  }

  // "Заменять коды" is for the hex view, whichever view the window was
  // opened in.
  void replaceCodesFollowsEveryViewSwitch() {
    auto w = Open("abc");
    QVERIFY(w);
    w->Actions().replace->trigger();
    ReplaceDialog* r = w->GetReplaceDialog();
    QVERIFY(!r->codesCheck->isEnabled());
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);
    QCOMPARE(w->ViewKind(), 2);
    QVERIFY(r->codesCheck->isEnabled());
    w->Actions().viewKinds[0]->trigger();
    QCOMPARE(w->ViewKind(), 1);
    QVERIFY(!r->codesCheck->isEnabled());
  }

  // The end-of-search message answers the replace window: it opens above it
  // (the replace window, which stays on top, leaves the top while the
  // message is up, and the message is its own) with its button focused, not
  // underneath, and the replace window has the keyboard and the top again
  // when it closes.
  void aMessageOpensAboveTheWindowItAnswers() {
    WriteAll(dir_->filePath("m.txt"), "aaa");
    auto w = ShowWindow(dir_->path(), dir_->filePath("m.txt"));  // the real dialogs
    QVERIFY(w);
    w->Actions().replace->trigger();
    ReplaceDialog* r = w->GetReplaceDialog();
    QVERIFY(OnTop(r));
    r->findEdit->setText("a");
    r->replaceEdit->setText("b");
    QWidget* parent = nullptr;
    bool onTop = false, focused = false;
    QString text;
    // Once the message is up and settled, note how it stands and answer it.
    QTimer poll;
    int ticks = 0;
    connect(&poll, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || (!box->button(QMessageBox::Ok)->hasFocus() && ++ticks < 50)) return;
      poll.stop();
      parent = box->parentWidget();
      onTop = !OnTop(r) && !r->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
      focused = box->button(QMessageBox::Ok)->hasFocus();
      text = box->text();
      box->button(QMessageBox::Ok)->click();
    });
    poll.start(10);
    r->ReplaceAllClicked();
    QCOMPARE(std::string(w->View()->GetRow(0)), std::string("bbb"));
    QCOMPARE(text, QString("Я завершил поиск текста \"a\". Больше он не встречается."));
    QCOMPARE(parent, static_cast<QWidget*>(r));
    QVERIFY(onTop);
    QVERIFY(focused);
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(r));  // back to it
    QVERIFY(OnTop(r));
  }
};

QTEST_MAIN(SearchWindowsTest)
#include "search_windows_test.moc"
