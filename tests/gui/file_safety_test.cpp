// Opening and saving on the real main window never lose a file: a file that
// cannot be loaded leaves an untitled document that Save cannot write over
// it, whatever cannot be opened or saved (a FIFO as a document or as an
// encoding file, a folder) is told in a message, not only beeped, and so is
// F1 without a browser.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "gui_files.h"
#include "main_window.h"
#include "message_watcher.h"
#include "settings/settings.h"
#include "shell/file_messages.h"
#include "shown_window.h"

using namespace prambus;

namespace {
QString Text(const std::string& s) {
  return QString::fromStdString(s);
}

// Answers every Open dialog with one file, as a user typing its full name
// into the name field and pressing Enter would.
class OpenDialogAnswer : public QObject {
 public:
  explicit OpenDialogAnswer(const QString& path) {
    connect(&timer_, &QTimer::timeout, this, [path] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        auto* name = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
        if (!name || !dialog->isVisible()) continue;
        name->setText(path);
        static_cast<QDialog*>(dialog)->accept();  // the dialog's own checks run
      }
    });
    timer_.start(10);
  }

 private:
  QTimer timer_;
};
}  // namespace

class FileSafetyTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QString Path(const QString& name) const { return dir_->filePath(name); }

  std::unique_ptr<MainWindow> Open(const QString& file) { return ShowWindow(file, dir_->path()); }
  static void Drop(MainWindow& w, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
  }
  static QAction* FileCommand(MainWindow& w, const QString& caption) {
    for (QAction* a : w.FileMenu()->actions())
      if (a->text() == caption) return a;
    return nullptr;
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
    MessageWatcher messages;
    auto w = Open(big);
    QVERIFY(w);
    QTRY_COMPARE(messages.texts, QStringList{kLoadFailedMessage});
    QCOMPARE(w->windowTitle(), QString("Безымянный.txt - Прамбус"));
    QVERIFY(w->FileName().isEmpty());
    QCOMPARE(w->WindowHash(), 0u);
    QTest::keyClicks(w->centralWidget(), "x");
    QVERIFY(w->Modified());
    // Ctrl+S asks for a name (cancelled here) instead of writing over the file.
    bool asked = false;
    w->saveAsNameForTest = [&] {
      asked = true;
      return QString();
    };
    QTest::keyClick(w->centralWidget(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(asked);
    QVERIFY(w->Modified());
    QCOMPARE(QFileInfo(big).size(), size);
    // "Да" at exit does the same, and the window stays.
    w->promptAnswerForTest = [] { return 1000; };
    QVERIFY(!w->close());
    QCOMPARE(QFileInfo(big).size(), size);
    // Opening the next file puts no entry for the big one in the recent list.
    w->promptAnswerForTest = [] { return 1001; };  // "Нет": the typed x goes
    WriteAll(Path("next.txt"), "next");
    Drop(*w, Path("next.txt"));
    QCOMPARE(w->FileName(), Path("next.txt"));
    for (const RecentEntry& e : w->State().recent) QVERIFY(e.path != big.toStdString());
  }

  void whatCannotBeOpenedIsToldNotOnlyBeeped() {
    const QString fifo = Path("fifo"), folder = dir_->path();
    QVERIFY(::mkfifo(fifo.toLocal8Bit().constData(), 0644) == 0);
    const QString fifoMessage =
        Text(CannotOpenMessage(fifo.toStdString(), FileProblem::kNotRegularFile, 0));
    const QString folderMessage =
        Text(CannotOpenMessage(folder.toStdString(), FileProblem::kFolder, EISDIR));
    // On the command line (a FIFO must not wait for a writer): an untitled
    // document and the reason.
    for (const auto& [path, message] : {std::pair{fifo, fifoMessage}, {folder, folderMessage}}) {
      MessageWatcher messages;
      auto w = Open(path);
      QVERIFY(w);
      QTRY_COMPARE(messages.texts, QStringList{message});
      QCOMPARE(w->windowTitle(), QString("Безымянный.txt - Прамбус"));
      QVERIFY(w->FileName().isEmpty());
    }
    // Dropped, or chosen in the Open dialog: the document shown stays.
    WriteAll(Path("doc.txt"), "doc");
    auto w = Open(Path("doc.txt"));
    QVERIFY(w);
    MessageWatcher messages;
    Drop(*w, fifo);
    Drop(*w, folder);
    OpenDialogAnswer answer(fifo);
    FileCommand(*w, "Открыть...")->trigger();
    // The same for an encoding file.
    w->EncodingActions().back()->trigger();  // "Загрузить из файла..."
    QCOMPARE(messages.texts, QStringList({fifoMessage, folderMessage, fifoMessage, fifoMessage}));
    QCOMPARE(w->FileName(), Path("doc.txt"));
    QCOMPARE(w->windowTitle(), QString("doc.txt - Прамбус"));
  }

  void savingKeepsLinksAndTellsWhatFailed() {
    // A file with a second name: both names show the saved text.
    WriteAll(Path("a.txt"), "old");
    QVERIFY(::link(Path("a.txt").toLocal8Bit().constData(),
                   Path("b.txt").toLocal8Bit().constData()) == 0);
    auto w = Open(Path("a.txt"));
    QVERIFY(w);
    QTest::keyClicks(w->centralWidget(), "new ");
    QTest::keyClick(w->centralWidget(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!w->Modified());
    QCOMPARE(ReadAll(Path("b.txt")), QByteArray("new old"));
    // A folder removed meanwhile: the message says so (not "write-protected"),
    // and the document stays modified.
    QDir().mkpath(Path("sub"));
    WriteAll(Path("sub/v.txt"), "v");
    auto w2 = Open(Path("sub/v.txt"));
    QVERIFY(w2);
    QTest::keyClicks(w2->centralWidget(), "changed ");
    QDir(Path("sub")).removeRecursively();
    MessageWatcher messages;
    QTest::keyClick(w2->centralWidget(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(messages.texts,
             QStringList{"Не могу сохранить изменения: папки «" + Path("sub") + "» больше нет."});
    QVERIFY(w2->Modified());
    QCOMPARE(w2->windowTitle(), QString("* v.txt - Прамбус"));
  }

  void helpWithoutABrowserSaysSo() {
    const QString help = QCoreApplication::applicationDirPath() + "/prambus.html";
    if (QFileInfo::exists(help)) QSKIP("a help document lies beside the test program");
    auto w = Open(QString());
    QVERIFY(w);
    MessageWatcher messages;
    QTest::keyClick(w->centralWidget(), Qt::Key_F1);
    QCOMPARE(messages.texts,
             QStringList{Text(HelpFailedMessage(help.toStdString(), HelpProblem::kNoHelpFile))});
    // With the document there but no browser: the desktop's opener finds no
    // program (as xdg-open does, with exit code 3), and the window says so.
    messages.texts.clear();
    WriteAll(help, "<html></html>");
    QDir().mkpath(Path("bin"));
    WriteAll(Path("bin/xdg-open"), "#!/bin/sh\nexit 3\n");
    QFile::setPermissions(Path("bin/xdg-open"), QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", Path("bin").toLocal8Bit());
    QTest::keyClick(w->centralWidget(), Qt::Key_F1);
    QTRY_COMPARE(messages.texts,
                 QStringList{Text(HelpFailedMessage(help.toStdString(), HelpProblem::kNoBrowser))});
    qputenv("PATH", path);
    QFile::remove(help);
  }
};

QTEST_MAIN(FileSafetyTest)
#include "file_safety_test.moc"
