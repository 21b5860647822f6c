// Opening and saving on the real main window never lose a file: a file that
// cannot be loaded leaves an untitled document that Save cannot write over
// it, whatever cannot be opened (a FIFO as a document or as an encoding file,
// a folder) is told in a note, not only beeped, and so is F1 without a
// browser.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>
#include <optional>

#include "gui_files.h"
#include "help_window.h"
#include "main_window.h"
#include "settings/settings.h"
#include "shell/file_messages.h"
#include "shown_window.h"

using namespace prambus;

namespace {
QString Text(const std::string& s) {
  return QString::fromStdString(s);
}
}  // namespace

class FileSafetyTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QString Path(const QString& name) const { return dir_->filePath(name); }

  std::unique_ptr<MainWindow> Open(const QString& file, ScriptedPrompts** prompts) {
    return ShowWindow(dir_->path(), file, prompts);
  }
  static void Drop(MainWindow& w, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void aFileThatFailsToLoadLeavesAnUntitledDocument() {
    const QString big = Path("big.txt");
    const qint64 size = qint64(3) << 30;  // sparse: too long for the views, cheap to make
    WriteAll(big, "");
    QVERIFY(::truncate(big.toLocal8Bit().constData(), size) == 0);
    ScriptedPrompts* prompts = nullptr;
    auto w = Open(big, &prompts);
    QVERIFY(w);
    QTRY_COMPARE(prompts->notes, QStringList{kLoadFailedMessage});
    QCOMPARE(w->windowTitle(), QString("Безымянный.txt - Прамбус"));
    QVERIFY(w->FileName().isEmpty());
    QCOMPARE(w->WindowHash(), 0u);
    QTest::keyClicks(w->centralWidget(), "x");
    QVERIFY(w->Modified());
    // Ctrl+S asks for a name (no name given here) instead of writing over the file.
    QTest::keyClick(w->centralWidget(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(w->Modified());
    QCOMPARE(QFileInfo(big).size(), size);
    // "Да" at exit does the same, and the window stays.
    prompts->answers = {1000};
    QVERIFY(!w->close());
    QCOMPARE(QFileInfo(big).size(), size);
    // Opening the next file puts no entry for the big one in the recent list.
    prompts->answers = {1001};  // "Нет": the typed x goes
    WriteAll(Path("next.txt"), "next");
    Drop(*w, Path("next.txt"));
    QCOMPARE(w->FileName(), Path("next.txt"));
    for (const RecentEntry& e : w->State().recent) QVERIFY(e.path != big.toStdString());
    QCOMPARE(prompts->unexpectedQuestions, 0);
  }

  void whatCannotBeOpenedIsToldNotOnlyBeeped() {
    const QString fifo = Path("fifo"), folder = dir_->path();
    QVERIFY(::mkfifo(fifo.toLocal8Bit().constData(), 0644) == 0);
    const QString fifoNote =
        Text(CannotOpenMessage(fifo.toStdString(), FileProblem::kNotRegularFile, 0));
    const QString folderNote =
        Text(CannotOpenMessage(folder.toStdString(), FileProblem::kFolder, EISDIR));
    // On the command line (a FIFO must not wait for a writer): an untitled
    // document and the reason.
    for (const auto& [path, note] : {std::pair{fifo, fifoNote}, {folder, folderNote}}) {
      ScriptedPrompts* prompts = nullptr;
      auto w = Open(path, &prompts);
      QVERIFY(w);
      QTRY_COMPARE(prompts->notes, QStringList{note});
      QCOMPARE(w->windowTitle(), QString("Безымянный.txt - Прамбус"));
      QVERIFY(w->FileName().isEmpty());
    }
    // Dropped, chosen with "Открыть..." or as an encoding file: the document
    // shown stays.
    WriteAll(Path("doc.txt"), "doc");
    ScriptedPrompts* prompts = nullptr;
    auto w = Open(Path("doc.txt"), &prompts);
    QVERIFY(w);
    Drop(*w, fifo);
    Drop(*w, folder);
    prompts->openNames = {fifo, fifo};
    w->OpenWithDialog();
    w->Actions().loadEncoding->trigger();
    QCOMPARE(prompts->notes, QStringList({fifoNote, folderNote, fifoNote, fifoNote}));
    QCOMPARE(w->FileName(), Path("doc.txt"));
    QCOMPARE(w->windowTitle(), QString("doc.txt - Прамбус"));
  }

  void savingKeepsTheOtherNamesOfAFile() {
    WriteAll(Path("a.txt"), "old");
    QVERIFY(::link(Path("a.txt").toLocal8Bit().constData(),
                   Path("b.txt").toLocal8Bit().constData()) == 0);
    ScriptedPrompts* prompts = nullptr;
    auto w = Open(Path("a.txt"), &prompts);
    QVERIFY(w);
    QTest::keyClicks(w->centralWidget(), "new ");
    QTest::keyClick(w->centralWidget(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!w->Modified());
    QCOMPARE(ReadAll(Path("b.txt")), QByteArray("new old"));
    QVERIFY(prompts->notes.isEmpty());
  }

  // The help is shown in the program's own window, never handed to the
  // desktop (whose program for HTML may be one that shows it as text).
  void helpIsShownInTheProgramsOwnWindow() {
    const QString help = QCoreApplication::applicationDirPath() + "/prambus.html";
    QVERIFY(QFileInfo::exists(help));
    ScriptedPrompts* prompts = nullptr;
    auto w = Open(QString(), &prompts);
    QVERIFY(w);
    // The desktop's opener, should anything call it, writes down what it got.
    QDir().mkpath(Path("bin"));
    WriteAll(Path("bin/xdg-open"),
             "#!/bin/sh\necho \"$1\" > '" + Path("opened").toLocal8Bit() + "'\n");
    QFile::setPermissions(Path("bin/xdg-open"), QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", Path("bin").toLocal8Bit());
    QTest::keyClick(w->centralWidget(), Qt::Key_F1);
    HelpWindow* h = w->GetHelpWindow();
    QVERIFY(h && h->isVisible());
    QCOMPARE(h->Browser()->source(), QUrl::fromLocalFile(help));
    QCOMPARE(h->windowTitle(), QString("Справка программы Прамбус"));
    QVERIFY(h->Browser()->toPlainText().contains("Прамбус"));
    // The page on extensions, from its link and from "Скачать новый...".
    h->Browser()->setSource(h->Browser()->source().resolved(QUrl("extensions.html")));
    QCOMPARE(h->windowTitle(), QString("Прамбус: шкурки и плагины"));
    QTest::keyClick(h->Browser(), Qt::Key_Escape);
    QVERIFY(!h->isVisible());
    w->Actions().help->trigger();
    QVERIFY(h->isVisible());
    QCOMPARE(h->Browser()->source(), QUrl::fromLocalFile(help));
    QTest::qWait(300);
    qputenv("PATH", path);
    QVERIFY(!QFileInfo::exists(Path("opened")));
    QVERIFY(prompts->notes.isEmpty());
  }
};

QTEST_MAIN(FileSafetyTest)
#include "file_safety_test.moc"
