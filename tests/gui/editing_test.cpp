// The real main window used as an editor: keys in, file bytes out; the
// unsaved-document prompt; the clipboard; dropped files; saving that never
// loses the file on disk; and the hand-over between two real processes.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "gui_files.h"
#include "main_window.h"
#include "scripted_prompts.h"
#include "settings/data_file.h"
#include "settings/settings.h"
#include "shell/file_rules.h"
#include "shown_window.h"
#include "single_copy.h"
#include "surface_widget.h"
#include "views/text_view.h"

using namespace prambus;

class EditingTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QString Path(const QString& name) const { return dir_->filePath(name); }

  std::unique_ptr<MainWindow> Open(const QString& file) { return ShowWindow(dir_->path(), file); }
  static QWidget* Surface(MainWindow& w) { return w.centralWidget(); }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void typingEditingKeysAndSaveGiveTheExpectedBytes() {
    WriteAll(Path("a.txt"), "abc\r\ndef");
    auto w = Open(Path("a.txt"));
    QVERIFY(w);
    QWidget* s = Surface(*w);
    QTest::keyClick(s, Qt::Key_End);
    QTest::keyClicks(s, " xy");
    QTest::keyClick(s, Qt::Key_Return);  // copies the CR LF of the line
    QTest::keyClicks(s, "new word");
    QTest::keyClick(s, Qt::Key_Backspace);
    QTest::keyClick(s, Qt::Key_Backspace, Qt::ControlModifier);  // the word before the cursor
    QVERIFY(w->windowTitle().startsWith("* "));
    QTest::keyClicks(s, "z");
    QTest::keyClicks(s, "q", Qt::ControlModifier);  // Ctrl held: nothing is typed
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("a.txt")), QByteArray("abc xy\r\nnew z\r\ndef"));
    QCOMPARE(w->windowTitle(), QString("a.txt - Прамбус"));
    // Ctrl+Y removes the row; Ctrl+Z brings it back; Ctrl+Shift+Z and Alt+Backspace.
    QTest::keyClick(s, Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("a.txt")), QByteArray("abc xy\r\ndef"));
    QTest::keyClick(s, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("a.txt")), QByteArray("abc xy\r\nnew z\r\ndef"));
    QTest::keyClick(s, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(s, Qt::Key_Backspace, Qt::AltModifier);
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("a.txt")), QByteArray("abc xy\r\nnew z\r\ndef"));
  }

  // Enter takes the style of the line it splits; a new document, which has
  // none yet, gets LF as every other program here expects.
  void enterWritesTheLineEndsOfTheDocument() {
    WriteAll(Path("lf.txt"), "one two\nlast");
    ScriptedPrompts* prompts = nullptr;
    auto w = ShowWindow(dir_->path(), Path("lf.txt"), &prompts);
    QVERIFY(w);
    QWidget* s = Surface(*w);
    QTest::keyClick(s, Qt::Key_Right);
    QTest::keyClick(s, Qt::Key_Right);
    QTest::keyClick(s, Qt::Key_Right);
    QTest::keyClick(s, Qt::Key_Return);
    QTest::keyClick(s, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(s, Qt::Key_Return);  // a last line without a line end: the one before
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("lf.txt")), QByteArray("one\n two\nlast\n"));
    w->NewDocument();
    QTest::keyClicks(s, "ab");
    QTest::keyClick(s, Qt::Key_Return);
    QTest::keyClicks(s, "c");
    prompts->saveNames = {Path("new.txt")};
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("new.txt")), QByteArray("ab\nc"));
  }

  void clipboardRoundTripsWindows1251Text() {
    WriteAll(Path("c.txt"), "\xcf\xf0\xe8\xe2\xe5\xf2");  // "Привет"
    auto w = Open(Path("c.txt"));
    QVERIFY(w);
    QWidget* s = Surface(*w);
    QTest::keyClick(s, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(s, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("Привет"));
    QApplication::clipboard()->setText("Мир ✓");  // the check mark has no Windows-1251 code
    QTest::keyClick(s, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(s, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("c.txt")), QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2\xcc\xe8\xf0 ?"));
    QTest::keyClick(s, Qt::Key_Home);
    QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(s, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("П"));
  }

  // A selection between a lone CR and a LF: once it goes they meet as a pair,
  // and what is typed or pasted must still land between them.
  void typingOrPastingOverASelectionKeepsItsPlace() {
    WriteAll(Path("s.txt"), "x\rab\ny");
    auto w = Open(Path("s.txt"));
    QVERIFY(w);
    QWidget* s = Surface(*w);
    auto selectAb = [&] {
      QTest::keyClick(s, Qt::Key_Home, Qt::ControlModifier);
      QTest::keyClick(s, Qt::Key_Down);
      QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
      QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
    };
    selectAb();
    QTest::keyClicks(s, "Q");
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("s.txt")), QByteArray("x\rQ\ny"));
    QTest::keyClick(s, Qt::Key_Z, Qt::ControlModifier);  // one step takes back both
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("s.txt")), QByteArray("x\rab\ny"));
    QApplication::clipboard()->setText("P");
    selectAb();
    QTest::keyClick(s, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("s.txt")), QByteArray("x\rP\ny"));
  }

  void promptAnswersDecideWhatHappens() {
    WriteAll(Path("p.txt"), "text");
    auto w = Open(Path("p.txt"));
    QVERIFY(w);
    ScriptedPrompts& prompts = ScriptedPrompts::InstallOn(*w);
    QTest::keyClicks(Surface(*w), "1");
    // "Отмена": the new document is refused.
    prompts.answers = {1002};
    w->NewDocument();
    QCOMPARE(w->FileName(), Path("p.txt"));
    // Escape counts as "Отмена".
    prompts.answers = {2};
    w->NewDocument();
    QVERIFY(w->Modified());
    // "Да" and then cancelling Save As: still modified, still there.
    prompts.answers = {1000};
    w->NewDocument();  // the file has a name: "Да" saves it
    QCOMPARE(ReadAll(Path("p.txt")), QByteArray("1text"));
    QVERIFY(w->FileName().isEmpty());
    QTest::keyClicks(Surface(*w), "x");
    prompts.answers = {1000};
    w->NewDocument();  // untitled: Save As is cancelled (no name scripted)
    QVERIFY(w->Modified());
    QCOMPARE(w->windowTitle(), QString("* Безымянный.txt - Прамбус"));
    // "Нет": the changes are dropped.
    prompts.answers = {1001};
    w->NewDocument();
    QVERIFY(!w->Modified());
    // Each command asked the one question once, and nothing else was shown.
    QCOMPARE(prompts.questions.size(), 5);
    for (const QString& q : prompts.questions)
      QVERIFY(
          q.startsWith("Что делать с документом?: Документ, с которым вы работали, не сохранён."));
    QCOMPARE(prompts.unexpectedQuestions, 0);
    QVERIFY(prompts.notes.isEmpty());
  }

  void failedSavesKeepTheFileAndTheChanges() {
    WriteAll(Path("ro.txt"), "keep");
    QFile::setPermissions(Path("ro.txt"), QFile::ReadOwner | QFile::ReadUser);
    auto w = Open(Path("ro.txt"));
    QVERIFY(w);
    ScriptedPrompts& prompts = ScriptedPrompts::InstallOn(*w);
    const QString refused =
        "По всей видимости, файл защищён от записи. Не могу сохранить изменения.";
    QTest::keyClicks(Surface(*w), "new ");
    QVERIFY(!w->Save());
    QVERIFY(w->Modified());
    QCOMPARE(ReadAll(Path("ro.txt")), QByteArray("keep"));
    QCOMPARE(prompts.notes, QStringList{refused});
    Cfg().TrySaveReadOnly = true;
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("ro.txt")), QByteArray("new keep"));
    QVERIFY(!(QFile::permissions(Path("ro.txt")) & QFile::WriteOwner));
    QCOMPARE(prompts.notes.size(), 1);  // saved: no second message
    // A vanished folder: the message says so (the file is not write-protected),
    // and the document stays modified.
    QDir().mkpath(Path("sub"));
    WriteAll(Path("sub/v.txt"), "v");
    auto w2 = Open(Path("sub/v.txt"));
    QVERIFY(w2);
    ScriptedPrompts& prompts2 = ScriptedPrompts::InstallOn(*w2);
    QTest::keyClicks(Surface(*w2), "changed");
    QDir(Path("sub")).removeRecursively();
    QVERIFY(!w2->Save());
    QVERIFY(w2->Modified());
    QCOMPARE(prompts2.notes,
             QStringList{"Не могу сохранить изменения: папки «" + Path("sub") + "» больше нет."});
  }

  void saveAsAddsTheExtensionOfTheChosenGroup() {
    auto w = Open(QString());
    QVERIFY(w);
    w->State().bindings = {{".txt", 0}, {".dat", 0}};
    QTest::keyClicks(Surface(*w), "abc");
    ScriptedPrompts::InstallOn(*w).saveNames = {Path("noext")};
    QVERIFY(w->SaveAs());
    QCOMPARE(ReadAll(Path("noext")), QByteArray("abc"));  // "Все файлы" keeps the name
  }

  // A dropped file opens; the one it replaces goes to the head of the
  // recent list.
  void droppedFileOpens() {
    WriteAll(Path("d.txt"), "dropped");
    WriteAll(Path("before.txt"), "before");
    auto w = Open(Path("before.txt"));
    QVERIFY(w);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path("d.txt"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.get(), &drop);
    QCOMPARE(w->FileName(), Path("d.txt"));
    QCOMPARE(w->windowTitle(), QString("d.txt - Прамбус"));
    QCOMPARE(QString::fromStdString(w->State().recent.at(0).path), Path("before.txt"));
  }

  void everyByteValueSurvivesOpenEditAndSave() {
    QByteArray all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    WriteAll(Path("bin.dat"), all);
    auto w = Open(Path("bin.dat"));
    QVERIFY(w);
    QTest::keyClicks(Surface(*w), "Z");
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("bin.dat")), "Z" + all);
  }

  // A key in a long paragraph without break opportunities lays out the rows
  // near it at once and the rest in steps after its frame, while more keys
  // come; the rows end as a whole layout gives them, the cursor where it was.
  void aLongUnbrokenParagraphIsLaidOutAfterTheKey() {
    const QByteArray text(1 << 20, 'a');
    WriteAll(Path("long.txt"), text);
    auto w = Open(Path("long.txt"));
    QVERIFY(w);
    QVERIFY(w->EnsureWholeDocument());
    auto* view = static_cast<TextView*>(w->View());
    QWidget* s = Surface(*w);
    QTest::keyClick(s, Qt::Key_B);
    QVERIFY(view->LayoutPending());
    QTest::keyClick(s, Qt::Key_End);
    QTest::keyClick(s, Qt::Key_C);
    QTRY_VERIFY(!view->LayoutPending());
    const int full = static_cast<int>(view->GetRow(0).size());
    QVERIFY(full > 1);
    for (int r = 0; r < view->LastRow(); ++r)
      if (static_cast<int>(view->GetRow(r).size()) != full) QFAIL(qPrintable(QString::number(r)));
    QCOMPARE(view->PosToOffset(view->CursorColumn(), view->CursorRow()), full + 1);
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("long.txt")), "b" + text.left(full - 1) + "c" + text.mid(full - 1));
  }

  void secondCopyHandsOverToTheFirst() {
    WriteAll(Path("shared.txt"), "one file");
    WriteAll(Path("other/shared.txt"), "");
    QDir().mkpath(Path("other"));
    WriteAll(Path("other/shared.txt"), "same name");
    // The copies find a settings file, so none of them stops at the welcome
    // window of a first start.
    QDir().mkpath(Path("config/prambus"));
    QVERIFY(
        WriteDataFile(Path("config/prambus/data.dat").toStdString(), StoredState{}, Settings{}));
    QProcess first;
    first.setProcessEnvironment([this] {
      auto env = QProcessEnvironment::systemEnvironment();
      env.insert("QT_QPA_PLATFORM", "offscreen");
      env.insert("XDG_CONFIG_HOME", Path("config"));
      return env;
    }());
    first.start(PRAMBUS_BINARY, {Path("shared.txt")});
    QVERIFY(first.waitForStarted());
    // Wait until the first copy shows the file (as slow as a sanitised build may be).
    const QString path = QFileInfo(Path("shared.txt")).absoluteFilePath();
    const quint32 hash =
        PathHash(std::u16string(reinterpret_cast<const char16_t*>(path.utf16()), path.size()));
    QTRY_VERIFY_WITH_TIMEOUT(SingleCopy::HandOver("shared.txt - Прамбус", hash), 30000);
    QProcess second;
    second.setProcessEnvironment(first.processEnvironment());
    second.start(PRAMBUS_BINARY, {Path("shared.txt")});
    QVERIFY(second.waitForFinished(30000));  // handed over and ended
    QCOMPARE(second.exitCode(), 0);
    QProcess third;  // the same file name in another folder opens normally
    third.setProcessEnvironment(first.processEnvironment());
    third.start(PRAMBUS_BINARY, {Path("other/shared.txt")});
    QVERIFY(!third.waitForFinished(3000));
    third.kill();
    third.waitForFinished();
    QCOMPARE(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
  }
};

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
