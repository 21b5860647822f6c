// Files changed behind the window's back, on the real window and real
// files: appended to, replaced by a rename, deleted, touched, and rewritten
// with the same size and time. The window asks when it is activated again
// and before it writes over a changed file, and never loses either side's
// bytes without the user's word.
#include <fcntl.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "gui_files.h"
#include "main_window.h"
#include "settings/settings.h"
#include "shell/disk_watch.h"
#include "shown_window.h"
#include "window_reading.h"

using namespace prambus;

namespace {

QString Question(const std::string& text) {
  return QString(kFileChangedCaption) + ": " + QString::fromStdString(text);
}

// Another program's window takes the activation, then the user comes back.
void ComeBack(MainWindow& w) {
  QWidget other;
  other.show();
  other.activateWindow();
  QTRY_VERIFY(!w.isActiveWindow());
  w.activateWindow();
  QTRY_VERIFY(w.isActiveWindow());
  QTest::qWait(20);  // the look at the file runs after the activation
}

void SetModifiedTime(const QString& path, int64_t seconds, int64_t nanoseconds) {
  const timespec times[2] = {{0, UTIME_OMIT}, {seconds, nanoseconds}};
  QVERIFY(::utimensat(AT_FDCWD, path.toLocal8Bit().constData(), times, 0) == 0);
}

}  // namespace

class DiskChangesTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  ScriptedPrompts* prompts_ = nullptr;

  QString File(const QString& name, const QByteArray& bytes) {
    const QString path = dir_->filePath(name);
    WriteAll(path, bytes);
    return path;
  }
  std::unique_ptr<MainWindow> Open(const QString& path) {
    auto w = ShowWindow(dir_->path(), path, &prompts_);
    if (!w || !QTest::qWaitFor([&] { return !w->Loading() && w->isActiveWindow(); }))
      return nullptr;
    return w;
  }
  static void Type(MainWindow& w, const QString& text) {
    QTest::keyClick(w.centralWidget(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(w.centralWidget(), text);
  }
  static void CtrlS(MainWindow& w) {
    QTest::keyClick(w.centralWidget(), Qt::Key_S, Qt::ControlModifier);
  }
  static std::string Native(const QString& path) { return path.toStdString(); }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  // The road: a line appended by another program is not written
  // over by the edits; "Оставить" keeps them and the save asks again.
  void appendedUnderEditsIsAskedAboutAndNeverWrittenOverUnasked() {
    const QString ext = File("ext.txt", "original line\r\n");
    auto w = Open(ext);
    QVERIFY(w);
    Type(*w, "mine");
    QVERIFY(w->Modified());
    WriteAll(ext, "original line\r\nother program\r\n");
    prompts_->answers = {1000};  // "Оставить мои изменения"
    ComeBack(*w);
    QCOMPARE(prompts_->questions,
             QStringList{Question(FileChangedUnderEditsQuestion(Native(ext)))});
    // Enter keeps the edits: the default is the answer that loses nothing.
    QCOMPARE(prompts_->buttons.last().first(), QString("Оставить мои изменения"));
    QCOMPARE(DocumentText(w->View()), std::string("original line\r\nmine"));
    QVERIFY(w->Modified());
    // Coming back again asks nothing more about the same change.
    ComeBack(*w);
    QCOMPARE(prompts_->questions.size(), 1);
    // The save asks; "Отмена" writes nothing, and asks again next time.
    prompts_->answers = {1000};
    CtrlS(*w);
    QCOMPARE(prompts_->questions.last(), Question(FileChangedBeforeSaveQuestion(Native(ext))));
    QCOMPARE(prompts_->buttons.last().first(), QString("Отмена"));  // Enter writes nothing over
    QCOMPARE(ReadAll(ext), QByteArray("original line\r\nother program\r\n"));
    QVERIFY(w->Modified());
    prompts_->answers = {1001};  // "Записать"
    CtrlS(*w);
    QCOMPARE(prompts_->questions.size(), 3);
    QCOMPARE(ReadAll(ext), QByteArray("original line\r\nmine"));
    QVERIFY(!w->Modified());
    // Saved: the file is the document's again, nothing to ask.
    ComeBack(*w);
    CtrlS(*w);
    QCOMPARE(prompts_->questions.size(), 3);
    QCOMPARE(prompts_->unexpectedQuestions, 0);
  }

  // "Загрузить файл" gives up the edits for the file's new content;
  // "Сохранить как..." puts them in another file and leaves the changed one be.
  void theEditsGiveWayOrGoElsewhereAsTheUserSays() {
    const QString ext = File("ext.txt", "original line\r\n");
    auto w = Open(ext);
    QVERIFY(w);
    Type(*w, "mine");
    WriteAll(ext, "original line\r\nother program\r\n");
    prompts_->answers = {1001};  // "Загрузить файл"
    ComeBack(*w);
    QCOMPARE(DocumentText(w->View()), std::string("original line\r\nother program\r\n"));
    QVERIFY(!w->Modified());

    Type(*w, "more");
    WriteAll(ext, "third\r\n");
    const QString elsewhere = dir_->filePath("mine.txt");
    prompts_->answers = {1002};
    prompts_->saveNames = {elsewhere};
    ComeBack(*w);
    QCOMPARE(ReadAll(elsewhere), QByteArray("original line\r\nother program\r\nmore"));
    QCOMPARE(ReadAll(ext), QByteArray("third\r\n"));
    QCOMPARE(w->FileName(), elsewhere);
    QVERIFY(!w->Modified());
    QCOMPARE(prompts_->unexpectedQuestions, 0);
  }

  // Unmodified: "Да" loads the new content with the cursor on its line;
  // the fine setting loads it with no question.
  void anUnmodifiedDocumentIsLoadedAnewOnTheSameLine() {
    const QString f = File("f.txt", "one\r\ntwo\r\nthree\r\n");
    auto w = Open(f);
    QVERIFY(w);
    QTest::keyClick(w->centralWidget(), Qt::Key_Down);
    QTest::keyClick(w->centralWidget(), Qt::Key_Down);
    QCOMPARE(w->View()->CursorRow(), 2);
    WriteAll(f, "one\r\ntwo\r\nthree\r\nfour\r\n");
    prompts_->answers = {1000};
    ComeBack(*w);
    QCOMPARE(prompts_->questions, QStringList{Question(FileChangedQuestion(Native(f)))});
    QCOMPARE(DocumentText(w->View()), std::string("one\r\ntwo\r\nthree\r\nfour\r\n"));
    QCOMPARE(w->View()->CursorRow(), 2);
    QVERIFY(!w->Modified());
    QCOMPARE(w->FileName(), f);

    Cfg().ReloadChangedFiles = true;
    WriteAll(f, "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\n");
    ComeBack(*w);
    QCOMPARE(prompts_->questions.size(), 1);
    QCOMPARE(DocumentText(w->View()), std::string("one\r\ntwo\r\nthree\r\nfour\r\nfive\r\n"));
    QCOMPARE(w->View()->CursorRow(), 2);
    QVERIFY(!w->Modified());
  }

  // A new file renamed into the place of the old one is another file: asked
  // about; "Нет" keeps the document and the save asks before writing over it.
  void aFileReplacedByARenameIsAskedAbout() {
    const QString f = File("f.txt", "old\r\n");
    auto w = Open(f);
    QVERIFY(w);
    const QString next = File("f.txt.new", "new\r\n");
    QVERIFY(::rename(next.toLocal8Bit().constData(), f.toLocal8Bit().constData()) == 0);
    prompts_->answers = {1001};  // "Нет"
    ComeBack(*w);
    QCOMPARE(prompts_->questions, QStringList{Question(FileChangedQuestion(Native(f)))});
    QCOMPARE(DocumentText(w->View()), std::string("old\r\n"));
    ComeBack(*w);
    QCOMPARE(prompts_->questions.size(), 1);
    prompts_->answers = {1000};  // "Отмена"
    CtrlS(*w);
    QCOMPARE(prompts_->questions.size(), 2);
    QCOMPARE(ReadAll(f), QByteArray("new\r\n"));
    QCOMPARE(prompts_->unexpectedQuestions, 0);
  }

  // Deleted: said once; the document counts as unsaved, so closing asks,
  // and saving writes the file anew without a question.
  void aFileDeletedIsToldOnceAndTheDocumentStaysUnsaved() {
    const QString f = File("f.txt", "keep me\r\n");
    auto w = Open(f);
    QVERIFY(w);
    QVERIFY(QFile::remove(f));
    ComeBack(*w);
    QCOMPARE(prompts_->notes, QStringList{QString::fromStdString(FileGoneNote(Native(f)))});
    QVERIFY(w->Modified());
    QVERIFY(w->windowTitle().startsWith("* "));
    ComeBack(*w);
    QCOMPARE(prompts_->notes.size(), 1);
    prompts_->answers = {1002};  // "Отмена" at the close
    QVERIFY(!w->close());
    QCOMPARE(prompts_->questions.size(), 1);
    CtrlS(*w);
    QCOMPARE(ReadAll(f), QByteArray("keep me\r\n"));
    QVERIFY(!w->Modified());
    QCOMPARE(prompts_->questions.size(), 1);
  }

  // Only the times moved: nothing to ask, on activation or at a save. The
  // same size and time with other bytes is a change.
  void aTouchIsNoChangeButOtherBytesOfTheSameSizeAndTimeAre() {
    const QString f = File("f.txt", "same size\r\n");
    auto w = Open(f);
    QVERIFY(w);
    const DiskIdentity loaded = w->Doc().disk;
    SetModifiedTime(f, loaded.modifiedSeconds + 100, 0);
    ComeBack(*w);
    Type(*w, "x");
    CtrlS(*w);
    QCOMPARE(prompts_->questions, QStringList{});
    QCOMPARE(ReadAll(f), QByteArray("same size\r\nx"));

    const DiskIdentity saved = w->Doc().disk;
    WriteAll(f, "other size\r\n");  // as long as what was saved
    SetModifiedTime(f, saved.modifiedSeconds, saved.modifiedNanoseconds);
    QCOMPARE(QFileInfo(f).size(), saved.size);
    prompts_->answers = {1000};
    ComeBack(*w);
    QCOMPARE(prompts_->questions, QStringList{Question(FileChangedQuestion(Native(f)))});
    QCOMPARE(DocumentText(w->View()), std::string("other size\r\n"));
  }
};

QTEST_MAIN(DiskChangesTest)
#include "disk_changes_test.moc"
